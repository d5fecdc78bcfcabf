// libFuzzer target for formula text: each input is parsed; a formula that
// parses is evaluated over a small sheet (A1:E5 hold numbers and texts, one
// defined name that refers to itself), then shifted by a row and a column
// insertion and translated as a copied cell is. An unreadable formula or an
// error value is an answer; a crash, a sanitizer report, a timeout or a
// memory blow-up is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "workbook/formula_eval.h"
#include "workbook/formulas/formula_parser.h"
#include "workbook/number_format.h"
#include "workbook/reference_shift.h"

namespace {

using namespace vemo::wb;

class SmallSheet : public EvalContext {
 public:
  CellValue CellAt(std::string_view sheet, int row, int col) override {
    if (!sheet.empty() && sheet != "Sheet1") return CellValue::Error(ErrorCode::Ref);
    if (row > 5 || col > 5) return {};
    if ((row + col) % 3 == 0) return CellValue::Text("t" + std::to_string(row));
    return CellValue::Number(row * 10 + col - 0.5);
  }
  std::optional<std::string> NameFormula(std::string_view name, std::string_view) override {
    if (name == "Loop") return "Loop+1";
    if (name == "Rate") return "Sheet1!$B$2*2";
    return std::nullopt;
  }
  double Today() override { return 46357; }
  bool Date1904() override { return false; }
  Extent UsedExtent(std::string_view) override { return {5, 5}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (!ParseFormula(text).root) return 0;
  SmallSheet sheet;
  const auto formatter = [](double value, std::string_view code, bool date1904) {
    return FormatNumber(value, code, date1904);
  };
  const EvalOptions options{.row = 3, .col = 3, .numberFormatter = formatter};
  (void)EvaluateFormula(text, sheet, options);
  (void)ShiftFormula(text, "Sheet1", "Sheet1", LineInsertion{LineInsertion::Axis::Rows, 2, 3});
  (void)ShiftFormula(text, "Sheet1", "Sheet1", LineInsertion{LineInsertion::Axis::Columns, 1, 16383});
  (void)TranslateFormula(text, 1048575, -3);
  return 0;
}
