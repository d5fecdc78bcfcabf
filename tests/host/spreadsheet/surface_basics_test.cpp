// Application, workbook, sheet and range members that read: addresses,
// relative cells, displayed text, number formats, read-only members.
#include <gtest/gtest.h>

#include <fstream>

#include "foundation/creation_service.h"
#include "foundation/host_error.h"
#include "host/spreadsheet/surface_test_util.h"

namespace vemo::host {
namespace {

using test::MakeFixture;
using test::NewApp;

using SurfaceBasics = test::SurfaceBookTest;

TEST_F(SurfaceBasics, ApplicationReportsVersionTwelveAndItsOwnHandle) {
  EXPECT_GE(LeadingNumber(app->Version()), 12);
  auto other = NewApp();
  EXPECT_GT(app->Hwnd(), 0);
  EXPECT_NE(app->Hwnd(), other->Hwnd());
  EXPECT_EQ(app->Application().get(), app.get());
  EXPECT_EQ(app->Workbooks()->Count(), 1);
}

TEST_F(SurfaceBasics, RegisteredUnderItsIdentifierEachCreationIsANewInstance) {
  RegisterSpreadsheetApplication();
  auto a = CreateObjectAs<IApplication>("et.application");
  auto b = CreateObjectAs<IApplication>("ET.Application");
  EXPECT_NE(a->Hwnd(), b->Hwnd());
  EXPECT_EQ(a->Workbooks()->Count(), 0);
}

TEST_F(SurfaceBasics, SheetsAreCountedAndReachedFromOne) {
  auto sheets = book->Worksheets();
  ASSERT_EQ(sheets->Count(), 3);
  EXPECT_EQ(sheets->Item(1)->Name(), "Data");
  EXPECT_EQ(book->Sheets()->Item(3)->Name(), "Third");
  EXPECT_EQ(sheets->Item(2)->Index(), 2);
  EXPECT_THROW(sheets->Item(0), HostError);
  EXPECT_THROW(sheets->Item(4), HostError);
}

TEST_F(SurfaceBasics, AddressesAreAbsoluteA1Text) {
  EXPECT_EQ(sheet->UsedRange()->Address(), "$A$1:$E$9");
  EXPECT_EQ(sheet->Cells(3, 2)->Address(), "$B$3");
  EXPECT_EQ(sheet->Range("c2:d5")->Address(), "$C$2:$D$5");
  EXPECT_EQ(sheet->Rows(6)->Address(), "$6:$6");
  EXPECT_EQ(sheet->Rows(6)->Resize(3)->Address(), "$6:$8");
  EXPECT_EQ(sheet->Columns(2)->Address(), "$B:$B");
  EXPECT_EQ(sheet->Cells(1, 28)->Address(), "$AB$1");
}

TEST_F(SurfaceBasics, CellsCountFromTheRangesFirstCellAndMayLeaveIt) {
  auto range = sheet->Range("B2:C3");
  auto cell = range->Cells(1, 1);
  EXPECT_EQ(cell->Row(), 2);
  EXPECT_EQ(cell->Column(), 2);
  auto outside = range->Cells(5, 4);
  EXPECT_EQ(outside->Address(), "$E$6");
  EXPECT_EQ(sheet->Cells(1, 1)->Cells(2, 1)->Formula(), "=A1*2");
  EXPECT_THROW(sheet->Cells(1, 1)->Cells(0, 1), HostError);
}

TEST_F(SurfaceBasics, ResizeToNothingRaises) {
  EXPECT_THROW(sheet->Rows(6)->Resize(0), HostError);
  EXPECT_THROW(sheet->Rows(6)->Resize(-1), HostError);
  EXPECT_EQ(sheet->Cells(2, 2)->Resize(2, 3)->Address(), "$B$2:$D$3");
}

// How each format shows a value is the workbook tests' job.
TEST_F(SurfaceBasics, TextShowsTheValueInItsNumberFormat) {
  EXPECT_EQ(sheet->Range("A1")->Text(), "1,234.50");
  EXPECT_EQ(sheet->Range("E1")->Text(), "TRUE");
  EXPECT_EQ(sheet->Range("Z99")->Text(), "");
}

TEST_F(SurfaceBasics, FormulaShowsFormulasWithEqualsAndConstantsAsTyped) {
  EXPECT_EQ(sheet->Range("A2")->Formula(), "=A1*2");
  EXPECT_EQ(sheet->Range("A1")->Formula(), "1234.5");
  EXPECT_EQ(sheet->Range("E1")->Formula(), "TRUE");
  EXPECT_EQ(sheet->Range("D1")->Formula(), "plain text");
  EXPECT_TRUE(sheet->Range("A2")->HasFormula());
  EXPECT_FALSE(sheet->Range("A1")->HasFormula());
}

TEST_F(SurfaceBasics, HasFormulaCannotBeSet) {
  auto cell = sheet->Range("B2");
  EXPECT_THROW(cell->SetHasFormula(true), HostError);
  EXPECT_FALSE(cell->HasFormula());
  EXPECT_EQ(cell->Formula(), "[$Page1_FBillNo]");
}

TEST_F(SurfaceBasics, NumberFormatLocalNamesGeneralInTheLocaleAndKeepsOtherCodes) {
  auto cell = sheet->Range("C1");
  EXPECT_EQ(cell->NumberFormatLocal(), "G/通用格式");
  EXPECT_EQ(cell->NumberFormat(), "General");
  cell->SetNumberFormatLocal("#,##0.00");
  EXPECT_EQ(cell->NumberFormatLocal(), "#,##0.00");
  EXPECT_EQ(cell->Text(), "42.00");
  cell->SetNumberFormatLocal("G/通用格式");
  EXPECT_EQ(cell->NumberFormatLocal(), "G/通用格式");
  EXPECT_EQ(cell->Text(), "42");
  // The format belongs to that cell alone.
  EXPECT_EQ(sheet->Range("A1")->NumberFormatLocal(), "#,##0.00");
  EXPECT_EQ(sheet->Range("D9")->NumberFormat(), "0.00");
}

TEST_F(SurfaceBasics, NumberFormatSurvivesSaving) {
  sheet->Range("C1")->SetNumberFormatLocal("#,##0.00");
  sheet->Range("A1")->SetNumberFormatLocal("G/通用格式");
  auto out = dir / "formats.xlsx";
  book->SaveAs(out.string());
  book->Close(false);
  auto again = app->Workbooks()->Open(out.string())->Worksheets()->Item(1);
  EXPECT_EQ(again->Range("C1")->NumberFormatLocal(), "#,##0.00");
  EXPECT_EQ(again->Range("A1")->NumberFormatLocal(), "G/通用格式");
  EXPECT_EQ(again->Range("A1")->Text(), "1234.5");
}

TEST_F(SurfaceBasics, OpeningAMissingOrBrokenFileRaisesWithTheReason) {
  try {
    app->Workbooks()->Open((dir / "missing.xlsx").string());
    FAIL() << "opened a missing file";
  } catch (const HostError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.xlsx"), std::string::npos) << e.what();
  }
  auto junk = dir / "junk.xlsx";
  std::ofstream(junk) << "not a workbook";
  EXPECT_THROW(app->Workbooks()->Open(junk.string()), HostError);
  EXPECT_EQ(app->Workbooks()->Count(), 1);
}

}  // namespace
}  // namespace vemo::host
