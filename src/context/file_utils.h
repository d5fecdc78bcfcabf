// File and folder utilities over std::filesystem. Every path may be given in
// Windows form ("C:\ItemPhotos\a.bmp", "\Common Files\Quorvan\") or as a host
// path; the path mapping (path_mapping.h) decides where it lives. None of
// them raises or shows a message: errors give False, "" or the default.
// Functions that only look at the text of a path (extension, parent, join,
// trailing separator) keep the path in the form they were given.
#pragma once
#include <string>
#include <string_view>

namespace vemo::context {

bool FileExists(std::string_view path);
bool FolderExists(std::string_view path);

// "xlsx" for "a.xlsx"; "" when the last name has no dot.
std::string GetExtensionName(std::string_view path);
// The folder part of the path, a trailing separator ignored ("C:\a\b.txt" ->
// "C:\a", "/tmp/x/" -> "/tmp"); "" for a root or a bare name.
std::string GetParentFolderName(std::string_view path);
// Both parts trimmed and joined with exactly one separator ("\" unless the
// folder is written with "/" only); an empty folder gives "".
std::string JoinPath(std::string_view folder, std::string_view name);
// True when the folder exists afterwards, creating missing parents first;
// an empty path answers False.
bool EnsureFolder(std::string_view path);
// Deletes the file when it exists; without `force` a read-only file stays.
// Always True.
bool DeleteFileIfExists(std::string_view path, bool force = true);
// Copies `source` over `target` when the source exists. Always True.
bool CopyFileIfExists(std::string_view source, std::string_view target);
// Appends a separator unless the path ends with one ("\" or "/"; "/" is
// appended to a path written with "/" only).
void AddTrailingBackslash(std::string& path);

// The system folder in Windows form with a trailing "\": %SystemRoot%
// (default "C:\Windows") + "\System32\", or "\SysWOW64\" for a 32-bit
// process on 64-bit Windows (registry.h). It lives wherever the path
// mapping puts drive C.
std::string GetSystemFolder();

}  // namespace vemo::context
