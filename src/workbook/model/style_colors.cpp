#include "workbook/model/style_colors.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "workbook/package_parts.h"
#include "workbook/workbook.h"
#include "workbook/model/xml_access.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {

const std::array<Rgb, 64> kDefaultPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x000000, 0xFFFFFF, 0xFF0000,
    0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080,
    0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080,
    0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99,
    0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, 0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699,
    0x969696, 0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

Rgb ApplyTint(Rgb rgb, double tint) {
  if (tint == 0) return rgb;
  double r = ((rgb >> 16) & 0xFF) / 255.0, g = ((rgb >> 8) & 0xFF) / 255.0, b = (rgb & 0xFF) / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double h = 0, s = 0, l = (mx + mn) / 2;
  if (mx != mn) {
    const double d = mx - mn;
    s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
    if (mx == r) h = (g - b) / d + (g < b ? 6 : 0);
    else if (mx == g) h = (b - r) / d + 2;
    else h = (r - g) / d + 4;
    h /= 6;
  }
  l = tint < 0 ? l * (1 + tint) : l * (1 - tint) + tint;
  auto hue = [](double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
  };
  if (s == 0) {
    r = g = b = l;
  } else {
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
    r = hue(p, q, h + 1.0 / 3), g = hue(p, q, h), b = hue(p, q, h - 1.0 / 3);
  }
  auto byte = [](double v) { return static_cast<Rgb>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

StyleColors::StyleColors(Workbook& book) {
  // The theme's colour scheme lists dk1, lt1, dk2, lt2, ...; theme colour
  // indexes 0..3 name them as lt1, dk1, lt2, dk2.
  for (const Relationship& rel : book.RelationshipsOf(book.workbookPart())) {
    if (!rel.type.ends_with("/theme") || rel.external || !book.HasPart(rel.target)) continue;
    pugi::xml_node scheme = ReadXmlPart(book, rel.target).document_element();
    scheme = FirstChild(FirstChild(scheme, "themeElements"), "clrScheme");
    for (pugi::xml_node c : scheme.children()) {
      pugi::xml_node v = c.first_child();
      const char* hex = LocalName(v) == "sysClr" ? v.attribute("lastClr").value() : v.attribute("val").value();
      theme_.push_back(static_cast<Rgb>(std::strtoul(hex, nullptr, 16)));
    }
    if (theme_.size() >= 4) std::swap(theme_[0], theme_[1]), std::swap(theme_[2], theme_[3]);
  }
}

std::optional<Rgb> StyleColors::Resolve(pugi::xml_node color) const {
  if (!color) return std::nullopt;
  Rgb rgb = 0;
  if (pugi::xml_attribute a = color.attribute("rgb")) {
    const std::string_view hex = a.value();
    rgb = static_cast<Rgb>(std::strtoul(std::string(hex.size() == 8 ? hex.substr(2) : hex).c_str(), nullptr, 16));
  } else if (pugi::xml_attribute t = color.attribute("theme")) {
    const unsigned i = t.as_uint();
    rgb = i < theme_.size() ? theme_[i] : (i == 0 ? 0xFFFFFF : 0);
  } else if (pugi::xml_attribute x = color.attribute("indexed")) {
    const unsigned i = x.as_uint();
    if (i >= kDefaultPalette.size()) return std::nullopt;
    rgb = kDefaultPalette[i];
  } else {
    return std::nullopt;
  }
  return ApplyTint(rgb, color.attribute("tint").as_double(0));
}

Rgb StyleColors::Read(pugi::xml_node color, Rgb fallback) const {
  if (auto rgb = Resolve(color)) return *rgb;
  pugi::xml_attribute x = color.attribute("indexed");
  if (!x) return fallback;
  // System colours: 65 is the window background, the others text.
  return ApplyTint(x.as_uint() == 65 ? 0xFFFFFF : 0, color.attribute("tint").as_double(0));
}

}  // namespace vemo::wb
