# Every dependency is a Debian package installed by scripts/setup.sh.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)  # tests only: an independent zip reader and writer
pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
pkg_check_modules(PANGOCAIRO REQUIRED IMPORTED_TARGET pangocairo cairo-pdf)  # our page renderer
pkg_check_modules(LIBJPEG REQUIRED IMPORTED_TARGET libjpeg)                  # JPEG pictures in pages
find_package(pugixml REQUIRED)
find_package(ZLIB REQUIRED)
find_package(SQLite3 REQUIRED)
find_package(Threads REQUIRED)

# Every export runs as a new process, and binding the symbols of the shared
# libraries it opens at start was a third of a one-page bill's work (SQLite
# alone binds about 1,600 symbols as it loads). SQLite, pugixml and zlib are
# therefore linked from the static archives their Debian -dev packages ship;
# the shared ones are used where a package has none.
set(VEMO_PUGIXML pugixml::pugixml)
if(TARGET pugixml::static)
  set(VEMO_PUGIXML pugixml::static)
endif()
# vemo_prefer_archive(VAR SHARED_TARGET ARCHIVE INCLUDES [LINKS]): VAR names
# an imported target over ARCHIVE when it exists, SHARED_TARGET otherwise.
function(vemo_prefer_archive var shared archive includes)
  set(${var} ${shared} PARENT_SCOPE)
  find_library(VEMO_ARCHIVE_${var} NAMES ${archive})
  if(VEMO_ARCHIVE_${var})
    add_library(${var}_archive STATIC IMPORTED GLOBAL)
    set_target_properties(${var}_archive PROPERTIES IMPORTED_LOCATION ${VEMO_ARCHIVE_${var}}
                          INTERFACE_INCLUDE_DIRECTORIES "${includes}" INTERFACE_LINK_LIBRARIES "${ARGN}")
    set(${var} ${var}_archive PARENT_SCOPE)
  endif()
endfunction()
vemo_prefer_archive(VEMO_ZLIB ZLIB::ZLIB libz.a "${ZLIB_INCLUDE_DIRS}")
vemo_prefer_archive(VEMO_SQLITE SQLite::SQLite3 libsqlite3.a "${SQLite3_INCLUDE_DIRS}" Threads::Threads ${CMAKE_DL_LIBS} m)
find_package(nlohmann_json 3 REQUIRED)
find_package(CLI11 CONFIG REQUIRED)
# Barcodes: zint encodes the symbol; the caption under it is drawn with
# FreeType in a font chosen by fontconfig (zint's own text is Latin only).
find_path(ZINT_INCLUDE_DIR zint.h REQUIRED)
find_library(ZINT_LIBRARY zint REQUIRED)
add_library(Zint::Zint UNKNOWN IMPORTED)
set_target_properties(Zint::Zint PROPERTIES IMPORTED_LOCATION ${ZINT_LIBRARY} INTERFACE_INCLUDE_DIRECTORIES ${ZINT_INCLUDE_DIR})
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)
find_package(Cups REQUIRED)  # printing: libcups2-dev
pkg_check_modules(LIBPQ REQUIRED libpq)  # the company database on a server: libpq-dev (header only, loaded at run time)
if(VEMO_BUILD_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
