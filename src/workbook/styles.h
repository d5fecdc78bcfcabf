// The parts of the style sheet callers need: the number format of a cell
// style, and new cell styles that copy an existing one with another number
// format. The style part itself stays an XML document; untouched, it is
// written back byte for byte.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::wb {

class XmlDocument;  // model/xml_access.h

class Styles {
 public:
  // `doc` is the parsed styles part (owned by the workbook); may be empty when
  // the package has none.
  void Attach(XmlDocument* doc) {
    doc_ = doc;
    codes_.clear();
  }

  // Answered from a table made once per style part (every written cell asks).
  const std::string& NumberFormatCode(std::uint32_t styleIndex) const;
  std::uint32_t NumberFormatId(std::uint32_t styleIndex) const;
  std::size_t CellStyleCount() const;
  // A cell style equal to `baseStyle` but with number format `code`; reuses
  // one made before for the same pair. Throws when there is no style part.
  std::uint32_t WithNumberFormat(std::uint32_t baseStyle, std::string_view code);

  bool changed() const { return changed_; }

 private:
  std::uint32_t NumberFormatIdFor(std::string_view code);
  // The format code of every cell style, by style index; built on first use
  // and dropped when a style is added.
  void BuildCodeTable() const;
  XmlDocument* doc_ = nullptr;
  mutable std::vector<std::string> codes_;
  std::map<std::pair<std::uint32_t, std::string>, std::uint32_t> made_;
  bool changed_ = false;
};

// Code of a built-in number format id (0..49 as defined by the file format);
// empty for ids that have no fixed code.
std::string_view BuiltinNumberFormatCode(std::uint32_t id);

}  // namespace vemo::wb
