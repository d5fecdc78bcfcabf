// libFuzzer target for the .xlsx reader (build with -DVEMO_FUZZ=ON and clang;
// scripts/fuzz.sh does both and runs it).
//
// Each input is taken for a workbook file: it is opened; a refusal
// (WorkbookError or any other std::exception with a message) is the expected
// answer to a broken file. A workbook that opens is saved and opened again:
// the reader must accept whatever the writer makes of a workbook it read, so
// a refusal there aborts as a finding. Crashes, sanitizer reports, timeouts
// and memory blow-ups are findings too.
//
// Two kinds of input:
//   - a zip ("PK" first): taken as the whole file;
//   - anything else: taken as the worksheet XML of an otherwise valid minimal
//     package, so mutations reach the sheet reader instead of dying on the
//     zip's checksums (scripts/fuzz.sh seeds this kind with the sheets of the
//     seed workbooks).
// The model opens files only (no open-from-memory entry point), so the bytes
// go to a per-process temporary file, in /dev/shm when it exists to keep the
// runs off the disk.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/zip/zip_package.h"

namespace {

namespace fs = std::filesystem;

fs::path ScratchDir() {
  std::error_code ec;
  if (fs::is_directory("/dev/shm", ec)) return "/dev/shm";
  return fs::temp_directory_path();
}

const fs::path& InputPath() {
  static const fs::path path = ScratchDir() / ("vemo-xlsx-fuzz-" + std::to_string(getpid()) + ".xlsx");
  return path;
}

const fs::path& OutputPath() {
  static const fs::path path = ScratchDir() / ("vemo-xlsx-fuzz-" + std::to_string(getpid()) + "-saved.xlsx");
  return path;
}

// Tighter than the defaults so one input cannot take the whole memory budget
// the fuzzer runs under (-rss_limit_mb): a refusal is what these limits test.
vemo::wb::ZipLimits FuzzLimits() {
  vemo::wb::ZipLimits limits;
  limits.maxEntries = 2000;
  limits.maxTotalUncompressed = 64ull << 20;
  limits.maxEntryUncompressed = 32ull << 20;
  return limits;
}

void WriteInput(const std::uint8_t* data, std::size_t size) {
  std::ofstream out(InputPath(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) {
    std::fprintf(stderr, "xlsx_reader_fuzz: cannot write %s\n", InputPath().c_str());
    std::abort();
  }
}

constexpr const char* kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

// The package around a worksheet part: content types, relationships and a
// workbook naming one sheet.
void WriteSheetPackage(const std::uint8_t* data, std::size_t size) {
  vemo::wb::ZipPackage package;
  package.Put("[Content_Types].xml",
              std::string(kXmlHead) +
                  "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                  "<Default Extension=\"rels\" "
                  "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                  "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                  "<Override PartName=\"/xl/workbook.xml\" "
                  "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                  "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
                  "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                  "</Types>");
  package.Put("_rels/.rels",
              std::string(kXmlHead) +
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                  "Target=\"xl/workbook.xml\"/></Relationships>");
  package.Put("xl/workbook.xml",
              std::string(kXmlHead) +
                  "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                  "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                  "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
  package.Put("xl/_rels/workbook.xml.rels",
              std::string(kXmlHead) +
                  "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" "
                  "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                  "Target=\"worksheets/sheet1.xml\"/></Relationships>");
  package.Put("xl/worksheets/sheet1.xml", std::string(reinterpret_cast<const char*>(data), size));
  package.WriteFile(InputPath());
}

void RemoveScratchFiles() {
  std::error_code ec;
  fs::remove(InputPath(), ec);
  fs::remove(OutputPath(), ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::atexit(RemoveScratchFiles);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= 2 && data[0] == 'P' && data[1] == 'K')
    WriteInput(data, size);
  else
    WriteSheetPackage(data, size);
  std::unique_ptr<vemo::wb::Workbook> book;
  try {
    book = vemo::wb::Workbook::Open(InputPath(), FuzzLimits());
  } catch (const vemo::wb::WorkbookError&) {
    return 0;  // refused with a message: the right answer to a broken file
  } catch (const std::exception&) {
    return 0;  // refused by a library below the reader; still no crash
  }
  try {
    book->Save(OutputPath());
  } catch (const std::exception&) {
    return 0;  // the writer may refuse (for example an unsupported part); no crash
  }
  try {
    vemo::wb::Workbook::Open(OutputPath(), vemo::wb::ZipLimits{});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "xlsx_reader_fuzz: a workbook the reader accepted was saved as a file it refuses: %s\n",
                 e.what());
    std::abort();
  }
  return 0;
}
