// VemoEBSGLItem.ItemInfo: photos of base-data records (items, customers,
// suppliers share one id space).
#pragma once
#include <string>
#include <string_view>

#include "foundation/host_object.h"

namespace vemo::host {

class IItemInfo : public HostObject {
 public:
  // The full path of a picture file of the record `itemId` (decimal text) of
  // the given kind ("SmallPhoto", "Photo"); "" when it has none. The file is
  // written from the database into the account's picture cache folder.
  virtual std::string GetItemPicture(std::string_view props, std::string_view itemId, std::string_view kind) = 0;
};

}  // namespace vemo::host
