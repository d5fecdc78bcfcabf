#include "workbook/xls/compound_file.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <ostream>
#include <sstream>

#include "workbook/workbook_error.h"
#include "workbook/xls/biff_records.h"

namespace vemo::wb {

namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFF, kEndOfChain = 0xFFFFFFFE, kFatSector = 0xFFFFFFFD,
                        kDifatSector = 0xFFFFFFFC, kNoStream = 0xFFFFFFFF;
constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::size_t kMiniSector = 64, kMiniCutoff = 4096, kDirEntry = 128;

// 64-bit little-endian fields, made of the record layer's 32-bit ones.
std::uint64_t Get64(std::string_view b, std::size_t at) { return Read32(b, at) | std::uint64_t{Read32(b, at + 4)} << 32; }
void Put64(std::string& b, std::size_t at, std::uint64_t v) {
  Patch32(b, at, static_cast<std::uint32_t>(v));
  Patch32(b, at + 4, static_cast<std::uint32_t>(v >> 32));
}

// Reading state: the file, its sector size and the allocation tables.
class Reader {
 public:
  Reader(std::string_view bytes, const std::string& label) : b_(bytes), label_(label) {}

  CompoundFile Read();

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw WorkbookError(label_ + " is not a readable .xls workbook: its compound file container " + what +
                        "; the file is damaged, save it again from the program that made it");
  }
  std::size_t SectorCount() const { return (b_.size() - 1) / sector_; }  // sectors after the header
  // A sector's bytes; a last sector cut short is padded with zeros.
  std::string Sector(std::uint32_t id) const {
    if (id >= SectorCount()) Fail("points to sector " + std::to_string(id) + " beyond the end of the file");
    std::size_t at = (std::size_t{id} + 1) * sector_;
    std::string s(b_.substr(at, sector_));
    s.resize(sector_, '\0');
    return s;
  }
  // The sectors of a chain in `table`. A sector belongs to one chain only:
  // one met twice (a loop, or two chains sharing it) or a pointer outside the
  // table is refused.
  std::vector<std::uint32_t> Chain(const std::vector<std::uint32_t>& table, std::uint32_t start,
                                   const char* what) const {
    std::vector<bool>& claimed = &table == &fat_ ? claimedFat_ : claimedMini_;
    claimed.resize(table.size(), false);
    std::vector<std::uint32_t> chain;
    for (std::uint32_t id = start; id != kEndOfChain;) {
      if (id >= table.size()) Fail(std::string("has a ") + what + " chain pointing outside the file");
      if (claimed[id]) Fail(std::string("has a ") + what + " chain that loops or runs into another chain");
      claimed[id] = true;
      chain.push_back(id);
      id = table[id];
    }
    return chain;
  }
  std::string ChainBytes(std::uint32_t start, std::uint64_t size, const char* what) const {
    if (size == 0) return {};
    auto chain = Chain(fat_, start, what);
    if (size > std::uint64_t{chain.size()} * sector_) Fail(std::string("declares a ") + what + " longer than its sectors");
    std::string out;
    out.reserve(static_cast<std::size_t>(size));
    for (std::uint32_t id : chain) {
      if (out.size() >= size) break;
      out += Sector(id);
    }
    out.resize(static_cast<std::size_t>(size));
    return out;
  }
  void ReadFat();
  void ReadMiniFat();
  void ReadDirectory(CompoundFile& file);

  std::string_view b_;
  const std::string& label_;
  std::size_t sector_ = 512;
  std::vector<std::uint32_t> fat_, miniFat_;
  mutable std::vector<bool> claimedFat_, claimedMini_;
  std::string directory_, miniStream_;
};

