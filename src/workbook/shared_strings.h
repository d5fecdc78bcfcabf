// The workbook's shared string table. Items are kept as their raw XML so rich
// text and phonetic runs survive; new strings are appended (and reused when the
// same plain text was already added or read).
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::wb {

struct DeflatedBytes;
class DeflateStream;

class SharedStrings {
 public:
  // Reads the <sst> part; `partName` is for messages.
  void Load(std::string_view xml, const std::string& partName);
  // The whole part again: the original root element's attributes, counts updated.
  std::string Write(std::uint64_t referenceCount) const;
  // The same part deflated as it is written, never held whole (a bill's
  // table of 200,000 texts is several megabytes).
  DeflatedBytes WriteDeflated(std::uint64_t referenceCount) const;

  std::size_t size() const { return texts_.size(); }
  std::string_view Text(std::uint32_t index) const;  // plain text (runs joined, phonetic runs left out)
  std::string RawXml(std::uint32_t index) const;       // content of <si>
  bool IsRich(std::uint32_t index) const;

  std::uint32_t Add(std::string_view plainText);
  bool changed() const { return changed_; }

 private:
  // A bill adds one item per distinct text of its lines (200,000 at 100,000
  // lines), so an item is its plain text alone: the raw XML is kept only for
  // the items read from the file (they come first), and the index is an
  // open-addressing table of item numbers, not a second copy of the texts.
  void AppendItemXml(std::string& out, std::uint32_t index) const;
  // Appends the part to `out`, which is `stream`'s buffer when one is given.
  void WriteInto(std::string& out, DeflateStream* stream, std::uint64_t referenceCount) const;
  // The item holding exactly `text` as plain text, or nullopt.
  std::optional<std::uint32_t> FindPlain(std::string_view text) const;
  void IndexPlain(std::uint32_t index);
  void GrowIndex();

  // The plain texts end to end in one buffer: a string object per text
  // would cost 32 bytes before its first character.
  class PackedTexts {
   public:
    std::size_t size() const { return ends_.size(); }
    std::string_view operator[](std::size_t i) const {
      const std::uint32_t start = i == 0 ? 0 : ends_[i - 1];
      return std::string_view(bytes_).substr(start, ends_[i] - start);
    }
    void push_back(std::string_view text);

   private:
    std::string bytes_;
    std::vector<std::uint32_t> ends_;
  };

  PackedTexts texts_;
  std::vector<std::string> loadedRaw_;  // content of <si> of the items read from the file
  std::vector<bool> loadedRich_;
  std::vector<std::uint32_t> slots_;    // item number + 1; 0 is a free slot
  std::size_t indexedCount_ = 0;
  std::string rootStart_ = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
  std::string declaration_ = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
  std::string prefix_;
  std::string tail_;  // elements after the items (extLst), raw
  bool changed_ = false;
};

// The text of an item that is one plain <t> element whose content needs no
// XML decoding (no entity, no markup, no carriage return to normalise, no
// _xHHHH_ escape), in
// place; nullopt for any other item. Entry rows copied many times read their
// keyword texts through here, so the common case skips the parser.
std::optional<std::string_view> PlainItemText(std::string_view rawContent);

// Plain text of the content of an <si> or <is> element given as raw XML:
// <t> directly or in runs, not in phonetic runs.
std::string StringItemText(std::string_view rawContent);

}  // namespace vemo::wb
