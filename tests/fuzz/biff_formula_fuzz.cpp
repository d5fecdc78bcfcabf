// libFuzzer target for the .xls formula decoder (build with -DVEMO_FUZZ=ON and
// clang). The first input byte splits the rest into the token array and the
// data that follows it (array constants); the tokens are read against a fixed
// workbook context with sheets, an external and an add-in book, and names.
// A refusal (WorkbookError) is the expected answer to broken tokens. Text the
// decoder gives is written as tokens again; when the encoder accepts it, those
// tokens must read without error. Crashes, sanitizer reports, timeouts and
// memory blow-ups are findings.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "workbook/workbook_error.h"
#include "workbook/xls/biff_formula.h"

using namespace vemo::wb::xls;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  std::size_t split = 1 + data[0] % (size - 1);
  std::span<const std::uint8_t> rgce(data + 1, split);
  std::span<const std::uint8_t> extra(data + 1 + split, size - 1 - split);
  static const FormulaContext context{
      .sheetNames = {"Sheet1", "Data Sheet", "Sheet3"},
      .supbooks = {Supbook{SupbookKind::Internal, {}, {}, {}},
                   Supbook{SupbookKind::External, "book.xls", {"Other"}, {"Rate"}},
                   Supbook{SupbookKind::AddIn, {}, {}, {"EOMONTH"}}},
      .xti = {{0, 0, 0}, {0, 1, 1}, {0, 0, 2}, {1, 0, 0}, {2, 0xFFFE, 0xFFFE}, {0, 0xFFFF, 0xFFFF}},
      .names = {{"Tax", 0}, {"Rate", 2}, {"_xlnm.Print_Area", 1}}};
  const vemo::wb::CellAddress base{1 + data[0], 1 + data[0] / 2};
  FormulaUse use = data[0] & 0x80 ? FormulaUse::Shared : FormulaUse::Cell;
  std::string text;
  FormulaContext writable = context;
  EncodedFormula encoded;
  try {
    text = DecodeFormula(rgce, extra, use, base, context);
    // The encoder may refuse text .xls cannot hold (for example a reference to another book).
    encoded = EncodeFormula(text, use, base, writable);
  } catch (const vemo::wb::WorkbookError&) {
    return 0;
  }
  try {
    DecodeFormula(encoded.rgce, encoded.extra, use, base, writable);
  } catch (const vemo::wb::WorkbookError& e) {
    std::fprintf(stderr, "biff_formula_fuzz: tokens written for \"%s\" do not read: %s\n", text.c_str(), e.what());
    std::abort();
  }
  return 0;
}
