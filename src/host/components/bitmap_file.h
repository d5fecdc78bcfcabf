// 24-bit uncompressed bitmap files (.bmp), the picture format the engine
// hands to the spreadsheet for barcodes and QR codes.
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

#include "foundation/variant.h"

namespace vemo::host {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// A picture of width x height pixels, rows from the top.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels;  // width * height, row-major from the top-left
  Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
  const Rgb& at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};

RgbImage SolidImage(int width, int height, Rgb colour);

// The bytes of a BMP file (BITMAPINFOHEADER, 24 bits, bottom-up rows
// padded to 4 bytes).
Bytes EncodeBmp(const RgbImage& image);
// Reads back what EncodeBmp writes (24-bit, uncompressed); raises HostError
// on anything else.
RgbImage DecodeBmp(const Bytes& bytes);

// Writes the file (create or overwrite); raises HostError naming the path.
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace vemo::host
