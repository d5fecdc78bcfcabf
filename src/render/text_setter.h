// Setting text with Pango (HarfBuzz shaping, fonts found through fontconfig,
// so the Windows font names of the templates resolve through the installed
// aliases) onto a cairo context whose unit is the point.
#pragma once
#include <cairo.h>
#include <pango/pangocairo.h>

#include <string_view>

#include "render/cell_style.h"

namespace vemo::render {

class TextSetter {
 public:
  explicit TextSetter(cairo_t* cr);
  ~TextSetter();
  TextSetter(const TextSetter&) = delete;
  TextSetter& operator=(const TextSetter&) = delete;

  // Lays `text` out in `font`; `wrapWidth` > 0 wraps lines at that width.
  void Set(std::string_view text, const FontStyle& font, double wrapWidth = 0);
  // The same for runs of text, each in its own font.
  void Set(const RichText& runs, double wrapWidth = 0);
  // Spreads the lines of wrapped text to the wrap width, the last one too
  // when `lastLine`; until the next Set.
  void Justify(bool lastLine);
  // Adds `points` of space between characters; until the next Set.
  void SpaceLetters(double points);
  double Width() const;
  double Height() const;
  int LineCount() const;
  // Draws the text last set with its top left corner at (x, y), centring
  // each line when `centre` (wrapped text), right-aligning when `right`.
  void Draw(double x, double y, bool centre = false, bool right = false);

 private:
  cairo_t* cr_;
  PangoLayout* layout_;
  Rgb color_ = 0;
};

// The widest digit of `font` in pixels at 96 dpi, unrounded: the unit of column widths.
double MaxDigitWidthPixels(const FontStyle& font);

}  // namespace vemo::render
