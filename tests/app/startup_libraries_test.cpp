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

TEST(StartupLibraries, PrintingLibrariesAreNotLoadedAtStart) {
  if (!std::filesystem::exists(vemo::test::VemoprintPath()))
    GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
  const std::string loaded = LoadedAtStart();
  ASSERT_NE(loaded.find("libc.so"), std::string::npos) << "not a loader listing:\n" << loaded;
  EXPECT_EQ(loaded.find("libcups"), std::string::npos) << loaded;
  EXPECT_EQ(loaded.find("libgnutls"), std::string::npos) << loaded;
}

TEST(StartupLibraries, BarcodeAndFontLibrariesAreNotLoadedAtStart) {
  if (!std::filesystem::exists(vemo::test::VemoprintPath()))
    GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
  const std::string loaded = LoadedAtStart();
  ASSERT_NE(loaded.find("libc.so"), std::string::npos) << "not a loader listing:\n" << loaded;
  for (const char* library : {"libzint", "libfreetype", "libfontconfig", "libpng"})
    EXPECT_EQ(loaded.find(library), std::string::npos) << library << " is loaded at start:\n" << loaded;
}

TEST(StartupLibraries, DatabaseXmlAndZipLibrariesAreLinkedIn) {
  if (!std::filesystem::exists(vemo::test::VemoprintPath()))
    GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
  const std::string loaded = LoadedAtStart();
  ASSERT_NE(loaded.find("libc.so"), std::string::npos) << "not a loader listing:\n" << loaded;
  for (const char* library : {"libsqlite3", "libpugixml", "libz.so"})
    EXPECT_EQ(loaded.find(library), std::string::npos) << library << " is a shared library again:\n" << loaded;
}

}  // namespace
}  // namespace vemo::app
