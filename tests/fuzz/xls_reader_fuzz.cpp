// libFuzzer target for the .xls reader and writer (build with -DVEMO_FUZZ=ON
// and clang). Each input is taken for a whole .xls file: it is opened, and a
// workbook that opens is saved as .xls and as .xlsx (its pictures carried
// from the drawing records), each opened again (fuzz_harness.h says
// what is a finding). Seed it with the files of the .xls corpus.
#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto input = vemo::fuzz::ScratchFile("input.xls");
  vemo::fuzz::WriteScratchFile(input, data, size);
  vemo::fuzz::OpenSaveAndOpenAgain(input, {}, "saved.xls", false);
  vemo::fuzz::OpenSaveAndOpenAgain(input, {}, "saved.xlsx", false);
  return 0;
}
