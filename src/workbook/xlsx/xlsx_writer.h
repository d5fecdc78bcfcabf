// Writing the workbook model back into its .xlsx package.
#pragma once
#include <future>
#include <string>

#include "workbook/zip/deflate_blocks.h"
#include "workbook/workbook.h"

namespace vemo::wb {

class XlsxWriter {
 public:
  explicit XlsxWriter(Workbook& book) : book_(book) {}
  void Write(const std::filesystem::path& path);
  // What Write puts into the package before writing it out: the sheets,
  // the string table and every edited part.
  void PutParts();
  // The worksheet part text: the kept XML with the cells written in place of sheetData.
  static std::string WriteWorksheet(Sheet& sheet);
  // The same text deflated as it is written (the text is never held whole).
  static DeflatedBytes WriteWorksheetDeflated(Sheet& sheet, unsigned threads = DefaultDeflateThreads());

 private:
  void DropCalcChain();
  // Puts the shared string part in place; its deflated bytes, when they are
  // written apart from the caller's thread, come from the future returned.
  std::future<DeflatedBytes> StartSharedStrings();
  Workbook& book_;
};

}  // namespace vemo::wb
