// Application, workbook, sheet and range members: addresses, relative cells,
// displayed text, number formats, read-only members, multi-cell writes.
#include <gtest/gtest.h>

#include <fstream>

#include "foundation/creation_service.h"
#include "foundation/host_error.h"
#include "host/spreadsheet/surface_test_util.h"
#include "support/error_text.h"

namespace vemo::host {
namespace {


using SurfaceBasics = test::SurfaceBookTest;

TEST_F(SurfaceBasics, EachCreationUnderItsIdentifierIsANewInstanceOfVersionTwelve) {
  RegisterSpreadsheetApplication();
  auto a = CreateObjectAs<IApplication>("et.application");
  auto b = CreateObjectAs<IApplication>("ET.Application");
  EXPECT_GE(LeadingNumber(a->Version()), 12);
  EXPECT_GT(a->Hwnd(), 0);
  EXPECT_NE(a->Hwnd(), b->Hwnd());
  EXPECT_EQ(a->Application().get(), a.get());
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

TEST_F(SurfaceBasics, AddressesAreAbsoluteA1TextAndCellsCountFromTheRangesFirstCell) {
  const std::pair<std::shared_ptr<IRange>, const char*> cases[] = {
      {sheet->UsedRange(), "$A$1:$E$9"},
      {sheet->Cells(3, 2), "$B$3"},
      {sheet->Range("c2:d5"), "$C$2:$D$5"},
      {sheet->Rows(6), "$6:$6"},
      {sheet->Rows(6)->Resize(3), "$6:$8"},
      {sheet->Columns(2), "$B:$B"},
      {sheet->Cells(1, 28), "$AB$1"},
      {sheet->Cells(2, 2)->Resize(2, 3), "$B$2:$D$3"},
      {sheet->Range("B2:C3")->Cells(1, 1), "$B$2"},
      {sheet->Range("B2:C3")->Cells(5, 4), "$E$6"},  // may leave the range
  };
  for (const auto& [range, address] : cases) EXPECT_EQ(range->Address(), address);
  EXPECT_EQ(sheet->Cells(1, 1)->Cells(2, 1)->Formula(), "=A1*2");
  EXPECT_THROW(sheet->Cells(1, 1)->Cells(0, 1), HostError);
  EXPECT_THROW(sheet->Rows(6)->Resize(0), HostError);
  EXPECT_THROW(sheet->Rows(6)->Resize(-1), HostError);
}

// How each format shows a value is the workbook tests' job.
TEST_F(SurfaceBasics, TextShowsTheCellAsDisplayedFormulaAsTyped) {
  EXPECT_EQ(sheet->Range("A1")->Text() + "|" + sheet->Range("A1")->Formula(), "1,234.50|1234.5");
  EXPECT_EQ(sheet->Range("Z99")->Text() + "|" + sheet->Range("Z99")->Formula(), "|");
  EXPECT_EQ(sheet->Range("A2")->Formula(), "=A1*2");
  EXPECT_TRUE(sheet->Range("A2")->HasFormula());
  EXPECT_FALSE(sheet->Range("A1")->HasFormula());
  EXPECT_THROW(sheet->Range("B2")->SetHasFormula(true), HostError);
  EXPECT_EQ(sheet->Range("B2")->Formula(), "[$Page1_FBillNo]");
}

TEST_F(SurfaceBasics, NumberFormatLocalNamesGeneralInTheLocale) {
  auto cell = sheet->Range("C1");
  EXPECT_EQ(cell->NumberFormatLocal(), "G/通用格式");
  EXPECT_EQ(cell->NumberFormat(), "General");
  cell->SetNumberFormatLocal("#,##0.00");
  EXPECT_EQ(cell->NumberFormatLocal(), "#,##0.00");
  EXPECT_EQ(cell->Text(), "42.00");
  sheet->Range("A1")->SetNumberFormatLocal("G/通用格式");
  EXPECT_EQ(sheet->Range("A1")->NumberFormat(), "General");
}

TEST_F(SurfaceBasics, WritingARangeWritesEveryCell) {
  sheet->Range("G1:H2")->SetValue("5");
  EXPECT_EQ(sheet->Range("G1")->Value(), Variant(5.0));
  EXPECT_EQ(sheet->Range("H2")->Value(), Variant(5.0));
  EXPECT_EQ(sheet->Range("I2")->Value(), Variant());
  EXPECT_THROW(sheet->Columns(3)->SetValue("x"), HostError);  // a million cells: refused
}

TEST_F(SurfaceBasics, InsertedColumnsTakeTheFormatOfTheColumnOnTheirLeft) {
  sheet->Columns(2)->Insert(kShiftToRight);
  EXPECT_EQ(sheet->Range("B1")->NumberFormat(), "#,##0.00");  // A1's format
  EXPECT_EQ(sheet->Range("B1")->Formula(), "");
  EXPECT_EQ(sheet->Range("C1")->Text(), "25%");
  EXPECT_EQ(sheet->Range("A2")->Formula(), "=A1*2");
}

TEST_F(SurfaceBasics, OpeningAMissingOrBrokenFileRaisesWithTheReason) {
  vemo::test::ExpectErrorSaying<HostError>([&] { app->Workbooks()->Open((dir / "missing.xlsx").string()); }, "missing.xlsx");
  std::ofstream(dir / "junk.xlsx") << "not a workbook";
  EXPECT_THROW(app->Workbooks()->Open((dir / "junk.xlsx").string()), HostError);
  EXPECT_EQ(app->Workbooks()->Count(), 1);
}

// Ending an application: Quit, and ending it by its handle as the engine's
// error path does, without touching any other instance.
TEST_F(SurfaceBasics, TerminatingByHandleEndsOnlyThatInstance) {
  const auto file = dir / "surface_book.xlsx";
  auto second = test::NewApp();
  auto secondCell = second->Workbooks()->Open(file.string())->Worksheets()->Item(1)->Range("A1");
  auto firstCell = sheet->Range("A1");
  firstCell->SetValue("unsaved edit");
  EXPECT_TRUE(TerminateApplicationByHandle(app->Hwnd()));
  EXPECT_THROW(firstCell->Text(), HostError);
  EXPECT_THROW(app->Workbooks(), HostError);
  secondCell->SetValue("still working");
  EXPECT_EQ(secondCell->Text(), "still working");
  EXPECT_EQ(test::OpenpyxlCell(file, "Data", "A1"), "1234.5") << "the ended instance's edit reached the file";
  // A second termination, or one with a handle nobody has, does nothing.
  for (std::int32_t handle : {app->Hwnd(), 0, second->Hwnd() + 4000}) EXPECT_FALSE(TerminateApplicationByHandle(handle)) << handle;
  EXPECT_EQ(second->Workbooks()->Count(), 1);
}

TEST_F(SurfaceBasics, QuitOrReleasingTheLastReferenceEndsTheInstance) {
  const auto before = LiveApplicationCount();
  app->Quit();
  EXPECT_EQ(LiveApplicationCount(), before - 1);
  EXPECT_THROW(sheet->UsedRange(), HostError) << "Quit discards the open workbooks";
  EXPECT_FALSE(TerminateApplicationByHandle(app->Hwnd()));
  std::int32_t handle = 0;
  {
    auto released = test::NewApp();
    handle = released->Hwnd();
    EXPECT_EQ(LiveApplicationCount(), before);
  }
  EXPECT_EQ(LiveApplicationCount(), before - 1);
  EXPECT_FALSE(TerminateApplicationByHandle(handle));
}

}  // namespace
}  // namespace vemo::host
