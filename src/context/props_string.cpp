#include "context/props_string.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "context/login.h"
#include "foundation/host_error.h"
#include "foundation/utf8_text.h"

namespace vemo::context {
namespace {

// Text of `rest` from `from` up to `stop`; `rest` continues after the stop.
// A missing stop takes everything and leaves nothing.
std::string TakeUntil(std::string& rest, char stop, std::size_t from) {
  const std::size_t at = rest.find(stop, from);
  std::string taken = rest.substr(std::min(from, rest.size()), at == std::string::npos ? std::string::npos : at - from);
  rest = at == std::string::npos ? std::string() : rest.substr(at + 1);
  return taken;
}

std::mutex g_mutex;
std::optional<PropsCollection> g_props;

// Position of `key=` at the start of a pair, outside braces; npos when absent.
std::size_t FindPairStart(std::string_view text, std::string_view keyEq, std::string_view separator) {
  std::size_t from = 0;
  while (true) {
    const std::size_t at = FindIgnoreCase(text, keyEq, from);
    if (at == std::string_view::npos) return at;
    from = at + 1;
    std::size_t before = at;
    while (before > 0 && (text[before - 1] == ' ' || text[before - 1] == '\t')) --before;
    const bool atPairStart = before == 0 || (!separator.empty() && before >= separator.size() &&
                                             text.substr(before - separator.size(), separator.size()) == separator);
    if (!atPairStart) continue;
    int depth = 0;
    for (std::size_t i = 0; i < at; ++i) {
      if (text[i] == '{') ++depth;
      if (text[i] == '}' && depth > 0) --depth;
    }
    if (depth == 0) return at;
  }
}

}  // namespace

PropsCollection PropsCollection::Parse(std::string_view text) {
  PropsCollection props;
  std::string rest(text);
  while (true) {
    const std::string key = Trim(TakeUntil(rest, '=', 0));
    if (key.empty()) break;
    rest = Trim(rest);
    std::string value;
    if (!rest.empty() && rest.front() == '{') {
      value = TakeUntil(rest, '}', 1);
      TakeUntil(rest, ';', 0);
    } else {
      value = TakeUntil(rest, ';', 0);
    }
    props.Add(key, Trim(value));
  }
  return props;
}

void PropsCollection::Add(std::string key, std::string value) {
  std::string lower = ToLowerAscii(key);
  if (values_.count(lower)) return;  // the first occurrence counts
  values_.emplace(std::move(lower), std::move(value));
  keys_.push_back(std::move(key));
}

bool PropsCollection::Contains(std::string_view key) const { return values_.count(ToLowerAscii(Trim(key))) != 0; }

const std::string& PropsCollection::Get(std::string_view key) const {
  auto it = values_.find(ToLowerAscii(Trim(key)));
  if (it == values_.end())
    throw HostError(HostError::kKeyNotFound, "the props string has no key \"" + std::string(key) + "\"");
  return it->second;
}

const PropsCollection& ParsePropsString(std::string_view text) {
  std::lock_guard lock(g_mutex);
  g_props = PropsCollection::Parse(text);
  return *g_props;
}

std::string GetProp(std::string_view key) {
  {
    std::lock_guard lock(g_mutex);
    if (g_props) return g_props->Get(key);
  }
  return ParsePropsString(GetPropsString()).Get(key);
}

std::string GetUserName() { return GetProp("UserName"); }

std::string GetPropValue(std::string_view text, std::string_view key, std::string_view separator) {
  std::string full(text);
  if (!separator.empty() && !EndsWith(full, separator)) full += separator;
  const std::string keyEq = std::string(key) + "=";
  const std::size_t at = FindPairStart(full, keyEq, separator);
  if (at == std::string::npos) return "";
  const std::size_t valueStart = at + keyEq.size();
  if (EqualsIgnoreCase(key, "ConnectString")) {
    const std::size_t open = full.find('{', valueStart);
    if (open == std::string::npos) return "";
    const std::size_t close = full.find('}', open + 1);
    if (close == std::string::npos) return "";
    return Trim(std::string_view(full).substr(open + 1, close - open - 1));
  }
  const std::size_t end = separator.empty() ? std::string::npos : full.find(separator, valueStart);
  return Trim(std::string_view(full).substr(valueStart, end == std::string::npos ? std::string::npos : end - valueStart));
}

std::string DatabaseNameOf(std::string_view propsString) {
  return GetPropValue(GetPropValue(propsString, "ConnectString", ";"), "Initial Catalog", ";");
}

}  // namespace vemo::context
