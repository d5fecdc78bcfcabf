// The human-readable line under a barcode. The system's design asks for
// "宋体" 9 pt. Barcode libraries draw their captions with built-in Latin
// fonts, so the caption is drawn here with FreeType in a font chosen by
// fontconfig: the family "宋体" first (a machine with the setup's fonts.conf
// maps it to AR PL UMing CN, a Ming face with the same full- and half-width
// layout), then "SimSun" and "AR PL UMing CN" by name, and among the fonts
// left the one that covers every character of the caption (Noto CJK,
// WenQuanYi...). Coverage is part of the match, so a Chinese caption never
// falls to a Latin-only face while a CJK font is installed.
#pragma once
#include <string>
#include <string_view>

#include "host/components/bitmap_file.h"

namespace vemo::engine {

inline constexpr std::string_view kCaptionFontFamily = "宋体";
inline constexpr int kCaptionPointSize = 9;
// 9 pt at 96 dpi.
inline constexpr int kCaptionPixelSize = kCaptionPointSize * 96 / 72;

struct CaptionFont {
  std::string file;    // font file ("" when fontconfig found none)
  int faceIndex = 0;   // face inside a collection (.ttc)
  std::string family;  // the face's family name, for messages
  bool coversText = false;  // every character of the text has a glyph
};

// The font fontconfig picks for `text` by the rules above.
CaptionFont FindCaptionFont(std::string_view text);

// Draws `text` (UTF-8) in black, antialiased, at kCaptionPixelSize, centred
// on `centreX` with the top of its line box at `top`; clipped to the image.
// Answers the width in pixels drawn. Raises HostError when no font can be
// found or loaded, or the text is not UTF-8.
int DrawCaption(host::RgbImage& image, std::string_view text, int centreX, int top);

}  // namespace vemo::engine
