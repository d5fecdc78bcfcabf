#include "context/ini_file.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "context/path_mapping.h"
#include "foundation/utf8_text.h"

namespace vemo::context {
namespace {

std::string Unquote(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::string FitAnswer(std::string_view value) { return LeftChars(value, kIniAnswerSize - 1); }

std::optional<std::string> FindValue(std::string_view text, std::string_view section, std::string_view key) {
  if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  const std::string wantedSection = Trim(section);
  const std::string wantedKey = Trim(key);
  bool inSection = false;
  bool sectionSeen = false;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = Trim(text.substr(pos, end - pos));  // Trim takes the CR too
    pos = end + 1;
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      const std::string name = Trim(std::string_view(line).substr(1, close == std::string::npos ? std::string::npos : close - 1));
      // Only the first section of a name is read.
      if (inSection) return std::nullopt;
      inSection = !sectionSeen && EqualsIgnoreCase(name, wantedSection);
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (EqualsIgnoreCase(Trim(std::string_view(line).substr(0, eq)), wantedKey))
      return Unquote(Trim(std::string_view(line).substr(eq + 1)));
  }
  return std::nullopt;
}

std::string TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return std::string(text.substr(0, end));
}

}  // namespace

std::string ReadIniText(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view fallback) {
  auto value = FindValue(text, section, key);
  return FitAnswer(value ? *value : TrimRight(fallback));
}

std::string ReadIni(std::string_view file, std::string_view section, std::string_view key,
                    std::string_view fallback) {
  std::ifstream in(ToHostPath(file), std::ios::binary);
  if (!in) return FitAnswer(TrimRight(fallback));
  std::ostringstream content;
  content << in.rdbuf();
  return ReadIniText(content.str(), section, key, fallback);
}

}  // namespace vemo::context
