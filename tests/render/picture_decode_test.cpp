#include "render/picture_decode.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "support/run_command.h"
#include "support/test_paths.h"

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

std::uint32_t Pixel(cairo_surface_t* s, int x, int y, std::uint32_t mask = 0xFFFFFF) {
  const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
  return reinterpret_cast<const std::uint32_t*>(row)[x] & mask;
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
  // Broken: bitmaps cut short or of a depth not read; GIFs of a header
  // alone, an image without colours, a code not yet defined.
  const std::string gifHeader = std::string("GIF89a\x02\0\x01\0\x80\0\0", 13) + std::string(6, '\0');
  for (const std::string& broken :
       {std::string("BM"), Bmp(2, 2, 24, {}, bgr24.substr(0, 10)), Bmp(2, 2, 16, {}, bgr24), std::string("GIF89a\x02\0", 8),
        std::string("GIF87a\x02\0\x01\0\0\0\0,\0\0\0\0\x02\0\x01\0\0\x02\x01\x00\0;", 27),
        gifHeader + std::string(",\0\0\0\0\x02\0\x01\0\0\x02\x01\x07\0;", 15)})
    EXPECT_FALSE(DecodePicture(broken));
}

// Each file is written by an independent encoder with its own decoding of
// the file beside it (RGBA bytes); ours must agree pixel for pixel.
constexpr const char* kWriteGifs = R"(
import random, sys
from PIL import Image
folder = sys.argv[1]
rnd = random.Random(7)
def write(name, image, **options):
    image.save(f"{folder}/{name}.gif", **options)
    open(f"{folder}/{name}.rgba", "wb").write(Image.open(f"{folder}/{name}.gif").convert("RGBA").tobytes())
def paletted(w, h, colours):
    image = Image.new("P", (w, h))
    image.putpalette([rnd.randrange(256) for _ in range(3 * colours)])
    image.putdata([rnd.randrange(colours) for _ in range(w * h)])
    return image
write("four_colours", paletted(7, 5, 4))
write("full_dictionary", paletted(300, 200, 256))  # the code table fills and is cleared
write("interlaced", paletted(37, 23, 16), interlace=True)
write("transparent", paletted(16, 9, 8), transparency=3)
)";

TEST(GifDecode, FilesOfAnIndependentEncoderReadPixelForPixel) {
  test::TempDir dir;
  const auto wrote = test::RunPythonCode(kWriteGifs, test::ShellQuote(dir.path()));
  ASSERT_EQ(wrote.status, 0) << wrote.output;
  for (const char* name : {"four_colours", "full_dictionary", "interlaced", "transparent"}) {
    SCOPED_TRACE(name);
    const std::string expected = test::ReadFileBytes(dir.path() / (std::string(name) + ".rgba"));
    Surface s = DecodePicture(test::ReadFileBytes(dir.path() / (std::string(name) + ".gif")));
    ASSERT_TRUE(s);
    const int width = cairo_image_surface_get_width(s.get()), height = cairo_image_surface_get_height(s.get());
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(width) * height * 4);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const std::uint32_t ours = Pixel(s.get(), x, y, 0xFFFFFFFF);
        const auto at = [&](int k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(expected[(y * width + x) * 4 + k])); };
        const std::uint32_t theirs = at(3) == 0 ? 0 : at(3) << 24 | at(0) << 16 | at(1) << 8 | at(2);
        wrong += ours != theirs;
      }
    EXPECT_EQ(wrong, 0) << "pixels that differ, of " << width * height;
  }
}

}  // namespace
}  // namespace vemo::render
