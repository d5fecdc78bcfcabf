#include "process_heap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace vemo::app {
namespace {

constexpr std::uintptr_t kHugePage = 2u << 20;
// The C library's own top pad, restored once the reserve is in place.
constexpr int kDefaultTopPad = 128 * 1024;

}  // namespace

bool BackHeapWithHugePages(const HeapSetup& setup) {
  if (setup.reserve > static_cast<std::size_t>(INT_MAX)) return false;
  // One heap for every thread: a worker's own heap lives outside the reserve.
  mallopt(M_ARENA_MAX, 1);
  // Blocks up to 32 MiB come from the heap too, not from their own mappings.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  // Freed memory stays with the process: handing the top of the heap back
  // would also give up the huge-page advice on it.
  mallopt(M_TRIM_THRESHOLD, INT_MAX);

  // The next growth of the heap takes the whole reserve at once.
  mallopt(M_TOP_PAD, static_cast<int>(setup.reserve));
  auto* before = static_cast<char*>(sbrk(0));
  // Larger than what the heap has free at start, so that it must grow; the
  // volatile keeps the compiler from dropping the pair.
  void* volatile probe = std::malloc(1 << 20);
  std::free(probe);
  auto* after = static_cast<char*>(sbrk(0));
  mallopt(M_TOP_PAD, kDefaultTopPad);
  if (before == reinterpret_cast<char*>(-1) || after <= before) return false;

  const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(before) + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(after);
  if (end <= start + kHugePage) return false;
  return madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE) == 0;
}

}  // namespace vemo::app
