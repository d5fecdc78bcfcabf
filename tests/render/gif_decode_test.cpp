#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "render/picture_decode.h"
#include "support/files.h"
#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::render {
namespace {

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
        const auto* row = cairo_image_surface_get_data(s.get()) + y * cairo_image_surface_get_stride(s.get());
        const std::uint32_t ours = reinterpret_cast<const std::uint32_t*>(row)[x];
        const auto at = [&](int k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(expected[(y * width + x) * 4 + k])); };
        const std::uint32_t theirs = at(3) == 0 ? 0 : at(3) << 24 | at(0) << 16 | at(1) << 8 | at(2);
        wrong += ours != theirs;
      }
    EXPECT_EQ(wrong, 0) << "pixels that differ, of " << width * height;
  }
  // Broken: a header alone, an image without colours, a code not yet defined.
  const std::string header = std::string("GIF89a\x02\0\x01\0\x80\0\0", 13) + std::string(6, '\0');
  for (const std::string& broken : {std::string("GIF89a\x02\0", 8), std::string("GIF87a\x02\0\x01\0\0\0\0,\0\0\0\0\x02\0\x01\0\0\x02\x01\x00\0;", 27),
                                    header + std::string(",\0\0\0\0\x02\0\x01\0\0\x02\x01\x07\0;", 15)})
    EXPECT_FALSE(DecodePicture(broken));
}

}  // namespace
}  // namespace vemo::render
