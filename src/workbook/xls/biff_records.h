// The record layer of a BIFF8 Workbook stream: records with their CONTINUE
// records joined (the joints remembered so a record is written back exactly
// as it came), little-endian fields, and the string forms records use.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::wb {

namespace biff {
enum : std::uint16_t {
  kFormula = 0x0006, kEof = 0x000A, kName = 0x0018, kDateMode = 0x0022, kFilePass = 0x002F, kFont = 0x0031,
  kContinue = 0x003C, kDefColWidth = 0x0055, kColInfo = 0x007D, kBoundSheet = 0x0085, kPalette = 0x0092,
  kMulRk = 0x00BD, kMulBlank = 0x00BE, kRString = 0x00D6, kDbCell = 0x00D7, kMergedCells = 0x00E5, kXf = 0x00E0,
  kSst = 0x00FC, kLabelSst = 0x00FD, kExtSst = 0x00FF, kDimensions = 0x0200, kBlank = 0x0201, kNumber = 0x0203,
  kLabel = 0x0204, kBoolErr = 0x0205, kString = 0x0207, kRow = 0x0208, kIndex = 0x020B, kArray = 0x0221,
  kDefaultRowHeight = 0x0225, kTable = 0x0236, kRk = 0x027E, kStyle = 0x0293, kFormat = 0x041E, kShrFmla = 0x04BC,
  kWindow1 = 0x003D, kWindow2 = 0x023E, kBof = 0x0809, kCodePage = 0x0042,
};
}  // namespace biff

struct BiffRecord {
  std::uint16_t type = 0;
  std::string data;                   // payload, CONTINUE payloads appended
  std::vector<std::uint32_t> joints;  // offsets in `data` where a CONTINUE record began
};

std::uint16_t Read16(std::string_view b, std::size_t at);
std::uint32_t Read32(std::string_view b, std::size_t at);
double ReadDouble(std::string_view b, std::size_t at);
void Append16(std::string& out, std::uint16_t v);
void Append32(std::string& out, std::uint32_t v);
void AppendDouble(std::string& out, double v);
void Patch16(std::string& out, std::size_t at, std::uint16_t v);
void Patch32(std::string& out, std::size_t at, std::uint32_t v);

// Splits a stream into records from `offset` to the end or, with
// `stopAtEof`, to the EOF record that closes the substream starting there
// (included; substreams nested in it are read whole). Throws WorkbookError when a record runs past the end.
std::vector<BiffRecord> ReadRecords(std::string_view stream, std::size_t offset, bool stopAtEof);
// Appends `r` as it came: the payload cut at its joints into CONTINUE records.
void WriteRecord(std::string& out, const BiffRecord& r);
// Appends a record of `type`; payloads over the record limit go on in CONTINUE records.
void WriteRecord(std::string& out, std::uint16_t type, std::string_view data);

// Reads `count` characters from `at`, one byte each or UTF-16 as `wide`
// says; crosses joints, where each continuation starts with its own option
// byte. Returns UTF-8; `at` moves past the characters.
std::string ReadChars(const BiffRecord& r, std::size_t& at, std::size_t count, bool wide);
// A string with a 16-bit (XLUnicodeString) or 8-bit (ShortXLUnicodeString)
// length, no rich runs or phonetic data read.
std::string ReadUnicodeString(const BiffRecord& r, std::size_t& at, bool shortLength);
// Appends `utf8` as a string with a 16-bit or 8-bit length (UTF-16 when any
// character needs it, else one byte per character).
void AppendUnicodeString(std::string& out, std::string_view utf8, bool shortLength);

}  // namespace vemo::wb
