// Broken, hostile and unusual files either open or are refused with a
// WorkbookError that names the problem; never a crash, never unbounded work.
#include <gtest/gtest.h>
#include <zip.h>


#include "support/test_paths.h"
#include "workbook/number_format.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {
namespace {

using vemo::test::TempDir;

const char* kContentTypes =
    "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/></Types>";
const char* kRootRels =
    "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/></Relationships>";
const char* kWorkbook =
    "<?xml version=\"1.0\"?><workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
    "<sheet name=\"Bill\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
const char* kWorkbookRels =
    "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/></Relationships>";

std::string Worksheet(const std::string& sheetData) {
  return "<?xml version=\"1.0\"?><worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
         "<dimension ref=\"A1\"/><sheetData>" +
         sheetData + "</sheetData></worksheet>";
}

// Writes a package with the given entries (name, bytes) using libzip directly.
void WriteZip(const std::filesystem::path& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(archive, nullptr);
  for (const auto& [name, data] : entries) {
    zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
    ASSERT_GE(zip_file_add(archive, name.c_str(), source, 0), 0);
  }
  ASSERT_EQ(zip_close(archive), 0);
}

std::vector<std::pair<std::string, std::string>> MinimalParts(const std::string& sheetXml) {
  return {{"[Content_Types].xml", kContentTypes},
          {"_rels/.rels", kRootRels},
          {"xl/workbook.xml", kWorkbook},
          {"xl/_rels/workbook.xml.rels", kWorkbookRels},
          {"xl/worksheets/sheet1.xml", sheetXml}};
}

std::string OpenError(const std::filesystem::path& path, const ZipLimits& limits = {}) {
  try {
    Workbook::Open(path, limits);
  } catch (const WorkbookError& e) {
    return e.what();
  }
  return "";
}

TEST(HostileFiles, EveryOddCorpusFileOpensOrIsRefusedCleanly) {
  TempDir temp;
  std::filesystem::path dir = vemo::test::SharedDir() / "corpus" / "odd";
  int opened = 0, refused = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() == ".md") continue;
    try {
      auto book = Workbook::Open(entry.path());
      book->Save(temp / "out.xlsx");
      ++opened;
    } catch (const WorkbookError& e) {
      EXPECT_GT(std::string(e.what()).size(), 20u) << entry.path();
      ++refused;
    }
  }
  EXPECT_GT(opened, 5);
  EXPECT_GT(refused, 5);
}

TEST(HostileFiles, StrictAndXlsAndXmlBombAreRefusedWithTheReason) {
  std::filesystem::path odd = vemo::test::SharedDir() / "corpus" / "odd";
  EXPECT_NE(OpenError(odd / "SampleSS.strict.xlsx").find("Strict"), std::string::npos);
  for (const auto& [file, reason] : {std::pair<const char*, const char*>{"password.xls", "password protected"},
                                     {"xor-encryption-abc.xls", "password protected"},
                                     {"testEXCEL_3.xls", "BIFF3"},
                                     {"testEXCEL_4.xls", "BIFF4"},
                                     {"../xls/testEXCEL_95.xls", "BIFF5"},
                                     {"corrupted_error.xls", "runs into another chain"},
                                     {"too_small.xls", "neither an .xls nor an .xlsx"}})
    EXPECT_NE(OpenError(odd / file).find(reason), std::string::npos) << file << ": " << OpenError(odd / file);
  EXPECT_NE(OpenError(odd / "poc-xmlbomb.xlsx").find("DOCTYPE"), std::string::npos);
  EXPECT_NE(OpenError(odd / "protected_passtika.xlsx").find("password"), std::string::npos);
}

TEST(HostileFiles, ZipBombIsRefusedBeforeUnpacking) {
  TempDir temp;
  // 64 MiB of zeros compress to about 64 KiB: a ratio of about 1000:1.
  auto parts = MinimalParts(Worksheet(""));
  parts.emplace_back("xl/media/bomb.bin", std::string(64u << 20, '\0'));
  WriteZip(temp / "bomb.xlsx", parts);
  EXPECT_NE(OpenError(temp / "bomb.xlsx").find("bomb"), std::string::npos);
  ZipLimits small;
  small.maxTotalUncompressed = 1u << 20;
  small.maxRatio = 1u << 30;
  EXPECT_NE(OpenError(temp / "bomb.xlsx", small).find("MiB"), std::string::npos);
}

