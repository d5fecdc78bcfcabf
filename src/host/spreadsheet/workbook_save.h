// Writing a surface workbook to a file in the format its name or the caller asks for.
#pragma once
#include <filesystem>
#include <optional>

#include "host/spreadsheet/surface_state.h"

namespace vemo::host {

// Saves `book` to `path`: fileFormat 56, or none with a ".xls" name, writes
// the 97-2003 (.xls) format; 51, or none with an ".xlsx" name, writes .xlsx;
// no format and another name keeps the workbook's own. Raises HostError with the
// reason when the file cannot be written.
void SaveBook(BookCore& book, const std::filesystem::path& path, std::optional<int> fileFormat);

// True when `path` is still the very file `book` was last saved to (same
// file, size and modification time) and nothing has reached the workbook
// since: saving again would write the same bytes.
bool SavedAndUnchanged(const BookCore& book, const std::filesystem::path& path);

}  // namespace vemo::host
