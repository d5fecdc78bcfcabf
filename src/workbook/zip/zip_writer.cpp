#include "workbook/zip/zip_writer.h"

#include <zlib.h>

#include "workbook/workbook_error.h"

namespace vemo::wb {
namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50, kCentralHeader = 0x02014b50, kEndRecord = 0x06054b50,
                        kZip64EndRecord = 0x06064b50, kZip64Locator = 0x07064b50;
constexpr std::uint16_t kZip64Extra = 0x0001;
constexpr std::uint16_t kUtf8Names = 1 << 11;
constexpr std::uint16_t kStored = 0, kDeflated = 8;
// Version 2.0 (deflate, folders); 4.5 when zip64 fields are present. Made on Unix, so
// the external attributes carry the permissions readers give extracted files.
constexpr std::uint16_t kVersion = 20, kVersionZip64 = 45, kMadeBy = (3 << 8) | kVersionZip64;
// 1980-01-01 00:00, the earliest time a zip header can hold: the bytes do not depend on the clock.
constexpr std::uint16_t kDosTime = 0, kDosDate = (0 << 9) | (1 << 5) | 1;
constexpr std::uint32_t kFileAttributes = 0100644u << 16, kDirectoryAttributes = (040755u << 16) | 0x10;
constexpr std::uint64_t k32 = 0xFFFFFFFFu;
constexpr std::size_t kDirectWrite = 64 * 1024;

void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put64(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
std::uint32_t Clamp32(std::uint64_t v) {
  return v >= k32 ? static_cast<std::uint32_t>(k32) : static_cast<std::uint32_t>(v);
}

}  // namespace

void ZipWriter::AddDirectory(std::string_view name) {
  Add(Record{std::string(name), kStored, 0, 0, 0, 0, true}, std::span<const std::string_view>());
}

void ZipWriter::AddStored(std::string_view name, std::string_view bytes) {
  const auto crc = static_cast<std::uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<z_size_t>(bytes.size())));
  Add(Record{std::string(name), kStored, crc, bytes.size(), bytes.size(), 0, false},
      std::span<const std::string_view>(&bytes, 1));
}

void ZipWriter::AddDeflated(std::string_view name, const DeflatedBytes& deflated) {
  Add(Record{std::string(name), kDeflated, deflated.crc, deflated.PackedSize(), deflated.size, 0, false},
      std::span<const std::string>(deflated.pieces));
}

template <class Piece>
void ZipWriter::Add(Record record, std::span<const Piece> pieces) {
  if (record.name.size() > 0xFFFF)
    throw WorkbookError("cannot add entry " + record.name.substr(0, 80) + "... to a zip package: its name is " +
                        std::to_string(record.name.size()) + " bytes long, more than the 65535 a zip header can hold");
  record.offset = offset_;
  // A local header's zip64 field holds both sizes, and only when one of them needs it.
  const bool zip64 = record.size >= k32 || record.compressedSize >= k32;
  std::string header;
  Put32(header, kLocalHeader);
  Put16(header, zip64 ? kVersionZip64 : kVersion);
  Put16(header, kUtf8Names);
  Put16(header, record.method);
  Put16(header, kDosTime);
  Put16(header, kDosDate);
  Put32(header, record.crc);
  Put32(header, zip64 ? static_cast<std::uint32_t>(k32) : static_cast<std::uint32_t>(record.compressedSize));
  Put32(header, zip64 ? static_cast<std::uint32_t>(k32) : static_cast<std::uint32_t>(record.size));
  Put16(header, static_cast<std::uint16_t>(record.name.size()));
  Put16(header, zip64 ? 20 : 0);
  header += record.name;
  if (zip64) {
    Put16(header, kZip64Extra);
    Put16(header, 16);
    Put64(header, record.size);
    Put64(header, record.compressedSize);
  }
  Emit(header);
  for (const Piece& piece : pieces) Emit(piece);
  records_.push_back(std::move(record));
}

void ZipWriter::Finish() {
  const std::uint64_t directoryStart = offset_;
  for (const Record& r : records_) {
    std::string extra;
    if (r.size >= k32) Put64(extra, r.size);
    if (r.compressedSize >= k32) Put64(extra, r.compressedSize);
    if (r.offset >= k32) Put64(extra, r.offset);
    std::string header;
    Put32(header, kCentralHeader);
    Put16(header, kMadeBy);
    Put16(header, extra.empty() ? kVersion : kVersionZip64);
    Put16(header, kUtf8Names);
    Put16(header, r.method);
    Put16(header, kDosTime);
    Put16(header, kDosDate);
    Put32(header, r.crc);
    Put32(header, Clamp32(r.compressedSize));
    Put32(header, Clamp32(r.size));
    Put16(header, static_cast<std::uint16_t>(r.name.size()));
    Put16(header, static_cast<std::uint16_t>(extra.empty() ? 0 : extra.size() + 4));
    Put16(header, 0);  // comment length
    Put16(header, 0);  // disk number
    Put16(header, 0);  // internal attributes
    Put32(header, r.directory ? kDirectoryAttributes : kFileAttributes);
    Put32(header, Clamp32(r.offset));
    header += r.name;
    if (!extra.empty()) {
      Put16(header, kZip64Extra);
      Put16(header, static_cast<std::uint16_t>(extra.size()));
      header += extra;
    }
    Emit(header);
  }
  const std::uint64_t directorySize = offset_ - directoryStart;
  const std::uint64_t count = records_.size();
  std::string end;
  if (count > 0xFFFF || directoryStart >= k32 || directorySize >= k32) {
    const std::uint64_t zip64End = offset_;
    Put32(end, kZip64EndRecord);
    Put64(end, 44);  // the size of the rest of this record
    Put16(end, kMadeBy);
    Put16(end, kVersionZip64);
    Put32(end, 0);  // this disk
    Put32(end, 0);  // the disk where the directory starts
    Put64(end, count);
    Put64(end, count);
    Put64(end, directorySize);
    Put64(end, directoryStart);
    Put32(end, kZip64Locator);
    Put32(end, 0);  // the disk of the zip64 end record
    Put64(end, zip64End);
    Put32(end, 1);  // disks in all
  }
  Put32(end, kEndRecord);
  Put16(end, 0);
  Put16(end, 0);
  Put16(end, static_cast<std::uint16_t>(count > 0xFFFF ? 0xFFFF : count));
  Put16(end, static_cast<std::uint16_t>(count > 0xFFFF ? 0xFFFF : count));
  Put32(end, Clamp32(directorySize));
  Put32(end, Clamp32(directoryStart));
  Put16(end, 0);  // comment length
  Emit(end);
  Flush();
}

void ZipWriter::Emit(std::string_view bytes) {
  offset_ += bytes.size();
  if (bytes.size() < kDirectWrite) {
    pending_ += bytes;
    if (pending_.size() >= kDirectWrite) Flush();
    return;
  }
  Flush();
  output_(bytes);
}

void ZipWriter::Flush() {
  if (pending_.empty()) return;
  output_(pending_);
  pending_.clear();
}

}  // namespace vemo::wb
