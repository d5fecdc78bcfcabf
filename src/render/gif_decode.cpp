// The first image of a GIF file (87a or 89a): its colour table, the LZW
// code stream, interlaced rows and the transparent colour of a graphic
// control extension. Animation frames after the first are not drawn: a
// printed page shows one picture, as the spreadsheet's own printout does.
#include <cstdint>
#include <vector>

#include "render/picture_decode.h"

namespace vemo::render {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view b) : b_(b) {}
  bool Has(std::size_t n) const { return b_.size() - at_ >= n; }
  unsigned Byte() { return Has(1) ? static_cast<unsigned char>(b_[at_++]) : (failed_ = true, 0u); }
  unsigned Word() { const unsigned lo = Byte(); return lo | (Byte() << 8); }
  std::string_view Take(std::size_t n) {
    if (!Has(n)) { failed_ = true; return {}; }
    at_ += n;
    return b_.substr(at_ - n, n);
  }
  // The data sub-blocks that follow, joined (a zero length ends them).
  std::string SubBlocks() {
    std::string data;
    for (unsigned n = Byte(); n != 0 && !failed_; n = Byte()) data += Take(n);
    return data;
  }
  bool failed() const { return failed_; }

 private:
  std::string_view b_;
  std::size_t at_ = 0;
  bool failed_ = false;
};

// Colour indexes of `count` pixels from the LZW stream; false when the
// stream is broken (a code that is not yet defined, a bad code size).
bool DecodeLzw(const std::string& data, unsigned minCodeSize, std::size_t count, std::vector<std::uint8_t>& out) {
  if (minCodeSize < 2 || minCodeSize > 8) return false;
  const unsigned clear = 1u << minCodeSize, end = clear + 1;
  std::vector<std::uint16_t> prefix(4096);
  std::vector<std::uint8_t> suffix(4096), stack;
  for (unsigned i = 0; i < clear; ++i) suffix[i] = static_cast<std::uint8_t>(i);
  unsigned codeSize = minCodeSize + 1, next = end + 1, previous = 4096, first = 0;
  std::uint32_t buffer = 0;
  unsigned bits = 0;
  std::size_t at = 0;
  while (out.size() < count) {
    while (bits < codeSize && at < data.size()) {
      buffer |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[at++])) << bits;
      bits += 8;
    }
    if (bits < codeSize) break;  // the stream ended early: the rest stays the first colour
    unsigned code = buffer & ((1u << codeSize) - 1);
    buffer >>= codeSize;
    bits -= codeSize;
    if (code == clear) {
      codeSize = minCodeSize + 1, next = end + 1, previous = 4096;
      continue;
    }
    if (code == end) break;
    if (previous == 4096) {  // the first code after a clear is a single colour
      if (code >= clear) return false;
      out.push_back(static_cast<std::uint8_t>(code));
      previous = first = code;
      continue;
    }
    const unsigned read = code;
    stack.clear();
    if (code >= next) {  // the code being defined: the previous string and its first colour
      if (code > next) return false;
      stack.push_back(static_cast<std::uint8_t>(first));
      code = previous;
    }
    while (code > end) {
      stack.push_back(suffix[code]);
      code = prefix[code];
    }
    if (code >= clear) return false;
    first = code;
    stack.push_back(static_cast<std::uint8_t>(code));
    for (auto it = stack.rbegin(); it != stack.rend() && out.size() < count; ++it) out.push_back(*it);
    if (next < 4096) {
      prefix[next] = static_cast<std::uint16_t>(previous);
      suffix[next] = static_cast<std::uint8_t>(first);
      if (++next == (1u << codeSize) && codeSize < 12) ++codeSize;
    }
    previous = read;
  }
  out.resize(count, 0);
  return true;
}

// The row of the image that the n-th row of the stream fills.
int RowOf(int n, int height, bool interlaced) {
  if (!interlaced) return n;
  struct Pass { int start, step; };
  for (const Pass pass : {Pass{0, 8}, Pass{4, 8}, Pass{2, 4}, Pass{1, 2}}) {
    const int rows = (height - pass.start + pass.step - 1) / pass.step;
    if (n < rows) return pass.start + n * pass.step;
    n -= std::max(rows, 0);
  }
  return -1;
}

}  // namespace

Surface DecodeGif(std::string_view bytes) {
  Reader r(bytes);
  const std::string_view signature = r.Take(6);
  if (signature != "GIF87a" && signature != "GIF89a") return nullptr;
  const int screenWidth = static_cast<int>(r.Word()), screenHeight = static_cast<int>(r.Word());
  const unsigned screen = r.Byte();
  r.Take(2);  // background colour and aspect ratio: the page shows through instead
  std::string_view globalColours = screen & 0x80 ? r.Take(3u << ((screen & 7) + 1)) : std::string_view();
  int transparent = -1;
  while (!r.failed()) {
    const unsigned block = r.Byte();
    if (block == 0x21) {  // an extension: only the graphic control one matters
      const unsigned label = r.Byte();
      const std::string data = r.SubBlocks();
      if (label == 0xF9 && data.size() >= 4 && (data[0] & 1)) transparent = static_cast<unsigned char>(data[3]);
      continue;
    }
    if (block != 0x2C) return nullptr;  // the trailer or garbage before any image
    const int left = static_cast<int>(r.Word()), top = static_cast<int>(r.Word());
    const int width = static_cast<int>(r.Word()), height = static_cast<int>(r.Word());
    const unsigned image = r.Byte();
    const std::string_view colours = image & 0x80 ? r.Take(3u << ((image & 7) + 1)) : globalColours;
    const unsigned minCodeSize = r.Byte();
    const std::string data = r.SubBlocks();
    const int canvasWidth = std::max(screenWidth, left + width), canvasHeight = std::max(screenHeight, top + height);
    // A few bytes may declare a canvas of gigabytes: a picture on a printed
    // page needs no more than 25 million pixels.
    if (r.failed() || colours.empty() || width == 0 || height == 0 ||
        static_cast<std::int64_t>(canvasWidth) * canvasHeight > 25'000'000)
      return nullptr;
    std::vector<std::uint8_t> indexes;
    indexes.reserve(static_cast<std::size_t>(width) * height);
    if (!DecodeLzw(data, minCodeSize, static_cast<std::size_t>(width) * height, indexes)) return nullptr;
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, canvasWidth, canvasHeight));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_surface_flush(surface.get());
    unsigned char* pixels = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < canvasHeight; ++y)  // what the image does not cover is transparent
      std::fill_n(reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::size_t>(y) * stride), canvasWidth, 0u);
    const std::size_t colourCount = colours.size() / 3;
    for (int n = 0; n < height; ++n) {
      auto* row = reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::size_t>(top + RowOf(n, height, image & 0x40)) * stride);
      for (int x = 0; x < width; ++x) {
        const unsigned index = indexes[static_cast<std::size_t>(n) * width + x];
        if (static_cast<int>(index) == transparent || index >= colourCount) continue;
        const auto c = [&](int k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(colours[index * 3 + k])); };
        row[left + x] = 0xFF000000u | c(0) << 16 | c(1) << 8 | c(2);
      }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
  }
  return nullptr;
}

}  // namespace vemo::render
