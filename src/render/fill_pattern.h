// Cell fills as cairo sources: a solid colour, or one of the spreadsheet's
// patterns of dots and lines repeated over the page.
#pragma once
#include <cairo.h>

#include <array>
#include <map>
#include <tuple>

#include "render/cell_style.h"

namespace vemo::render {

// 8 rows of 8 bits, one bit a pixel at 96 dpi, set where the pattern colour shows.
using PatternBits = std::array<unsigned char, 8>;
PatternBits BitsOf(FillPattern pattern);

class FillSources {
 public:
  FillSources() = default;
  FillSources(const FillSources&) = delete;
  FillSources& operator=(const FillSources&) = delete;
  ~FillSources();
  // Makes `style`'s fill the source of `cr`; false when the style has none.
  bool Use(cairo_t* cr, const CellStyle& style);

 private:
  // One repeating source per pattern and pair of colours, so a PDF holds
  // each pattern image once however many cells show it.
  std::map<std::tuple<FillPattern, Rgb, Rgb>, cairo_pattern_t*> made_;
};

}  // namespace vemo::render
