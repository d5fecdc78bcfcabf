// Helpers of the spreadsheet surface tests: fixture workbooks made by the
// committed openpyxl scripts, the independent checking tools, and a fresh
// application per test.
#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "host/spreadsheet/spreadsheet_application.h"
#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::host::test {

using vemo::test::RunPython;
using vemo::test::RunPythonCode;
using vemo::test::ShellQuote;

// Writes the fixture `kind` ("surface_book" or "invoice") into `dir`.
std::filesystem::path MakeFixture(const vemo::test::TempDir& dir, const std::string& kind,
                                  const std::string& extraArguments = "");

// Value of one cell as openpyxl reads it (repr of the value), "" when the
// file cannot be read.
std::string OpenpyxlCell(const std::filesystem::path& file, const std::string& sheet, const std::string& cell);

// A new application instance; DisplayAlerts off as the engine sets it.
std::shared_ptr<SurfaceApplication> NewApp();

// A fresh application with a fixture ("surface_book" unless a test says
// another) open and its first sheet at hand.
class SurfaceBookTest : public ::testing::Test {
 protected:
  virtual const char* Fixture() const { return "surface_book"; }
  void SetUp() override {
    app = NewApp();
    templ = MakeFixture(dir, Fixture());
    book = app->Workbooks()->Open(templ.string());
    sheet = book->Worksheets()->Item(1);
  }
  vemo::test::TempDir dir;
  std::filesystem::path templ;
  std::shared_ptr<SurfaceApplication> app;
  std::shared_ptr<IWorkbook> book;
  std::shared_ptr<IWorksheet> sheet;
};

}  // namespace vemo::host::test
