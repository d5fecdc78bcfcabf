#include "render/picture_decode.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vemo::render {
namespace {

Surface Checked(cairo_surface_t* s) {
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  return Surface(s);
}

Surface DecodePng(std::string_view bytes) {
  struct Reader {
    std::string_view rest;
  } reader{bytes};
  auto read = [](void* closure, unsigned char* data, unsigned int length) {
    auto* r = static_cast<Reader*>(closure);
    if (r->rest.size() < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, r->rest.data(), length);
    r->rest.remove_prefix(length);
    return CAIRO_STATUS_SUCCESS;
  };
  return Checked(cairo_image_surface_create_from_png_stream(read, &reader));
}

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

Surface DecodeJpeg(std::string_view bytes) {
  jpeg_decompress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.mgr);
  error.mgr.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1); };
  error.mgr.output_message = [](j_common_ptr) {};
  cairo_surface_t* volatile surface = nullptr;
  // Declared before the jump point: a failed decode comes back to this
  // frame, so the vector is still destroyed normally.
  std::vector<unsigned char> line;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    if (surface) cairo_surface_destroy(surface);
    return nullptr;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(info.output_width),
                                       static_cast<int>(info.output_height));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) longjmp(error.jump, 1);
  line.resize(info.output_width * 3);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  while (info.output_scanline < info.output_height) {
    unsigned char* row = line.data();
    const unsigned y = info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
    auto* out = reinterpret_cast<std::uint32_t*>(data + y * stride);
    for (unsigned x = 0; x < info.output_width; ++x)
      out[x] = (0xFFu << 24) | (line[x * 3] << 16) | (line[x * 3 + 1] << 8) | line[x * 3 + 2];
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  cairo_surface_mark_dirty(surface);
  return Surface(surface);
}

std::uint32_t Le(std::string_view b, std::size_t at, int size) {
  std::uint32_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

}  // namespace

Surface DecodeBmp(std::string_view b) {
  if (b.size() < 54 || b.substr(0, 2) != "BM") return nullptr;
  const std::uint32_t offset = Le(b, 10, 4), headerSize = Le(b, 14, 4);
  const auto width = static_cast<std::int32_t>(Le(b, 18, 4));
  const auto height = static_cast<std::int32_t>(Le(b, 22, 4));
  const std::uint32_t bits = Le(b, 28, 2), compression = Le(b, 30, 4);
  const bool bitfields32 = compression == 3 && bits == 32;  // the usual BGRA masks
  if ((compression != 0 && !bitfields32) || width <= 0 || height == 0 || width > 20000 ||
      std::abs(height) > 20000 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
    return nullptr;
  const int h = std::abs(height);
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  if (offset > b.size() || b.size() - offset < stride * h) return nullptr;
  std::vector<std::uint32_t> palette;
  if (bits <= 8) {
    const std::size_t count = Le(b, 46, 4) ? Le(b, 46, 4) : (1u << bits);
    const std::size_t at = 14 + headerSize;
    if (count > 256 || at + count * 4 > offset) return nullptr;
    for (std::size_t i = 0; i < count; ++i) palette.push_back(Le(b, at + i * 4, 4) & 0xFFFFFF);
  }
  Surface surface = Checked(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, h));
  if (!surface) return nullptr;
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int outStride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < h; ++y) {
    const std::size_t row = offset + stride * (height > 0 ? h - 1 - y : y);  // bottom-up unless height < 0
    auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * outStride);
    for (int x = 0; x < width; ++x) {
      std::uint32_t rgb = 0;
      if (bits >= 24) {
        rgb = Le(b, row + static_cast<std::size_t>(x) * (bits / 8), 3);
      } else {
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        const unsigned byte = static_cast<unsigned char>(b[row + bit / 8]);
        const unsigned index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        rgb = index < palette.size() ? palette[index] : 0;
      }
      out[x] = 0xFF000000u | rgb;
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

Surface DecodePicture(std::string_view bytes) {
  if (bytes.starts_with("\x89PNG")) return DecodePng(bytes);
  if (bytes.starts_with("\xFF\xD8")) return DecodeJpeg(bytes);
  if (bytes.starts_with("BM")) return DecodeBmp(bytes);
  if (bytes.starts_with("GIF8")) return DecodeGif(bytes);
  return nullptr;
}

}  // namespace vemo::render
