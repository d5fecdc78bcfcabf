// Reading an .xls (BIFF8) workbook into the model: the records the model
// interprets become the parts an .xlsx package would hold (sheets, shared
// strings, styles, the workbook part), the rest is kept in an XlsSource for
// writing back.
#pragma once
#include <string>
#include <string_view>

#include "workbook/workbook.h"

namespace vemo::wb {

class XlsReader {
 public:
  explicit XlsReader(Workbook& book) : book_(book) {}
  // `bytes` is the whole file; `label` names it in messages.
  void Read(std::string_view bytes, const std::string& label);

 private:
  Workbook& book_;
};

}  // namespace vemo::wb
