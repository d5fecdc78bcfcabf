#include "workbook/xls/biff_records.h"

#include <algorithm>
#include <cstring>

#include "workbook/workbook_error.h"
#include "workbook/xls/biff_formula_internal.h"

namespace vemo::wb {

namespace {
constexpr std::size_t kMaxPayload = 8224;
}

std::uint16_t Read16(std::string_view b, std::size_t at) {
  if (at + 2 > b.size()) throw WorkbookError("a record of the .xls workbook is shorter than its fields; the file is damaged");
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8);
}
std::uint32_t Read32(std::string_view b, std::size_t at) { return Read16(b, at) | std::uint32_t{Read16(b, at + 2)} << 16; }
double ReadDouble(std::string_view b, std::size_t at) {
  std::uint64_t bits = Read32(b, at) | std::uint64_t{Read32(b, at + 4)} << 32;
  double v;
  std::memcpy(&v, &bits, 8);
  return v;
}
void Append16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}
void Append32(std::string& out, std::uint32_t v) {
  Append16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  Append16(out, static_cast<std::uint16_t>(v >> 16));
}
void AppendDouble(std::string& out, double v) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, 8);
  Append32(out, static_cast<std::uint32_t>(bits));
  Append32(out, static_cast<std::uint32_t>(bits >> 32));
}
void Patch16(std::string& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>(v >> 8);
}
void Patch32(std::string& out, std::size_t at, std::uint32_t v) {
  Patch16(out, at, static_cast<std::uint16_t>(v & 0xFFFF));
  Patch16(out, at + 2, static_cast<std::uint16_t>(v >> 16));
}

std::vector<BiffRecord> ReadRecords(std::string_view s, std::size_t offset, bool stopAtEof) {
  std::vector<BiffRecord> records;
  int depth = 0;  // charts embedded in a sheet have their own BOF ... EOF
  for (std::size_t at = offset; at + 4 <= s.size();) {
    const std::uint16_t type = Read16(s, at), length = Read16(s, at + 2);
    if (at + 4 + length > s.size())
      throw WorkbookError("the .xls workbook is truncated: a record runs past the end of its stream; the file is damaged");
    std::string_view payload = s.substr(at + 4, length);
    at += 4 + length;
    if (type == biff::kContinue && !records.empty()) {
      records.back().joints.push_back(static_cast<std::uint32_t>(records.back().data.size()));
      records.back().data += payload;
      continue;
    }
    records.push_back({type, std::string(payload), {}});
    if (type == biff::kBof) ++depth;
    if (type == biff::kEof && --depth <= 0 && stopAtEof) break;
    if (type == 0 && length == 0) break;  // zero padding after the last substream
  }
  return records;
}

void WriteRecord(std::string& out, const BiffRecord& r) {
  std::size_t from = 0;
  for (std::size_t k = 0; k <= r.joints.size(); ++k) {
    const std::size_t to = k < r.joints.size() ? r.joints[k] : r.data.size();
    Append16(out, k == 0 ? r.type : std::uint16_t{biff::kContinue});
    Append16(out, static_cast<std::uint16_t>(to - from));
    out.append(r.data, from, to - from);
    from = to;
  }
}

void WriteRecord(std::string& out, std::uint16_t type, std::string_view data) {
  BiffRecord r{type, std::string(data), {}};
  for (std::size_t at = kMaxPayload; at < data.size(); at += kMaxPayload) r.joints.push_back(static_cast<std::uint32_t>(at));
  WriteRecord(out, r);
}

std::string ReadChars(const BiffRecord& r, std::size_t& at, std::size_t count, bool wide) {
  // Every character as a little-endian UTF-16 unit, whatever width each part stored it in.
  std::string units;
  units.reserve(2 * count);
  std::size_t read = 0;
  for (; read < count; ++read) {
    // A joint inside the characters: the next part has its own option byte.
    if (std::binary_search(r.joints.begin(), r.joints.end(), static_cast<std::uint32_t>(at))) {
      if (at >= r.data.size()) break;
      wide = (static_cast<std::uint8_t>(r.data[at++]) & 1) != 0;
    }
    if (wide) {
      Append16(units, Read16(r.data, at));
      at += 2;
    } else {
      if (at >= r.data.size()) throw WorkbookError("a string of the .xls workbook is cut short; the file is damaged");
      units += r.data[at++];
      units += '\0';
    }
  }
  return xls::Utf8FromBiff(reinterpret_cast<const std::uint8_t*>(units.data()), read, true);
}

std::string ReadUnicodeString(const BiffRecord& r, std::size_t& at, bool shortLength) {
  std::size_t count;
  if (shortLength) {
    if (at >= r.data.size()) throw WorkbookError("a string of the .xls workbook is cut short; the file is damaged");
    count = static_cast<std::uint8_t>(r.data[at++]);
  } else {
    count = Read16(r.data, at);
    at += 2;
  }
  if (at >= r.data.size()) throw WorkbookError("a string of the .xls workbook is cut short; the file is damaged");
  const bool wide = (static_cast<std::uint8_t>(r.data[at++]) & 1) != 0;
  return ReadChars(r, at, count, wide);
}

void AppendUnicodeString(std::string& out, std::string_view utf8, bool shortLength) {
  std::u16string text = xls::Utf16FromUtf8(utf8);
  if (text.size() > (shortLength ? 255u : 65535u)) text.resize(shortLength ? 255 : 65535);
  bool wide = false;
  for (char16_t c : text) wide = wide || c > 0xFF;
  if (shortLength) out += static_cast<char>(text.size());
  else Append16(out, static_cast<std::uint16_t>(text.size()));
  out += static_cast<char>(wide ? 1 : 0);
  for (char16_t c : text) {
    if (wide) Append16(out, c);
    else out += static_cast<char>(c);
  }
}

}  // namespace vemo::wb
