// Raw deflate (the zip entry form) in fixed-size blocks that can be
// compressed on several threads at once. Each block is compressed on its own
// with the 32 KiB of input before it as its dictionary and ends on a byte
// boundary (a sync flush; the last block finishes the stream), so the blocks
// simply join. The output depends only on the input bytes: never on the
// thread count or on timing.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vemo::wb {

// A zip entry's deflated bytes with what its headers need. The bytes are
// the pieces joined in order: a large entry keeps the blocks its threads
// compressed as they are, because joining them would hold the entry twice.
struct DeflatedBytes {
  std::vector<std::string> pieces;
  std::uint32_t crc = 0;
  std::uint64_t size = 0;  // uncompressed

  // The compressed size.
  std::uint64_t PackedSize() const;
  // The pieces in one string (tests and small entries).
  std::string Joined() const;
};

// Small enough that a one-page bill's sheet is a few blocks the cores share.
inline constexpr std::size_t kDeflateBlockSize = 128 * 1024;
inline constexpr std::size_t kDeflateWindow = 32 * 1024;

// The number of compressing threads when none is asked for: one per core.
unsigned DefaultDeflateThreads();

// Compresses numbered blocks, in order of submission, on up to `threads`
// worker threads (none when threads <= 1: each block is then compressed as it
// is submitted). While a few blocks per thread are queued, Submit compresses
// the oldest itself, so the input held at once stays bounded; Finish too
// takes its share of what is queued rather than wait.
class BlockDeflater {
 public:
  explicit BlockDeflater(unsigned threads);
  ~BlockDeflater();
  BlockDeflater(const BlockDeflater&) = delete;
  BlockDeflater& operator=(const BlockDeflater&) = delete;

  // `dictionaryAndBlock` holds up to 32 KiB of the input before the block,
  // then the block itself (from `blockStart` on).
  void Submit(std::string dictionaryAndBlock, std::size_t blockStart, bool last);
  // Joins the blocks; call once, after the last block was submitted.
  DeflatedBytes Finish();

 private:
  struct Job {
    std::size_t index;
    std::string input;
    std::size_t blockStart;
    bool last;
  };
  struct Block {
    std::string bytes;
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
  };
  class Deflater;
  void Work();
  static Block Compress(Deflater& deflater, const Job& job);
  // Compresses the oldest queued block on this thread; false when none is queued.
  bool HelpWithOne(std::unique_lock<std::mutex>& lock);

  std::vector<Block> blocks_;
  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable jobReady_;
  std::deque<Job> queue_;
  std::size_t maxQueued_ = 0;
  bool closing_ = false;
  std::exception_ptr failure_;
};

// Deflates `input` at zlib's default level, in blocks as above; an input of
// one block or less is compressed on the calling thread.
DeflatedBytes DeflateBytes(std::string_view input, unsigned threads = DefaultDeflateThreads());

// Deflates text appended piece by piece without holding it all: append to
// buffer(), call Poll() now and then (after each row, say) to hand the full
// blocks to the compressors, and Finish() at the end. Gives the same bytes as
// DeflateBytes over the whole text.
class DeflateStream {
 public:
  explicit DeflateStream(unsigned threads = DefaultDeflateThreads());
  std::string& buffer() { return buffer_; }
  void Poll() {
    // A full block is handed over once a byte follows it: the last block
    // is compressed differently (it ends the stream).
    if (buffer_.size() > blockStart_ + kDeflateBlockSize) HandOver();
  }
  DeflatedBytes Finish();

 private:
  void HandOver();
  unsigned threads_;
  // The current block, led by up to 32 KiB of the input before it.
  std::string buffer_;
  std::size_t blockStart_ = 0;
  std::unique_ptr<BlockDeflater> deflater_;  // made with the first full block
};

// The uncompressed bytes back; throws WorkbookError naming `label` when the
// bytes do not inflate to the size and CRC they state.
std::string InflateBytes(const DeflatedBytes& deflated, std::string_view label);

}  // namespace vemo::wb
