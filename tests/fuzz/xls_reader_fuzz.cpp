// libFuzzer target for the .xls reader and writer (build with -DVEMO_FUZZ=ON
// and clang). Each input is taken for a whole .xls file: it is opened; a
// refusal (WorkbookError or another std::exception with a message) is the
// expected answer to a broken file. A workbook that opens is saved as .xls
// and opened again: the reader must accept what the writer makes of a
// workbook it read, so a refusal there aborts as a finding. Seed it with the
// files of the .xls corpus.
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

namespace {

namespace fs = std::filesystem;

fs::path Scratch(const char* suffix) {
  std::error_code ec;
  const fs::path dir = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
  return dir / ("vemo-xls-fuzz-" + std::to_string(getpid()) + suffix);
}

void RemoveScratchFiles() {
  std::error_code ec;
  fs::remove(Scratch(".xls"), ec);
  fs::remove(Scratch("-saved.xls"), ec);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::atexit(RemoveScratchFiles);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    std::ofstream out(Scratch(".xls"), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::unique_ptr<vemo::wb::Workbook> book;
  try {
    book = vemo::wb::Workbook::Open(Scratch(".xls"));
  } catch (const std::exception&) {
    return 0;  // refused with a message: the right answer to a broken file
  }
  try {
    book->Save(Scratch("-saved.xls"), vemo::wb::Workbook::Format::Xls);
    vemo::wb::Workbook::Open(Scratch("-saved.xls"));
  } catch (const vemo::wb::WorkbookError& e) {
    std::fprintf(stderr, "xls_reader_fuzz: a workbook that opened was refused after saving: %s\n", e.what());
    std::abort();
  }
  return 0;
}
