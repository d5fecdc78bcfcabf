// vemoprint fill on templates it cannot fill: the reason is told and the
// --out file is left as it was (absent or with its previous contents).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::app {
namespace {

namespace fs = std::filesystem;
using vemo::test::ShellQuote;

TEST(FillCommand, AFailedFillTellsWhyAndLeavesOutAsItWas) {
  if (!fs::exists(vemo::test::VemoprintPath())) GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
  struct Case {
    const char* name;
    const char* python;  // writes the template to sys.argv[1] from the sample at sys.argv[2]
    const char* reason;
  };
  const Case cases[] = {
      {"not a zip package", "open(sys.argv[1], 'w').write('plain text')", "not a zip package"},
      {"a DOCTYPE in a sheet",
       "z = zipfile.ZipFile(sys.argv[2]); o = zipfile.ZipFile(sys.argv[1], 'w')\n"
       "for i in z.infolist():\n"
       "  d = z.read(i.filename)\n"
       "  o.writestr(i, (b'<!DOCTYPE worksheet [<!ENTITY a \"b\">]>' + d) if i.filename == 'xl/worksheets/sheet1.xml' else d)\n"
       "o.close()",
       "declares a DOCTYPE"},
  };
  vemo::test::TempDir dir;
  fs::create_directories(dir / "out");
  const fs::path sample = vemo::test::SourceDir() / "examples/templates/sales_invoice_plain.xlsx";
  const fs::path request = vemo::test::SourceDir() / "examples/requests/sales_invoice_plain.json";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path broken = dir / "broken.xlsx";
    auto made = vemo::test::RunCommand("/usr/bin/python3 -c " + ShellQuote(std::string("import sys, zipfile\n") + c.python) +
                                       " " + ShellQuote(broken) + " " + ShellQuote(sample));
    ASSERT_EQ(made.status, 0) << made.output;
    std::ofstream(dir / "out" / "bill.xlsx") << "previous";
    // --out relative to the current folder, as a user types it.
    auto fill = vemo::test::RunCommand("cd " + ShellQuote(dir.path()) + " && VEMO_DATA_DIR=. TMPDIR=. " +
                                       ShellQuote(vemo::test::VemoprintPath()) + " fill --template broken.xlsx --request " +
                                       ShellQuote(request) + " --out out/bill.xlsx");
    EXPECT_EQ(fill.status, 1) << fill.output;
    EXPECT_NE(fill.output.find(c.reason), std::string::npos) << fill.output;
    std::ifstream in(dir / "out" / "bill.xlsx");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "previous");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 1) << "a file was left beside it";
  }
}

}  // namespace
}  // namespace vemo::app
