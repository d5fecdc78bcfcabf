#include "workbook/xls/xls_style_part.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "workbook/xls/biff_records.h"
#include "workbook/xls/xls_palette.h"
#include "workbook/xls/xls_style_names.h"

namespace vemo::wb::xls {

namespace {

const char* const kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '"') out += "&quot;";
    else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
  }
}

// A colour element for index `icv`; automatic colours are left out unless
// `automatic` names the element to write them as.
std::string ColorXml(const Palette& palette, const char* element, std::uint32_t icv, bool keepAutomatic = false) {
  if (auto rgb = palette.Color(static_cast<std::uint16_t>(icv))) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "FF%06X", static_cast<unsigned>(*rgb));
    return std::string("<") + element + " rgb=\"" + hex + "\"/>";
  }
  return keepAutomatic ? std::string("<") + element + " indexed=\"" + std::to_string(icv) + "\"/>" : std::string();
}

// Gives each distinct element its index, in order of first use.
struct Table {
  std::map<std::string, std::size_t> index;
  std::string xml;
  std::size_t Add(const std::string& item) {
    auto [it, added] = index.emplace(item, index.size());
    if (added) xml += item;
    return it->second;
  }
};

std::string BorderXml(const Palette& palette, std::uint32_t lines, std::uint32_t colors) {
  auto edge = [&](const char* side, std::uint32_t style, std::uint32_t icv) {
    if (style == 0 || style >= kBorderLineNames.size()) return std::string("<") + side + "/>";
    return std::string("<") + side + " style=\"" + std::string(kBorderLineNames[style]) + "\">" + ColorXml(palette, "color", icv) + "</" + side + ">";
  };
  const std::uint32_t directions = lines >> 30;
  std::string x = "<border";
  if (directions & 2) x += " diagonalUp=\"1\"";
  if (directions & 1) x += " diagonalDown=\"1\"";
  x += ">" + edge("left", lines & 0xF, lines >> 16 & 0x7F) + edge("right", lines >> 4 & 0xF, lines >> 23 & 0x7F) +
       edge("top", lines >> 8 & 0xF, colors & 0x7F) + edge("bottom", lines >> 12 & 0xF, colors >> 7 & 0x7F) +
       edge("diagonal", directions ? colors >> 21 & 0xF : 0, colors >> 14 & 0x7F) + "</border>";
  return x;
}

std::string FillXml(const Palette& palette, std::uint32_t pattern, std::uint16_t colors) {
  if (pattern == 0 || pattern >= kFillPatternNames.size()) return "<fill><patternFill patternType=\"none\"/></fill>";
  return "<fill><patternFill patternType=\"" + std::string(kFillPatternNames[pattern]) + "\">" +
         ColorXml(palette, "fgColor", colors & 0x7F, true) + ColorXml(palette, "bgColor", colors >> 7 & 0x7F, true) +
         "</patternFill></fill>";
}

// Records shorter than their fixed fields read as if zeros followed.
std::string Padded(std::string d, std::size_t size) {
  if (d.size() < size) d.resize(size, '\0');
  return d;
}

}  // namespace

std::string FontPropertiesXml(const std::string& fontRecord, const Palette& palette) {
  const std::string d = Padded(fontRecord, 16);
  const std::uint16_t height = Read16(d, 0), flags = Read16(d, 2), color = Read16(d, 4), weight = Read16(d, 6);
  const auto underline = static_cast<std::uint8_t>(d.at(10));
  std::size_t at = 14;
  const std::string name = ReadUnicodeString(BiffRecord{biff::kFont, d, {}}, at, true);
  std::string x;
  if (weight >= 700) x += "<b/>";
  if (flags & 2) x += "<i/>";
  if (flags & 8) x += "<strike/>";
  if (underline == 1) x += "<u/>";
  if (underline == 2) x += "<u val=\"double\"/>";
  if (underline == 0x21) x += "<u val=\"singleAccounting\"/>";
  if (underline == 0x22) x += "<u val=\"doubleAccounting\"/>";
  if (const std::uint16_t position = Read16(d, 8); position == 1 || position == 2)
    x += position == 1 ? "<vertAlign val=\"superscript\"/>" : "<vertAlign val=\"subscript\"/>";
  char size[32];
  std::snprintf(size, sizeof size, "%.17g", height / 20.0);
  x += std::string("<sz val=\"") + size + "\"/>" + ColorXml(palette, "color", color) + "<name val=\"";
  AppendEscaped(x, name);
  x += "\"/>";
  // Family and character set decide the font another reader falls back on.
  if (const auto family = static_cast<std::uint8_t>(d.at(11)); family) x += "<family val=\"" + std::to_string(family) + "\"/>";
  return x + "<charset val=\"" + std::to_string(static_cast<std::uint8_t>(d.at(12))) + "\"/>";
}

