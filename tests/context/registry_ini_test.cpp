#include <gtest/gtest.h>

#include "context/ini_file.h"
#include "context/registry.h"
#include "support/session_fixture.h"
#include "foundation/utf8_text.h"

namespace vemo::context::test {

using vemo::test::ContextTest;
namespace {

class RegistryTest : public ContextTest {
 protected:
  ~RegistryTest() override { SetProcess32On64(false); }
};

// Trimmed string values, names ignoring case; every failure gives "".
TEST_F(RegistryTest, ReadsTrimmedStringValuesIgnoringCase) {
  EXPECT_EQ(RegRead("SOFTWARE\\Quorvan", "Path"), "");  // no registry file
  WriteMachineFile("registry.json", {{"SOFTWARE\\Quorvan\\TRADON\\VemoSTD", {{"Path", "  C:\\Tradon \t"}, {"Number", 5}}}});
  const struct {
    const char *key, *name, *answer;
  } cases[] = {
      {"SOFTWARE\\Quorvan\\TRADON\\VemoSTD", "Path", "C:\\Tradon"},
      {"software\\quorvan\\tradon\\vemostd", "PATH", "C:\\Tradon"},
      {"SOFTWARE\\Quorvan\\TRADON\\VemoSTD\\", "Path", "C:\\Tradon"},
      {"SOFTWARE\\B", "Path", ""},
      {"SOFTWARE\\Quorvan\\TRADON\\VemoSTD", "Other", ""},
      {"SOFTWARE\\Quorvan\\TRADON\\VemoSTD", "Number", ""},  // not a string value
      {"SOFTWARE\\Quorvan", "Path", ""},                     // a parent is not the key
  };
  for (const auto& c : cases) EXPECT_EQ(RegRead(c.key, c.name), c.answer) << c.key << " / " << c.name;
  std::ofstream(MachineFolder() / "registry.json") << "{ broken";
  EXPECT_EQ(RegRead("SOFTWARE\\Quorvan\\TRADON\\VemoSTD", "Path"), "");
}

TEST_F(RegistryTest, Wow6432NodeOnlyForA32BitProcessOn64BitWindowsAndTheLegacyOfficeVersions) {
  WriteMachineFile("registry.json", {{"SOFTWARE\\Quorvan\\K", {{"Path", "native"}}},
                                     {"SOFTWARE\\Wow6432Node\\Quorvan\\K", {{"Path", "wow"}}}});
  EXPECT_FALSE(IsProcess32On64());
  EXPECT_EQ(RegRead("SOFTWARE\\Quorvan\\K", "Path"), "native");
  SetProcess32On64(true);
  EXPECT_EQ(RegRead("SOFTWARE\\Quorvan\\K", "Path"), "wow");
  EXPECT_EQ(RegistryViewPath("SOFTWARE\\A\\SOFTWARE"), "SOFTWARE\\Wow6432Node\\A\\SOFTWARE\\Wow6432Node");
  EXPECT_EQ(RegistryViewPath("Software\\A"), "Software\\A");  // the rule is case-sensitive
  SetProcess32On64(false);
  // The legacy office check tries only 12, 14 and 15.
  WriteMachineFile("registry.json", {{"SOFTWARE\\Microsoft\\Office\\16.0\\Excel\\InstallRoot", {{"Path", "C:\\Office16\\"}}}});
  WriteWindowsFile("C:\\Office16\\Excel.exe", "x");
  EXPECT_FALSE(IsOfficeAppInstalledLegacy("Excel"));
  EXPECT_TRUE(IsOfficeAppInstalledForVersions("Excel", {"16.0"}));

  WriteMachineFile("registry.json", {{"SOFTWARE\\Microsoft\\Office\\14.0\\Excel\\InstallRoot", {{"Path", "C:\\Office14\\"}}}});
  EXPECT_FALSE(IsOfficeAppInstalledLegacy("Excel"));  // registered but the program is missing
  WriteWindowsFile("C:\\Office14\\Excel.exe", "x");
  EXPECT_TRUE(IsOfficeAppInstalledLegacy("Excel"));
  EXPECT_FALSE(IsOfficeAppInstalledLegacy("Outlook"));
}

TEST(ReadIniText, SectionsKeysCommentsDefaultsAndLength) {
  const char* sections = "[Version]\nBarcodeControlType=2\n[Share]\nPictureFolder = D:\\Pics \n";
  const char* firsts = "[A]\nK=1\nK=2\n[B]\nK=3\n[a]\nK=4\nL=5\n";
  const char* quoted =
      "\xEF\xBB\xBF; comment\r\n[A]\r\n;B=commented\r\nB=\"quoted value\" \r\nC='single'\r\nD=\"half\r\nE=x ; not a comment\r\n";
  const std::string longValue(300, 'x');
  std::string chinese;
  for (int i = 0; i < 300; ++i) chinese += "汉";
  struct Case {
    std::string ini, section, key, fallback, answer;
  };
  const Case cases[] = {
      {sections, "version", "BARCODECONTROLTYPE", "0", "2"},  // names ignore case
      {sections, "SHARE", "picturefolder", "", "D:\\Pics"},
      {sections, "Share", "BarcodeControlType", "none", "none"},  // the key of another section
      {"", "A", "B", "dflt  ", "dflt"},                         // trailing blanks removed
      {"[A]\nC=1", "A", "B", " x", " x"},
      {"[A]\nK=\n", "A", "K", "dflt", ""},  // an empty value is not the default
      {firsts, "A", "K", "", "1"},  // the first section and the first key count
      {firsts, "A", "L", "none", "none"},
      {firsts, "B", "K", "", "3"},
      {quoted, "A", "B", "none", "quoted value"},
      {quoted, "A", "C", "", "single"},
      {quoted, "A", "D", "", "\"half"},
      {quoted, "A", "E", "", "x ; not a comment"},
      {quoted, "A", ";B", "none", "none"},  // a comment line is no key
      {"[A]\n#K=1\n", "A", "#K", "", "1"},     // only ";" starts a comment
      {"[A]\nK=" + longValue + "\n", "A", "K", "", longValue.substr(0, 254)},  // answers are cut to 254 characters
      {"", "A", "K", longValue, longValue.substr(0, 254)},
      {"[A]\nK=" + chinese, "A", "K", "", LeftChars(chinese, 254)},  // characters, never a broken one
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadIniText(c.ini, c.section, c.key, c.fallback), c.answer) << c.ini << " / " << c.section << " / " << c.key;
}

class IniFileTest : public ContextTest {};

TEST_F(IniFileTest, ReadsAFileNamedTheWindowsWay) {
  WriteWindowsFile("C:\\Tradon\\VemoBaseScheme.ini", "[Version]\nBarcodeControlType=1\n");
  EXPECT_EQ(ReadIni("C:\\Tradon\\VemoBaseScheme.ini", "Version", "BarcodeControlType", "0"), "1");
  EXPECT_EQ(ReadIni("c:\\TRADON\\vemobasescheme.INI", "version", "barcodecontroltype", "0"), "1");  // names ignore case
  EXPECT_EQ(ReadIni("C:\\Tradon\\\\VemoBaseScheme.ini", "Version", "BarcodeControlType", "0"), "1");  // doubled separator
  EXPECT_EQ(ReadIni("C:\\Missing.ini", "Version", "BarcodeControlType", "0"), "0");
}

}  // namespace
}  // namespace vemo::context::test
