// The workbook's shared string table. Items are kept as their raw XML so rich
// text and phonetic runs survive; new strings are appended (and reused when the
// same plain text was already added or read).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vemo::wb {

class SharedStrings {
 public:
  // Reads the <sst> part; `partName` is for messages.
  void Load(std::string_view xml, const std::string& partName);
  // The whole part again: the original root element's attributes, counts updated.
  std::string Write(std::uint64_t referenceCount) const;

  std::size_t size() const { return items_.size(); }
  const std::string& Text(std::uint32_t index) const;   // plain text (runs joined, phonetic runs left out)
  const std::string& RawXml(std::uint32_t index) const;  // content of <si>
  bool IsRich(std::uint32_t index) const;

  std::uint32_t Add(std::string_view plainText);
  bool changed() const { return changed_; }

 private:
  struct Item {
    std::string raw;
    std::string text;
    bool rich = false;
  };
  std::vector<Item> items_;
  std::unordered_map<std::string, std::uint32_t> plainIndex_;
  std::string rootStart_ = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
  std::string declaration_ = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  std::string prefix_;
  std::string tail_;  // elements after the items (extLst), raw
  bool changed_ = false;
};

// Plain text of the content of an <si> or <is> element given as raw XML:
// <t> directly or in runs, not in phonetic runs.
std::string StringItemText(std::string_view rawContent);

}  // namespace vemo::wb
