// A Code 128 barcode picture: the bars that zint encodes, drawn at a whole
// number of pixels per module with a quiet zone on both sides, and the text
// under them (caption_text.h), black on white.
#pragma once
#include <string_view>

#include "host/components/bitmap_file.h"

namespace vemo::engine {

// Light modules wanted on each side of the bars, and the fewest accepted
// before the picture is made wider than asked.
inline constexpr int kCode128QuietModules = 10;
inline constexpr int kCode128MinQuietModules = 5;

// The picture of `text` (UTF-8; bytes beyond ASCII are encoded as they are,
// through Code 128's extended-character shift) at width x height pixels.
// When the symbol does not fit at one pixel a module with the minimum quiet
// zone, the picture grows wider (it is never made unreadable). Raises
// HostError naming the problem when zint refuses the text (empty, too long).
host::RgbImage DrawCode128(std::string_view text, int width, int height);

}  // namespace vemo::engine
