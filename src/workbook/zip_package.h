// A zip package held in memory: every entry in its original order with its
// uncompressed bytes. Reading enforces limits so a hostile archive (zip bomb,
// absurd entry count, encrypted entries) is refused before it costs memory.
// Writing is deterministic: same entries in, same bytes out.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

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
  struct Entry {
    std::string name;
    std::string data;
    bool stored = false;  // kept stored (uncompressed) when written back
  };

  static ZipPackage ReadFile(const std::filesystem::path& path, const ZipLimits& limits = {});
  static ZipPackage ReadMemory(std::string bytes, const std::string& label, const ZipLimits& limits = {});

  void WriteFile(const std::filesystem::path& path) const;

  const std::vector<Entry>& entries() const { return entries_; }
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  const Entry* Find(std::string_view name) const;
  // Replaces an entry's bytes or appends a new entry at the end.
  void Put(std::string_view name, std::string data);
  void Remove(std::string_view name);

 private:
  std::vector<Entry> entries_;
};

}  // namespace vemo::wb
