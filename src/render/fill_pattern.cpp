#include "render/fill_pattern.h"

#include <cstdint>

namespace vemo::render {

PatternBits BitsOf(FillPattern pattern) {
  switch (pattern) {
    case FillPattern::Solid: return {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    case FillPattern::Gray0625: return {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00};
    case FillPattern::Gray125: return {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00};
    case FillPattern::LightGray: return {0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22};
    case FillPattern::MediumGray: return {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    case FillPattern::DarkGray: return {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD};
    case FillPattern::LightHorizontal: return {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00};
    case FillPattern::LightVertical: return {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88};
    case FillPattern::LightDown: return {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11};
    case FillPattern::LightUp: return {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88};
    case FillPattern::LightGrid: return {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88};
    case FillPattern::LightTrellis: return {0x88, 0x55, 0x22, 0x55, 0x88, 0x55, 0x22, 0x55};
    case FillPattern::DarkHorizontal: return {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};
    case FillPattern::DarkVertical: return {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC};
    case FillPattern::DarkDown: return {0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66, 0x33, 0x99};
    case FillPattern::DarkUp: return {0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC, 0x99};
    case FillPattern::DarkGrid: return {0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33};
    case FillPattern::DarkTrellis: return {0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF};
    case FillPattern::None: break;
  }
  return {};
}

FillSources::~FillSources() {
  for (auto& [key, source] : made_) cairo_pattern_destroy(source);
}

bool FillSources::Use(cairo_t* cr, const CellStyle& style) {
  if (style.pattern == FillPattern::None) return false;
  const auto rgb = [](Rgb c, int shift) { return ((c >> shift) & 0xFF) / 255.0; };
  if (style.pattern == FillPattern::Solid) {
    cairo_set_source_rgb(cr, rgb(style.fill, 16), rgb(style.fill, 8), rgb(style.fill, 0));
    return true;
  }
  const auto key = std::make_tuple(style.pattern, style.patternColor, style.fill);
  cairo_pattern_t*& source = made_[key];
  if (!source) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    const PatternBits bits = BitsOf(style.pattern);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        reinterpret_cast<std::uint32_t*>(data + y * stride)[x] =
            (bits[y] >> (7 - x)) & 1 ? style.patternColor : style.fill;
    cairo_surface_mark_dirty(image);
    source = cairo_pattern_create_for_surface(image);
    cairo_surface_destroy(image);
    cairo_pattern_set_extend(source, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(source, CAIRO_FILTER_NEAREST);
    cairo_matrix_t pixels;  // a pattern pixel is a pixel at 96 dpi: 0.75 pt
    cairo_matrix_init_scale(&pixels, 1 / 0.75, 1 / 0.75);
    cairo_pattern_set_matrix(source, &pixels);
  }
  cairo_set_source(cr, source);
  return true;
}

}  // namespace vemo::render
