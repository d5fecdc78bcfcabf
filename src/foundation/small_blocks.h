// A pool of small blocks for the host's values.
//
// A 100,000-line bill read from a request is 700,000 dictionaries, each an
// object block (40 bytes) and a value block (72 bytes for the usual three
// values). The C library gives each block a header and rounds it up to
// 16 bytes, about 12 MiB for such a bill. The pool hands out blocks of
// exactly their size (a multiple of 8) from 64 KiB slabs instead, and takes
// them back into a free list of their size.
//
// Slabs are never given back to the system: freed blocks serve the next
// values of the same size, so a process holds at most what its largest
// request needed. Safe to use from several threads.
#pragma once
#include <cstddef>
#include <new>

namespace vemo {

// Blocks up to this size come from the pool; larger ones from operator new.
inline constexpr std::size_t kMaxSmallBlock = 256;

void* AllocateSmallBlock(std::size_t size);
void FreeSmallBlock(void* block, std::size_t size) noexcept;

// An allocator over the pool, for containers and std::allocate_shared.
template <class T>
struct SmallBlockAllocator {
  using value_type = T;
  static_assert(alignof(T) <= 8, "pool blocks are aligned to 8 bytes");

  SmallBlockAllocator() = default;
  template <class U>
  SmallBlockAllocator(const SmallBlockAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) { return static_cast<T*>(AllocateSmallBlock(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { FreeSmallBlock(p, n * sizeof(T)); }

  template <class U>
  bool operator==(const SmallBlockAllocator<U>&) const noexcept {
    return true;
  }
};

}  // namespace vemo
