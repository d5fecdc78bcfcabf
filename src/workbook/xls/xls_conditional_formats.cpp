#include "workbook/xls/xls_conditional_formats.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "workbook/cell_address.h"
#include "workbook/workbook_error.h"
#include "workbook/xls/xls_sheet_settings.h"
#include "workbook/xls/xls_style_names.h"
#include "workbook/xlsx/xml_part.h"

namespace vemo::wb::xls {

namespace {

// Which parts of the differential format a CF record sets: a set "ninch"
// bit means the part is left as the cell has it.
enum : std::uint32_t {
  kLeftNinch = 1u << 10, kRightNinch = 1u << 11, kTopNinch = 1u << 12, kBottomNinch = 1u << 13,
  kDiagonalNinch = 3u << 14, kPatternNinch = 1u << 16, kForeNinch = 1u << 17, kBackNinch = 1u << 18,
  kNumberBlock = 1u << 25, kFontBlock = 1u << 26, kAlignBlock = 1u << 27, kBorderBlock = 1u << 28,
  kPatternBlock = 1u << 29, kProtectBlock = 1u << 30,
  // Every part left alone, as a record with nothing set has it.
  kNothingSet = 0x803FFFFF,
};
constexpr std::size_t kFontSize = 118;
// Font fields within the font block.
constexpr std::size_t kHeight = 64, kStyle = 68, kWeight = 72, kScript = 74, kUnderline = 76, kColor = 80,
                      kStyleNinch = 88, kScriptNinch = 92, kUnderlineNinch = 96, kWeightNinch = 100;
constexpr std::uint32_t kItalic = 0x02, kStrike = 0x80;

const std::array<const char*, 8> kOperators{"between", "notBetween", "equal", "notEqual",
                                            "greaterThan", "lessThan", "greaterThanOrEqual", "lessThanOrEqual"};
template <std::size_t N>
int IndexOf(const std::array<const char*, N>& names, std::string_view name) {
  for (std::size_t i = 0; i < N; ++i)
    if (name == names[i]) return static_cast<int>(i);
  return -1;
}

std::string ColorXml(const Palette& palette, const char* element, std::uint32_t icv) {
  const auto rgb = icv <= 0xFFFF ? palette.Color(static_cast<std::uint16_t>(icv)) : std::nullopt;
  if (!rgb) return {};  // automatic: the part shows as the cell has it
  char hex[9];
  std::snprintf(hex, sizeof hex, "FF%06X", static_cast<unsigned>(*rgb));
  return std::string("<") + element + " rgb=\"" + hex + "\"/>";
}

std::string FontXml(const std::string& d, std::size_t at, const Palette& palette) {
  if (d[at] != 0) throw WorkbookError("a conditional font name");
  std::string x;
  if (Read32(d, at + kWeightNinch) == 0) x += Read16(d, at + kWeight) >= 700 ? "<b/>" : "<b val=\"0\"/>";
  const std::uint32_t style = Read32(d, at + kStyle), ninch = Read32(d, at + kStyleNinch);
  if (!(ninch & kItalic)) x += style & kItalic ? "<i/>" : "<i val=\"0\"/>";
  if (!(ninch & kStrike)) x += style & kStrike ? "<strike/>" : "<strike val=\"0\"/>";
  if (Read32(d, at + kUnderlineNinch) == 0) {
    const auto code = static_cast<std::uint8_t>(d[at + kUnderline]);
    auto u = std::find_if(kUnderlineNames.begin(), kUnderlineNames.end(), [&](const UnderlineName& k) { return k.code == code; });
    if (u == kUnderlineNames.end()) throw WorkbookError("an unknown underline");
    x += "<u val=\"" + std::string(u->name) + "\"/>";
  }
  if (Read32(d, at + kScriptNinch) == 0) {
    static const char* const kScripts[] = {"baseline", "superscript", "subscript"};
    x += std::string("<vertAlign val=\"") + kScripts[std::min<unsigned>(Read16(d, at + kScript), 2)] + "\"/>";
  }
  if (const auto height = static_cast<std::int32_t>(Read32(d, at + kHeight)); height > 0) {
    char size[32];
    std::snprintf(size, sizeof size, "%.17g", height / 20.0);
    x += std::string("<sz val=\"") + size + "\"/>";
  }
  // The font's automatic colour is a colour set too: it replaces the cell's.
  const std::uint32_t color = Read32(d, at + kColor);
  x += color == kAutoFont ? "<color auto=\"1\"/>" : ColorXml(palette, "color", color);
  return x.empty() ? x : "<font>" + x + "</font>";
}

std::string BorderXml(std::uint32_t flags, std::uint32_t lines, std::uint32_t colors, const Palette& palette) {
  if ((flags & kDiagonalNinch) != kDiagonalNinch) throw WorkbookError("a conditional diagonal border");
  struct Side {
    const char* name;
    std::uint32_t ninch, style, icv;
  };
  const Side sides[] = {{"left", kLeftNinch, lines & 0xF, lines >> 16 & 0x7F},
                        {"right", kRightNinch, lines >> 4 & 0xF, lines >> 23 & 0x7F},
                        {"top", kTopNinch, lines >> 8 & 0xF, colors & 0x7F},
                        {"bottom", kBottomNinch, lines >> 12 & 0xF, colors >> 7 & 0x7F}};
  std::string x;
  for (const Side& s : sides) {
    if (flags & s.ninch) continue;
    if (s.style >= kBorderLineNames.size()) throw WorkbookError("an unknown border line");
    x += std::string("<") + s.name + " style=\"" + std::string(kBorderLineNames[s.style]) + "\">" + ColorXml(palette, "color", s.icv) + "</" + s.name + ">";
  }
  return x.empty() ? x : "<border>" + x + "</border>";
}

std::string FillXml(std::uint32_t flags, std::uint16_t pattern, std::uint16_t colors, const Palette& palette) {
  std::string x = "<patternFill";
  if (!(flags & kPatternNinch)) {
    if ((pattern >> 10) >= kFillPatternNames.size()) throw WorkbookError("an unknown fill pattern");
    x += " patternType=\"" + std::string(kFillPatternNames[pattern >> 10]) + "\"";
  }
  x += ">";
  if (!(flags & kForeNinch)) x += ColorXml(palette, "fgColor", colors & 0x7F);
  if (!(flags & kBackNinch)) x += ColorXml(palette, "bgColor", colors >> 7 & 0x7F);
  return x == "<patternFill>" ? std::string() : "<fill>" + x + "</patternFill></fill>";
}

// The <dxf> of a CF record's differential format; `at` moves past it.
std::string DxfXml(const std::string& d, std::size_t& at, const Palette& palette) {
  if (d.size() < 12) throw WorkbookError("a conditional format record is cut short");
  const std::uint32_t flags = Read32(d, 6);
  if (flags & (kNumberBlock | kAlignBlock | kProtectBlock)) throw WorkbookError("a conditional number format, alignment or protection");
  at = 12;
  auto need = [&](std::size_t n) {
    if (at + n > d.size()) throw WorkbookError("a conditional format record is cut short");
  };
  std::string font, border, fill;
  if (flags & kFontBlock) {
    need(kFontSize);
    font = FontXml(d, at, palette);
    at += kFontSize;
  }
  if (flags & kBorderBlock) {
    need(8);
    border = BorderXml(flags, Read32(d, at), Read32(d, at + 4), palette);
    at += 8;
  }
  if (flags & kPatternBlock) {
    need(4);
    fill = FillXml(flags, Read16(d, at), Read16(d, at + 2), palette);
    at += 4;
  }
  return "<dxf>" + font + fill + border + "</dxf>";
}

// The differential format of a CF record from a <dxf> of the style part.
std::string DxfRecordPart(pugi::xml_node dxf, const ColorIndex& colorIndex, std::set<std::string>& warnings) {
  std::uint32_t flags = kNothingSet;
  std::string blocks;
  pugi::xml_node font = FirstChild(dxf, "font");
  auto child = [&](const char* name) { return FirstChild(font, name); };
  auto on = [&](const char* name) { return ParseXmlBool(child(name).attribute("val").value(), true); };
  if (child("b") || child("i") || child("strike") || child("u") || child("vertAlign") || child("sz") || child("color")) {
    flags |= kFontBlock;
    std::string f(kFontSize, '\0');
    const double size = child("sz").attribute("val").as_double(0);
    Patch32(f, kHeight, size > 0 ? static_cast<std::uint32_t>(size * 20 + 0.5) : 0xFFFFFFFF);
    Patch32(f, kStyle, (child("i") && on("i") ? kItalic : 0) | (child("strike") && on("strike") ? kStrike : 0));
    Patch32(f, kStyleNinch, 0x18 | (child("i") ? 0 : kItalic) | (child("strike") ? 0 : kStrike));
    Patch16(f, kWeight, child("b") ? (on("b") ? 700 : 400) : 0);
    Patch32(f, kWeightNinch, child("b") ? 0 : 1);
    const std::string_view script = child("vertAlign").attribute("val").value();
    Patch16(f, kScript, script == "superscript" ? 1 : script == "subscript" ? 2 : 0);
    Patch32(f, kScriptNinch, child("vertAlign") ? 0 : 1);
    if (pugi::xml_node u = child("u")) {
      const std::string_view name = *u.attribute("val").value() ? u.attribute("val").value() : "single";
      auto it = std::find_if(kUnderlineNames.begin(), kUnderlineNames.end(), [&](const UnderlineName& k) { return name == k.name; });
      f[kUnderline] = static_cast<char>(it == kUnderlineNames.end() ? 1 : it->code);
    }
    Patch32(f, kUnderlineNinch, child("u") ? 0 : 1);
    pugi::xml_node color = child("color");
    Patch32(f, kColor, !color ? 0xFFFFFFFF : ParseXmlBool(color.attribute("auto").value()) ? kAutoFont : colorIndex(color, kAutoFont));
    Patch32(f, 104, 1);
    Patch16(f, 116, 1);
    blocks += f;
  }
  if (pugi::xml_node border = FirstChild(dxf, "border")) {
    std::uint32_t lines = 0, colors = 0;
    struct Side {
      const char* name;
      std::uint32_t ninch;
      int styleShift;
    };
    for (const Side s : {Side{"left", kLeftNinch, 0}, Side{"right", kRightNinch, 4}, Side{"top", kTopNinch, 8},
                         Side{"bottom", kBottomNinch, 12}}) {
      pugi::xml_node side = FirstChild(border, s.name);
      if (!side.attribute("style")) continue;
      const int style = std::max(CodeOf(kBorderLineNames, side.attribute("style").value()), 0);
      const std::uint32_t icv = colorIndex(FirstChild(side, "color"), kAutoForeground) & 0x7F;
      flags &= ~s.ninch;
      lines |= static_cast<std::uint32_t>(style) << s.styleShift;
      if (s.styleShift == 0) lines |= icv << 16;
      if (s.styleShift == 4) lines |= icv << 23;
      if (s.styleShift == 8) colors |= icv;
      if (s.styleShift == 12) colors |= icv << 7;
    }
    if ((flags & (kLeftNinch | kRightNinch | kTopNinch | kBottomNinch)) != (kLeftNinch | kRightNinch | kTopNinch | kBottomNinch)) {
      flags |= kBorderBlock;
      Append32(blocks, lines);
      Append32(blocks, colors);
    }
  }
  if (pugi::xml_node pattern = FirstChild(FirstChild(dxf, "fill"), "patternFill")) {
    std::uint16_t fls = 0, fore = kAutoForeground, back = kAutoBackground;
    if (pattern.attribute("patternType")) {
      flags &= ~kPatternNinch;
      fls = static_cast<std::uint16_t>(std::max(CodeOf(kFillPatternNames, pattern.attribute("patternType").value()), 0));
    }
    if (pugi::xml_node c = FirstChild(pattern, "fgColor")) flags &= ~kForeNinch, fore = colorIndex(c, kAutoForeground);
    if (pugi::xml_node c = FirstChild(pattern, "bgColor")) flags &= ~kBackNinch, back = colorIndex(c, kAutoBackground);
    if ((flags & (kPatternNinch | kForeNinch | kBackNinch)) != (kPatternNinch | kForeNinch | kBackNinch)) {
      flags |= kPatternBlock;
      Append16(blocks, static_cast<std::uint16_t>(fls << 10));
      Append16(blocks, static_cast<std::uint16_t>((fore & 0x7F) | (back & 0x7F) << 7));
    }
  }
  if (FirstChild(dxf, "numFmt") || FirstChild(dxf, "alignment") || FirstChild(dxf, "protection"))
    warnings.insert("number formats, alignment and protection of conditional formats");
  std::string d;
  Append32(d, flags);
  Append16(d, 0x8002);
  return d + blocks;
}

}  // namespace

std::size_t ConditionalFormatReader::Take(const std::vector<BiffRecord>& records, std::size_t at, const FormulaContext& context) {
  const std::string& h = records[at].data;
  if (records[at].type == kCfEx) return h.size() >= 18 && Read32(h, 12) == 0 && takenIds_.count(Read16(h, 16)) ? 1 : 0;
  if (records[at].type != kCondFmt || h.size() < 14) return 0;
  const std::size_t rules = Read16(h, 0), count = Read16(h, 12);
  if (rules == 0 || count == 0 || h.size() < 14 + count * 8 || at + rules >= records.size()) return 0;
  std::string sqref;
  CellAddress base{};
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t p = 14 + k * 8;
    const CellRange range{{Read16(h, p) + 1, Read16(h, p + 4) + 1}, {Read16(h, p + 2) + 1, Read16(h, p + 6) + 1}};
    if (k == 0) base = range.first;
    sqref += (k ? " " : "") + FormatCellRange(range);
  }
  std::string x = "<conditionalFormatting sqref=\"" + sqref + "\">";
  std::vector<std::string> dxfs;
  try {
    for (std::size_t k = 1; k <= rules; ++k) {
      const BiffRecord& r = records[at + k];
      if (r.type != kCf) return 0;
      const std::string& d = r.data;
      std::size_t p = 0;
      dxfs.push_back(DxfXml(d, p, palette_));
      const auto kind = static_cast<std::uint8_t>(d[0]), op = static_cast<std::uint8_t>(d[1]);
      const std::size_t cce1 = Read16(d, 2), cce2 = Read16(d, 4);
      if (p + cce1 + cce2 > d.size() || cce1 == 0) return 0;
      if (kind != 1 && kind != 2) return 0;
      if (kind == 1 && (op < 1 || op > kOperators.size())) return 0;
      const auto* tokens = reinterpret_cast<const std::uint8_t*>(d.data()) + p;
      x += std::string("<cfRule type=\"") + (kind == 1 ? "cellIs" : "expression") + "\" dxfId=\"" +
           std::to_string(dxfs_.size() + dxfs.size() - 1) + "\" priority=\"" + std::to_string(priority_ + static_cast<int>(k) - 1) + "\"";
      if (kind == 1) x += std::string(" operator=\"") + kOperators[op - 1] + "\"";
      x += ">";
      for (auto [from, n] : {std::pair{tokens, cce1}, std::pair{tokens + cce1, kind == 1 ? cce2 : 0}}) {
        if (!n) continue;
        x += "<formula>";
        AppendEscaped(x, DecodeFormula({from, n}, {}, FormulaUse::ConditionalFormat, base, context), false);
        x += "</formula>";
      }
      x += "</cfRule>";
    }
  } catch (const WorkbookError&) {
    return 0;  // kept as it came, and named by the cross-format warning
  }
  xml_ += x + "</conditionalFormatting>";
  priority_ += static_cast<int>(rules);
  takenIds_.insert(static_cast<std::uint16_t>(Read16(h, 2) >> 1));
  dxfs_.insert(dxfs_.end(), dxfs.begin(), dxfs.end());
  return rules + 1;
}

