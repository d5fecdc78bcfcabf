#include "context/file_utils.h"

#include <cstdlib>
#include <filesystem>

#include "context/path_mapping.h"
#include "context/registry.h"
#include "foundation/utf8_text.h"

namespace fs = std::filesystem;

namespace vemo::context {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char SeparatorOf(std::string_view path) {
  return path.find('/') != std::string_view::npos && path.find('\\') == std::string_view::npos ? '/' : '\\';
}

std::size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

}  // namespace

bool FileExists(std::string_view path) {
  if (Trim(path).empty()) return false;
  std::error_code ec;
  return fs::is_regular_file(ToHostPath(path), ec);
}

bool FolderExists(std::string_view path) {
  if (Trim(path).empty()) return false;
  std::error_code ec;
  return fs::is_directory(ToHostPath(path), ec);
}

std::string GetExtensionName(std::string_view path) {
  const std::size_t sep = LastSeparator(path);
  const std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? "" : std::string(name.substr(dot + 1));
}

std::string GetParentFolderName(std::string_view path) {
  std::string_view p = path;
  while (!p.empty() && IsSeparator(p.back())) p.remove_suffix(1);
  const std::size_t sep = LastSeparator(p);
  if (sep == std::string_view::npos) return "";
  std::string_view parent = p.substr(0, sep);
  while (parent.size() > 1 && IsSeparator(parent.back())) parent.remove_suffix(1);
  if (parent.empty()) return p.front() == '/' ? "/" : "";  // "/x" -> "/", "\x" -> ""
  if (parent.size() == 2 && parent[1] == ':') return std::string(parent) + "\\";  // "C:\x" -> "C:\"
  return std::string(parent);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string left = Trim(folder);
  std::string right = Trim(name);
  if (left.empty()) return "";
  const char sep = SeparatorOf(left);
  while (!left.empty() && IsSeparator(left.back())) left.pop_back();
  std::size_t skip = 0;
  while (skip < right.size() && IsSeparator(right[skip])) ++skip;
  return left + sep + right.substr(skip);
}

bool EnsureFolder(std::string_view path) {
  if (Trim(path).empty()) return false;
  std::error_code ec;
  fs::path host = ToHostPath(Trim(path));
  if (!host.has_filename()) host = host.parent_path();  // "a/b/" names the folder "a/b"
  if (fs::is_directory(host, ec)) return true;
  if (fs::exists(host, ec)) return false;  // a file in the way
  const fs::path parent = host.parent_path();
  if (!parent.empty() && parent != host && !fs::is_directory(parent, ec)) {
    if (!EnsureFolder(parent.string())) return false;
  }
  fs::create_directory(host, ec);
  return fs::is_directory(host, ec);
}

bool DeleteFileIfExists(std::string_view path, bool force) {
  std::error_code ec;
  const fs::path host = ToHostPath(path);
  if (!fs::is_regular_file(host, ec)) return true;
  const auto perms = fs::status(host, ec).permissions();
  const bool readOnly = (perms & fs::perms::owner_write) == fs::perms::none;
  if (readOnly && !force) return true;  // the deletion fails and the error is swallowed
  fs::remove(host, ec);
  return true;
}

bool CopyFileIfExists(std::string_view source, std::string_view target) {
  std::error_code ec;
  const fs::path from = ToHostPath(source);
  if (!fs::is_regular_file(from, ec)) return true;
  fs::copy_file(from, ToHostPath(target), fs::copy_options::overwrite_existing, ec);
  return true;
}

void AddTrailingBackslash(std::string& path) {
  if (!path.empty() && IsSeparator(path.back())) return;
  path.push_back(path.empty() ? '\\' : SeparatorOf(path));
}

std::string GetSystemFolder() {
  const char* root = std::getenv("SystemRoot");
  std::string folder = root && *root ? root : "C:\\Windows";
  while (!folder.empty() && IsSeparator(folder.back())) folder.pop_back();
  return folder + (IsProcess32On64() ? "\\SysWOW64\\" : "\\System32\\");
}

}  // namespace vemo::context