std::string StylePartXml(const XlsSource& source, const std::string& numFmts) {
  Palette palette;
  for (const BiffRecord& r : source.globals)
    if (r.type == biff::kPalette) palette = Palette::FromRecord(r.data);

  std::string fonts;
  for (const std::string& raw : source.fontRecords) fonts += "<font>" + FontPropertiesXml(raw, palette) + "</font>";

  Table fills, borders;
  fills.Add(FillXml(palette, 0, 0));
  fills.Add(FillXml(palette, 17, 64 | 65 << 7));
  borders.Add(BorderXml(palette, 0, 0));
  std::string xfs;
  for (const std::string& raw : source.xfRecords) {
    const std::string d = Padded(raw, 20);
    const std::uint16_t font = Read16(d, 0), format = Read16(d, 2);
    const auto align = static_cast<std::uint8_t>(d.at(6));
    const std::uint32_t lines = Read32(d, 10), more = Read32(d, 14);
    static const char* const kHorizontal[] = {nullptr, "left", "center", "right", "fill", "justify", "centerContinuous", "distributed"};
    static const char* const kVertical[] = {"top", "center", nullptr, "justify", "distributed", nullptr, nullptr, nullptr};
    xfs += "<xf numFmtId=\"" + std::to_string(format) + "\" fontId=\"" + std::to_string(font >= 4 ? font - 1 : font) +
           "\" fillId=\"" + std::to_string(fills.Add(FillXml(palette, more >> 26, Read16(d, 18)))) + "\" borderId=\"" +
           std::to_string(borders.Add(BorderXml(palette, lines, more))) + "\" xfId=\"0\" applyNumberFormat=\"1\"";
    const char* h = kHorizontal[align & 7];
    const char* v = kVertical[(align >> 4) & 7];
    const auto rotation = static_cast<std::uint8_t>(d[7]), layout = static_cast<std::uint8_t>(d[8]);
    const std::uint16_t protection = Read16(d, 4);
    std::string inner;
    if (h || v || (align & 8) || rotation || layout) {
      inner += "<alignment";
      if (h) inner += std::string(" horizontal=\"") + h + "\"";
      if (v) inner += std::string(" vertical=\"") + v + "\"";
      if (align & 8) inner += " wrapText=\"1\"";
      if (rotation) inner += " textRotation=\"" + std::to_string(rotation) + "\"";
      if (layout & 0x0F) inner += " indent=\"" + std::to_string(layout & 0x0F) + "\"";
      if (layout & 0x10) inner += " shrinkToFit=\"1\"";
      if (layout >> 6) inner += " readingOrder=\"" + std::to_string(layout >> 6) + "\"";
      inner += "/>";
    }
    if ((protection & 3) != 1)
      inner += std::string("<protection locked=\"") + (protection & 1 ? "1" : "0") + "\" hidden=\"" + (protection & 2 ? "1" : "0") + "\"/>";
    if (inner.empty()) {
      xfs += "/>";
    } else {
      if (inner.starts_with("<alignment")) xfs += " applyAlignment=\"1\"";
      if (inner.find("<protection") != std::string::npos) xfs += " applyProtection=\"1\"";
      xfs += ">" + inner + "</xf>";
    }
  }

  std::string x = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<styleSheet xmlns=\"") + kMain + "\">";
  x += numFmts;
  x += "<fonts count=\"" + std::to_string(source.fontRecords.size()) + "\">" + fonts + "</fonts>";
  x += "<fills count=\"" + std::to_string(fills.index.size()) + "\">" + fills.xml + "</fills>";
  x += "<borders count=\"" + std::to_string(borders.index.size()) + "\">" + borders.xml + "</borders>";
  x += "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>";
  x += "<cellXfs count=\"" + std::to_string(source.xfRecords.size()) + "\">" + xfs + "</cellXfs>";
  x += "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";
  return x;
}

}  // namespace vemo::wb::xls
