// How the vemoprint process asks the C library for memory.
//
// A 100,000-line bill builds about 150 MiB of values, cells and strings,
// nearly all of it in small blocks carved from the heap. Every 4 KiB page of
// that is a page fault on first touch, and on the virtual machines we run on
// those faults took a quarter of the whole fill. Backing the heap with
// 2 MiB pages (transparent huge pages, where the kernel offers them on
// request) turned 51,000 faults of a 100,000-line fill into about 700.
//
// This is a whole-process choice, so only the program's main makes it, before
// anything else allocates much. A library linked into another host never
// calls it.
#pragma once
#include <cstddef>

namespace vemo::app {

struct HeapSetup {
  // Address space set aside for the heap at start (pages are only made when
  // touched, so this costs no memory).
  std::size_t reserve = std::size_t{1} << 30;
};

// Reserves `setup.reserve` bytes of heap in one piece, asks the kernel to back
// it with huge pages, and keeps the C library from handing it back or from
// splitting the work over per-thread heaps (which would not be backed so).
// Answers false, changing nothing that matters, when the heap cannot be
// grown in one piece or the kernel refuses the request (huge pages disabled):
// the program then runs as before.
bool BackHeapWithHugePages(const HeapSetup& setup = {});

}  // namespace vemo::app