void Reader::ReadFat() {
  const std::size_t perSector = sector_ / 4;
  std::vector<std::uint32_t> fatSectors;
  const std::uint32_t declared = Read32(b_, 0x2C);
  if (declared > SectorCount()) Fail("declares more allocation sectors than the file holds");
  for (std::size_t i = 0; i < 109 && fatSectors.size() < declared; ++i) fatSectors.push_back(Read32(b_, 0x4C + 4 * i));
  std::vector<bool> seen(SectorCount(), false);
  for (std::uint32_t id = Read32(b_, 0x44); fatSectors.size() < declared && id != kEndOfChain && id != kFree;) {
    if (id >= SectorCount()) Fail("has an allocation index pointing outside the file");
    if (seen[id]) Fail("has an allocation index chain that loops");
    seen[id] = true;
    std::string s = Sector(id);
    for (std::size_t i = 0; i + 1 < perSector && fatSectors.size() < declared; ++i) fatSectors.push_back(Read32(s, 4 * i));
    id = Read32(s, sector_ - 4);
  }
  if (fatSectors.size() < declared) Fail("lists fewer allocation sectors than it declares");
  fat_.reserve(fatSectors.size() * perSector);
  for (std::uint32_t id : fatSectors) {
    std::string s = Sector(id);
    for (std::size_t i = 0; i < perSector; ++i) fat_.push_back(Read32(s, 4 * i));
  }
  // Entries past the end of the file can only be garbage.
  if (fat_.size() > SectorCount()) fat_.resize(SectorCount());
}

void Reader::ReadMiniFat() {
  const std::uint32_t start = Read32(b_, 0x3C);
  if (start == kEndOfChain || start == kFree) return;
  auto chain = Chain(fat_, start, "small-block index");
  for (std::uint32_t id : chain) {
    std::string s = Sector(id);
    for (std::size_t i = 0; i < sector_ / 4; ++i) miniFat_.push_back(Read32(s, 4 * i));
  }
}

void Reader::ReadDirectory(CompoundFile& file) {
  for (std::uint32_t id : Chain(fat_, Read32(b_, 0x30), "directory")) directory_ += Sector(id);
  const std::size_t count = directory_.size() / kDirEntry;
  if (count == 0) Fail("has an empty directory");
  struct Raw {
    std::uint32_t left, right, child, start;
    std::uint64_t size;
  };
  std::vector<Raw> raw(count);
  std::vector<CompoundFile::Entry> entries(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string_view d = std::string_view(directory_).substr(i * kDirEntry, kDirEntry);
    CompoundFile::Entry& e = entries[i];
    std::size_t nameBytes = std::min<std::size_t>(Read16(d, 0x40), 64);
    for (std::size_t k = 0; k + 1 < nameBytes; k += 2) {
      char16_t c = Read16(d, k);
      if (c == 0) break;
      e.name += c;
    }
    e.kind = static_cast<CompoundFile::Kind>(static_cast<std::uint8_t>(d[0x42]));
    raw[i] = {Read32(d, 0x44), Read32(d, 0x48), Read32(d, 0x4C), Read32(d, 0x74), Get64(d, 0x78)};
    if (sector_ == 512) raw[i].size &= 0xFFFFFFFF;  // the high half is undefined in 512-byte files
    std::memcpy(e.clsid.data(), d.data() + 0x50, 16);
    e.stateBits = Read32(d, 0x60);
    e.created = Get64(d, 0x64);
    e.modified = Get64(d, 0x6C);
  }
  if (entries[0].kind != CompoundFile::Kind::Root) Fail("has no root entry");
  if (raw[0].size > b_.size()) Fail("declares a small-block stream larger than the file");
  miniStream_ = ChainBytes(raw[0].start, raw[0].size, "small-block stream");

  // Walk the tree from the root; each entry is taken once.
  std::vector<bool> taken(count, false);
  std::vector<std::size_t> newIndex(count, 0);
  auto& out = file.mutableEntries();
  out.clear();
  out.push_back(std::move(entries[0]));
  taken[0] = true;
  struct Pending {
    std::size_t parent;
    std::uint32_t node;
  };
  std::vector<Pending> stack{{0, raw[0].child}};
  while (!stack.empty()) {
    Pending p = stack.back();
    stack.pop_back();
    if (p.node == kNoStream) continue;
    if (p.node >= count || taken[p.node]) Fail("has a directory tree that loops or points outside the directory");
    taken[p.node] = true;
    const Raw& r = raw[p.node];
    CompoundFile::Entry e = std::move(entries[p.node]);
    if (e.kind != CompoundFile::Kind::Stream && e.kind != CompoundFile::Kind::Storage) continue;
    if (e.kind == CompoundFile::Kind::Stream) {
      if (r.size > b_.size()) Fail("declares a stream larger than the whole file");
      if (r.size == 0) {
      } else if (r.size < kMiniCutoff) {
        auto chain = Chain(miniFat_, r.start, "small-block");
        if (r.size > chain.size() * kMiniSector) Fail("declares a small stream longer than its blocks");
        for (std::uint32_t id : chain) {
          if (e.data.size() >= r.size) break;
          if ((std::size_t{id} + 1) * kMiniSector > miniStream_.size()) Fail("has a small block outside its stream");
          e.data.append(miniStream_, id * kMiniSector, kMiniSector);
        }
        e.data.resize(static_cast<std::size_t>(r.size));
      } else {
        e.data = ChainBytes(r.start, r.size, "stream");
      }
    }
    const std::size_t index = out.size();
    out.push_back(std::move(e));
    out[p.parent].children.push_back(index);
    stack.push_back({p.parent, r.left});
    stack.push_back({p.parent, r.right});
    if (out[index].kind == CompoundFile::Kind::Storage) stack.push_back({index, r.child});
  }
}

