// libFuzzer target for the .xlsx reader (build with -DVEMO_FUZZ=ON and clang;
// scripts/fuzz.sh does both and runs it).
//
// Each input is taken for a workbook file: it is opened, and a workbook that
// opens is saved and opened again (fuzz_harness.h says what is a finding).
//
// Two kinds of input:
//   - a zip ("PK" first): taken as the whole file;
//   - anything else: taken as the worksheet XML of an otherwise valid minimal
//     package, so mutations reach the sheet reader instead of dying on the
//     zip's checksums (scripts/fuzz.sh seeds this kind with the sheets of the
//     seed workbooks).
#include "fuzz_harness.h"
#include "workbook/zip/zip_package.h"

namespace {

// Tighter than the defaults so one input cannot take the whole memory budget
// the fuzzer runs under (-rss_limit_mb): a refusal is what these limits test.
const vemo::wb::ZipLimits kFuzzLimits{.maxEntries = 2000, .maxTotalUncompressed = 64ull << 20,
                                      .maxEntryUncompressed = 32ull << 20};

constexpr const char* kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

// A relationships part of one relationship, of `type`, to `target`.
std::string Relationship(const std::string& type, const std::string& target) {
  return std::string(kXmlHead) +
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
         "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/" +
         type + "\" Target=\"" + target + "\"/></Relationships>";
}

// The package around a worksheet part: content types, relationships and a
// workbook naming one sheet.
void WriteSheetPackage(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
  vemo::wb::ZipPackage package;
  const std::string type = "ContentType=\"application/vnd.openxmlformats-";
  package.Put("[Content_Types].xml",
              std::string(kXmlHead) + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">" +
                  "<Default Extension=\"rels\" " + type + "package.relationships+xml\"/>" +
                  "<Default Extension=\"xml\" ContentType=\"application/xml\"/>" +
                  "<Override PartName=\"/xl/workbook.xml\" " + type + "officedocument.spreadsheetml.sheet.main+xml\"/>" +
                  "<Override PartName=\"/xl/worksheets/sheet1.xml\" " + type +
                  "officedocument.spreadsheetml.worksheet+xml\"/></Types>");
  package.Put("_rels/.rels", Relationship("officeDocument", "xl/workbook.xml"));
  package.Put("xl/workbook.xml",
              std::string(kXmlHead) +
                  "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                  "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                  "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
  package.Put("xl/_rels/workbook.xml.rels", Relationship("worksheet", "worksheets/sheet1.xml"));
  package.Put("xl/worksheets/sheet1.xml", std::string(reinterpret_cast<const char*>(data), size));
  package.WriteFile(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = vemo::fuzz::ScratchFile("input.xlsx");
  if (size >= 2 && data[0] == 'P' && data[1] == 'K')
    vemo::fuzz::WriteScratchFile(input, data, size);
  else
    WriteSheetPackage(input, data, size);
  vemo::fuzz::OpenSaveAndOpenAgain(input, kFuzzLimits, "saved.xlsx", true);
  return 0;
}
