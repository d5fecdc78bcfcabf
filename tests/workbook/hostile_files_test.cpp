// Broken, hostile and unusual files either open or are refused with a
// WorkbookError that names the problem; never a crash, never unbounded work.
#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>

#include "support/test_paths.h"
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
                                     {"corrupted_error.xls", "runs into another chain"},
                                     {"too_small.xls", "neither an .xls nor an .xlsx"}})
    EXPECT_NE(OpenError(odd / file).find(reason), std::string::npos) << file << ": " << OpenError(odd / file);
  EXPECT_NE(OpenError(odd / "poc-xmlbomb.xlsx").find("DOCTYPE"), std::string::npos);
  EXPECT_NE(OpenError(odd / "protected_passtika.xlsx").find("password"), std::string::npos);
}

TEST(HostileFiles, TruncatedZipIsRefused) {
  TempDir temp;
  WriteZip(temp / "whole.xlsx", MinimalParts(Worksheet("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>")));
  std::ifstream in(temp / "whole.xlsx", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  for (std::size_t keep : {bytes.size() / 2, bytes.size() - 10, std::size_t{30}}) {
    std::ofstream(temp / "cut.xlsx", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(keep));
    EXPECT_NE(OpenError(temp / "cut.xlsx").find("zip"), std::string::npos) << keep;
  }
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

TEST(HostileFiles, MissingPartsAreNamed) {
  TempDir temp;
  auto parts = MinimalParts(Worksheet(""));
  parts.pop_back();
  WriteZip(temp / "nosheet.xlsx", parts);
  EXPECT_NE(OpenError(temp / "nosheet.xlsx").find("xl/worksheets/sheet1.xml"), std::string::npos);
  parts = MinimalParts(Worksheet(""));
  parts.erase(parts.begin() + 2);
  WriteZip(temp / "nobook.xlsx", parts);
  EXPECT_NE(OpenError(temp / "nobook.xlsx").find("xl/workbook.xml is missing"), std::string::npos);
}

TEST(HostileFiles, EntityDeclarationsAreRefused) {
  TempDir temp;
  std::string bomb =
      "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 \"&lol;&lol;&lol;&lol;\">]>"
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
      "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&lol2;</t></is></c></row></sheetData></worksheet>";
  WriteZip(temp / "entity.xlsx", MinimalParts(bomb));
  EXPECT_NE(OpenError(temp / "entity.xlsx").find("DOCTYPE"), std::string::npos);
}

TEST(HostileFiles, LastCellOfTheSheetIsFineAndBeyondIsRefused) {
  TempDir temp;
  WriteZip(temp / "last.xlsx",
           MinimalParts(Worksheet("<row r=\"1048576\"><c r=\"XFD1048576\"><v>7</v></c></row>")));
  auto book = Workbook::Open(temp / "last.xlsx");
  EXPECT_EQ(book->GetSheet(0).GetValue(1048576, 16384).number, 7);
  book->Save(temp / "last_out.xlsx");
  EXPECT_EQ(Workbook::Open(temp / "last_out.xlsx")->GetSheet(0).GetValue(1048576, 16384).number, 7);

  WriteZip(temp / "col.xlsx", MinimalParts(Worksheet("<row r=\"1\"><c r=\"XFE1\"><v>7</v></c></row>")));
  EXPECT_NE(OpenError(temp / "col.xlsx").find("XFE1"), std::string::npos);
  WriteZip(temp / "row.xlsx", MinimalParts(Worksheet("<row r=\"1048577\"><c><v>7</v></c></row>")));
  EXPECT_NE(OpenError(temp / "row.xlsx").find("1048577"), std::string::npos);
}

TEST(HostileFiles, AbsurdDimensionCostsNothing) {
  TempDir temp;
  std::string sheet =
      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><dimension "
      "ref=\"A1:XFD1048576\"/><sheetData><row r=\"2\"><c r=\"B2\"><v>1</v></c></row></sheetData></worksheet>";
  WriteZip(temp / "dim.xlsx", MinimalParts(sheet));
  auto book = Workbook::Open(temp / "dim.xlsx");
  auto used = book->GetSheet(0).UsedRange();
  ASSERT_TRUE(used);
  EXPECT_EQ(FormatCellRange(*used), "B2");
}

TEST(HostileFiles, DeepNestingIsRefusedOrHandled) {
  TempDir temp;
  std::string deep;
  for (int i = 0; i < 200000; ++i) deep += "<x>";
  for (int i = 0; i < 200000; ++i) deep += "</x>";
  std::string sheet = "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData/>"
                      "<extLst>" + deep + "</extLst></worksheet>";
  WriteZip(temp / "deep.xlsx", MinimalParts(sheet));
  try {
    Workbook::Open(temp / "deep.xlsx")->Save(temp / "deep_out.xlsx");
  } catch (const WorkbookError& e) {
    EXPECT_NE(std::string(e.what()).find("sheet1.xml"), std::string::npos);
  }
}

// A shared-string cell must name an item of the table: a wrong index would
// show another text or write a broken file, so the file is refused naming the
// part and the cell. An index inside the table reads.
TEST(HostileFiles, SharedStringIndexOutsideTheTableIsRefused) {
  TempDir temp;
  for (const std::string index : {"0", "1", "5", "4294967296", "-1", ""}) {
    auto parts = MinimalParts(Worksheet("<row r=\"3\"><c r=\"C3\" t=\"s\"><v>" + index + "</v></c></row>"));
    parts[3].second.insert(parts[3].second.find("</Relationships>"),
                           "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                           "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>");
    parts.emplace_back("xl/sharedStrings.xml",
                       "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>only</t></si>"
                       "</sst>");
    WriteZip(temp / "sst.xlsx", parts);
    const std::string error = OpenError(temp / "sst.xlsx");
    if (index == "0") {
      EXPECT_EQ(error, "");
      EXPECT_EQ(Workbook::Open(temp / "sst.xlsx")->GetSheet(0).GetValue(3, 3).text, "only");
      continue;
    }
    EXPECT_NE(error.find("sheet1.xml"), std::string::npos) << index << ": " << error;
    EXPECT_NE(error.find("cell C3"), std::string::npos) << index << ": " << error;
    EXPECT_NE(error.find("sharedStrings.xml holds 1 strings"), std::string::npos) << index << ": " << error;
  }
}

// A cell, row or column style must name one of the style part's cell
// styles: a wrong index would be written back as it is, into a file that
// spreadsheet programs call damaged. Style 0 is the default and needs none.
TEST(HostileFiles, StyleIndexOutsideTheStylePartIsRefused) {
  struct Case {
    bool withStyles;
    std::string cols, row, cell;  // attributes / elements put into the sheet
    std::string error;            // a piece of the refusal; empty when the file opens
  };
  const Case cases[] = {
      {true, "", "", " s=\"1\"", ""},
      {false, "", "", " s=\"0\"", ""},
      {true, "", "", " s=\"2\"", "cell C3 uses cell style '2', but xl/styles.xml holds 2 cell styles"},
      {true, "", "", " s=\"4294967296\"", "cell C3"},
      {true, "", "", " s=\"-1\"", "cell C3"},
      {true, "", " s=\"7\" customFormat=\"1\"", "", "row 3 uses cell style '7'"},
      {true, "<cols><col min=\"2\" max=\"4\" width=\"9\" style=\"9\"/></cols>", "", "", "column B"},
      {false, "", "", " s=\"1\"", "the workbook has no style part"},
  };
  TempDir temp;
  for (const Case& c : cases) {
    auto parts = MinimalParts("<?xml version=\"1.0\"?><worksheet "
                              "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" +
                              c.cols + "<sheetData><row r=\"3\"" + c.row + "><c r=\"C3\"" + c.cell +
                              "><v>1</v></c></row></sheetData></worksheet>");
    if (c.withStyles) {
      parts[3].second.insert(parts[3].second.find("</Relationships>"),
                             "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
                             "2006/relationships/styles\" Target=\"styles.xml\"/>");
      parts.emplace_back("xl/styles.xml",
                         "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                         "<cellXfs count=\"2\"><xf numFmtId=\"0\"/><xf numFmtId=\"2\"/></cellXfs></styleSheet>");
    }
    WriteZip(temp / "styles.xlsx", parts);
    const std::string error = OpenError(temp / "styles.xlsx");
    if (c.error.empty()) {
      EXPECT_EQ(error, "") << c.cell;
      continue;
    }
    EXPECT_NE(error.find(c.error), std::string::npos) << c.cols << c.row << c.cell << ": " << error;
    EXPECT_NE(error.find("sheet1.xml"), std::string::npos) << error;
  }
}

// A cell that follows a shared formula needs the group's defining cell;
// without it the file is refused naming the cell.
TEST(HostileFiles, SharedFormulaWithoutItsDefiningCellIsRefused) {
  const std::pair<std::string, std::string> cases[] = {
      {"<c r=\"A1\"><f t=\"shared\" ref=\"A1:A2\" si=\"3\">B1*2</f><v>2</v></c>", ""},
      {"<c r=\"A1\"><f>B1*2</f><v>2</v></c>", "cell A2 follows shared formula 3, which no cell of the sheet defines"},
  };
  TempDir temp;
  for (const auto& [first, error] : cases) {
    WriteZip(temp / "shared.xlsx", MinimalParts(Worksheet("<row r=\"1\">" + first + "<c r=\"B1\"><v>1</v></c></row>"
                                                          "<row r=\"2\"><c r=\"A2\"><f t=\"shared\" si=\"3\"/>"
                                                          "<v>4</v></c></row>")));
    const std::string refusal = OpenError(temp / "shared.xlsx");
    if (error.empty()) EXPECT_EQ(refusal, "");
    else EXPECT_NE(refusal.find(error), std::string::npos) << refusal;
  }
}

// openpyxl writes a cell holding "" as an inline-string cell without <is>:
// no string at all. It must stay blank, not come back as an empty string.
TEST(HostileFiles, InlineStringCellWithoutTextStaysBlank) {
  TempDir temp;
  WriteZip(temp / "empty.xlsx",
           MinimalParts(Worksheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"></c>"
                                  "<c r=\"B1\" t=\"inlineStr\"><is><t>x</t></is></c></row>")));
  auto book = Workbook::Open(temp / "empty.xlsx");
  EXPECT_EQ(book->GetSheet(0).GetValue(1, 1).type, CellType::Blank);
  EXPECT_EQ(book->GetSheet(0).GetValue(1, 2).text, "x");
  book->Save(temp / "empty_out.xlsx");
  auto again = Workbook::Open(temp / "empty_out.xlsx");
  EXPECT_EQ(again->GetSheet(0).GetValue(1, 1).type, CellType::Blank);
  EXPECT_EQ(again->GetSheet(0).GetValue(1, 2).text, "x");
}

}  // namespace
}  // namespace vemo::wb
