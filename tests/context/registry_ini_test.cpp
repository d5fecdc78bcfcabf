#include <gtest/gtest.h>

#include "context/ini_file.h"
#include "context/registry.h"
#include "context_fixture.h"
#include "foundation/utf8_text.h"

namespace vemo::context::test {
namespace {

class RegistryTest : public ContextTest {
 protected:
  ~RegistryTest() override { SetProcess32On64(false); }
};

TEST_F(RegistryTest, ReadsTrimmedStringValuesIgnoringCase) {
  WriteMachineFile("registry.json", {{"SOFTWARE\\Quorvan\\TRADON\\VemoSTD", {{"Path", "  C:\\Tradon \t"}}}});
  EXPECT_EQ(RegRead("SOFTWARE\\Quorvan\\TRADON\\VemoSTD", "Path"), "C:\\Tradon");
  EXPECT_EQ(RegRead("software\\quorvan\\tradon\\vemostd", "PATH"), "C:\\Tradon");
  EXPECT_EQ(RegRead("SOFTWARE\\Quorvan\\TRADON\\VemoSTD\\", "Path"), "C:\\Tradon");
}

TEST_F(RegistryTest, EveryFailureGivesEmpty) {
  EXPECT_EQ(RegRead("SOFTWARE\\Quorvan", "Path"), "");  // no registry file
  WriteMachineFile("registry.json", {{"SOFTWARE\\A", {{"Path", "x"}, {"Number", 5}}}});
  EXPECT_EQ(RegRead("SOFTWARE\\B", "Path"), "");
  EXPECT_EQ(RegRead("SOFTWARE\\A", "Other"), "");
  EXPECT_EQ(RegRead("SOFTWARE\\A", "Number"), "");  // not a string value
  EXPECT_EQ(RegRead("SOFTWARE", "Path"), "");       // a parent is not the key
  std::ofstream(MachineFolder() / "registry.json") << "{ broken";
  EXPECT_EQ(RegRead("SOFTWARE\\A", "Path"), "");
}

TEST_F(RegistryTest, Wow6432NodeOnlyForA32BitProcessOn64BitWindows) {
  WriteMachineFile("registry.json", {{"SOFTWARE\\Quorvan\\K", {{"Path", "native"}}},
                                     {"SOFTWARE\\Wow6432Node\\Quorvan\\K", {{"Path", "wow"}}}});
  EXPECT_FALSE(IsProcess32On64());
  EXPECT_EQ(RegRead("SOFTWARE\\Quorvan\\K", "Path"), "native");
  SetProcess32On64(true);
  EXPECT_EQ(RegRead("SOFTWARE\\Quorvan\\K", "Path"), "wow");
  EXPECT_EQ(RegistryViewPath("SOFTWARE\\A\\SOFTWARE"), "SOFTWARE\\Wow6432Node\\A\\SOFTWARE\\Wow6432Node");
  EXPECT_EQ(RegistryViewPath("Software\\A"), "Software\\A");  // the rule is case-sensitive
}

TEST_F(RegistryTest, LegacyOfficeCheckTriesOnly12_14_15) {
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

TEST(ReadIniText, SectionsAndKeysIgnoreCase) {
  const char* ini = "[Version]\nBarcodeControlType=2\n[Share]\nPictureFolder = D:\\Pics \n";
  EXPECT_EQ(ReadIniText(ini, "version", "BARCODECONTROLTYPE", "0"), "2");
  EXPECT_EQ(ReadIniText(ini, "SHARE", "picturefolder", ""), "D:\\Pics");
  EXPECT_EQ(ReadIniText(ini, "Share", "BarcodeControlType", "none"), "none");  // key of another section
}

TEST(ReadIniText, DefaultWhenAbsentWithTrailingBlanksRemoved) {
  EXPECT_EQ(ReadIniText("", "A", "B", "dflt  "), "dflt");
  EXPECT_EQ(ReadIniText("[A]\nC=1", "A", "B", " x"), " x");
  EXPECT_EQ(ReadIniText("[A]\nB=1", "Z", "B", ""), "");
}

TEST(ReadIniText, CommentsQuotesAndCrLf) {
  const char* ini = "\xEF\xBB\xBF; comment\r\n[A]\r\n;B=commented\r\nB=\"quoted value\" \r\nC='single'\r\nD=\"half\r\nE=x ; not a comment\r\n";
  EXPECT_EQ(ReadIniText(ini, "A", "B", "none"), "quoted value");
  EXPECT_EQ(ReadIniText(ini, "A", "C", ""), "single");
  EXPECT_EQ(ReadIniText(ini, "A", "D", ""), "\"half");
  EXPECT_EQ(ReadIniText(ini, "A", "E", ""), "x ; not a comment");
}

TEST(ReadIniText, FirstSectionAndFirstKeyCount) {
  const char* ini = "[A]\nK=1\nK=2\n[B]\nK=3\n[a]\nK=4\nL=5\n";
  EXPECT_EQ(ReadIniText(ini, "A", "K", ""), "1");
  EXPECT_EQ(ReadIniText(ini, "A", "L", "none"), "none");
  EXPECT_EQ(ReadIniText(ini, "B", "K", ""), "3");
}

TEST(ReadIniText, EmptyValueIsNotTheDefault) {
  EXPECT_EQ(ReadIniText("[A]\nK=\n", "A", "K", "dflt"), "");
}

TEST(ReadIniText, AnswersAreCutTo254Characters) {
  const std::string longValue(300, 'x');
  EXPECT_EQ(ReadIniText("[A]\nK=" + longValue + "\n", "A", "K", "").size(), 254u);
  EXPECT_EQ(ReadIniText("", "A", "K", longValue).size(), 254u);
  std::string chinese;
  for (int i = 0; i < 300; ++i) chinese += "汉";
  const std::string cut = ReadIniText("[A]\nK=" + chinese, "A", "K", "");
  EXPECT_EQ(CharCount(cut), 254u);  // characters, never a broken one
  EXPECT_EQ(cut, LeftChars(chinese, 254));
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
