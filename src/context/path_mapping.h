// Windows path strings -> host paths.
//
// The system names files the Windows way ("c:\ItemPhotos\", "ExcelPrint\",
// "\Common Files\Quorvan\"), and those strings stay as they are in the code;
// every file utility sends its path through ToHostPath() first:
//   "X:\rest", "X:/rest", "X:rest"  -> <folder of drive X>/rest
//   "\rest" (root of the current drive) -> <folder of drive C>/rest
//   "\\server\share\rest" (UNC)     -> <machine config>/unc/server/share/rest
//   "/rest" (already a host path)   -> unchanged, "\" read as "/"
//   "rest" (relative)               -> rest, "\" read as "/"
// Repeated separators collapse to one (Windows ignores them too); a trailing
// separator is kept. Drive letters ignore case, and so do the names of a
// Windows-form path: each name is matched against the existing entries of
// its folder without regard to case ("c:\itemphotos" finds "ItemPhotos");
// names that do not exist yet are kept as written. Host paths ("/...") and
// relative paths are taken literally.
//
// Drive folders come from <machine config>/paths.json:
//   {"drives": {"C": "drive_c", "D": "/mnt/share"}}
// relative folders being inside the machine configuration folder. A drive
// that is not listed maps to <machine config>/drive_<letter> (so drive C: is
// <machine config>/drive_c by default).
#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace vemo::context {

class PathMapping {
 public:
  // `base` is the folder that relative drive folders and default drives live in.
  explicit PathMapping(std::filesystem::path base);
  // The mapping of the current machine configuration folder (paths.json read anew).
  static PathMapping Current();

  void MapDrive(char letter, std::filesystem::path hostFolder);
  std::filesystem::path DriveFolder(char letter) const;

  std::filesystem::path ToHost(std::string_view path) const;
  // The inverse, for messages: a host path inside a drive's folder in its
  // Windows form ("C:\Program Files\..."); other paths as they are.
  std::string ToWindows(const std::filesystem::path& hostPath) const;

 private:
  std::filesystem::path base_;
  std::map<char, std::filesystem::path> drives_;  // upper-case letter -> folder
};

// PathMapping::Current().ToHost(path).
std::filesystem::path ToHostPath(std::string_view path);

}  // namespace vemo::context
