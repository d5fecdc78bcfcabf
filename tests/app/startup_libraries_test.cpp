// The shared libraries every vemoprint process loads before main: printing
// and barcode libraries are loaded when a print or a barcode asks for them,
// not at start, because loading them costs each export several milliseconds;
// SQLite, pugixml and zlib are linked in, because binding their symbols at
// load cost a one-page bill an eighth of its work.
#include <gtest/gtest.h>

#include "support/run_command.h"

namespace vemo::app {
namespace {

// The dynamic loader's list of what it maps for vemoprint (ldd's own way),
// without running the program.
std::string LoadedAtStart() {
  auto result = vemo::test::RunCommand("LD_TRACE_LOADED_OBJECTS=1 " + vemo::test::ShellQuote(vemo::test::VemoprintPath()));
  EXPECT_EQ(result.status, 0) << result.output;
  return result.output;
}

TEST(StartupLibraries, NoneOfTheLoadedOnDemandOrLinkedInLibrariesIsMappedAtStart) {
  if (!std::filesystem::exists(vemo::test::VemoprintPath()))
    GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
  const std::string loaded = LoadedAtStart();
  ASSERT_NE(loaded.find("libc.so"), std::string::npos) << "not a loader listing:\n" << loaded;
  for (const char* library : {"libcups", "libgnutls",                                 // printing
                              "libzint", "libfreetype", "libfontconfig", "libpng",  // barcodes and fonts
                              "libsqlite3", "libpugixml", "libz.so"})               // linked in
    EXPECT_EQ(loaded.find(library), std::string::npos) << library << " is mapped at start:\n" << loaded;
}

}  // namespace
}  // namespace vemo::app
