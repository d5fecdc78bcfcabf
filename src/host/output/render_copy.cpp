#include "host/output/render_copy.h"

#include <cctype>

#include "context/path_mapping.h"
#include "host/output/output_error.h"
#include "workbook/package_parts.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"

namespace vemo::host {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::string PercentEncodePath(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 15]);
    }
  }
  return out;
}

bool IsWindowsPath(std::string_view path) {
  if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') return true;
  return StartsWithNoCase(path, "\\\\");
}

int RewritePictureLinks(wb::Workbook& book) {
  return wb::RetargetExternalLinks(book, "/image", HostLinkTarget);
}

}  // namespace

std::optional<std::filesystem::path> HostLinkPath(std::string_view target) {
  std::string path;
  if (StartsWithNoCase(target, "file:///")) {
    path = PercentDecode(target.substr(8));
  } else if (StartsWithNoCase(target, "file://")) {
    path = "\\\\" + PercentDecode(target.substr(7));  // file://server/share/a.bmp
  } else {
    path = std::string(target);
  }
  if (!IsWindowsPath(path)) return std::nullopt;
  return context::ToHostPath(path);
}

std::optional<std::string> HostLinkTarget(std::string_view target) {
  const std::optional<std::filesystem::path> path = HostLinkPath(target);
  if (!path) return std::nullopt;
  return "file://" + PercentEncodePath(path->string());
}

int PrepareRenderCopy(const std::filesystem::path& source, std::optional<int> sheetIndex,
                      const std::filesystem::path& destination) {
  try {
    auto book = wb::Workbook::Open(source);
    if (sheetIndex) {
      const int count = static_cast<int>(book->SheetCount());
      if (*sheetIndex < 1 || *sheetIndex > count)
        throw OutputError("sheet " + std::to_string(*sheetIndex) + " does not exist in " +
                          source.filename().string() + " (it has " + std::to_string(count) + ")");
      for (int i = count; i >= 1; --i)
        if (i != *sheetIndex) book->DeleteSheet(static_cast<std::size_t>(i - 1));
    }
    int rewritten = RewritePictureLinks(*book);
    book->Save(destination);
    return rewritten;
  } catch (const wb::WorkbookError& e) {
    throw OutputError("cannot prepare " + source.filename().string() + " for rendering: " + e.what());
  }
}

}  // namespace vemo::host
