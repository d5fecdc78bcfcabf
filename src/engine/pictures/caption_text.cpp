#include "engine/pictures/caption_text.h"

#include "engine/pictures/picture_libraries.h"

#include <memory>
#include <vector>

#include "foundation/host_error.h"

namespace vemo::engine {

namespace {

// Code points of UTF-8 text; raises HostError on a malformed sequence, so a
// caption never shows replacement boxes for bytes of another encoding.
std::vector<char32_t> CodePoints(std::string_view text) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < text.size();) {
    auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size())
      throw HostError("the barcode text is not UTF-8 (byte " + std::to_string(i) + ")");
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) throw HostError("the barcode text is not UTF-8 (byte " + std::to_string(i) + ")");
      cp = (cp << 6) | (next & 0x3F);
    }
    out.push_back(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

struct PatternDeleter {
  void operator()(FcPattern* p) const { Fonts().FcPatternDestroy(p); }
};
struct CharSetDeleter {
  void operator()(FcCharSet* c) const { Fonts().FcCharSetDestroy(c); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

std::string PatternString(FcPattern* pattern, const char* object) {
  FcChar8* value = nullptr;
  if (Fonts().FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || value == nullptr) return {};
  return reinterpret_cast<const char*>(value);
}

// A FreeType library with one face at the caption size; both released on
// every path, a failing constructor included.
class FreeTypeFace {
 public:
  explicit FreeTypeFace(const CaptionFont& font) {
    FT_Library library = nullptr;
    if (Fonts().FT_Init_FreeType(&library) != 0) throw HostError("FreeType could not be started to draw the barcode caption");
    library_.reset(library);
    FT_Face face = nullptr;
    if (Fonts().FT_New_Face(library, font.file.c_str(), font.faceIndex, &face) != 0)
      throw HostError("the caption font \"" + font.file + "\" cannot be loaded; check the installed fonts (fc-list)");
    face_.reset(face);
    if (Fonts().FT_Set_Pixel_Sizes(face, 0, kCaptionPixelSize) != 0)
      throw HostError("the caption font \"" + font.family + "\" has no " + std::to_string(kCaptionPixelSize) + " pixel size");
  }
  FT_Face operator->() const { return face_.get(); }
  FT_Face get() const { return face_.get(); }

 private:
  struct LibraryDeleter {
    void operator()(FT_Library library) const { Fonts().FT_Done_FreeType(library); }
  };
  struct FaceDeleter {
    void operator()(FT_Face face) const { Fonts().FT_Done_Face(face); }
  };
  // Declared in this order so the face goes before its library.
  std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library_;
  std::unique_ptr<FT_FaceRec_, FaceDeleter> face_;
};

// Pen advance of each character, in whole pixels (glyphs sit on pixel
// boundaries so thin Ming strokes stay sharp).
int Advance(FT_Face face, char32_t cp) {
  if (Fonts().FT_Load_Char(face, cp, FT_LOAD_DEFAULT) != 0) return 0;
  return static_cast<int>((face->glyph->advance.x + 32) >> 6);
}

void BlendGlyph(host::RgbImage& image, const FT_Bitmap& bitmap, int left, int top) {
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    int y = top + static_cast<int>(row);
    if (y < 0 || y >= image.height) continue;
    for (unsigned col = 0; col < bitmap.width; ++col) {
      int x = left + static_cast<int>(col);
      if (x < 0 || x >= image.width) continue;
      int coverage = 0;
      const unsigned char* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
      if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        coverage = (line[col / 8] & (0x80 >> (col % 8))) != 0 ? 255 : 0;
      else
        coverage = line[col];
      host::Rgb& p = image.at(x, y);
      auto darken = [coverage](std::uint8_t c) { return static_cast<std::uint8_t>(c * (255 - coverage) / 255); };
      p = {darken(p.r), darken(p.g), darken(p.b)};
    }
  }
}

}  // namespace

CaptionFont FindCaptionFont(std::string_view text) {
  CaptionFont found;
  std::vector<char32_t> chars;
  try {
    chars = CodePoints(text);
  } catch (const HostError&) {
    return found;
  }
  if (!Fonts().FcInit()) return found;
  PatternPtr pattern(Fonts().FcPatternCreate());
  for (const char* family : {"宋体", "SimSun", "AR PL UMing CN"})
    Fonts().FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  Fonts().FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
  Fonts().FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  std::unique_ptr<FcCharSet, CharSetDeleter> wanted(Fonts().FcCharSetCreate());
  for (char32_t cp : chars) Fonts().FcCharSetAddChar(wanted.get(), cp);
  Fonts().FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted.get());
  Fonts().FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  Fonts().FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  PatternPtr match(Fonts().FcFontMatch(nullptr, pattern.get(), &result));
  if (!match) return found;
  found.file = PatternString(match.get(), FC_FILE);
  found.family = PatternString(match.get(), FC_FAMILY);
  int index = 0;
  if (Fonts().FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) found.faceIndex = index;
  FcCharSet* has = nullptr;
  found.coversText = Fonts().FcPatternGetCharSet(match.get(), FC_CHARSET, 0, &has) == FcResultMatch && has != nullptr &&
                     Fonts().FcCharSetIsSubset(wanted.get(), has);
  return found;
}

int DrawCaption(host::RgbImage& image, std::string_view text, int centreX, int top) {
  std::vector<char32_t> chars = CodePoints(text);
  if (chars.empty()) return 0;
  CaptionFont font = FindCaptionFont(text);
  if (font.file.empty())
    throw HostError("no font is installed for the barcode caption; install fonts-arphic-uming (fc-list shows the fonts)");
  FreeTypeFace face(font);
  int width = 0;
  for (char32_t cp : chars) width += Advance(face.get(), cp);
  const int ascender = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
  const int baseline = top + ascender;
  int pen = centreX - width / 2;
  for (char32_t cp : chars) {
    if (Fonts().FT_Load_Char(face.get(), cp, FT_LOAD_RENDER) != 0)
      throw HostError("the caption font \"" + font.family + "\" cannot draw the character " + std::to_string(static_cast<unsigned>(cp)) +
                      " (decimal code point)");
    BlendGlyph(image, face->glyph->bitmap, pen + face->glyph->bitmap_left, baseline - face->glyph->bitmap_top);
    pen += static_cast<int>((face->glyph->advance.x + 32) >> 6);
  }
  return width;
}

}  // namespace vemo::engine

#if defined(__SANITIZE_ADDRESS__)
// fontconfig 2.14 loses one character set while it parses the system's
// configuration files in FcInit (an unreachable block inside the library,
// nothing we hold). Without this the leak checker fails every sanitizer run
// that draws a caption, in the tests and in vemoprint alike.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
