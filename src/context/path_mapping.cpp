#include "context/path_mapping.h"

#include <cctype>

#include "context/machine_config.h"
#include "foundation/json_convert.h"
#include "foundation/utf8_text.h"

namespace vemo::context {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "\" -> "/", runs of separators -> one.
std::string HostSeparators(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (IsSeparator(c)) {
      if (out.empty() || out.back() != '/') out.push_back('/');
    } else {
      out.push_back(c);
    }
  }
  return out;
}

bool HasDriveLetter(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// The entry of `folder` whose name equals `name` ignoring ASCII case; the
// exact name wins, and `name` itself when nothing matches.
std::string EntryIgnoringCase(const std::filesystem::path& folder, const std::string& name) {
  std::error_code ec;
  if (name == "." || name == ".." || std::filesystem::exists(folder / name, ec)) return name;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (EqualsIgnoreCase(entry, name)) return entry;
  }
  return name;
}

// `rest` below `folder`; names are looked up without regard to case, as
// Windows does, so "c:\itemphotos" finds the folder "ItemPhotos".
std::filesystem::path Under(const std::filesystem::path& folder, std::string_view rest) {
  const std::string relative = HostSeparators(rest);
  std::filesystem::path out = folder;
  std::size_t pos = relative.empty() || relative.front() != '/' ? 0 : 1;
  bool resolving = true;
  while (pos < relative.size()) {
    std::size_t end = relative.find('/', pos);
    const std::string name = relative.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    out /= resolving ? EntryIgnoringCase(out, name) : name;
    if (resolving) {
      std::error_code ec;
      resolving = std::filesystem::exists(out, ec);  // below a missing name nothing can match
    }
    if (end == std::string::npos) return out;
    pos = end + 1;
  }
  // A trailing separator (or a bare drive root) keeps naming a folder.
  return relative.empty() ? out : std::filesystem::path(out.string() + "/");
}

}  // namespace

PathMapping::PathMapping(std::filesystem::path base) : base_(std::move(base)) {}

PathMapping PathMapping::Current() {
  PathMapping mapping(MachineConfigFolder());
  auto config = ReadMachineConfigFile("paths.json");
  if (!config) return mapping;
  auto drives = config->find("drives");
  if (drives == config->end() || !drives->is_object()) return mapping;
  for (const auto& [letter, folder] : drives->items()) {
    std::string name = letter;
    if (!name.empty() && name.back() == ':') name.pop_back();
    if (name.size() != 1 || !std::isalpha(static_cast<unsigned char>(name[0])) || !folder.is_string()) continue;
    mapping.MapDrive(name[0], folder.get<std::string>());
  }
  return mapping;
}

void PathMapping::MapDrive(char letter, std::filesystem::path hostFolder) {
  if (hostFolder.is_relative()) hostFolder = base_ / hostFolder;
  drives_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = std::move(hostFolder);
}

std::filesystem::path PathMapping::DriveFolder(char letter) const {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  auto it = drives_.find(upper);
  if (it != drives_.end()) return it->second;
  return base_ / (std::string("drive_") + static_cast<char>(std::tolower(static_cast<unsigned char>(upper))));
}

std::filesystem::path PathMapping::ToHost(std::string_view path) const {
  if (path.empty()) return {};
  if (HasDriveLetter(path)) return Under(DriveFolder(path[0]), path.substr(2));
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return Under(base_ / "unc", path.substr(2));
  if (path[0] == '\\') return Under(DriveFolder('C'), path);
  return HostSeparators(path);
}

std::string PathMapping::ToWindows(const std::filesystem::path& hostPath) const {
  const std::string host = hostPath.lexically_normal().string();
  auto tryDrive = [&](char letter, const std::filesystem::path& folder, std::string& out) {
    const std::string root = folder.lexically_normal().string();
    const std::string prefix = root.back() == '/' ? root : root + "/";
    if (host != root && host.compare(0, prefix.size(), prefix) != 0) return false;
    std::string rest = host == root ? "" : host.substr(prefix.size());
    for (char& c : rest)
      if (c == '/') c = '\\';
    out = std::string(1, letter) + ":\\" + rest;
    return true;
  };
  std::string out;
  for (const auto& [letter, folder] : drives_)
    if (tryDrive(letter, folder, out)) return out;
  if (!drives_.count('C') && tryDrive('C', DriveFolder('C'), out)) return out;
  return hostPath.string();
}

std::filesystem::path ToHostPath(std::string_view path) { return PathMapping::Current().ToHost(path); }

}  // namespace vemo::context
