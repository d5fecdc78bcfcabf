// A zip package held in memory: every entry in its original order with its
// uncompressed bytes, or its deflated bytes for a part streamed into it. An
// entry read deflated keeps its compressed bytes too, and is written back
// with them until it is replaced: parts nobody changed are not packed again.
// Reading (zip_reader.cpp) enforces limits so a hostile archive (zip bomb, absurd
// entry count, encrypted entries) is refused before it costs memory. Writing
// (ZipWriter) is deterministic: same entries in, same bytes out.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/zip/deflate_blocks.h"

namespace vemo::wb {

struct ZipLimits {
  std::size_t maxEntries = 20000;
  std::uint64_t maxTotalUncompressed = 1ull << 30;  // 1 GiB
  std::uint64_t maxEntryUncompressed = 512ull << 20;
  std::uint64_t maxFileSize = 512ull << 20;
  // A ratio above this on an entry larger than ratioCheckFrom is taken for a bomb.
  std::uint64_t maxRatio = 1000;
  std::uint64_t ratioCheckFrom = 8ull << 20;
};

class ZipPackage {
 public:
  class Entry {
   public:
    std::string name;
    bool stored = false;  // kept stored (uncompressed) when written back

    // The uncompressed bytes. An entry put in deflated form is inflated on
    // the first call and the result kept (the package is not meant to be
    // shared between threads).
    const std::string& data() const;
    // The deflated bytes of an entry read or put in that form (written out as they
    // are), else null.
    const DeflatedBytes* deflated() const { return deflated_ ? &*deflated_ : nullptr; }

   private:
    friend class ZipPackage;
    mutable std::string data_;
    std::optional<DeflatedBytes> deflated_;
  };

  static ZipPackage ReadFile(const std::filesystem::path& path, const ZipLimits& limits = {});
  static ZipPackage ReadMemory(std::string bytes, const std::string& label, const ZipLimits& limits = {});

  // Large entries are deflated on `threads` threads; the bytes written do not
  // depend on that number.
  void WriteFile(const std::filesystem::path& path, unsigned threads = DefaultDeflateThreads()) const;

  const std::vector<Entry>& entries() const { return entries_; }
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  const Entry* Find(std::string_view name) const;
  // Replaces an entry's bytes or appends a new entry at the end.
  void Put(std::string_view name, std::string data);
  // The same with bytes already deflated (a part streamed through DeflateStream).
  void PutDeflated(std::string_view name, DeflatedBytes deflated);
  void Remove(std::string_view name);

 private:
  std::vector<Entry> entries_;
};

}  // namespace vemo::wb
