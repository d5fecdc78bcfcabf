// Writing the model as an .xls (BIFF8) workbook. What the model holds (cells,
// rows, column widths, merges, fonts, number formats, cell formats, sheets,
// the string table) is written from the model; for a workbook read from .xls
// every other record, stream and storage is written back as it came, and the
// offsets and index records are made anew. What an .xlsx workbook holds that
// cannot be carried into .xls is named in a warning on standard error.
#pragma once
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "workbook/workbook.h"

namespace vemo::wb {

class XlsWriter {
 public:
  explicit XlsWriter(Workbook& book) : book_(book) {}
  void Write(const std::filesystem::path& path);
  // What was left behind in the last write, one phrase each.
  const std::set<std::string>& warnings() const { return warnings_; }

 private:
  Workbook& book_;
  std::set<std::string> warnings_;
};

// What a workbook read from .xls holds only as records (split panes,
// notes, conditional formats, ...), one phrase each: saving it as .xlsx
// leaves these out. What its drawings leave out is named by
// XlsxPicturesOfXls (xls_pictures_to_xlsx.h).
std::set<std::string> XlsOnlyContent(const Workbook& book);

}  // namespace vemo::wb