// A file built from the minimal parts with one thing odd about it: refused
// with a message holding every '|'-separated piece of `error`, or (no error)
// opened, saved and opened again with `cell` showing `shown`.
TEST(HostileFiles, OddPartsAreRefusedNamingTheProblemOrRead) {
  enum Extra { kNone, kStrings, kStyles };
  struct Case {
    const char* name;
    std::string sheet;  // the <sheetData> rows, or a whole worksheet
    Extra extra;
    std::string error;
    const char* cell = "";
    const char* shown = "";
    const char* missing = "";  // a part left out of the package
  };
  const auto sst = [](const char* index) { return "<row r=\"3\"><c r=\"C3\" t=\"s\"><v>" + std::string(index) + "</v></c></row>"; };
  const auto styled = [](const std::string& cols, const std::string& row, const std::string& cell) {
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + cols +
           "<sheetData><row r=\"3\"" + row + "><c r=\"C3\"" + cell + "><v>1</v></c></row></sheetData></worksheet>";
  };
  const std::string sharedTail = "<c r=\"B1\"><v>1</v></c></row><row r=\"2\"><c r=\"A2\"><f t=\"shared\" si=\"3\"/><v>4</v></c></row>";
  const std::string sstRefused = "sheet1.xml) cell C3 refers to shared string '";
  const Case cases[] = {
      {"no sheet part", "", kNone, "xl/worksheets/sheet1.xml", "", "", "xl/worksheets/sheet1.xml"},
      {"no workbook part", "", kNone, "xl/workbook.xml is missing", "", "", "xl/workbook.xml"},
      {"last cell", "<row r=\"1048576\"><c r=\"XFD1048576\"><v>7</v></c></row>", kNone, "", "XFD1048576", "7"},
      {"column past the last", "<row r=\"1\"><c r=\"XFE1\"><v>7</v></c></row>", kNone, "XFE1"},
      {"row past the last", "<row r=\"1048577\"><c><v>7</v></c></row>", kNone, "1048577"},
      {"entity declarations",
       "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 \"&lol;&lol;&lol;&lol;\">]>"
       "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
       "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&lol2;</t></is></c></row></sheetData></worksheet>",
       kNone, "DOCTYPE"},
      // openpyxl writes a cell holding "" as an inline-string cell without
      // <is>: no string at all, so it stays blank.
      {"inline string without text", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"></c><c r=\"B1\" t=\"inlineStr\"><is><t>x</t></is></c></row>",
       kNone, "", "A1", "(blank)"},
      // A shared-string cell must name an item of the table.
      {"shared string 0", sst("0"), kStrings, "", "C3", "only"},
      {"shared string 1", sst("1"), kStrings, sstRefused + "1', but xl/sharedStrings.xml holds 1 strings"},
      {"shared string 5", sst("5"), kStrings, sstRefused + "5'"},
      {"shared string 2^32", sst("4294967296"), kStrings, sstRefused + "4294967296'"},
      {"shared string -1", sst("-1"), kStrings, sstRefused + "-1'"},
      {"shared string empty", sst(""), kStrings, sstRefused + "'"},
      // A cell, row or column style must name a cell style of the style part;
      // style 0 is the default and needs none.
      {"style 1", styled("", "", " s=\"1\""), kStyles, "", "C3", "1"},
      {"style 0 without styles", styled("", "", " s=\"0\""), kNone, "", "C3", "1"},
      {"cell style 2", styled("", "", " s=\"2\""), kStyles, "sheet1.xml) cell C3 uses cell style '2', but xl/styles.xml holds 2 cell styles"},
      {"cell style 2^32", styled("", "", " s=\"4294967296\""), kStyles, "sheet1.xml) cell C3|'4294967296'"},
      {"cell style -1", styled("", "", " s=\"-1\""), kStyles, "sheet1.xml) cell C3|'-1'"},
      {"row style 7", styled("", " s=\"7\" customFormat=\"1\"", ""), kStyles, "sheet1.xml) row 3 uses cell style '7'"},
      {"column style 9", styled("<cols><col min=\"2\" max=\"4\" width=\"9\" style=\"9\"/></cols>", "", ""), kStyles,
       "sheet1.xml) column B uses cell style '9'"},
      {"style 1 without styles", styled("", "", " s=\"1\""), kNone, "sheet1.xml) cell C3|the workbook has no style part"},
      // A cell following a shared formula needs the group's defining cell.
      {"shared formula defined", "<row r=\"1\"><c r=\"A1\"><f t=\"shared\" ref=\"A1:A2\" si=\"3\">B1*2</f><v>2</v></c>" + sharedTail,
       kNone, "", "A2", "4"},
      {"shared formula undefined", "<row r=\"1\"><c r=\"A1\"><f>B1*2</f><v>2</v></c>" + sharedTail, kNone,
       "sheet1.xml) cell A2 follows shared formula 3, which no cell of the sheet defines"},
  };
  TempDir temp;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto parts = MinimalParts(c.sheet.starts_with("<") && !c.sheet.starts_with("<row") ? c.sheet : Worksheet(c.sheet));
    std::erase_if(parts, [&](const auto& part) { return part.first == c.missing; });
    const char* rel = c.extra == kStrings ? "sharedStrings" : "styles";
    if (c.extra != kNone)
      parts[3].second.insert(parts[3].second.find("</Relationships>"),
                             "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                             "relationships/" + std::string(rel) + "\" Target=\"" + rel + ".xml\"/>");
    const char* sstOpen = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    if (c.extra == kStrings) parts.emplace_back("xl/sharedStrings.xml", sstOpen + std::string("<si><t>only</t></si></sst>"));
    if (c.extra == kStyles)
      parts.emplace_back("xl/styles.xml", "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                                          "<cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"2\"/></cellXfs></styleSheet>");
    WriteZip(temp / "odd.xlsx", parts);
    const std::string error = OpenError(temp / "odd.xlsx");
    for (std::size_t at = 0, bar = 0; !c.error.empty() && bar != std::string::npos; at = bar + 1) {
      bar = c.error.find('|', at);
      EXPECT_NE(error.find(c.error.substr(at, bar - at)), std::string::npos) << error;
    }
    if (!c.error.empty()) continue;
    ASSERT_EQ(error, "");
    Workbook::Open(temp / "odd.xlsx")->Save(temp / "out.xlsx");
    auto book = Workbook::Open(temp / "out.xlsx");
    const auto at = ParseCellAddress(c.cell);
    const CellContent v = book->GetSheet(0).GetValue(at->row, at->col);
    EXPECT_EQ(v.type == CellType::Blank ? "(blank)" : v.text.empty() ? NumberToText(v.number) : v.text, c.shown);
  }
}

