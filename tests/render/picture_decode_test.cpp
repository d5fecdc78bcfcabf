#include "render/picture_decode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vemo::render {
namespace {

void Put(std::string& b, std::uint32_t v, int size) {
  for (int i = 0; i < size; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A bitmap file of `bits` per pixel with `palette` and the rows as stored.
std::string Bmp(int width, int height, int bits, const std::vector<std::uint32_t>& palette, const std::string& rows) {
  std::string b = "BM";
  const std::uint32_t offset = 54 + static_cast<std::uint32_t>(palette.size()) * 4;
  Put(b, offset + static_cast<std::uint32_t>(rows.size()), 4), Put(b, 0, 4), Put(b, offset, 4);
  Put(b, 40, 4), Put(b, static_cast<std::uint32_t>(width), 4), Put(b, static_cast<std::uint32_t>(height), 4);
  Put(b, 1, 2), Put(b, bits, 2), Put(b, 0, 4), Put(b, static_cast<std::uint32_t>(rows.size()), 4);
  Put(b, 2835, 4), Put(b, 2835, 4), Put(b, static_cast<std::uint32_t>(palette.size()), 4), Put(b, 0, 4);
  for (std::uint32_t c : palette) Put(b, c, 4);
  return b + rows;
}

std::uint32_t Pixel(cairo_surface_t* s, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
  return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

TEST(PictureDecode, BitmapsOfEveryDepthReadRightSideUp) {
  const std::string bgr24 = std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8) +  // bottom row: red, green, pad
                            std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);   // top row: blue, white, pad
  struct Case {
    const char* name;
    std::string file;
    std::uint32_t topLeft, topRight, bottomLeft;
  } cases[] = {
      {"24-bit bottom-up", Bmp(2, 2, 24, {}, bgr24), 0x0000FF, 0xFFFFFF, 0xFF0000},
      {"24-bit top-down", Bmp(2, -2, 24, {}, bgr24), 0xFF0000, 0x00FF00, 0x0000FF},
      {"1-bit with a palette", Bmp(2, 2, 1, {0x000000, 0xFFFFFF}, std::string("\x40\0\0\0\x80\0\0\0", 8)), 0xFFFFFF,
       0x000000, 0x000000},
      {"8-bit with a palette", Bmp(2, 1, 8, {0x123456, 0xABCDEF}, std::string("\x01\x00\0\0", 4)), 0xABCDEF,
       0x123456, 0xABCDEF},
  };
  for (const Case& c : cases) {
    Surface s = DecodePicture(c.file);
    ASSERT_TRUE(s) << c.name;
    EXPECT_EQ(Pixel(s.get(), 0, 0), c.topLeft) << c.name;
    EXPECT_EQ(Pixel(s.get(), 1, 0), c.topRight) << c.name;
    EXPECT_EQ(Pixel(s.get(), 0, cairo_image_surface_get_height(s.get()) - 1), c.bottomLeft) << c.name;
  }
  for (const std::string& broken : {std::string("BM"), Bmp(2, 2, 24, {}, bgr24.substr(0, 10)),
                                    Bmp(2, 2, 16, {}, bgr24), std::string("GIF89a")})
    EXPECT_FALSE(DecodePicture(broken));
}

}  // namespace
}  // namespace vemo::render
