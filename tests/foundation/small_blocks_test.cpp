// The small-block pool: blocks of every size are aligned, apart and keep
// what is written in them, also while other threads take and free blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "foundation/small_blocks.h"

namespace vemo {
namespace {

struct Held {
  unsigned char* block;
  std::size_t size;
  unsigned char mark;
};

bool Intact(const Held& h) {
  return std::all_of(h.block, h.block + h.size, [&](unsigned char c) { return c == h.mark; });
}

// Takes and frees blocks of random sizes (every size of the pool and some
// past its largest), checking each is aligned, marking it and checking the
// mark before the block is freed.
bool Churn(unsigned seed, int rounds) {
  std::mt19937 random(seed);
  std::vector<Held> held;
  bool ok = true;
  for (int round = 0; round < rounds; ++round) {
    if (held.size() < 500 && (held.empty() || random() % 3 != 0)) {
      const std::size_t size = 1 + random() % (kMaxSmallBlock + 64);
      Held h{static_cast<unsigned char*>(AllocateSmallBlock(size)), size, static_cast<unsigned char>(random())};
      ok = ok && reinterpret_cast<std::uintptr_t>(h.block) % 8 == 0;
      std::memset(h.block, h.mark, size);
      held.push_back(h);
    } else {
      const std::size_t at = random() % held.size();
      ok = ok && Intact(held[at]);
      FreeSmallBlock(held[at].block, held[at].size);
      held[at] = held.back();
      held.pop_back();
    }
  }
  for (const Held& h : held) {
    ok = ok && Intact(h);
    FreeSmallBlock(h.block, h.size);
  }
  return ok;
}

TEST(SmallBlocks, FourThreadsTakingAndFreeingBlocksDoNotTreadOnEachOther) {
  std::vector<std::thread> threads;
  std::vector<char> ok(4, 0);
  for (unsigned t = 0; t < 4; ++t) threads.emplace_back([t, &ok] { ok[t] = Churn(t + 1, 200000); });
  for (std::thread& thread : threads) thread.join();
  for (unsigned t = 0; t < 4; ++t) EXPECT_TRUE(ok[t]) << "thread " << t;
  FreeSmallBlock(nullptr, 24);  // as delete of a null pointer: nothing
}

// The allocator over the pool is used by every dictionary (host_collections.h),
// so the dictionary tests use it like any other.

}  // namespace
}  // namespace vemo
