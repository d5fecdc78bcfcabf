#include "workbook/xls/xls_blip_store.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "workbook/xls/officeart_records.h"

namespace vemo::wb::xls {
namespace {

constexpr std::uint16_t kMsoDrawingGroup = 0x00EB;
constexpr std::uint16_t kDggContainer = 0xF000, kBStoreContainer = 0xF001, kBse = 0xF007;
constexpr std::uint16_t kBlipEmf = 0xF01A, kBlipWmf = 0xF01B, kBlipPict = 0xF01C, kBlipJpeg = 0xF01D, kBlipPng = 0xF01E,
                        kBlipDib = 0xF01F, kBlipTiff = 0xF029, kBlipCmykJpeg = 0xF02A;
// A metafile inflated past this is taken for damage rather than a picture.
constexpr std::uint32_t kMaxMetafileBytes = 64u << 20;
constexpr std::size_t kBseFixedLength = 36;  // the entry's fields before its name and picture

PictureFile Missing(std::string problem) { return {{}, {}, std::move(problem)}; }

// A stored bitmap's type by its first bytes: the record type alone is not
// reliable (some writers store a GIF as a PNG record).
std::string BitmapExtension(std::string_view bytes) {
  if (bytes.starts_with("\x89PNG")) return "png";
  if (bytes.starts_with("\xFF\xD8")) return "jpeg";
  if (bytes.starts_with("GIF8")) return "gif";
  if (bytes.starts_with(std::string_view("II*\0", 4)) || bytes.starts_with(std::string_view("MM\0*", 4))) return "tiff";
  return {};
}

// A device-independent bitmap with the 14-byte file header a .bmp starts with:
// the offset of the pixels is the header's, the info header's and the palette's length.
PictureFile BmpOf(std::string_view dib) {
  if (dib.size() < 12) return Missing("damaged pictures");
  const std::uint32_t infoSize = Read32(dib, 0);
  std::uint64_t palette = 0;
  if (infoSize == 12) {
    const std::uint16_t bits = Read16(dib, 10);
    palette = bits <= 8 ? 3ull << bits : 0;
  } else if (infoSize >= 40 && dib.size() >= 40) {
    const std::uint16_t bits = Read16(dib, 14);
    const std::uint32_t compression = Read32(dib, 16), used = Read32(dib, 32);
    palette = 4ull * (used ? used : bits <= 8 ? 1u << bits : 0);
    if (infoSize == 40 && compression == 3) palette += 12;  // the three colour masks
    if (infoSize == 40 && compression == 6) palette += 16;
  } else {
    return Missing("damaged pictures");
  }
  const std::uint64_t pixels = 14 + static_cast<std::uint64_t>(infoSize) + palette;
  if (pixels > 14 + dib.size()) return Missing("damaged pictures");
  std::string out = "BM";
  Append32(out, static_cast<std::uint32_t>(14 + dib.size()));
  Append32(out, 0);
  Append32(out, static_cast<std::uint32_t>(pixels));
  out.append(dib);
  return {std::move(out), "bmp", {}};
}

// A metafile picture: its header (uncompressed size, bounds, size in EMU,
// stored size, compression) and the stored bytes, deflated or not.
PictureFile Metafile(std::string_view body, bool emf) {
  if (body.size() < 34) return Missing("damaged pictures");
  const std::uint32_t size = Read32(body, 0), saved = Read32(body, 28);
  const auto compression = static_cast<std::uint8_t>(body[32]);
  const std::string_view stored = body.substr(34, std::min<std::size_t>(saved, body.size() - 34));
  std::string bytes;
  if (compression == 0xFE) {
    bytes = stored;
  } else if (compression == 0 && size > 0 && size <= kMaxMetafileBytes && size / 1100 <= stored.size()) {
    // (deflate packs at most about 1032 to 1: more is damage, not worth the memory)
    bytes.resize(size);
    uLongf length = size;
    if (uncompress(reinterpret_cast<Bytef*>(bytes.data()), &length, reinterpret_cast<const Bytef*>(stored.data()),
                   static_cast<uLong>(stored.size())) != Z_OK)
      return Missing("damaged pictures");
    bytes.resize(length);
  } else {
    return Missing("damaged pictures");
  }
  if (emf) {
    if (bytes.size() < 44 || bytes.compare(40, 4, " EMF") != 0) return Missing("damaged pictures");
    return {std::move(bytes), "emf", {}};
  }
  if (bytes.size() < 18) return Missing("damaged pictures");
  if (bytes.starts_with("\xD7\xCD\xC6\x9A")) return {std::move(bytes), "wmf", {}};
  // The placeable header: bounds in the metafile's units and how many make
  // an inch, from the bounds and the size in EMU (914400 to the inch).
  auto clamp16 = [](std::uint32_t v) {
    return static_cast<std::uint16_t>(std::clamp<std::int32_t>(static_cast<std::int32_t>(v), -32768, 32767));
  };
  const std::uint16_t left = clamp16(Read32(body, 4)), top = clamp16(Read32(body, 8));
  const std::uint16_t right = clamp16(Read32(body, 12)), bottom = clamp16(Read32(body, 16));
  const auto width = static_cast<std::int16_t>(right) - static_cast<std::int16_t>(left);
  const auto emuWide = static_cast<std::int32_t>(Read32(body, 20));
  const std::int64_t perInch = width > 0 && emuWide > 0 ? static_cast<std::int64_t>(width) * 914400 / emuWide : 1440;
  std::string head;
  Append32(head, 0x9AC6CDD7);
  Append16(head, 0);
  Append16(head, left), Append16(head, top), Append16(head, right), Append16(head, bottom);
  Append16(head, static_cast<std::uint16_t>(std::clamp<std::int64_t>(perInch, 1, 65535)));
  Append32(head, 0);
  std::uint16_t check = 0;
  for (std::size_t i = 0; i < head.size(); i += 2) check ^= Read16(head, i);
  Append16(head, check);
  return {head + bytes, "wmf", {}};
}

// The picture record inside a store entry.
PictureFile Picture(std::string_view s, const ArtRecord& r) {
  // An odd instance means a second 16-byte id follows the first.
  const std::size_t ids = (r.instance & 1) ? 32 : 16;
  const std::string_view body = s.substr(r.body, r.end - r.body);
  if (body.size() < ids) return Missing("damaged pictures");
  switch (r.type) {
    case kBlipEmf: case kBlipWmf: return Metafile(body.substr(ids), r.type == kBlipEmf);
    case kBlipPict: return Missing("pictures in PICT format");
    case kBlipDib: return body.size() > ids ? BmpOf(body.substr(ids + 1)) : Missing("damaged pictures");
    case kBlipJpeg: case kBlipPng: case kBlipTiff: case kBlipCmykJpeg: {
      const std::string_view bytes = body.substr(std::min(body.size(), ids + 1));
      const std::string extension = BitmapExtension(bytes);
      if (extension.empty()) return Missing("damaged pictures");
      return {std::string(bytes), extension, {}};
    }
    default: return Missing("pictures of formats other than PNG, JPEG, GIF, TIFF, BMP, EMF and WMF");
  }
}

// One entry of the store: its fields, its name, and the picture when it is
// kept in the store itself (not in a stream of its own).
PictureFile Entry(std::string_view s, const ArtRecord& bse) {
  if (bse.end - bse.body < kBseFixedLength) return Missing("damaged pictures");
  const std::size_t nameLength = static_cast<std::uint8_t>(s[bse.body + 33]);
  const std::size_t at = bse.body + kBseFixedLength + nameLength;
  if (at >= bse.end) return Missing("pictures kept outside the picture store");
  const auto picture = ReadArtRecord(s, at, bse.end);
  if (!picture) return Missing("damaged pictures");
  return Picture(s, *picture);
}

}  // namespace

std::vector<PictureFile> ReadBlipStore(const std::vector<BiffRecord>& globals) {
  std::string s;
  for (const BiffRecord& r : globals)
    if (r.type == kMsoDrawingGroup) s += r.data;
  std::vector<PictureFile> store(1);
  const auto group = ReadArtRecord(s, 0, s.size());
  if (!group || group->type != kDggContainer) return store;
  for (auto child = ReadArtRecord(s, group->body, group->end); child; child = ReadArtRecord(s, child->end, group->end)) {
    if (child->type != kBStoreContainer) continue;
    for (auto bse = ReadArtRecord(s, child->body, child->end); bse; bse = ReadArtRecord(s, bse->end, child->end))
      store.push_back(bse->type == kBse ? Entry(s, *bse) : Missing("damaged pictures"));
  }
  return store;
}

}  // namespace vemo::wb::xls
