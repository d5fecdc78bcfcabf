// Value and Formula writes follow spreadsheet entry: bill values arrive as
// text. How a text is read is the workbook tests' job; these check that the
// cell's own format reaches that reading and what the cell then holds.
#include <gtest/gtest.h>

#include "foundation/host_error.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using SurfaceEntry = test::SurfaceBookTest;

TEST_F(SurfaceEntry, WritesBecomeTypedValuesByTheCellsFormat) {
  struct Case {
    const char* cell;  // C3 is formatted as Text, D9 as "0.00", G as General
    Variant written, value;
    const char* text;
  } cases[] = {
      {"G1", "1234.5", 1234.5, "1234.5"},
      {"G2", "'00123", "00123", "00123"},
      {"G3", "XS-0001", "XS-0001", "XS-0001"},
      {"G4", "", Variant(), ""},
      {"G5", "false", false, "FALSE"},
      {"C3", "007", "007", "007"},
      {"C3", "=1+1", "=1+1", "=1+1"},
      {"G6", "2026-12-01", Variant(HostDate::FromParts(2026, 12, 1)), "2026-12-01"},
      {"D9", "2026-12-01", 46357.0, "46357.00"},
      {"G7", 12.75, 12.75, "12.75"},
      {"G8", true, true, "TRUE"},
      {"C3", 5, 5.0, "5"},  // a number stays a number even on a Text cell
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cell) + " <- " + c.written.ToText());
    auto cell = sheet->Range(c.cell);
    cell->SetValue(c.written);
    EXPECT_EQ(cell->Value(), c.value);
    EXPECT_FALSE(cell->HasFormula());
    EXPECT_EQ(cell->Text(), c.text);
  }
  EXPECT_NE(sheet->Range("G6")->NumberFormat(), "General") << "a date on a General cell gets a date format";
  EXPECT_EQ(sheet->Range("D9")->NumberFormat(), "0.00") << "a formatted cell keeps its format";
  EXPECT_THROW(sheet->Range("G9")->SetValue(Variant(Bytes{1, 2})), HostError) << "objects cannot be written";
}

TEST_F(SurfaceEntry, TextStartingWithEqualsBecomesAFormula) {
  sheet->Range("G1")->SetValue("=C1*2");
  EXPECT_TRUE(sheet->Range("G1")->HasFormula());
  EXPECT_EQ(sheet->Range("G1")->Formula(), "=C1*2");
  sheet->Range("G2")->SetFormula("=SUM(A1:C1)");
  EXPECT_EQ(sheet->Range("G2")->Formula(), "=SUM(A1:C1)");
  sheet->Range("G3")->SetFormula("15");
  EXPECT_EQ(sheet->Range("G3")->Value(), Variant(15.0));
}

TEST_F(SurfaceEntry, WrittenValuesReachTheFileWithTheirTypes) {
  const std::pair<const char*, const char*> written[] = {
      {"G1", "1234.5"}, {"G2", "XS-0001"}, {"G3", "TRUE"}, {"G4", "=C1*2"}, {"C3", "007"}, {"G5", "2026-12-01"}};
  for (const auto& [cell, text] : written) sheet->Range(cell)->SetValue(text);
  auto out = dir / "entries.xlsx";
  book->SaveAs(out.string());
  const std::pair<const char*, const char*> read[] = {{"G1", "1234.5"},
                                                      {"G2", "'XS-0001'"},
                                                      {"G3", "True"},
                                                      {"G4", "'=C1*2'"},
                                                      {"C3", "'007'"},
                                                      {"G5", "datetime.datetime(2026, 12, 1, 0, 0)"}};
  for (const auto& [cell, repr] : read) EXPECT_EQ(test::OpenpyxlCell(out, "Data", cell), repr) << cell;
}

}  // namespace
}  // namespace vemo::host