std::string WithDxfs(std::string styles, const std::vector<std::string>& dxfs) {
  if (dxfs.empty()) return styles;
  std::string list = "<dxfs count=\"" + std::to_string(dxfs.size()) + "\">";
  for (const std::string& d : dxfs) list += d;
  const std::size_t end = styles.rfind("</styleSheet>");
  if (end == std::string::npos) return styles;
  return styles.insert(end, list + "</dxfs>");
}

std::string ConditionalFormatRecords(pugi::xml_node ws, pugi::xml_node dxfs, FormulaContext& context,
                                     const ColorIndex& colorIndex, const std::vector<BiffRecord>& kept,
                                     std::set<std::string>& warnings) {
  std::vector<pugi::xml_node> dxfList;
  for (pugi::xml_node d : dxfs.children())
    if (LocalName(d) == "dxf") dxfList.push_back(d);
  std::string out;
  std::uint16_t id = 0;
  for (const BiffRecord& r : kept) {
    if (r.type == kCondFmt && r.data.size() >= 4) id = std::max<std::uint16_t>(id, Read16(r.data, 2) >> 1);
    if (r.type == kCondFmt12 && r.data.size() >= 16) id = std::max<std::uint16_t>(id, Read16(r.data, 14) >> 1);
  }
  for (pugi::xml_node format : ws.children()) {
    if (LocalName(format) != "conditionalFormatting") continue;
    const std::string sqref = format.attribute("sqref").value();
    std::vector<CellRange> ranges;
    try {
      ranges = RangeList(sqref);
    } catch (const WorkbookError& e) {
      warnings.insert("a conditional format on " + sqref + " (" + e.what() + ")");
      continue;
    }
    std::vector<pugi::xml_node> rules;
    for (pugi::xml_node rule : format.children())
      if (LocalName(rule) == "cfRule") rules.push_back(rule);
    std::stable_sort(rules.begin(), rules.end(), [](pugi::xml_node a, pugi::xml_node b) {
      return a.attribute("priority").as_int() < b.attribute("priority").as_int();
    });
    std::vector<std::string> cfs;
    for (pugi::xml_node rule : rules) {
      const std::string_view type = rule.attribute("type").value();
      if (type != "cellIs" && type != "expression") {
        warnings.insert("conditional formats of the kind " + std::string(type));
        continue;
      }
      const int op = type == "cellIs" ? IndexOf(kOperators, rule.attribute("operator").value()) : -1;
      std::vector<std::vector<std::uint8_t>> formulas;
      try {
        if (type == "cellIs" && op < 0) throw WorkbookError("an unknown comparison");
        for (pugi::xml_node f : rule.children()) {
          if (LocalName(f) != "formula" || formulas.size() == (op == 0 || op == 1 ? 2u : 1u)) continue;
          EncodedFormula e = EncodeFormula(f.child_value(), FormulaUse::ConditionalFormat, ranges.front().first, context);
          if (!e.extra.empty()) throw WorkbookError("a formula holds an array constant");
          formulas.push_back(std::move(e.rgce));
        }
        if (formulas.empty()) throw WorkbookError("a rule without a formula");
      } catch (const WorkbookError& e) {
        warnings.insert("a conditional format on " + sqref + " (" + e.what() + ")");
        continue;
      }
      formulas.resize(2);
      std::string d;
      d += static_cast<char>(type == "cellIs" ? 1 : 2);
      d += static_cast<char>(op + 1);
      Append16(d, static_cast<std::uint16_t>(formulas[0].size()));
      Append16(d, static_cast<std::uint16_t>(formulas[1].size()));
      const std::uint32_t dxfId = rule.attribute("dxfId").as_uint(UINT32_MAX);
      d += DxfRecordPart(dxfId < dxfList.size() ? dxfList[dxfId] : pugi::xml_node(), colorIndex, warnings);
      for (const auto& f : formulas) d.append(f.begin(), f.end());
      cfs.push_back(std::move(d));
    }
    CellRange bound = ranges.front();
    for (const CellRange& r : ranges) {
      bound.first = {std::min(bound.first.row, r.first.row), std::min(bound.first.col, r.first.col)};
      bound.last = {std::max(bound.last.row, r.last.row), std::max(bound.last.col, r.last.col)};
    }
    // A header holds at most three rules; more go under another header of the same cells.
    for (std::size_t from = 0; from < cfs.size(); from += 3) {
      const std::size_t n = std::min<std::size_t>(3, cfs.size() - from);
      std::string h;
      Append16(h, static_cast<std::uint16_t>(n));
      Append16(h, static_cast<std::uint16_t>(++id << 1 | 1));  // its number, and "recalculate always"
      for (int v : {bound.first.row, bound.last.row, bound.first.col, bound.last.col}) Append16(h, static_cast<std::uint16_t>(v - 1));
      Append16(h, static_cast<std::uint16_t>(ranges.size()));
      for (const CellRange& r : ranges)
        for (int v : {r.first.row, r.last.row, r.first.col, r.last.col}) Append16(h, static_cast<std::uint16_t>(v - 1));
      WriteRecord(out, kCondFmt, h);
      for (std::size_t k = from; k < from + n; ++k) WriteRecord(out, kCf, cfs[k]);
    }
  }
  return out;
}

}  // namespace vemo::wb::xls
