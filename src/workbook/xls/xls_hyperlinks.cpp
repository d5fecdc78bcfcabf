#include "workbook/xls/xls_hyperlinks.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "workbook/cell_address.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/xls/biff_formula_internal.h"
#include "workbook/xlsx/xml_part.h"

namespace vemo::wb::xls {

namespace {

// What the link object holds.
constexpr std::uint32_t kHasMoniker = 0x01, kAbsolute = 0x02, kSiteGaveDisplayName = 0x04, kHasLocation = 0x08,
                        kHasDisplayName = 0x10, kHasFrameName = 0x80, kMonikerAsString = 0x100;
constexpr std::array<std::uint8_t, 16> kLinkClass{0xD0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                                                  0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr std::array<std::uint8_t, 16> kUrlMoniker{0xE0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                                                   0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr std::array<std::uint8_t, 16> kFileMoniker{0x03, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
const char* const kHyperlinkType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink";

class Cursor {
 public:
  explicit Cursor(const std::string& d, std::size_t at) : d_(d), at_(at) {}
  void Need(std::size_t n) const {
    if (at_ + n > d_.size()) throw WorkbookError("a hyperlink record is cut short");
  }
  std::uint16_t U16() { Need(2); at_ += 2; return Read16(d_, at_ - 2); }
  std::uint32_t U32() { Need(4); at_ += 4; return Read32(d_, at_ - 4); }
  std::string_view Bytes(std::size_t n) { Need(n); at_ += n; return std::string_view(d_).substr(at_ - n, n); }
  // UTF-16 characters up to the first NUL among `n` bytes.
  std::string Utf16(std::size_t n) {
    const std::string_view b = Bytes(n);
    std::size_t chars = 0;
    while (chars * 2 + 1 < b.size() && (b[chars * 2] || b[chars * 2 + 1])) ++chars;
    return Utf8FromBiff(reinterpret_cast<const std::uint8_t*>(b.data()), chars, true);
  }
  // A string led by its character count, the terminating NUL counted.
  std::string CountedString() {
    const std::uint32_t n = U32();
    if (n > d_.size()) throw WorkbookError("a hyperlink text is longer than its record");
    return Utf16(std::size_t{n} * 2);
  }
  bool Is(const std::array<std::uint8_t, 16>& id) {
    if (Bytes(16) == std::string_view(reinterpret_cast<const char*>(id.data()), 16)) return true;
    at_ -= 16;
    return false;
  }

 private:
  const std::string& d_;
  std::size_t at_;
};

std::string Target(Cursor& c, std::uint32_t flags) {
  if (flags & kMonikerAsString) return c.CountedString();
  if (c.Is(kUrlMoniker)) return c.Utf16(c.U32());
  if (!c.Is(kFileMoniker)) throw WorkbookError("a hyperlink of another kind");
  const std::uint16_t up = c.U16();
  const std::string_view ansi = c.Bytes(c.U32());
  c.Bytes(2 + 2 + 16 + 4);  // end server, version, reserved
  std::string path;
  if (const std::uint32_t extra = c.U32(); extra > 0) {
    const std::uint32_t bytes = c.U32();
    c.U16();
    path = c.Utf16(bytes);
  } else {
    path = Utf8FromBiff(reinterpret_cast<const std::uint8_t*>(ansi.data()), ansi.find('\0') == std::string_view::npos ? ansi.size() : ansi.find('\0'), false);
  }
  std::string prefix;
  for (int k = 0; k < up; ++k) prefix += "../";
  return prefix + path;
}

void Attr(std::string& x, const char* name, const std::string& value) {
  if (value.empty()) return;
  x += std::string(" ") + name + "=\"";
  AppendEscaped(x, value, true);
  x += "\"";
}

void AppendCounted(std::string& d, std::string_view utf8) {
  const std::u16string chars = Utf16FromUtf8(utf8);
  Append32(d, static_cast<std::uint32_t>(chars.size() + 1));
  for (char16_t ch : chars) Append16(d, ch);
  Append16(d, 0);
}

std::string Ref8(const CellRange& r) {
  std::string d;
  for (int v : {r.first.row, r.last.row, r.first.col, r.last.col}) Append16(d, static_cast<std::uint16_t>(v - 1));
  return d;
}

std::string LinkRecord(const CellRange& range, const std::string& target, const std::string& location, const std::string& display) {
  std::string d = Ref8(range);
  d.append(reinterpret_cast<const char*>(kLinkClass.data()), 16);
  Append32(d, 2);
  const bool url = target.find("://") != std::string::npos || target.starts_with("mailto:");
  const bool absolute = url || target.starts_with("/") || target.starts_with("\\\\") || (target.size() > 2 && target[1] == ':');
  std::uint32_t flags = (target.empty() ? 0 : kHasMoniker | (absolute ? kAbsolute : 0)) | (location.empty() ? 0 : kHasLocation) |
                        (display.empty() ? 0 : kHasDisplayName | kSiteGaveDisplayName);
  Append32(d, flags);
  if (!display.empty()) AppendCounted(d, display);
  if (url) {
    d.append(reinterpret_cast<const char*>(kUrlMoniker.data()), 16);
    const std::u16string chars = Utf16FromUtf8(target);
    Append32(d, static_cast<std::uint32_t>(chars.size() * 2 + 2));
    for (char16_t ch : chars) Append16(d, ch);
    Append16(d, 0);
  } else if (!target.empty()) {
    std::string_view path = target;
    std::uint16_t up = 0;
    while (path.starts_with("../") || path.starts_with("..\\")) path.remove_prefix(3), ++up;
    const std::u16string chars = Utf16FromUtf8(path);
    const bool wide = std::any_of(chars.begin(), chars.end(), [](char16_t ch) { return ch > 0x7F; });
    d.append(reinterpret_cast<const char*>(kFileMoniker.data()), 16);
    Append16(d, up);
    Append32(d, static_cast<std::uint32_t>(chars.size() + 1));
    for (char16_t ch : chars) d += static_cast<char>(ch > 0x7F ? '?' : ch);
    d += '\0';
    Append16(d, 0xFFFF);
    Append16(d, 0xDEAD);
    d.append(20, '\0');
    if (!wide) {
      Append32(d, 0);
    } else {
      Append32(d, static_cast<std::uint32_t>(6 + chars.size() * 2));
      Append32(d, static_cast<std::uint32_t>(chars.size() * 2));
      Append16(d, 3);
      for (char16_t ch : chars) Append16(d, ch);
    }
  }
  if (!location.empty()) AppendCounted(d, location);
  return d;
}

}  // namespace

bool HyperlinkReader::Take(const BiffRecord& r) {
  if (r.type == kHlinkTooltip) {
    if (!lastTaken_ || r.data.size() < 10) return false;
    Cursor c(r.data, 10);
    links_.back().tooltip = c.Utf16(r.data.size() - 10);
    lastTaken_ = false;
    return true;
  }
  lastTaken_ = false;
  if (r.type != kHlink || r.data.size() < 32) return false;
  const std::string& d = r.data;
  if (d.compare(8, 16, reinterpret_cast<const char*>(kLinkClass.data()), 16) != 0) return false;
  Link link;
  link.ref = FormatCellRange({{Read16(d, 0) + 1, Read16(d, 4) + 1}, {Read16(d, 2) + 1, Read16(d, 6) + 1}});
  try {
    Cursor c(d, 28);
    const std::uint32_t flags = c.U32();
    if (flags & kHasDisplayName) link.display = c.CountedString();
    if (flags & kHasFrameName) c.CountedString();  // the window to open it in: the model has no place for it
    if (flags & kHasMoniker) link.target = Target(c, flags);
    if (flags & kHasLocation) link.location = c.CountedString();
  } catch (const WorkbookError&) {
    return false;
  }
  if (link.target.empty() && link.location.empty()) return false;
  links_.push_back(std::move(link));
  lastTaken_ = true;
  return true;
}

std::string HyperlinkReader::Xml() const {
  if (links_.empty()) return {};
  std::string x = "<hyperlinks>";
  int id = 0;
  for (const Link& l : links_) {
    x += "<hyperlink";
    Attr(x, "ref", l.ref);
    if (!l.target.empty()) x += " r:id=\"rIdH" + std::to_string(++id) + "\"";
    Attr(x, "location", l.location);
    Attr(x, "tooltip", l.tooltip);
    Attr(x, "display", l.display);
    x += "/>";
  }
  return x + "</hyperlinks>";
}

std::string HyperlinkReader::Relationships() const {
  std::string x;
  int id = 0;
  for (const Link& l : links_) {
    if (l.target.empty()) continue;
    x += "<Relationship Id=\"rIdH" + std::to_string(++id) + "\" Type=\"" + kHyperlinkType + "\"";
    Attr(x, "Target", l.target);
    x += " TargetMode=\"External\"/>";
  }
  if (x.empty()) return x;
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" + x + "</Relationships>";
}

std::string HyperlinkRecords(pugi::xml_node ws, const std::vector<Relationship>& relationships, std::set<std::string>& warnings) {
  std::string out;
  for (pugi::xml_node h : FirstChild(ws, "hyperlinks").children()) {
    if (LocalName(h) != "hyperlink") continue;
    const std::string ref = h.attribute("ref").value();
    auto range = ParseCellRange(ref);
    if (!range || range->last.row > 65536 || range->last.col > 256) {
      warnings.insert("hyperlinks beyond row 65536 or column IV");
      continue;
    }
    std::string target;
    for (pugi::xml_attribute a : h.attributes())
      if (LocalName(a.name()) == "id")
        for (const Relationship& r : relationships)
          if (r.id == a.value() && r.external) target = r.target;
    const std::string location = h.attribute("location").value();
    if (target.empty() && location.empty()) {
      warnings.insert("hyperlinks whose target cannot be found");
      continue;
    }
    WriteRecord(out, kHlink, LinkRecord(*range, target, location, h.attribute("display").value()));
    if (const std::string tip = h.attribute("tooltip").value(); !tip.empty()) {
      std::string d;
      Append16(d, kHlinkTooltip);
      d += Ref8(*range);
      for (char16_t ch : Utf16FromUtf8(tip)) Append16(d, ch);
      Append16(d, 0);
      WriteRecord(out, kHlinkTooltip, d);
    }
  }
  return out;
}

}  // namespace vemo::wb::xls