CompoundFile Reader::Read() {
  if (b_.size() < 512 || std::memcmp(b_.data(), kSignature, 8) != 0) Fail("has no valid header (the file is too short or not a compound file)");
  const std::uint16_t shift = Read16(b_, 0x1E);
  if (shift != 9 && shift != 12) Fail("declares an unsupported sector size");
  sector_ = std::size_t{1} << shift;
  if (b_.size() <= sector_) Fail("ends right after its header");
  ReadFat();
  ReadMiniFat();
  CompoundFile file;
  ReadDirectory(file);
  return file;
}

// Order of siblings in the directory tree: shorter names first, then by
// upper-cased characters.
bool NameLess(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto ua = std::towupper(a[i]), ub = std::towupper(b[i]);
    if (ua != ub) return ua < ub;
  }
  return false;
}

bool SameAscii(const std::u16string& a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] > 0x7F || std::tolower(static_cast<int>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

}  // namespace

CompoundFile CompoundFile::Read(std::string_view bytes, const std::string& label) { return Reader(bytes, label).Read(); }

CompoundFile CompoundFile::Empty() {
  CompoundFile file;
  Entry root;
  root.name = u"Root Entry";
  root.kind = Kind::Root;
  file.entries_.push_back(std::move(root));
  return file;
}

const CompoundFile::Entry* CompoundFile::FindStream(std::string_view asciiName) const {
  for (std::size_t i : entries_[0].children)
    if (entries_[i].kind == Kind::Stream && SameAscii(entries_[i].name, asciiName)) return &entries_[i];
  return nullptr;
}

void CompoundFile::PutStream(std::string_view asciiName, std::string data, std::vector<Piece> more) {
  for (std::size_t i : entries_[0].children)
    if (entries_[i].kind == Kind::Stream && SameAscii(entries_[i].name, asciiName)) {
      entries_[i].data = std::move(data);
      entries_[i].more = std::move(more);
      return;
    }
  Entry e;
  e.name.assign(asciiName.begin(), asciiName.end());
  e.data = std::move(data);
  e.more = std::move(more);
  entries_.push_back(std::move(e));
  entries_[0].children.push_back(entries_.size() - 1);
}

std::string CompoundFile::Write() const {
  std::ostringstream out;
  Write(out);
  return std::move(out).str();
}

