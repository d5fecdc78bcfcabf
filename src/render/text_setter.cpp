#include "render/text_setter.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vemo::render {
namespace {

PangoFontDescription* Describe(const FontStyle& font) {
  PangoFontDescription* d = pango_font_description_new();
  pango_font_description_set_family(d, font.name.c_str());
  pango_font_description_set_size(d, static_cast<int>(std::lround(font.size * PANGO_SCALE)));
  pango_font_description_set_weight(d, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(d, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  return d;
}

// Point units, and metrics not snapped to device pixels, so a PDF and its
// preview lay out the same.
void PrepareContext(PangoContext* context, double dpi) {
  pango_cairo_context_set_resolution(context, dpi);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(context, options);
  cairo_font_options_destroy(options);
  // Pango rounds glyph advances to whole units (points here) unless told not to.
  pango_context_set_round_glyph_positions(context, FALSE);
}

}  // namespace

TextSetter::TextSetter(cairo_t* cr) : cr_(cr), layout_(pango_cairo_create_layout(cr)) {
  PrepareContext(pango_layout_get_context(layout_), 72);
  pango_layout_context_changed(layout_);
}

TextSetter::~TextSetter() { g_object_unref(layout_); }

void TextSetter::Set(std::string_view text, const FontStyle& font, double wrapWidth) {
  Set(RichText{{std::string(text), font}}, wrapWidth);
}

void TextSetter::Set(const RichText& runs, double wrapWidth) {
  static const FontStyle kPlain;
  // The first run's font is the layout's; the others differ by attributes.
  const FontStyle& base = runs.empty() ? kPlain : runs.front().font;
  PangoFontDescription* d = Describe(base);
  pango_layout_set_font_description(layout_, d);
  pango_font_description_free(d);
  PangoAttrList* attrs = pango_attr_list_new();
  std::string text;
  for (const TextRun& run : runs) {
    const auto start = static_cast<guint>(text.size());
    text += run.text;
    const auto end = static_cast<guint>(text.size());
    const auto add = [&](PangoAttribute* attribute) {
      attribute->start_index = start, attribute->end_index = end;
      pango_attr_list_insert(attrs, attribute);
    };
    const FontStyle& f = run.font;
    if (f.underline) add(pango_attr_underline_new(f.underline == 2 ? PANGO_UNDERLINE_DOUBLE : PANGO_UNDERLINE_SINGLE));
    if (f.strike) add(pango_attr_strikethrough_new(TRUE));
    if (f.name != base.name) add(pango_attr_family_new(f.name.c_str()));
    if (f.size != base.size) add(pango_attr_size_new(static_cast<int>(std::lround(f.size * PANGO_SCALE))));
    if (f.bold != base.bold) add(pango_attr_weight_new(f.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL));
    if (f.italic != base.italic) add(pango_attr_style_new(f.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL));
    if (f.color != base.color)
      add(pango_attr_foreground_new(static_cast<guint16>(((f.color >> 16) & 0xFF) * 257),
                                    static_cast<guint16>(((f.color >> 8) & 0xFF) * 257),
                                    static_cast<guint16>((f.color & 0xFF) * 257)));
  }
  pango_layout_set_attributes(layout_, attrs);
  pango_attr_list_unref(attrs);
  pango_layout_set_width(layout_, wrapWidth > 0 ? static_cast<int>(wrapWidth * PANGO_SCALE) : -1);
  pango_layout_set_wrap(layout_, PANGO_WRAP_WORD_CHAR);
  pango_layout_set_justify(layout_, FALSE);
  pango_layout_set_justify_last_line(layout_, FALSE);
  pango_layout_set_text(layout_, text.data(), static_cast<int>(text.size()));
  color_ = base.color;
}

void TextSetter::Justify(bool lastLine) {
  pango_layout_set_justify(layout_, TRUE);
  pango_layout_set_justify_last_line(layout_, lastLine);
}

void TextSetter::SpaceLetters(double points) {
  PangoAttrList* current = pango_layout_get_attributes(layout_);
  PangoAttrList* attrs = current ? pango_attr_list_copy(current) : pango_attr_list_new();
  pango_attr_list_insert(attrs, pango_attr_letter_spacing_new(static_cast<int>(points * PANGO_SCALE)));
  pango_layout_set_attributes(layout_, attrs);
  pango_attr_list_unref(attrs);
}

int TextSetter::LineCount() const { return pango_layout_get_line_count(layout_); }

double TextSetter::Width() const {
  PangoRectangle logical;
  pango_layout_get_extents(layout_, nullptr, &logical);
  return static_cast<double>(logical.width) / PANGO_SCALE;
}

double TextSetter::Height() const {
  PangoRectangle logical;
  pango_layout_get_extents(layout_, nullptr, &logical);
  return static_cast<double>(logical.height) / PANGO_SCALE;
}

void TextSetter::Draw(double x, double y, bool centre, bool right) {
  pango_layout_set_alignment(layout_, centre ? PANGO_ALIGN_CENTER : right ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT);
  cairo_set_source_rgb(cr_, ((color_ >> 16) & 0xFF) / 255.0, ((color_ >> 8) & 0xFF) / 255.0, (color_ & 0xFF) / 255.0);
  cairo_move_to(cr_, x, y);
  pango_cairo_show_layout(cr_, layout_);
}

double MaxDigitWidthPixels(const FontStyle& font) {
  PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
  PrepareContext(context, 96);
  PangoLayout* layout = pango_layout_new(context);
  PangoFontDescription* d = Describe(font);
  pango_layout_set_font_description(layout, d);
  pango_font_description_free(d);
  int widest = 0;
  for (char digit = '0'; digit <= '9'; ++digit) {
    pango_layout_set_text(layout, &digit, 1);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    widest = std::max(widest, logical.width);
  }
  g_object_unref(layout);
  g_object_unref(context);
  return std::max(1.0, static_cast<double>(widest) / PANGO_SCALE);
}

}  // namespace vemo::render
