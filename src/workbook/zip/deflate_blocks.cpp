#include "workbook/zip/deflate_blocks.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "workbook/workbook_error.h"

namespace vemo::wb {
namespace {

// zlib's default level and memory, as the writers we are compared with use.
constexpr int kLevel = 6;
constexpr int kMemLevel = 8;

std::uint32_t Crc(std::string_view bytes) {
  return static_cast<std::uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<z_size_t>(bytes.size())));
}

}  // namespace

class BlockDeflater::Deflater {
 public:
  Deflater() {
    if (deflateInit2(&z_, kLevel, Z_DEFLATED, -MAX_WBITS, kMemLevel, Z_DEFAULT_STRATEGY) != Z_OK)
      throw WorkbookError("cannot start compressing a zip entry: zlib could not get its memory");
  }
  ~Deflater() { deflateEnd(&z_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  // One block: `dictionary` is the input just before it (at most 32 KiB are used).
  std::string Compress(std::string_view dictionary, std::string_view block, bool last) {
    deflateReset(&z_);
    dictionary = dictionary.substr(dictionary.size() - std::min(dictionary.size(), kDeflateWindow));
    if (!dictionary.empty())
      deflateSetDictionary(&z_, reinterpret_cast<const Bytef*>(dictionary.data()),
                           static_cast<uInt>(dictionary.size()));
    // Compressed into a scratch buffer sized for the worst case, then copied
    // out at its size: a block's bytes are kept until the entry is joined,
    // and a result string with the worst case's capacity would hold about
    // as much memory as the uncompressed text.
    const std::size_t bound = deflateBound(&z_, static_cast<uLong>(block.size())) + 16;  // + sync flush marker
    if (scratch_.size() < bound) scratch_.resize(bound);
    z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    z_.avail_in = static_cast<uInt>(block.size());
    z_.next_out = reinterpret_cast<Bytef*>(scratch_.data());
    z_.avail_out = static_cast<uInt>(scratch_.size());
    for (;;) {
      int rc = deflate(&z_, last ? Z_FINISH : Z_SYNC_FLUSH);
      if (rc == Z_STREAM_ERROR) throw WorkbookError("cannot compress a zip entry: zlib refused the data");
      if (last ? rc == Z_STREAM_END : z_.avail_out != 0) break;
      std::size_t used = scratch_.size() - z_.avail_out;  // never expected: the bound was short
      scratch_.resize(scratch_.size() * 2);
      z_.next_out = reinterpret_cast<Bytef*>(scratch_.data() + used);
      z_.avail_out = static_cast<uInt>(scratch_.size() - used);
    }
    return std::string(scratch_.data(), scratch_.size() - z_.avail_out);
  }

 private:
  std::string scratch_;
  z_stream z_{};
};

std::uint64_t DeflatedBytes::PackedSize() const {
  std::uint64_t total = 0;
  for (const std::string& piece : pieces) total += piece.size();
  return total;
}

std::string DeflatedBytes::Joined() const {
  std::string all;
  all.reserve(PackedSize());
  for (const std::string& piece : pieces) all += piece;
  return all;
}

unsigned DefaultDeflateThreads() {
  static const unsigned threads = std::max(1u, std::thread::hardware_concurrency());  // asked once: it reads a file
  return threads;
}

BlockDeflater::BlockDeflater(unsigned threads) {
  if (threads <= 1) return;
  maxQueued_ = 2 * static_cast<std::size_t>(threads);
  workers_.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { Work(); });
}

BlockDeflater::~BlockDeflater() {
  {
    std::lock_guard lock(mutex_);
    queue_.clear();  // left over only when Finish was never reached (an error upstream)
    closing_ = true;
  }
  jobReady_.notify_all();
  for (std::thread& worker : workers_)
    if (worker.joinable()) worker.join();
}

BlockDeflater::Block BlockDeflater::Compress(Deflater& deflater, const Job& job) {
  const std::string_view all = job.input;
  Block block;
  block.bytes = deflater.Compress(all.substr(0, job.blockStart), all.substr(job.blockStart), job.last);
  block.crc = Crc(all.substr(job.blockStart));
  block.size = all.size() - job.blockStart;
  return block;
}

bool BlockDeflater::HelpWithOne(std::unique_lock<std::mutex>& lock) {
  if (queue_.empty()) return false;
  Job job = std::move(queue_.front());
  queue_.pop_front();
  lock.unlock();
  static thread_local Deflater helperDeflater;
  Block block = Compress(helperDeflater, job);
  job.input = std::string();
  lock.lock();
  blocks_[job.index] = std::move(block);
  return true;
}

void BlockDeflater::Submit(std::string dictionaryAndBlock, std::size_t blockStart, bool last) {
  if (workers_.empty()) {
    static thread_local Deflater inlineDeflater;
    blocks_.push_back(Compress(inlineDeflater, Job{blocks_.size(), std::move(dictionaryAndBlock), blockStart, last}));
    return;
  }
  std::unique_lock lock(mutex_);
  // A full queue means the workers are behind: this thread compresses the
  // oldest block itself rather than wait for room.
  while (queue_.size() >= maxQueued_ && !failure_) HelpWithOne(lock);
  if (failure_) std::rethrow_exception(failure_);
  queue_.push_back(Job{blocks_.size(), std::move(dictionaryAndBlock), blockStart, last});
  blocks_.emplace_back();
  lock.unlock();
  jobReady_.notify_one();
}

void BlockDeflater::Work() {
  try {
    Deflater deflater;
    for (;;) {
      Job job;
      {
        std::unique_lock lock(mutex_);
        jobReady_.wait(lock, [&] { return closing_ || !queue_.empty(); });
        if (queue_.empty()) return;
        job = std::move(queue_.front());
        queue_.pop_front();
      }
      Block block = Compress(deflater, job);
      job.input = std::string();  // the input goes before the next block is taken
      std::lock_guard lock(mutex_);
      blocks_[job.index] = std::move(block);
    }
  } catch (...) {
    std::lock_guard lock(mutex_);
    if (!failure_) failure_ = std::current_exception();
  }
}

DeflatedBytes BlockDeflater::Finish() {
  {
    // The blocks still queued are shared with the workers, not waited for.
    std::unique_lock lock(mutex_);
    while (!failure_ && HelpWithOne(lock)) {
    }
    closing_ = true;
  }
  jobReady_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  if (failure_) std::rethrow_exception(failure_);
  DeflatedBytes out;
  out.pieces.reserve(blocks_.size());
  for (Block& block : blocks_) {
    out.pieces.push_back(std::move(block.bytes));
    out.crc = static_cast<std::uint32_t>(crc32_combine(out.crc, block.crc, static_cast<z_off_t>(block.size)));
    out.size += block.size;
  }
  blocks_.clear();
  return out;
}

DeflatedBytes DeflateBytes(std::string_view input, unsigned threads) {
  if (input.size() <= kDeflateBlockSize) {
    BlockDeflater inlineOnly(1);
    inlineOnly.Submit(std::string(input), 0, true);
    return inlineOnly.Finish();
  }
  BlockDeflater deflater(threads);
  for (std::size_t start = 0; start < input.size(); start += kDeflateBlockSize) {
    std::size_t from = start - std::min(start, kDeflateWindow);
    std::size_t end = std::min(input.size(), start + kDeflateBlockSize);
    deflater.Submit(std::string(input.substr(from, end - from)), start - from, end == input.size());
  }
  return deflater.Finish();
}

DeflateStream::DeflateStream(unsigned threads) : threads_(threads) {
  buffer_.reserve(kDeflateBlockSize + kDeflateWindow + 64 * 1024);
}

void DeflateStream::HandOver() {
  if (!deflater_) deflater_ = std::make_unique<BlockDeflater>(threads_);
  while (buffer_.size() > blockStart_ + kDeflateBlockSize) {
    const std::size_t end = blockStart_ + kDeflateBlockSize;
    std::string next;
    next.reserve(std::max(buffer_.size() - end + kDeflateWindow, kDeflateBlockSize) + kDeflateWindow + 64 * 1024);
    next.append(buffer_, end - kDeflateWindow, std::string::npos);
    buffer_.resize(end);
    deflater_->Submit(std::move(buffer_), blockStart_, false);
    buffer_ = std::move(next);
    blockStart_ = kDeflateWindow;
  }
}

DeflatedBytes DeflateStream::Finish() {
  // Text appended since the last Poll may hold full blocks still.
  if (buffer_.size() > blockStart_ + kDeflateBlockSize) HandOver();
  if (!deflater_) return DeflateBytes(buffer_, 1);
  deflater_->Submit(std::move(buffer_), blockStart_, true);
  buffer_ = std::string();
  DeflatedBytes out = deflater_->Finish();
  deflater_.reset();
  return out;
}

std::string InflateBytes(const DeflatedBytes& deflated, std::string_view label) {
  const auto damaged = [&](const char* what) {
    return WorkbookError("damaged zip entry " + std::string(label) + ": " + what);
  };
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
    throw WorkbookError("cannot unpack zip entry " + std::string(label) + ": zlib could not get its memory");
  std::string out(deflated.size, '\0');
  std::size_t piece = 0, inDone = 0, outDone = 0;  // inDone counts within the piece
  int rc = Z_OK;
  while (rc == Z_OK) {
    while (piece < deflated.pieces.size() && inDone == deflated.pieces[piece].size()) {
      ++piece;
      inDone = 0;
    }
    const std::string_view input =
        piece < deflated.pieces.size() ? std::string_view(deflated.pieces[piece]).substr(inDone) : std::string_view();
    const std::size_t inChunk = std::min<std::size_t>(input.size(), UINT_MAX);
    const std::size_t outChunk = std::min<std::size_t>(out.size() - outDone, UINT_MAX);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    z.avail_in = static_cast<uInt>(inChunk);
    z.next_out = reinterpret_cast<Bytef*>(out.data() + outDone);
    z.avail_out = static_cast<uInt>(outChunk);
    rc = inflate(&z, Z_NO_FLUSH);
    inDone += inChunk - z.avail_in;
    outDone += outChunk - z.avail_out;
    if (rc == Z_OK && inChunk == z.avail_in && outChunk == z.avail_out) rc = Z_BUF_ERROR;  // no progress
  }
  inflateEnd(&z);
  if (rc != Z_STREAM_END) throw damaged(outDone == out.size() ? "it unpacks to more than its stated size"
                                                              : "the compressed bytes are cut short or invalid");
  if (outDone != out.size()) throw damaged("it unpacks to less than its stated size");
  if (Crc(out) != deflated.crc) throw damaged("its CRC does not match its bytes");
  return out;
}

}  // namespace vemo::wb
