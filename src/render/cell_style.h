// What a cell looks like on paper: its font, fill, borders and alignment,
// read from the workbook's style part once per workbook and answered by
// cell style index.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vemo::wb {
class Sheet;
class StyleColors;
class Workbook;
struct Cell;
}

namespace vemo::render {

// 0xRRGGBB.
using Rgb = std::uint32_t;

struct FontStyle {
  std::string name = "Calibri";
  double size = 11;  // points
  bool bold = false, italic = false, strike = false;
  int underline = 0;  // 0 none, 1 single, 2 double
  Rgb color = 0;
};

enum class LineStyle : std::uint8_t { None, Thin, Medium, Thick, Dashed, Dotted, Double, Hair, Unsupported };

struct BorderLine {
  LineStyle style = LineStyle::None;
  Rgb color = 0;
};

enum class HAlign : std::uint8_t { General, Left, Center, Right, Fill, Justify, CenterContinuous, Distributed };
enum class VAlign : std::uint8_t { Top, Center, Bottom, Justify, Distributed };

// The spreadsheet's fill patterns: solid, and dots or lines in the
// pattern colour over the fill colour.
enum class FillPattern : std::uint8_t {
  None, Solid, Gray0625, Gray125, LightGray, MediumGray, DarkGray,
  LightHorizontal, LightVertical, LightDown, LightUp, LightGrid, LightTrellis,
  DarkHorizontal, DarkVertical, DarkDown, DarkUp, DarkGrid, DarkTrellis,
};

// Text rotation that stacks the letters downwards instead of turning them.
inline constexpr int kStackedText = 255;

struct CellStyle {
  FontStyle font;
  FillPattern pattern = FillPattern::None;
  Rgb fill = 0xFFFFFF;     // solid: the colour; patterned: the colour behind the pattern
  Rgb patternColor = 0;    // the dots and lines of a pattern
  BorderLine left, right, top, bottom;
  BorderLine diagonal;  // corner to corner, up and/or down
  bool diagonalUp = false, diagonalDown = false;
  HAlign hAlign = HAlign::General;
  VAlign vAlign = VAlign::Bottom;
  bool wrap = false;
  bool shrink = false;  // one line made smaller until it fits
  int rotation = 0;     // degrees anticlockwise, -90 to 90, or kStackedText
  int indent = 0;       // levels of three spaces of the default font
  // What this renderer cannot draw in the style ("a pattern fill", ...);
  // empty when everything is drawable.
  std::string unsupported;
};

// A piece of a cell's text in one font: a cell of rich text has several.
struct TextRun {
  std::string text;
  FontStyle font;
};
using RichText = std::vector<TextRun>;

// What a conditional format changes: only what it names.
struct DifferentialStyle {
  std::optional<bool> bold, italic, strike;
  std::optional<int> underline;
  std::optional<Rgb> color, fill;
  std::string unsupported;  // borders, number formats, pattern fills
};

// The raw XML of the cell's string item (shared or inline) when it is rich
// text, runs in fonts of their own; empty for any other cell.
std::string RichItemXml(const wb::Sheet& sheet, const wb::Cell& cell);

class StyleTable {
 public:
  explicit StyleTable(wb::Workbook& book);
  const CellStyle& Get(std::uint32_t styleIndex) const;
  // Cell style `styleIndex` as conditional format style `dxfId` changes it;
  // a style with `unsupported` set when the latter is unknown or not drawable.
  CellStyle Differential(std::uint32_t styleIndex, std::uint32_t dxfId) const;
  // The workbook's default font (that of the Normal style).
  const FontStyle& DefaultFont() const { return styles_.front().font; }
  // The runs of a rich string item (RichItemXml), each in its own font:
  // what the run names over `cellFont`, the cell's font.
  RichText RichRuns(std::string_view itemXml, const FontStyle& cellFont) const;

 private:
  std::shared_ptr<const wb::StyleColors> colors_;
  std::vector<CellStyle> styles_;
  std::vector<DifferentialStyle> differential_;
};

}  // namespace vemo::render
