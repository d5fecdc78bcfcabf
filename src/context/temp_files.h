// Working files in the user's temporary folder.
//
// The temporary folder is a private folder of the user below the system's
// temporary folder: $TMPDIR (else /tmp) + "/vemoprint-<uid>/", created with
// mode 0700 on first use. A per-user folder keeps two users of one machine
// from sharing the fixed working file; a folder of that name that belongs to
// someone else, or is not a folder, makes the answer "" (failure), with the
// reason reported through ReportCause.
// Every path handed out here is a host path.
#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/installed.h"

namespace vemo::context {

// The temporary folder with a trailing "/"; "" on failure.
std::string GetTempPath();

// The operating system's temporary-file name for prefix "TempFile" and
// unique number 1: the first three characters of the prefix and the number
// in hexadecimal, "Tem1.tmp", in the temporary folder; nothing is created.
// ".tmp" is then replaced by `extension` (".xls" or "xls" alike). "" when
// there is no temporary folder. The name is always the same, so a caller
// deletes an existing file first and holds a WorkingFileLock while using it.
std::string NewTempWorkbookName(std::string_view extension);
// The temporary-file name rule itself: <folder>/<prefix's first 3 characters><number in upper-case hex>.tmp
std::string TempFileNameFor(std::string_view folder, std::string_view prefix, unsigned number);

// A new random (version 4) GUID in registry form: "{" 8-4-4-4-12 upper-case
// hexadecimal digits "}", 38 characters; "" if no randomness is available.
std::string NewGuidText();

// Tests: NewGuidText answers from `source` for the object's lifetime (to
// see NewUniqueFileName draw again when a name is taken).
Installed<std::function<std::string()>>& InstalledGuidSource();
using ScopedGuidSource = ScopedInstall<std::function<std::string()>, &InstalledGuidSource>;

// "T_" + a new GUID without braces, "-" replaced by "_", plus "." +
// `extension` when that is not empty. With `inFolder` the name is joined to
// `folder` (the temporary folder when empty) and drawn again while a file of
// that path exists; without it the bare name is returned unchecked.
std::string NewUniqueFileName(bool inFolder, std::string_view extension, std::string_view folder = "");

// Working copies ("T_*") of the temporary folder older than a day: an
// export removes its own copy on every way out, so these are what a crashed
// or killed run left; no export of the user's runs that long.
inline constexpr std::chrono::hours kStaleWorkingCopyAge{24};
void RemoveStaleWorkingCopies();

}  // namespace vemo::context
