// The colours a style part names (rgb, theme with tint, indexed) as plain
// 0xRRGGBB, read the same way by the renderer and the .xls writer.
#pragma once
#include <pugixml.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace vemo::wb {

class Workbook;

// 0xRRGGBB.
using Rgb = std::uint32_t;

// The colours indexed colours 0..63 name unless a workbook changes them.
extern const std::array<Rgb, 64> kDefaultPalette;

// Lightens (tint > 0) or darkens (tint < 0) a colour in HLS space, as the
// file format defines tints.
Rgb ApplyTint(Rgb rgb, double tint);

class StyleColors {
 public:
  // Reads the colour scheme of the workbook's theme, when it has one.
  explicit StyleColors(Workbook& book);
  // The colour `color` names, or nullopt when it is absent or "automatic"
  // (the program's default: system colours 64 and 65 and auto="1").
  std::optional<Rgb> Resolve(pugi::xml_node color) const;
  // The colour, `fallback` when absent or automatic.
  Rgb Read(pugi::xml_node color, Rgb fallback) const;

 private:
  std::vector<Rgb> theme_;
};

}  // namespace vemo::wb
