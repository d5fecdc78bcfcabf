// Writing a surface workbook to a file in the format its name or the caller asks for.
#pragma once
#include <filesystem>
#include <optional>

#include "host/spreadsheet/surface_state.h"

namespace vemo::host {

// Saves `book` to `path`. fileFormat 51 (or none, with any extension but
// ".xls") writes the workbook's own package format; 56 or a ".xls" name
// raises, because no 97-2003 writer exists yet. Raises HostError with the
// reason when the file cannot be written.
void SaveBook(BookCore& book, const std::filesystem::path& path, std::optional<int> fileFormat);

// True when `path` is still the very file `book` was last saved to (same
// file, size and modification time) and nothing has reached the workbook
// since: saving again would write the same bytes.
bool SavedAndUnchanged(const BookCore& book, const std::filesystem::path& path);

}  // namespace vemo::host
