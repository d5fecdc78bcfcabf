#include "workbook/workbook.h"
#include "workbook/workbook_error.h"

namespace vemo::wb {
void Workbook::DeleteSheet(std::size_t index) {
  throw WorkbookError("deleting sheets is not available yet (sheet " + std::to_string(index) + ")");
}
}  // namespace vemo::wb
