#include "context/temp_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "context/desktop.h"
#include "context/file_utils.h"
#include "foundation/utf8_text.h"

namespace vemo::context {
std::string GetTempPath() {
  const char* base = std::getenv("TMPDIR");
  std::string folder = base && *base ? base : "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  folder += "/vemoprint-" + std::to_string(::getuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    ReportCause("cannot create the temporary folder " + folder + ": " + std::strerror(errno) +
                "; set TMPDIR to a folder you can write");
    return "";
  }
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
    ReportCause("the temporary folder " + folder + " is not a folder of yours; remove it or set TMPDIR to another folder");
    return "";
  }
  return folder + "/";
}

void RemoveStaleWorkingCopies() {
  const std::string folder = GetTempPath();
  if (folder.empty()) return;
  const auto cutoff = std::filesystem::file_time_type::clock::now() - kStaleWorkingCopyAge;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code fileError;
    if (name.rfind("T_", 0) == 0 && it->is_regular_file(fileError) && it->last_write_time(fileError) < cutoff && !fileError)
      std::filesystem::remove(it->path(), fileError);
  }
}

std::string TempFileNameFor(std::string_view folder, std::string_view prefix, unsigned number) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", number);
  std::string path(folder);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  return path + LeftChars(prefix, 3) + hex + ".tmp";
}

std::string NewTempWorkbookName(std::string_view extension) {
  const std::string folder = GetTempPath();
  if (folder.empty()) return "";
  std::string name = TempFileNameFor(folder, "TempFile", 1);
  const std::string dotted = StartsWith(extension, ".") || extension.empty() ? std::string(extension) : "." + std::string(extension);
  return name.substr(0, name.size() - 4) + dotted;
}

std::string NewGuidText() {
  if (auto source = InstalledGuidSource().Get()) return source();
  try {
    std::random_device device;
    std::array<unsigned char, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
      const unsigned int word = device();
      for (std::size_t j = 0; j < 4; ++j) bytes[i + j] = static_cast<unsigned char>(word >> (8 * j));
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    std::string text = "{";
    char pair[3];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
      std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
      text += pair;
    }
    return text + "}";
  } catch (const std::exception&) {
    return "";
  }
}

Installed<std::function<std::string()>>& InstalledGuidSource() {
  static Installed<std::function<std::string()>> source;
  return source;
}

std::string NewUniqueFileName(bool inFolder, std::string_view extension, std::string_view folder) {
  auto newName = [&]() -> std::string {
    const std::string guid = NewGuidText();
    if (guid.empty()) return "";
    std::string name = "T_" + ReplaceAll(ReplaceAll(ReplaceAll(guid, "{", ""), "}", ""), "-", "_");
    if (!extension.empty()) name += "." + std::string(extension);
    return name;
  };
  if (!inFolder) return newName();
  std::string where(folder);
  if (Trim(where).empty()) {
    where = GetTempPath();
    while (where.size() > 1 && where.back() == '/') where.pop_back();  // the special folder has no trailing separator
  }
  std::string path;
  do {
    const std::string name = newName();
    if (name.empty()) return "";
    path = JoinPath(where, name);
  } while (FileExists(path));
  return path;
}

}  // namespace vemo::context
