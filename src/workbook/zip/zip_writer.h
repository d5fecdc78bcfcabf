// Writes a zip archive entry by entry: each entry's local header and bytes,
// then the central directory and the end record. Entries are compressed
// before they are added, so their sizes and CRC go into the local header and
// no data descriptors are needed. Zip64 records appear only when the archive
// needs them (an entry or an offset of 4 GiB or more, more than 65535
// entries). Every entry gets the same fixed time (1980-01-01 00:00) and the
// UTF-8 name flag, so the same entries always give the same bytes.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/zip/deflate_blocks.h"

namespace vemo::wb {

class ZipWriter {
 public:
  // Receives the archive's bytes in order; may throw to stop the writing.
  using Output = std::function<void(std::string_view)>;
  explicit ZipWriter(Output output) : output_(std::move(output)) {}

  // `name` ends with '/'.
  void AddDirectory(std::string_view name);
  void AddStored(std::string_view name, std::string_view bytes);
  void AddDeflated(std::string_view name, const DeflatedBytes& deflated);
  // Writes the central directory and the end record; add nothing after it.
  void Finish();

 private:
  struct Record {
    std::string name;
    std::uint16_t method;
    std::uint32_t crc;
    std::uint64_t compressedSize, size, offset;
    bool directory;
  };
  // The entry's bytes are its pieces joined.
  template <class Piece>
  void Add(Record record, std::span<const Piece> pieces);
  void Emit(std::string_view bytes);
  void Flush();

  Output output_;
  std::vector<Record> records_;
  std::string pending_;  // headers and small entries, written out in larger pieces
  std::uint64_t offset_ = 0;
};

}  // namespace vemo::wb
