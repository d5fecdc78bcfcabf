// The workbook the renderer sees: a temporary copy of the saved workbook that
// keeps only the sheet asked for, and whose linked pictures point at host
// files. Templates link pictures by fixed Windows paths
// ("c:\ItemPhotos\x.bmp"); the renderer cannot follow those, so each such
// link is rewritten through the path mapping.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vemo::host {

// Writes the copy to `destination`. `sheetIndex` (1-based) keeps that sheet
// alone when the workbook has more than one; none keeps every sheet.
// Answers the number of picture links rewritten. Throws OutputError for an
// unreadable workbook or a sheet index out of range.
int PrepareRenderCopy(const std::filesystem::path& source, std::optional<int> sheetIndex,
                      const std::filesystem::path& destination);

// The host "file://" URL of an external link target written as a Windows
// path ("file:///c:\ItemPhotos\x.bmp", "C:\a.bmp", "\\server\share\a.bmp");
// nullopt when the target is not a Windows path (already a host path, a web
// address).
std::optional<std::string> HostLinkTarget(std::string_view target);

// The host file behind such a target (the path HostLinkTarget's URL names).
std::optional<std::filesystem::path> HostLinkPath(std::string_view target);

}  // namespace vemo::host
