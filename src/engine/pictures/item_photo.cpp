// GetPictureFile: the host's small photo of an item, customer or supplier.
#include "context/login.h"
#include "engine/pictures/pictures.h"
#include "foundation/creation_service.h"
#include "host/components/item_info.h"
#include "host/components/prog_ids.h"

namespace vemo::engine {

std::string GetPictureFile(const std::string& itemId) {
  try {
    auto items = CreateObjectAs<host::IItemInfo>(host::progid::kItemInfo);
    return items->GetItemPicture(context::GetPropsString(), itemId, "SmallPhoto");
  } catch (...) {
    return {};  // no photo: the keyword cell stays empty
  }
}

}  // namespace vemo::engine