void CompoundFile::Write(std::ostream& out) const {
  constexpr std::size_t kSector = 512, perSector = kSector / 4;
  const std::size_t n = entries_.size();
  auto sizeOf = [](const Entry& e) {
    std::size_t size = e.data.size();
    for (const Piece& piece : e.more) size += piece.Size();
    return size;
  };
  // Sector layout: large streams, the small-block stream, its index, the
  // directory, then the allocation table and its extension. The large
  // streams are only laid out here and written from their entries at the end.
  std::vector<std::uint32_t> start(n, kEndOfChain);
  std::vector<std::uint32_t> fat, miniFat;
  std::vector<std::size_t> large;
  std::string mini;
  auto chainOf = [](std::vector<std::uint32_t>& table, std::size_t count) {
    const auto first = static_cast<std::uint32_t>(table.size());
    for (std::size_t k = 0; k < count; ++k)
      table.push_back(k + 1 == count ? kEndOfChain : static_cast<std::uint32_t>(table.size() + 1));
    return count ? first : kEndOfChain;
  };
  for (std::size_t i = 1; i < n; ++i) {
    const Entry& e = entries_[i];
    const std::size_t size = sizeOf(e);
    if (e.kind != Kind::Stream || size == 0) continue;
    if (size >= kMiniCutoff) {
      start[i] = chainOf(fat, (size + kSector - 1) / kSector);
      large.push_back(i);
    } else {
      start[i] = chainOf(miniFat, (size + kMiniSector - 1) / kMiniSector);
      mini += e.data;
      for (const Piece& piece : e.more) {
        if (!piece.write) {
          mini += piece.bytes;
          continue;
        }
        std::ostringstream bytes;
        piece.write(bytes);
        mini += bytes.str();
      }
      mini.resize(miniFat.size() * kMiniSector, '\0');
    }
  }
  const std::uint32_t miniStart = chainOf(fat, (mini.size() + kSector - 1) / kSector);
  std::string body = mini;
  body.resize((body.size() + kSector - 1) / kSector * kSector, '\0');
  std::string miniFatBytes(((miniFat.size() * 4 + kSector - 1) / kSector) * kSector, '\xFF');
  for (std::size_t k = 0; k < miniFat.size(); ++k) Patch32(miniFatBytes, 4 * k, miniFat[k]);
  const std::uint32_t miniFatStart = chainOf(fat, miniFatBytes.size() / kSector);
  body += miniFatBytes;

  // Directory: the tree of each storage's children, balanced, all black.
  std::string dir(((n * kDirEntry + kSector - 1) / kSector) * kSector, '\0');
  std::vector<std::uint32_t> left(n, kNoStream), right(n, kNoStream), child(n, kNoStream);
  for (std::size_t s = 0; s < n; ++s) {
    std::vector<std::size_t> kids = entries_[s].children;
    std::sort(kids.begin(), kids.end(), [&](std::size_t a, std::size_t b) { return NameLess(entries_[a].name, entries_[b].name); });
    auto build = [&](auto&& self, std::size_t lo, std::size_t hi) -> std::uint32_t {
      if (lo >= hi) return kNoStream;
      std::size_t mid = (lo + hi) / 2;
      left[kids[mid]] = self(self, lo, mid);
      right[kids[mid]] = self(self, mid + 1, hi);
      return static_cast<std::uint32_t>(kids[mid]);
    };
    child[s] = build(build, 0, kids.size());
  }
  for (std::size_t i = 0; i < n; ++i) {
    const Entry& e = entries_[i];
    const std::size_t at = i * kDirEntry;
    const std::size_t len = std::min<std::size_t>(e.name.size(), 31);
    for (std::size_t k = 0; k < len; ++k) Patch16(dir, at + 2 * k, e.name[k]);
    Patch16(dir, at + 0x40, static_cast<std::uint16_t>((len + 1) * 2));
    dir[at + 0x42] = static_cast<char>(e.kind);
    dir[at + 0x43] = 1;  // black
    Patch32(dir, at + 0x44, left[i]);
    Patch32(dir, at + 0x48, right[i]);
    Patch32(dir, at + 0x4C, child[i]);
    std::memcpy(dir.data() + at + 0x50, e.clsid.data(), 16);
    Patch32(dir, at + 0x60, e.stateBits);
    Put64(dir, at + 0x64, e.created);
    Put64(dir, at + 0x6C, e.modified);
    const bool root = i == 0;
    Patch32(dir, at + 0x74, root ? miniStart : start[i]);
    Put64(dir, at + 0x78, root ? mini.size() : (e.kind == Kind::Stream ? sizeOf(e) : 0));
  }
  for (std::size_t i = n; i < dir.size() / kDirEntry; ++i) {
    Patch32(dir, i * kDirEntry + 0x44, kNoStream);
    Patch32(dir, i * kDirEntry + 0x48, kNoStream);
    Patch32(dir, i * kDirEntry + 0x4C, kNoStream);
  }
  const std::uint32_t dirStart = chainOf(fat, dir.size() / kSector);
  body += dir;

  // The table must also cover its own sectors and those of its extension.
  std::size_t fatSectors = 0, difatSectors = 0;
  for (;;) {
    const std::size_t total = fat.size() + fatSectors + difatSectors;
    const std::size_t needFat = (total + perSector - 1) / perSector;
    const std::size_t needDifat = needFat > 109 ? (needFat - 109 + perSector - 2) / (perSector - 1) : 0;
    if (needFat == fatSectors && needDifat == difatSectors) break;
    fatSectors = needFat;
    difatSectors = needDifat;
  }
  const auto fatFirst = static_cast<std::uint32_t>(fat.size());
  for (std::size_t k = 0; k < fatSectors; ++k) fat.push_back(kFatSector);
  const auto difatFirst = static_cast<std::uint32_t>(fat.size());
  for (std::size_t k = 0; k < difatSectors; ++k) fat.push_back(kDifatSector);
  std::string fatBytes(fatSectors * kSector, '\xFF');
  for (std::size_t k = 0; k < fat.size(); ++k) Patch32(fatBytes, 4 * k, fat[k]);
  std::string difatBytes(difatSectors * kSector, '\xFF');
  for (std::size_t k = 109; k < fatSectors; ++k) {
    std::size_t sector = (k - 109) / (perSector - 1), slot = (k - 109) % (perSector - 1);
    Patch32(difatBytes, sector * kSector + 4 * slot, static_cast<std::uint32_t>(fatFirst + k));
  }
  for (std::size_t s = 0; s < difatSectors; ++s)
    Patch32(difatBytes, s * kSector + kSector - 4, s + 1 == difatSectors ? kEndOfChain : static_cast<std::uint32_t>(difatFirst + s + 1));

  std::string header(kSector, '\0');
  std::memcpy(header.data(), kSignature, 8);
  Patch16(header, 0x18, 0x3E);
  Patch16(header, 0x1A, 3);
  Patch16(header, 0x1C, 0xFFFE);
  Patch16(header, 0x1E, 9);
  Patch16(header, 0x20, 6);
  Patch32(header, 0x2C, static_cast<std::uint32_t>(fatSectors));
  Patch32(header, 0x30, dirStart);
  Patch32(header, 0x38, kMiniCutoff);
  Patch32(header, 0x3C, miniFat.empty() ? kEndOfChain : miniFatStart);
  Patch32(header, 0x40, static_cast<std::uint32_t>(miniFatBytes.size() / kSector));
  Patch32(header, 0x44, difatSectors ? difatFirst : kEndOfChain);
  Patch32(header, 0x48, static_cast<std::uint32_t>(difatSectors));
  for (std::size_t k = 0; k < 109; ++k)
    Patch32(header, 0x4C + 4 * k, k < fatSectors ? static_cast<std::uint32_t>(fatFirst + k) : kFree);
  out.write(header.data(), static_cast<std::streamsize>(header.size()));
  for (std::size_t i : large) {
    const Entry& e = entries_[i];
    out.write(e.data.data(), static_cast<std::streamsize>(e.data.size()));
    for (const Piece& piece : e.more) {
      if (piece.write) piece.write(out);
      else out.write(piece.bytes.data(), static_cast<std::streamsize>(piece.bytes.size()));
    }
    static constexpr char kZeros[kSector] = {};
    out.write(kZeros, static_cast<std::streamsize>((kSector - sizeOf(e) % kSector) % kSector));
  }
  for (const std::string* part : {&body, &fatBytes, &difatBytes})
    out.write(part->data(), static_cast<std::streamsize>(part->size()));
}

}  // namespace vemo::wb
