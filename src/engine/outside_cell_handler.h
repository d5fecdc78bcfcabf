// The outside cell handler: a component named by the system profile value
// "IC"/"ThirdPrintCom" that may write entry cells the bill leaves empty (a
// host's own extension point). Created by its programmatic identifier
// through the creation service; an identifier nobody registered is ignored.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/host_object.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"

namespace vemo::engine {

class IOutsideCellHandler : public HostObject {
 public:
  virtual void init() = 0;
  // True when the handler has written the cell itself. All but the cell are
  // passed by reference, as the host's handlers expect.
  virtual bool DealSetBodyCell(const std::shared_ptr<host::IRange>& cell, std::string& fieldName,
                               std::string& itemID, std::int32_t& classTypeID, std::int32_t& billID,
                               std::int32_t& row) = 0;
};

}  // namespace vemo::engine
