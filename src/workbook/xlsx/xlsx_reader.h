// Reading an .xlsx package into the workbook model.
#pragma once
#include <pugixml.hpp>

#include <cstdint>
#include <string_view>

#include "workbook/workbook.h"

namespace vemo::wb {

class XlsxReader {
 public:
  explicit XlsxReader(Workbook& book) : book_(book) {}
  void Read();
  // Fills `sheet` from the bytes of its worksheet part.
  static void ReadWorksheet(Sheet& sheet, std::string_view xml);

 private:
  void ReadSheets();
  static std::uint32_t SharedStringIndex(const Sheet& sheet, std::string_view value, int row, int col);
  // The cell style index `value` of a cell, a row (col 0) or a column (row 0),
  // checked against the `count` cell styles of the style part.
  static std::uint32_t StyleIndex(const Sheet& sheet, std::string_view value, std::size_t count, int row, int col);
  static void ReadCellContent(Sheet& sheet, const pugi::xml_node& c, std::string_view type, std::uint32_t rowNumber,
                              Cell& cell);
  Workbook& book_;
};

// Last path segment of a relationship type ("worksheet" for .../relationships/worksheet).
std::string_view RelationshipKind(std::string_view type);

}  // namespace vemo::wb
