#include "host/spreadsheet/surface_test_util.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "support/run_command.h"

namespace vemo::host::test {

std::filesystem::path MakeFixture(const vemo::test::TempDir& dir, const std::string& kind,
                                  const std::string& extraArguments) {
  // Each fixture is made once per test program and copied for each test:
  // starting python for every test would dominate the suite's time.
  static vemo::test::TempDir cache;
  static std::map<std::string, std::filesystem::path> made;
  std::string key = kind + "|" + extraArguments;
  auto it = made.find(key);
  if (it == made.end()) {
    auto script = vemo::test::SourceDir() / "tests/host/spreadsheet/data" / ("make_" + kind + ".py");
    auto file = cache / (kind + std::to_string(made.size()) + ".xlsx");
    vemo::test::CommandResult result = RunPython(script, ShellQuote(file) + " " + extraArguments);
    EXPECT_EQ(result.status, 0) << result.output;
    it = made.emplace(key, file).first;
  }
  auto out = dir / (kind + ".xlsx");
  std::filesystem::copy_file(it->second, out, std::filesystem::copy_options::overwrite_existing);
  return out;
}

std::string OpenpyxlCell(const std::filesystem::path& file, const std::string& sheet, const std::string& cell) {
  vemo::test::CommandResult r = RunPythonCode(
      "import sys, openpyxl\n"
      "wb = openpyxl.load_workbook(sys.argv[1])\n"
      "print(repr(wb[sys.argv[2]][sys.argv[3]].value), end='')\n",
      ShellQuote(file) + " " + ShellQuote(sheet) + " " + cell);
  return r.status == 0 ? r.output : "";
}

std::shared_ptr<SurfaceApplication> NewApp() {
  auto app = SurfaceApplication::Create();
  app->SetDisplayAlerts(false);
  return app;
}

}  // namespace vemo::host::test
