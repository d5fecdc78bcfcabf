// Reading a zip package: the central directory (zip64 too), then each
// entry, stored or deflated, checked against its stated size and CRC. Our
// own reader over zlib: the zip library it replaces pulled a cryptography
// library into every process, a fifth of the start-up of a small bill.
#include <zlib.h>

#include <algorithm>
#include <fstream>
#include <unordered_set>

#include "workbook/model/utf8.h"
#include "workbook/workbook_error.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22, kZip64LocatorSize = 20, kZip64EndSize = 56, kCentralSize = 46, kLocalSize = 30;

std::uint16_t U16(std::string_view b, std::uint64_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t U32(std::string_view b, std::uint64_t at) { return U16(b, at) | static_cast<std::uint32_t>(U16(b, at + 2)) << 16; }
std::uint64_t U64(std::string_view b, std::uint64_t at) { return U32(b, at) | static_cast<std::uint64_t>(U32(b, at + 4)) << 32; }

// Entry names without the UTF-8 flag are UTF-8 when they read as such, and
// the old DOS code page otherwise (as other zip readers take them).
constexpr char16_t kCodePage437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC,
    0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2,
    0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310,
    0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C,
    0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF,
    0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2,
    0x25A0, 0x00A0};

bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t length = Utf8Length(s, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string EntryName(std::string_view raw, std::uint16_t flags) {
  if ((flags & 0x0800) || IsUtf8(raw)) return std::string(raw);
  std::string name;
  for (char byte : raw) {
    const auto c = static_cast<unsigned char>(byte);
    AppendUtf8(name, c < 0x80 ? c : kCodePage437High[c - 0x80]);
  }
  return name;
}

// What the central directory says of one entry.
struct Record {
  std::string name;
  std::uint16_t flags = 0, method = 0;
  std::uint32_t crc = 0;
  std::uint64_t packed = 0, size = 0, localOffset = 0;
};

class Reader {
 public:
  Reader(std::string_view bytes, const std::string& label, const ZipLimits& limits)
      : b_(bytes), label_(label), limits_(limits) {}

  struct Unpacked {
    std::string name;
    bool stored = false;
    std::string data;
    // A deflated entry's own compressed bytes (empty for a stored one): an
    // entry nobody changes is written back as it came, without packing it again.
    std::string_view packed;
    std::uint32_t crc = 0;
  };

  std::vector<Unpacked> Run() {
    ReadDirectory();
    std::vector<Unpacked> entries;
    entries.reserve(records_.size());
    for (const Record& record : records_) entries.push_back(Unpack(record));
    return entries;
  }

 private:
  [[noreturn]] void NotZip(const std::string& why) const {
    throw WorkbookError("not a zip package: " + label_ + " (" + why + ")");
  }
  [[noreturn]] void Damaged(const std::string& what) const {
    throw WorkbookError("damaged zip package " + label_ + ": " + what);
  }
  [[noreturn]] void Refused(const std::string& what) const { throw WorkbookError("refused " + label_ + ": " + what); }

  bool Fits(std::uint64_t at, std::uint64_t length) const { return at <= b_.size() && length <= b_.size() - at; }

  // The end record: the last signature in the final 64 KiB + 22 bytes (the
  // archive comment may follow it).
  std::uint64_t FindEnd() const {
    if (b_.size() < kEndSize) NotZip("Not a zip archive");
    const std::uint64_t lowest = b_.size() > 0xFFFF + kEndSize ? b_.size() - 0xFFFF - kEndSize : 0;
    for (std::uint64_t at = b_.size() - kEndSize + 1; at-- > lowest;)
      if (U32(b_, at) == kEndSignature && at + kEndSize + U16(b_, at + 20) <= b_.size()) return at;
    NotZip("Not a zip archive");
  }

  void ReadDirectory() {
    const std::uint64_t end = FindEnd();
    std::uint64_t count = U16(b_, end + 10);
    std::uint64_t directorySize = U32(b_, end + 12);
    std::uint64_t directoryOffset = U32(b_, end + 16);
    std::uint64_t directoryEnd = end;
    if (end >= kZip64LocatorSize && U32(b_, end - kZip64LocatorSize) == kZip64LocatorSignature) {
      const std::uint64_t record = U64(b_, end - kZip64LocatorSize + 8);
      if (!Fits(record, kZip64EndSize) || U32(b_, record) != kZip64EndSignature)
        NotZip("the zip64 end record is missing");
      count = U64(b_, record + 32);
      directorySize = U64(b_, record + 40);
      directoryOffset = U64(b_, record + 48);
      directoryEnd = record;
    }
    if (count > limits_.maxEntries)
      Refused("the package has " + std::to_string(count) + " entries, more than the limit of " +
              std::to_string(limits_.maxEntries));
    // Bytes put before the archive move every offset by the same amount.
    if (directoryEnd < directorySize) NotZip("the central directory does not fit in the file");
    const std::uint64_t actualOffset = directoryEnd - directorySize;
    if (actualOffset < directoryOffset) NotZip("the central directory does not fit in the file");
    shift_ = actualOffset - directoryOffset;

    std::uint64_t at = actualOffset;
    std::unordered_set<std::string> names;
    for (std::uint64_t i = 0; i < count; ++i) {
      if (!Fits(at, kCentralSize) || U32(b_, at) != kCentralSignature)
        NotZip("entry " + std::to_string(i) + " of the central directory is damaged");
      Record r;
      r.flags = U16(b_, at + 8);
      r.method = U16(b_, at + 10);
      r.crc = U32(b_, at + 16);
      r.packed = U32(b_, at + 20);
      r.size = U32(b_, at + 24);
      const std::uint16_t nameLength = U16(b_, at + 28), extraLength = U16(b_, at + 30), commentLength = U16(b_, at + 32);
      r.localOffset = U32(b_, at + 42);
      if (!Fits(at + kCentralSize, std::uint64_t{nameLength} + extraLength + commentLength))
        NotZip("entry " + std::to_string(i) + " of the central directory is damaged");
      r.name = EntryName(b_.substr(at + kCentralSize, nameLength), r.flags);
      ReadZip64Extra(b_.substr(at + kCentralSize + nameLength, extraLength), r);
      at += kCentralSize + nameLength + extraLength + commentLength;
      if (!names.insert(r.name).second) Damaged("entry " + r.name + " appears twice");
      records_.push_back(std::move(r));
    }
  }

  // The zip64 extra field holds, in this order, the values whose 32-bit
  // fields read 0xFFFFFFFF.
  void ReadZip64Extra(std::string_view extra, Record& r) const {
    for (std::size_t at = 0; at + 4 <= extra.size();) {
      const std::uint16_t id = U16(extra, at), length = U16(extra, at + 2);
      if (at + 4 + length > extra.size()) return;
      if (id == 0x0001) {
        std::size_t field = at + 4;
        for (std::uint64_t* value : {&r.size, &r.packed, &r.localOffset}) {
          if (*value != 0xFFFFFFFF) continue;
          if (field + 8 > at + 4 + length) Damaged("entry " + r.name + " has a damaged zip64 field");
          *value = U64(extra, field);
          field += 8;
        }
        return;
      }
      at += 4 + length;
    }
  }

  void CheckLimits(const Record& r) {
    if (r.flags & 0x0001) Refused("entry " + r.name + " is encrypted; save the workbook without a password");
    if (r.size > limits_.maxEntryUncompressed)
      Refused("entry " + r.name + " unpacks to " + std::to_string(r.size) + " bytes, more than the limit of " +
              std::to_string(limits_.maxEntryUncompressed));
    if (r.size > limits_.ratioCheckFrom && r.packed > 0 && r.size / r.packed > limits_.maxRatio)
      Refused("entry " + r.name + " has a compression ratio of " + std::to_string(r.size / r.packed) +
              ":1 (a zip bomb?)");
    total_ += r.size;
    if (total_ > limits_.maxTotalUncompressed)
      Refused("the package unpacks to more than " + std::to_string(limits_.maxTotalUncompressed >> 20) + " MiB");
  }

  Unpacked Unpack(const Record& r) {
    CheckLimits(r);
    const std::uint64_t local = r.localOffset + shift_;
    if (!Fits(local, kLocalSize) || U32(b_, local) != kLocalSignature)
      Damaged("entry " + r.name + " cannot be opened (its local header is missing)");
    const std::uint64_t data = local + kLocalSize + U16(b_, local + 26) + U16(b_, local + 28);
    if (!Fits(data, r.packed)) Damaged("entry " + r.name + " cannot be unpacked (it runs past the end of the file)");
    const std::string_view packed = b_.substr(data, r.packed);

    Unpacked entry;
    entry.name = r.name;
    entry.stored = r.method == 0;
    if (r.packed == 0 && r.size == 0) {
      // An empty entry, whatever its method says: no stream to unpack.
    } else if (r.method == 0) {
      if (r.packed != r.size) Damaged("entry " + r.name + " does not unpack to the size its header states");
      entry.data.assign(packed);
    } else if (r.method == 8) {
      entry.data = Inflate(packed, r);
      entry.packed = packed;
      entry.crc = r.crc;
    } else {
      Refused("entry " + r.name + " is packed with method " + std::to_string(r.method) +
              ", which is not supported; save the workbook again with the usual compression");
    }
    if (crc32_z(0, reinterpret_cast<const Bytef*>(entry.data.data()), entry.data.size()) != r.crc)
      Damaged("entry " + r.name + " cannot be unpacked (CRC error)");
    return entry;
  }

  // Raw deflate into exactly the stated size: more output, or less, is damage.
  std::string Inflate(std::string_view packed, const Record& r) const {
    // One byte of room past the stated size, so that more output shows.
    std::string out(r.size + 1, '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) Damaged("entry " + r.name + " cannot be unpacked (out of memory)");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    // zlib counts in 32 bits: input and room are handed over in parts.
    constexpr std::uint64_t kPart = 1u << 30;
    std::uint64_t givenIn = 0, givenOut = 0;
    int status = Z_OK;
    while (status == Z_OK) {
      if (z.avail_in == 0 && givenIn < packed.size()) {
        z.avail_in = static_cast<uInt>(std::min(kPart, packed.size() - givenIn));
        givenIn += z.avail_in;
      }
      if (z.avail_out == 0 && givenOut < out.size()) {
        z.avail_out = static_cast<uInt>(std::min(kPart, out.size() - givenOut));
        givenOut += z.avail_out;
      }
      status = inflate(&z, Z_NO_FLUSH);
    }
    const std::uint64_t written = givenOut - z.avail_out;
    inflateEnd(&z);
    if (written > r.size || (status == Z_STREAM_END && written != r.size))
      Damaged("entry " + r.name + " does not unpack to the size its header states");
    if (status != Z_STREAM_END)
      Damaged("entry " + r.name + " cannot be unpacked (" +
              (status == Z_DATA_ERROR ? std::string("the compressed data is damaged") : std::string("the data ends early")) +
              ")");
    out.resize(r.size);
    return out;
  }

  std::string_view b_;
  const std::string& label_;
  const ZipLimits& limits_;
  std::vector<Record> records_;
  std::uint64_t shift_ = 0;
  std::uint64_t total_ = 0;
};

}  // namespace

ZipPackage ZipPackage::ReadFile(const std::filesystem::path& path, const ZipLimits& limits) {
  std::error_code ec;
  auto size = std::filesystem::file_size(path, ec);
  if (ec) throw WorkbookError("cannot open " + path.string() + ": " + ec.message());
  if (size > limits.maxFileSize)
    throw WorkbookError("not a zip package: " + path.string() + " is larger than the limit of " +
                        std::to_string(limits.maxFileSize >> 20) + " MiB");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw WorkbookError("cannot open " + path.string() + " for reading");
  std::string bytes(size, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  if (!in) throw WorkbookError("cannot read " + path.string());
  return ReadMemory(std::move(bytes), path.string(), limits);
}

ZipPackage ZipPackage::ReadMemory(std::string bytes, const std::string& label, const ZipLimits& limits) {
  ZipPackage package;
  for (auto& unpacked : Reader(bytes, label, limits).Run()) {
    Entry entry;
    entry.name = std::move(unpacked.name);
    entry.stored = unpacked.stored;
    entry.data_ = std::move(unpacked.data);
    if (!unpacked.packed.empty())
      entry.deflated_ = DeflatedBytes{{std::string(unpacked.packed)}, unpacked.crc, entry.data_.size()};
    package.entries_.push_back(std::move(entry));
  }
  return package;
}

}  // namespace vemo::wb
