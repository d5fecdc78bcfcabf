#include "host/components/bitmap_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "foundation/host_error.h"

namespace vemo::host {

namespace {
void Put16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void Put32(Bytes& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
std::uint32_t Get32(const Bytes& in, std::size_t at) {
  if (at + 4 > in.size()) throw HostError("the bitmap is cut short");
  return static_cast<std::uint32_t>(in[at]) | (static_cast<std::uint32_t>(in[at + 1]) << 8) |
         (static_cast<std::uint32_t>(in[at + 2]) << 16) | (static_cast<std::uint32_t>(in[at + 3]) << 24);
}
std::size_t RowStride(int width) { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4; }
}  // namespace

RgbImage SolidImage(int width, int height, Rgb colour) {
  RgbImage image{width, height, {}};
  image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), colour);
  return image;
}

Bytes EncodeBmp(const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0) throw HostError("a bitmap needs a positive width and height");
  std::size_t stride = RowStride(image.width);
  std::uint32_t dataSize = static_cast<std::uint32_t>(stride * static_cast<std::size_t>(image.height));
  Bytes out;
  out.reserve(54 + dataSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + dataSize);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(image.width));
  Put32(out, static_cast<std::uint32_t>(image.height));  // positive: bottom-up
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB
  Put32(out, dataSize);
  Put32(out, 3780);  // 96 dpi
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const Rgb& p = image.at(x, y);
      out.push_back(p.b);
      out.push_back(p.g);
      out.push_back(p.r);
    }
    for (std::size_t pad = static_cast<std::size_t>(image.width) * 3; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

RgbImage DecodeBmp(const Bytes& bytes) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') throw HostError("not a bitmap file");
  std::uint32_t offset = Get32(bytes, 10);
  auto width = static_cast<std::int32_t>(Get32(bytes, 18));
  auto height = static_cast<std::int32_t>(Get32(bytes, 22));
  std::uint32_t bitsAndPlanes = Get32(bytes, 26);
  if ((bitsAndPlanes >> 16) != 24 || Get32(bytes, 30) != 0 || width <= 0 || height <= 0)
    throw HostError("only uncompressed bottom-up 24-bit bitmaps are read here");
  std::size_t stride = RowStride(width);
  if (offset + stride * static_cast<std::size_t>(height) > bytes.size()) throw HostError("the bitmap is cut short");
  RgbImage image = SolidImage(width, height, {});
  for (int y = 0; y < height; ++y) {
    std::size_t row = offset + stride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      std::size_t p = row + static_cast<std::size_t>(x) * 3;
      image.at(x, y) = {bytes[p + 2], bytes[p + 1], bytes[p]};
    }
  }
  return image;
}

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw HostError("cannot write the file " + path.string() + "; check the folder exists and is writable");
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out)
    throw HostError("writing the file " + path.string() + " failed: " + std::generic_category().message(errno) +
                    "; free some space or choose another folder");
}

}  // namespace vemo::host
