// A sheet part deflated as it is written: the same text as the sheet written
// whole, readable from the package after the save, and a second edit and
// save on the same workbook still give the right cells.
#include <gtest/gtest.h>

#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/xlsx/xlsx_writer.h"

namespace vemo::wb {
namespace {

using vemo::test::SharedDir;
using vemo::test::TempDir;

std::unique_ptr<Workbook> LongBook(int rows) {
  auto book = Workbook::Open(SharedDir() / "corpus" / "xlsx" / "45544.xlsx");
  Sheet& sheet = book->GetSheet(0);
  for (int row = 1; row <= rows; ++row) {
    sheet.SetNumber(row, 1, row * 0.25);
    sheet.SetString(row, 2, "item " + std::to_string(row % 1000));
    sheet.SetFormula(row, 3, "A" + std::to_string(row) + "*2");
  }
  return book;
}

TEST(StreamedSheet, GivesTheSameTextAsTheSheetWrittenWhole) {
  auto book = LongBook(30000);  // several blocks of sheet text
  Sheet& sheet = book->GetSheet(0);
  const std::string whole = XlsxWriter::WriteWorksheet(sheet);
  ASSERT_GT(whole.size(), 4 * kDeflateBlockSize);
  // How blocks are fed and threads share them: deflate_blocks_test.cpp.
  const DeflatedBytes streamed = XlsxWriter::WriteWorksheetDeflated(sheet, 2);
  EXPECT_EQ(streamed.size, whole.size());
  EXPECT_TRUE(InflateBytes(streamed, sheet.partName()) == whole);
}

TEST(StreamedSheet, ASecondEditAndSaveAfterTheFirstKeepBoth) {
  TempDir temp;
  auto book = LongBook(20000);
  book->Save(temp / "first.xlsx");
  const std::string part = book->GetSheet(0).partName();
  // The package now holds the part deflated; reading it gives the text.
  EXPECT_EQ(book->ReadRawPart(part), XlsxWriter::WriteWorksheet(book->GetSheet(0)));
  book->GetSheet(0).SetNumber(20001, 1, 42);
  book->GetSheet(0).SetString(5, 2, "changed");
  book->Save(temp / "second.xlsx");

  auto first = Workbook::Open(temp / "first.xlsx");
  EXPECT_EQ(first->GetSheet(0).GetValue(20000, 1).number, 5000);
  EXPECT_EQ(first->GetSheet(0).GetValue(5, 2).text, "item 5");
  EXPECT_EQ(first->GetSheet(0).GetValue(20001, 1).type, CellType::Blank);
  auto second = Workbook::Open(temp / "second.xlsx");
  EXPECT_EQ(second->GetSheet(0).GetValue(20000, 1).number, 5000);
  EXPECT_EQ(second->GetSheet(0).GetValue(20001, 1).number, 42);
  EXPECT_EQ(second->GetSheet(0).GetValue(5, 2).text, "changed");
}

}  // namespace
}  // namespace vemo::wb
