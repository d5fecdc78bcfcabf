#include "host/spreadsheet/line_insertion.h"

#include "foundation/host_error.h"

namespace vemo::host {

// The workbook engine's structural edit (row and column insertion) is not
// built yet; until it is, inserting lines refuses clearly.
void InsertModelRows(wb::Sheet&, int, int, std::optional<int>) {
  throw HostError("inserting rows is not available yet: the workbook engine has no row insertion");
}

void InsertModelColumns(wb::Sheet&, int, int) {
  throw HostError("inserting columns is not available yet: the workbook engine has no column insertion");
}

}  // namespace vemo::host
