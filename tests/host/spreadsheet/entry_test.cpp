// Value and Formula writes follow spreadsheet entry: bill values arrive as text.
#include <gtest/gtest.h>

#include "foundation/host_error.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using test::MakeFixture;
using test::NewApp;

class SurfaceEntry : public test::SurfaceBookTest {
 protected:
  std::shared_ptr<IRange> Write(const std::string& address, const Variant& value) {
    auto cell = sheet->Range(address);
    cell->SetValue(value);
    return cell;
  }
};

TEST_F(SurfaceEntry, NumericTextBecomesANumber) {
  auto cell = Write("G1", "1234.5");
  EXPECT_EQ(cell->Value(), Variant(1234.5));
  EXPECT_EQ(Write("G2", "-12")->Value(), Variant(-12.0));
  EXPECT_EQ(Write("G3", "007")->Value(), Variant(7.0));
}

TEST_F(SurfaceEntry, ACellFormattedAsTextKeepsTheString) {
  auto cell = Write("C3", "007");
  EXPECT_EQ(cell->Value(), Variant("007"));
  EXPECT_EQ(cell->Text(), "007");
  sheet->Range("C3")->SetFormula("=1+1");
  EXPECT_FALSE(cell->HasFormula());
  EXPECT_EQ(cell->Value(), Variant("=1+1"));
}

TEST_F(SurfaceEntry, ALeadingApostropheMakesTheRestText) {
  auto cell = Write("G1", "'00123");
  EXPECT_EQ(cell->Value(), Variant("00123"));
  EXPECT_EQ(Write("G2", "'=A1")->HasFormula(), false);
}

TEST_F(SurfaceEntry, BillNumbersAndOtherTextStayText) {
  EXPECT_EQ(Write("G1", "XS-0001")->Value(), Variant("XS-0001"));
  EXPECT_EQ(Write("G2", "")->Value(), Variant());
}

TEST_F(SurfaceEntry, TrueAndFalseBecomeBooleans) {
  EXPECT_EQ(Write("G1", "TRUE")->Value(), Variant(true));
  EXPECT_EQ(Write("G2", "false")->Value(), Variant(false));
  EXPECT_EQ(sheet->Range("G2")->Text(), "FALSE");
}

TEST_F(SurfaceEntry, ADateOnAGeneralCellBecomesASerialWithADateFormat) {
  auto cell = Write("G1", "2026-12-01");
  EXPECT_EQ(cell->Value(), Variant(HostDate::FromParts(2026, 12, 1)));
  EXPECT_EQ(cell->Text(), "2026-12-01");
  EXPECT_NE(cell->NumberFormat(), "General");
}

TEST_F(SurfaceEntry, ADateOnAFormattedCellKeepsTheCellsFormat) {
  auto cell = Write("D9", "2026-12-01");  // formatted "0.00"
  EXPECT_EQ(cell->NumberFormat(), "0.00");
  EXPECT_EQ(cell->Text(), "46357.00");
}

TEST_F(SurfaceEntry, TextStartingWithEqualsBecomesAFormula) {
  auto cell = Write("G1", "=C1*2");
  EXPECT_TRUE(cell->HasFormula());
  EXPECT_EQ(cell->Formula(), "=C1*2");
  sheet->Range("G2")->SetFormula("=SUM(A1:C1)");
  EXPECT_EQ(sheet->Range("G2")->Formula(), "=SUM(A1:C1)");
  sheet->Range("G3")->SetFormula("15");
  EXPECT_EQ(sheet->Range("G3")->Value(), Variant(15.0));
}

TEST_F(SurfaceEntry, NumbersAndBooleansAreWrittenAsSuch) {
  EXPECT_EQ(Write("G1", 12.75)->Value(), Variant(12.75));
  EXPECT_EQ(Write("G2", 3)->Value(), Variant(3.0));
  EXPECT_EQ(Write("G3", true)->Value(), Variant(true));
  EXPECT_EQ(Write("C3", 5)->Value(), Variant(5.0));  // a number stays a number even on a Text cell
  Write("G1", Variant());
  EXPECT_EQ(sheet->Range("G1")->Text(), "");
}

TEST_F(SurfaceEntry, ObjectsCannotBeWritten) {
  EXPECT_THROW(Write("G1", Variant(Bytes{1, 2})), HostError);
}

TEST_F(SurfaceEntry, WrittenValuesReachTheFileWithTheirTypes) {
  Write("G1", "1234.5");
  Write("G2", "XS-0001");
  Write("G3", "TRUE");
  Write("G4", "=C1*2");
  Write("C3", "007");
  Write("G5", "2026-12-01");
  auto out = dir / "entries.xlsx";
  book->SaveAs(out.string());
  EXPECT_EQ(test::OpenpyxlCell(out, "Data", "G1"), "1234.5");
  EXPECT_EQ(test::OpenpyxlCell(out, "Data", "G2"), "'XS-0001'");
  EXPECT_EQ(test::OpenpyxlCell(out, "Data", "G3"), "True");
  EXPECT_EQ(test::OpenpyxlCell(out, "Data", "G4"), "'=C1*2'");
  EXPECT_EQ(test::OpenpyxlCell(out, "Data", "C3"), "'007'");
  EXPECT_EQ(test::OpenpyxlCell(out, "Data", "G5"), "datetime.datetime(2026, 12, 1, 0, 0)");
}

}  // namespace
}  // namespace vemo::host
