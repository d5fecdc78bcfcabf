// zint, FreeType and fontconfig, bound when the first barcode or caption asks
// for them rather than linked: with the libraries they pull in (libpng,
// expat, brotli) they cost every vemoprint process about 1.6 million
// instructions and 65 page faults of start-up, and only barcode pictures
// use them.
#pragma once
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <zint.h>

namespace vemo::engine {

struct ZintLibrary {
  decltype(&::ZBarcode_Create) ZBarcode_Create;
  decltype(&::ZBarcode_Delete) ZBarcode_Delete;
  decltype(&::ZBarcode_Encode) ZBarcode_Encode;
  decltype(&::ZBarcode_Buffer) ZBarcode_Buffer;
};

struct FontLibraries {
  decltype(&::FT_Init_FreeType) FT_Init_FreeType;
  decltype(&::FT_Done_FreeType) FT_Done_FreeType;
  decltype(&::FT_New_Face) FT_New_Face;
  decltype(&::FT_Done_Face) FT_Done_Face;
  decltype(&::FT_Set_Pixel_Sizes) FT_Set_Pixel_Sizes;
  decltype(&::FT_Load_Char) FT_Load_Char;
  decltype(&::FcInit) FcInit;
  decltype(&::FcPatternCreate) FcPatternCreate;
  decltype(&::FcPatternDestroy) FcPatternDestroy;
  decltype(&::FcPatternAddString) FcPatternAddString;
  decltype(&::FcPatternAddBool) FcPatternAddBool;
  decltype(&::FcPatternAddCharSet) FcPatternAddCharSet;
  decltype(&::FcPatternGetString) FcPatternGetString;
  decltype(&::FcPatternGetInteger) FcPatternGetInteger;
  decltype(&::FcPatternGetCharSet) FcPatternGetCharSet;
  decltype(&::FcCharSetCreate) FcCharSetCreate;
  decltype(&::FcCharSetDestroy) FcCharSetDestroy;
  decltype(&::FcCharSetAddChar) FcCharSetAddChar;
  decltype(&::FcCharSetIsSubset) FcCharSetIsSubset;
  decltype(&::FcConfigSubstitute) FcConfigSubstitute;
  decltype(&::FcDefaultSubstitute) FcDefaultSubstitute;
  decltype(&::FcFontMatch) FcFontMatch;
};

// Load on the first call; throw HostError naming the package to install
// when a library is missing or lacks one of the functions.
const ZintLibrary& Zint();
const FontLibraries& Fonts();

}  // namespace vemo::engine
