// Pictures of a workbook (PNG, JPEG, BMP, GIF) decoded into cairo image surfaces.
#pragma once
#include <cairo.h>

#include <memory>
#include <string_view>

namespace vemo::render {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The picture in `bytes`, by its signature; null when the format is not one
// of these or the data is broken.
Surface DecodePicture(std::string_view bytes);

// An uncompressed Windows bitmap (1, 4, 8, 24 or 32 bits per pixel).
Surface DecodeBmp(std::string_view bytes);
// The first image of a GIF file, transparent where it has no colour.
Surface DecodeGif(std::string_view bytes);

}  // namespace vemo::render
