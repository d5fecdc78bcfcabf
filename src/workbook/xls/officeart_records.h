// The record header of the drawing layer of .xls files (OfficeArt): version
// and instance, type, body length. Read only within the bounds the caller
// gives, so a length that runs past its container ends the walk there.
#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

#include "workbook/xls/biff_records.h"

namespace vemo::wb::xls {

struct ArtRecord {
  std::uint16_t version = 0, instance = 0, type = 0;
  std::size_t body = 0, end = 0;  // offsets of the body and of the byte after it
  // Some writers give the drawing container version 0: the container
  // types (0xF000 to 0xF005) are taken for what they are.
  bool container() const { return version == 0xF || (type >= 0xF000 && type <= 0xF005); }
};

// The record at `at`, nullopt when its header or body does not fit before `limit`.
inline std::optional<ArtRecord> ReadArtRecord(std::string_view s, std::size_t at, std::size_t limit) {
  if (limit > s.size() || at > limit || limit - at < 8) return std::nullopt;
  ArtRecord r;
  const std::uint16_t verInstance = Read16(s, at);
  r.version = verInstance & 0xF;
  r.instance = verInstance >> 4;
  r.type = Read16(s, at + 2);
  const std::uint32_t length = Read32(s, at + 4);
  r.body = at + 8;
  if (length > limit - r.body) return std::nullopt;
  r.end = r.body + length;
  return r;
}

}  // namespace vemo::wb::xls
