// libFuzzer target for the pictures the renderer decodes itself (GIF and
// BMP; PNG and JPEG go to their libraries): each input is decoded as both.
// A refusal is an answer; a crash, a sanitizer report (a write outside the
// picture's pixels), a timeout or a memory blow-up is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "render/picture_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)vemo::render::DecodeGif(bytes);
  (void)vemo::render::DecodeBmp(bytes);
  return 0;
}
