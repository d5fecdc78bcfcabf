// The login's props string: "key=value" pairs separated by ";", a value that
// holds ";" itself written in braces:
//   UserName=Tom; ConnectString={Provider=X;Initial Catalog=Acc1}; AcctID=5
//
// Two readers exist, as in the host:
//   ParsePropsString + GetProp: parse everything once, then read by key.
//   GetPropValue: one lookup in the text, no parsing of the rest.
//
// Decisions where the text is unusual (both readers agree on them):
//   - Keys ignore case.
//   - A repeated key: the first occurrence counts (later ones are skipped).
//   - GetPropValue matches a key only at the start of a pair (start of the
//     text or after a separator, blanks allowed), never inside another key
//     ("ID" does not match "AcctID=") or inside a braced value.
//   - Values are trimmed by both readers.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::context {

class PropsCollection {
 public:
  // Parsing, until the remaining text yields an empty key:
  //  1. key = text before the first "=", trimmed; the rest follows the "=".
  //  2. value: the rest trimmed; if it starts with "{", the text up to the
  //     next "}", and everything up to and including the next ";" is
  //     dropped; otherwise the text before the next ";". Trimmed.
  //  A missing "=", "}" or ";" takes the whole remaining text and leaves
  //  nothing after it.
  static PropsCollection Parse(std::string_view text);

  bool Contains(std::string_view key) const;
  // Raises HostError naming the key when it is absent.
  const std::string& Get(std::string_view key) const;
  // Keys in order of first appearance, as written.
  const std::vector<std::string>& Keys() const { return keys_; }

 private:
  void Add(std::string key, std::string value);
  std::vector<std::string> keys_;
  std::map<std::string, std::string> values_;  // lower-case key -> value
};

// Parses `text` into the process's props collection (replacing the previous one).
const PropsCollection& ParsePropsString(std::string_view text);
// Reads the process's props collection, parsing the session's props string
// first when nothing was parsed yet. Raises HostError for a missing key.
std::string GetProp(std::string_view key);
std::string GetUserName();

// One lookup: append `separator` to `text` unless it ends with it; find
// key + "=" (case-insensitive, at the start of a pair); absent gives "". For
// the key "ConnectString" the value is the text between the "{" after the
// "=" and the next "}" ("" when there is no "{" or no "}"); for any other key
// it runs from after the "=" to the next separator.
std::string GetPropValue(std::string_view text, std::string_view key, std::string_view separator);

// The database of the login: Initial Catalog inside the ConnectString.
std::string DatabaseNameOf(std::string_view propsString);

}  // namespace vemo::context
