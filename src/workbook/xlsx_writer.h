// Writing the workbook model back into its .xlsx package.
#pragma once
#include <string>

#include "workbook/workbook.h"

namespace vemo::wb {

class XlsxWriter {
 public:
  explicit XlsxWriter(Workbook& book) : book_(book) {}
  void Write(const std::filesystem::path& path);
  // The worksheet part text: the kept XML with the cells written in place of sheetData.
  static std::string WriteWorksheet(Sheet& sheet);

 private:
  void DropCalcChain();
  void WriteSharedStrings();
  Workbook& book_;
};

}  // namespace vemo::wb