TEST(HostileFiles, AbsurdDimensionCostsNothing) {
  TempDir temp;
  std::string sheet =
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><dimension "
      "ref=\"A1:XFD1048576\"/><sheetData><row r=\"2\"><c r=\"B2\"><v>1</v></c></row></sheetData></worksheet>";
  WriteZip(temp / "dim.xlsx", MinimalParts(sheet));
  auto used = Workbook::Open(temp / "dim.xlsx")->GetSheet(0).UsedRange();
  ASSERT_TRUE(used);
  EXPECT_EQ(FormatCellRange(*used), "B2");
}

TEST(HostileFiles, DeepNestingIsRefusedOrHandled) {
  TempDir temp;
  std::string nested;
  for (int i = 0; i < 200000; ++i) nested += "<x>";
  for (int i = 0; i < 200000; ++i) nested += "</x>";
  std::string sheet = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData/>"
                      "<extLst>" + nested + "</extLst></worksheet>";
  WriteZip(temp / "deep.xlsx", MinimalParts(sheet));
  try {
    Workbook::Open(temp / "deep.xlsx")->Save(temp / "deep_out.xlsx");
  } catch (const WorkbookError& e) {
    EXPECT_NE(std::string(e.what()).find("sheet1.xml"), std::string::npos);
  }
}

}  // namespace
}  // namespace vemo::wb
