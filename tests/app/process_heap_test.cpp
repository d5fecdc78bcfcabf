// The program's heap setup, run in a child process (it changes how the whole
// process allocates): the reserve must land on the heap malloc really uses,
// advised for huge pages, and memory must still work afterwards.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "process_heap.h"

namespace vemo::app {
namespace {

bool HugePagesOnRequest() {
  std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string modes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return modes.find("[madvise]") != std::string::npos || modes.find("[always]") != std::string::npos;
}

// The mapping of /proc/self/smaps that holds `address`: its VmFlags line and
// its size in KiB, or an empty flags line when there is none.
struct Mapping {
  std::string flags;
  std::uint64_t sizeKiB = 0;
};
Mapping MappingOf(const void* address) {
  const auto at = reinterpret_cast<std::uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  Mapping found;
  while (std::getline(smaps, line)) {
    std::uintptr_t from = 0, to = 0;
    char dash = 0;
    std::istringstream head(line);
    if (head >> std::hex >> from >> dash >> to && dash == '-' && line.find(':') > line.find(' ')) {
      inside = from <= at && at < to;
      if (inside) found.sizeKiB = (to - from) / 1024;
    } else if (inside && line.rfind("VmFlags:", 0) == 0) {
      found.flags = line;
      return found;
    }
  }
  return found;
}

// The child's checks; its exit code says which failed.
int SetUpAndAllocate() {
  if (!BackHeapWithHugePages()) return 2;
  // Small blocks and a large one, as a fill makes them: 20 MB of small ones,
  // more than the test process had free in its heap before.
  char* last = nullptr;
  for (int i = 0; i < 200000; ++i) {
    last = static_cast<char*>(std::malloc(100));
    std::memset(last, 1, 100);
  }
  auto* large = static_cast<char*>(std::malloc(8 << 20));
  std::memset(large, 2, 8 << 20);
  const Mapping small = MappingOf(last), big = MappingOf(large);
  // "hg": advised for huge pages; the reserve is one mapping of about a GiB.
  if (small.flags.find(" hg") == std::string::npos || small.sizeKiB < (900u << 10)) return 3;
  if (big.flags.find(" hg") == std::string::npos || large[(8 << 20) - 1] != 2) return 4;
  return 0;
}

int AskForTooMuch() {
  HeapSetup setup;
  setup.reserve = std::size_t{1} << 40;
  const bool backed = BackHeapWithHugePages(setup);
  void* block = std::malloc(1000);
  const bool ok = !backed && block != nullptr;
  std::free(block);
  return ok ? 0 : 3;
}

TEST(ProcessHeap, SmallAndLargeBlocksComeFromAReserveAdvisedForHugePages) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer brings its own allocator, which has no such heap";
#endif
  if (!HugePagesOnRequest()) GTEST_SKIP() << "the kernel offers no transparent huge pages here";
  EXPECT_EXIT(std::exit(SetUpAndAllocate()), ::testing::ExitedWithCode(0), "");
}

TEST(ProcessHeap, AReserveTooLargeToAskForChangesNothing) {
  EXPECT_EXIT(std::exit(AskForTooMuch()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vemo::app
