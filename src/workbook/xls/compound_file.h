// The compound file container of .xls workbooks: a small file system of
// storages and streams inside one file, held in memory. Every stream and
// storage read is kept (with its class id, state bits and times) and written
// back with the same contents; only the sector layout is made anew on save.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::wb {

class CompoundFile {
 public:
  enum class Kind : std::uint8_t { Storage = 1, Stream = 2, Root = 5 };

  // A piece of a stream: bytes held, or `size` bytes that `write` writes
  // when the container is written, so that a large stream is never held
  // whole. `write` must write exactly `size` bytes.
  struct Piece {
    std::string bytes;
    std::size_t size = 0;
    std::function<void(std::ostream&)> write;
    std::size_t Size() const { return write ? size : bytes.size(); }
  };

  struct Entry {
    std::u16string name;
    Kind kind = Kind::Stream;
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
    std::uint64_t created = 0, modified = 0;
    std::string data;                 // streams only
    // A stream made of several pieces (data, then these in order), written
    // one after another so that a large stream is never joined in memory.
    // Streams read from a file hold everything in `data`.
    std::vector<Piece> more;
    std::vector<std::size_t> children;  // storages: indexes into entries()
  };

  // Reads a whole container; a broken or hostile one (sector chains that loop
  // or leave the file, absurd sizes, truncation) throws WorkbookError naming
  // `label` and the problem.
  static CompoundFile Read(std::string_view bytes, const std::string& label);
  // An empty container holding only the root storage.
  static CompoundFile Empty();
  // Writes the container to `out` as it is laid out, stream by stream.
  void Write(std::ostream& out) const;
  std::string Write() const;

  // entries()[0] is the root storage.
  const std::vector<Entry>& entries() const { return entries_; }
  std::vector<Entry>& mutableEntries() { return entries_; }
  // A stream directly under the root, names compared without case; null when absent.
  const Entry* FindStream(std::string_view asciiName) const;
  // Replaces the contents of a stream under the root, or adds it; `more`
  // follows `data` (see Entry::more).
  void PutStream(std::string_view asciiName, std::string data, std::vector<Piece> more = {});

 private:
  std::vector<Entry> entries_;
};

}  // namespace vemo::wb
