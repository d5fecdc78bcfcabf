#include "engine/pictures/picture_libraries.h"

#include <dlfcn.h>

#include <string>

#include "foundation/host_error.h"

namespace vemo::engine {
namespace {

// Never unloaded: fontconfig keeps its configuration for the process.
void* Open(const char* library, const char* package) {
  void* module = dlopen(library, RTLD_NOW | RTLD_LOCAL);
  if (!module)
    throw HostError(std::string("the library ") + library + " does not load (" + dlerror() + "); install the " +
                    package + " package");
  return module;
}

template <class Function>
void Bind(void* module, const char* library, const char* name, Function& out) {
  out = reinterpret_cast<Function>(dlsym(module, name));
  if (!out) throw HostError(std::string("the library ") + library + " has no function " + name);
}

#define VEMO_BIND(module, library, table, name) Bind(module, library, #name, table.name)

ZintLibrary LoadZint() {
  constexpr const char* kZint = "libzint.so.2.11";
  void* zint = Open(kZint, "libzint2.11");
  ZintLibrary lib{};
  VEMO_BIND(zint, kZint, lib, ZBarcode_Create);
  VEMO_BIND(zint, kZint, lib, ZBarcode_Delete);
  VEMO_BIND(zint, kZint, lib, ZBarcode_Encode);
  VEMO_BIND(zint, kZint, lib, ZBarcode_Buffer);
  return lib;
}

FontLibraries LoadFonts() {
  constexpr const char* kFreeType = "libfreetype.so.6";
  constexpr const char* kFontconfig = "libfontconfig.so.1";
  void* ft = Open(kFreeType, "libfreetype6");
  void* fc = Open(kFontconfig, "libfontconfig1");
  FontLibraries lib{};
  VEMO_BIND(ft, kFreeType, lib, FT_Init_FreeType);
  VEMO_BIND(ft, kFreeType, lib, FT_Done_FreeType);
  VEMO_BIND(ft, kFreeType, lib, FT_New_Face);
  VEMO_BIND(ft, kFreeType, lib, FT_Done_Face);
  VEMO_BIND(ft, kFreeType, lib, FT_Set_Pixel_Sizes);
  VEMO_BIND(ft, kFreeType, lib, FT_Load_Char);
  VEMO_BIND(fc, kFontconfig, lib, FcInit);
  VEMO_BIND(fc, kFontconfig, lib, FcPatternCreate);
  VEMO_BIND(fc, kFontconfig, lib, FcPatternDestroy);
  VEMO_BIND(fc, kFontconfig, lib, FcPatternAddString);
  VEMO_BIND(fc, kFontconfig, lib, FcPatternAddBool);
  VEMO_BIND(fc, kFontconfig, lib, FcPatternAddCharSet);
  VEMO_BIND(fc, kFontconfig, lib, FcPatternGetString);
  VEMO_BIND(fc, kFontconfig, lib, FcPatternGetInteger);
  VEMO_BIND(fc, kFontconfig, lib, FcPatternGetCharSet);
  VEMO_BIND(fc, kFontconfig, lib, FcCharSetCreate);
  VEMO_BIND(fc, kFontconfig, lib, FcCharSetDestroy);
  VEMO_BIND(fc, kFontconfig, lib, FcCharSetAddChar);
  VEMO_BIND(fc, kFontconfig, lib, FcCharSetIsSubset);
  VEMO_BIND(fc, kFontconfig, lib, FcConfigSubstitute);
  VEMO_BIND(fc, kFontconfig, lib, FcDefaultSubstitute);
  VEMO_BIND(fc, kFontconfig, lib, FcFontMatch);
  return lib;
}

#undef VEMO_BIND

}  // namespace

// A failed load throws out of the initialiser, so the next call tries again.
const ZintLibrary& Zint() {
  static const ZintLibrary lib = LoadZint();
  return lib;
}

const FontLibraries& Fonts() {
  static const FontLibraries lib = LoadFonts();
  return lib;
}

}  // namespace vemo::engine
