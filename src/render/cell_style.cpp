#include "render/cell_style.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "workbook/package_parts.h"
#include "workbook/shared_strings.h"
#include "workbook/sheet.h"
#include "workbook/workbook.h"
#include "workbook/model/xml_access.h"

namespace vemo::render {
namespace {

using wb::FirstChild;
using wb::LocalName;

using ColorReader = wb::StyleColors;

std::string_view Val(pugi::xml_node parent, std::string_view child) {
  pugi::xml_node n = FirstChild(parent, child);
  return n ? n.attribute("val").value() : std::string_view();
}

bool Flag(pugi::xml_node parent, std::string_view child) {
  pugi::xml_node n = FirstChild(parent, child);
  return n && wb::ParseXmlBool(n.attribute("val").value(), true);
}

// A font element of the style part, or a rich text run's properties (rPr,
// whose name is rFont): what it leaves out comes from `base`, except the
// flags, which are off unless given.
FontStyle ReadFont(pugi::xml_node f, const ColorReader& colors, const FontStyle& base = {}) {
  FontStyle font = base;
  if (!Val(f, "name").empty()) font.name = Val(f, "name");
  if (!Val(f, "rFont").empty()) font.name = Val(f, "rFont");
  if (!Val(f, "sz").empty()) font.size = std::atof(std::string(Val(f, "sz")).c_str());
  font.bold = Flag(f, "b");
  font.italic = Flag(f, "i");
  font.strike = Flag(f, "strike");
  font.underline = 0;
  if (pugi::xml_node u = FirstChild(f, "u")) {
    const std::string_view v = u.attribute("val").value();
    font.underline = v.starts_with("double") ? 2 : (v == "none" ? 0 : 1);
  }
  font.color = colors.Read(FirstChild(f, "color"), base.color);
  return font;
}

LineStyle ParseLine(std::string_view s) {
  if (s.empty() || s == "none") return LineStyle::None;
  if (s == "thin") return LineStyle::Thin;
  if (s == "medium") return LineStyle::Medium;
  if (s == "thick") return LineStyle::Thick;
  if (s == "dashed") return LineStyle::Dashed;
  if (s == "dotted") return LineStyle::Dotted;
  if (s == "double") return LineStyle::Double;
  if (s == "hair") return LineStyle::Hair;
  return LineStyle::Unsupported;
}

struct Border {
  BorderLine left, right, top, bottom, diagonal;
  bool up = false, down = false;
};

Border ReadBorder(pugi::xml_node b, const ColorReader& colors) {
  auto line = [&](std::string_view side) {
    pugi::xml_node n = FirstChild(b, side);
    return BorderLine{ParseLine(n.attribute("style").value()), colors.Read(FirstChild(n, "color"), 0)};
  };
  Border border{line("left"), line("right"), line("top"), line("bottom")};
  if (line("start").style != LineStyle::None) border.left = line("start");
  if (line("end").style != LineStyle::None) border.right = line("end");
  border.diagonal = line("diagonal");
  border.up = b.attribute("diagonalUp").as_bool();
  border.down = b.attribute("diagonalDown").as_bool();
  return border;
}

struct Fill {
  FillPattern pattern = FillPattern::None;
  Rgb color = 0xFFFFFF, patternColor = 0;
  std::string unsupported;
};

FillPattern ParsePattern(std::string_view s) {
  static constexpr std::pair<std::string_view, FillPattern> kNames[] = {
      {"solid", FillPattern::Solid},
      {"gray0625", FillPattern::Gray0625},
      {"gray125", FillPattern::Gray125},
      {"lightGray", FillPattern::LightGray},
      {"mediumGray", FillPattern::MediumGray},
      {"darkGray", FillPattern::DarkGray},
      {"lightHorizontal", FillPattern::LightHorizontal},
      {"lightVertical", FillPattern::LightVertical},
      {"lightDown", FillPattern::LightDown},
      {"lightUp", FillPattern::LightUp},
      {"lightGrid", FillPattern::LightGrid},
      {"lightTrellis", FillPattern::LightTrellis},
      {"darkHorizontal", FillPattern::DarkHorizontal},
      {"darkVertical", FillPattern::DarkVertical},
      {"darkDown", FillPattern::DarkDown},
      {"darkUp", FillPattern::DarkUp},
      {"darkGrid", FillPattern::DarkGrid},
      {"darkTrellis", FillPattern::DarkTrellis}};
  for (auto [name, value] : kNames)
    if (s == name) return value;
  return FillPattern::None;
}

Fill ReadFill(pugi::xml_node f, const ColorReader& colors) {
  Fill fill;
  if (FirstChild(f, "gradientFill")) return {FillPattern::None, 0, 0, "a gradient fill"};
  pugi::xml_node p = FirstChild(f, "patternFill");
  fill.pattern = ParsePattern(p.attribute("patternType").value());
  if (fill.pattern == FillPattern::Solid) {
    fill.color = colors.Read(FirstChild(p, "fgColor"), 0);
  } else if (fill.pattern != FillPattern::None) {
    // A pattern draws its foreground colour (black unless named) over the
    // background colour (white unless named).
    fill.patternColor = colors.Read(FirstChild(p, "fgColor"), 0);
    fill.color = colors.Read(FirstChild(p, "bgColor"), 0xFFFFFF);
  }
  return fill;
}

template <typename T, typename F>
std::vector<T> ReadList(pugi::xml_node list, std::string_view item, F read) {
  std::vector<T> out;
  for (pugi::xml_node n : list.children())
    if (LocalName(n) == item) out.push_back(read(n));
  return out;
}

HAlign ParseHAlign(std::string_view s) {
  static constexpr std::pair<std::string_view, HAlign> kNames[] = {
      {"left", HAlign::Left},       {"center", HAlign::Center},   {"right", HAlign::Right},
      {"fill", HAlign::Fill},       {"justify", HAlign::Justify}, {"centerContinuous", HAlign::CenterContinuous},
      {"distributed", HAlign::Distributed}};
  for (auto [name, value] : kNames)
    if (s == name) return value;
  return HAlign::General;
}

VAlign ParseVAlign(std::string_view s) {
  if (s == "top") return VAlign::Top;
  if (s == "center") return VAlign::Center;
  if (s == "justify") return VAlign::Justify;
  if (s == "distributed") return VAlign::Distributed;
  return VAlign::Bottom;
}

DifferentialStyle ReadDifferential(pugi::xml_node dxf, const ColorReader& colors) {
  DifferentialStyle d;
  if (pugi::xml_node f = FirstChild(dxf, "font")) {
    if (FirstChild(f, "b")) d.bold = Flag(f, "b");
    if (FirstChild(f, "i")) d.italic = Flag(f, "i");
    if (FirstChild(f, "strike")) d.strike = Flag(f, "strike");
    if (FirstChild(f, "u")) d.underline = ReadFont(f, colors).underline;
    if (FirstChild(f, "color")) d.color = colors.Read(FirstChild(f, "color"), 0);
  }
  if (pugi::xml_node p = FirstChild(FirstChild(dxf, "fill"), "patternFill")) {
    const std::string_view type = p.attribute("patternType").value();
    if (!type.empty() && type != "solid" && type != "none") d.unsupported = "a patterned conditional fill";
    // A conditional solid fill names its colour as the background colour;
    // some writers put it in the foreground colour instead.
    pugi::xml_node color = FirstChild(p, "bgColor") ? FirstChild(p, "bgColor") : FirstChild(p, "fgColor");
    if (color && type != "none") d.fill = colors.Read(color, 0xFFFFFF);
  }
  if (FirstChild(dxf, "border") || FirstChild(dxf, "numFmt")) d.unsupported = "a conditional border or number format";
  return d;
}

}  // namespace

StyleTable::StyleTable(wb::Workbook& book)
    : colors_(std::make_shared<const ColorReader>(book)) {
  const ColorReader& colors = *colors_;
  pugi::xml_node sheet;
  for (const wb::Relationship& rel : book.RelationshipsOf(book.workbookPart()))
    if (rel.type.ends_with("/styles") && !rel.external && book.HasPart(rel.target))
      sheet = wb::ReadXmlPart(book, rel.target).document_element();
  const auto fonts = ReadList<FontStyle>(FirstChild(sheet, "fonts"), "font",
                                         [&](pugi::xml_node n) { return ReadFont(n, colors); });
  const auto fills =
      ReadList<Fill>(FirstChild(sheet, "fills"), "fill", [&](pugi::xml_node n) { return ReadFill(n, colors); });
  const auto borders = ReadList<Border>(FirstChild(sheet, "borders"), "border",
                                        [&](pugi::xml_node n) { return ReadBorder(n, colors); });
  for (pugi::xml_node xf : FirstChild(sheet, "cellXfs").children()) {
    if (LocalName(xf) != "xf") continue;
    CellStyle style;
    if (const unsigned i = xf.attribute("fontId").as_uint(); i < fonts.size()) style.font = fonts[i];
    if (const unsigned i = xf.attribute("fillId").as_uint(); i < fills.size()) {
      style.pattern = fills[i].pattern;
      style.fill = fills[i].color;
      style.patternColor = fills[i].patternColor;
      style.unsupported = fills[i].unsupported;
    }
    if (const unsigned i = xf.attribute("borderId").as_uint(); i < borders.size()) {
      const Border& b = borders[i];
      style.left = b.left, style.right = b.right, style.top = b.top, style.bottom = b.bottom;
      style.diagonal = b.diagonal, style.diagonalUp = b.up, style.diagonalDown = b.down;
      for (const BorderLine& l : {b.left, b.right, b.top, b.bottom, b.diagonal})
        if (l.style == LineStyle::Unsupported) style.unsupported = "a border line style it does not know";
    }
    if (pugi::xml_node a = FirstChild(xf, "alignment")) {
      style.hAlign = ParseHAlign(a.attribute("horizontal").value());
      style.vAlign = ParseVAlign(a.attribute("vertical").value());
      style.wrap = a.attribute("wrapText").as_bool();
      // 1-90: turned anticlockwise; 91-180: clockwise by the angle less 90.
      const int rotation = a.attribute("textRotation").as_int();
      style.rotation = rotation > 90 && rotation <= 180 ? 90 - rotation : rotation;
      if (style.rotation != kStackedText && (style.rotation < -90 || style.rotation > 90))
        style.unsupported = "a text rotation it does not know";
      style.shrink = a.attribute("shrinkToFit").as_bool();
      style.indent = std::max(0, a.attribute("indent").as_int());
      if (style.vAlign == VAlign::Justify || style.vAlign == VAlign::Distributed)
        style.unsupported = "vertically justified or distributed alignment";
    }
    styles_.push_back(std::move(style));
  }
  differential_ = ReadList<DifferentialStyle>(FirstChild(sheet, "dxfs"), "dxf",
                                             [&](pugi::xml_node n) { return ReadDifferential(n, colors); });
  if (styles_.empty()) {
    styles_.emplace_back();
    if (!fonts.empty()) styles_.front().font = fonts.front();
  }
}

const CellStyle& StyleTable::Get(std::uint32_t styleIndex) const {
  return styleIndex < styles_.size() ? styles_[styleIndex] : styles_.front();
}

CellStyle StyleTable::Differential(std::uint32_t styleIndex, std::uint32_t dxfId) const {
  CellStyle style = Get(styleIndex);
  if (dxfId >= differential_.size()) {
    style.unsupported = "a conditional format whose style is missing";
    return style;
  }
  const DifferentialStyle& d = differential_[dxfId];
  if (!d.unsupported.empty()) style.unsupported = d.unsupported;
  style.font.bold = d.bold.value_or(style.font.bold);
  style.font.italic = d.italic.value_or(style.font.italic);
  style.font.strike = d.strike.value_or(style.font.strike);
  style.font.underline = d.underline.value_or(style.font.underline);
  style.font.color = d.color.value_or(style.font.color);
  if (d.fill) style.pattern = FillPattern::Solid, style.fill = *d.fill;
  return style;
}

std::string RichItemXml(const wb::Sheet& sheet, const wb::Cell& cell) {
  if (cell.type == wb::CellType::SharedString && sheet.book().sharedStrings().IsRich(cell.text))
    return sheet.book().sharedStrings().RawXml(cell.text);
  if (cell.type != wb::CellType::InlineString || cell.text >= sheet.texts().size()) return {};
  const std::string& raw = sheet.texts()[cell.text];
  const bool runs = raw.find("<r>") != std::string::npos || raw.find("<r ") != std::string::npos ||
                    raw.find(":r>") != std::string::npos || raw.find(":r ") != std::string::npos;
  return runs ? raw : std::string();
}

RichText StyleTable::RichRuns(std::string_view itemXml, const FontStyle& cellFont) const {
  const std::string xml = "<si>" + std::string(itemXml) + "</si>";
  pugi::xml_document doc;
  if (!doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata))
    return {{wb::StringItemText(itemXml), cellFont}};
  // A run's text as the table decodes it (entities, _xHHHH_ escapes).
  const auto textOf = [](pugi::xml_node t) {
    std::ostringstream raw;
    t.print(raw, "", pugi::format_raw);
    return wb::StringItemText(raw.str());
  };
  RichText runs;
  for (pugi::xml_node n : doc.document_element().children()) {
    if (LocalName(n) == "t") runs.push_back({textOf(n), cellFont});
    if (LocalName(n) != "r") continue;
    const pugi::xml_node properties = FirstChild(n, "rPr");
    runs.push_back({textOf(FirstChild(n, "t")), properties ? ReadFont(properties, *colors_, cellFont) : cellFont});
  }
  return runs;
}

}  // namespace vemo::render
