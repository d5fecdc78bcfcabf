# Every dependency is a Debian package installed by scripts/setup.sh.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)  # tests only: an independent zip reader and writer
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
find_package(pugixml REQUIRED)
find_package(ZLIB REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(nlohmann_json 3 REQUIRED)
find_package(CLI11 CONFIG REQUIRED)
find_package(Threads REQUIRED)
# Barcodes: zint encodes the symbol; the caption under it is drawn with
# FreeType in a font chosen by fontconfig (zint's own text is Latin only).
find_path(ZINT_INCLUDE_DIR zint.h REQUIRED)
find_library(ZINT_LIBRARY zint REQUIRED)
add_library(Zint::Zint UNKNOWN IMPORTED)
set_target_properties(Zint::Zint PROPERTIES IMPORTED_LOCATION ${ZINT_LIBRARY} INTERFACE_INCLUDE_DIRECTORIES ${ZINT_INCLUDE_DIR})
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)
find_package(Cups REQUIRED)  # printing: libcups2-dev
if(VEMO_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
