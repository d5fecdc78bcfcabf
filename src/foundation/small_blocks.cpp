#include "foundation/small_blocks.h"

#include <array>
#include <cstdint>
#include <mutex>

namespace vemo {
namespace {

constexpr std::size_t kAlign = 8;
constexpr std::size_t kSlabSize = 64 * 1024;
constexpr std::size_t kClasses = kMaxSmallBlock / kAlign;

struct FreeBlock {
  FreeBlock* next;
};

class Pool {
 public:
  void* Allocate(std::size_t size) {
    const std::size_t index = ClassOf(size);
    std::lock_guard lock(mutex_);
    if (FreeBlock* block = free_[index]) {
      free_[index] = block->next;
      return block;
    }
    const std::size_t bytes = (index + 1) * kAlign;
    if (static_cast<std::size_t>(slabEnd_ - slabNext_) < bytes) {
      // What is left of the slab goes to the free lists of the sizes it fits.
      GiveBackRest();
      slabNext_ = static_cast<char*>(::operator new(kSlabSize));
      slabEnd_ = slabNext_ + kSlabSize;
    }
    void* block = slabNext_;
    slabNext_ += bytes;
    return block;
  }

  void Free(void* block, std::size_t size) noexcept {
    const std::size_t index = ClassOf(size);
    std::lock_guard lock(mutex_);
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = free_[index];
    free_[index] = freed;
  }

 private:
  static std::size_t ClassOf(std::size_t size) { return size == 0 ? 0 : (size - 1) / kAlign; }

  void GiveBackRest() {
    const auto rest = static_cast<std::size_t>(slabEnd_ - slabNext_);
    if (rest < kAlign) return;
    auto* block = reinterpret_cast<FreeBlock*>(slabNext_);
    block->next = free_[rest / kAlign - 1];
    free_[rest / kAlign - 1] = block;
    slabNext_ = slabEnd_;
  }

  std::mutex mutex_;
  std::array<FreeBlock*, kClasses> free_{};
  char* slabNext_ = nullptr;
  char* slabEnd_ = nullptr;
};

// Never destroyed: values may be freed by other objects' destructors at exit.
Pool& ThePool() {
  static Pool* pool = new Pool;
  return *pool;
}

}  // namespace

// Under the address sanitizer every block is its own allocation, so that a
// use after free is still caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif

void* AllocateSmallBlock(std::size_t size) {
  if (!kPooled || size > kMaxSmallBlock) return ::operator new(size);
  return ThePool().Allocate(size);
}

void FreeSmallBlock(void* block, std::size_t size) noexcept {
  if (!block) return;
  if (!kPooled || size > kMaxSmallBlock) {
    ::operator delete(block);
    return;
  }
  ThePool().Free(block, size);
}

}  // namespace vemo
