# What `cmake --install` puts where, and the Debian package `cpack -G DEB`
# makes of it:
#   bin/vemoprint, bin/vemoprint-preview      the command line, the preview window
#   lib*/libvemoprint.so.1                    the C interface for hosts
#   include/vemoprint/vemoprint.h
#   lib*/pkgconfig/vemoprint.pc, lib*/cmake/VemoPrint/   for host builds
#   lib/vemoprint/libvemo-qt-ui.so            the Qt user interface (loaded by vemoprint)
#   lib/vemoprint/libvemo-qt-ui-c.so          the same for libvemoprint.so (src/capi/qt_dialogs.h
#                                             finds it from the library's folder)
#   lib/vemoprint/libvemo-render.so           our page renderer (loaded when it renders)
#   lib/vemoprint/hooks/                      the printer hook libraries
#   share/vemoprint/examples/                 sample templates, requests, host examples
include(CMakePackageConfigHelpers)

install(TARGETS vemoprint RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vemoprint-c EXPORT VemoPrintTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/include/vemoprint DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS printer-inject printer-filter LIBRARY DESTINATION lib/vemoprint/hooks)
install(TARGETS vemo-render LIBRARY DESTINATION lib/vemoprint)
if(TARGET vemo-qt-ui)
  install(TARGETS vemo-qt-ui vemo-qt-ui-c LIBRARY DESTINATION lib/vemoprint)
endif()
if(TARGET vemoprint-preview)
  install(TARGETS vemoprint-preview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/templates ${CMAKE_SOURCE_DIR}/examples/requests
                  ${CMAKE_SOURCE_DIR}/examples/host
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vemoprint/examples)

# The .pc file finds its prefix from where it lies, so any --prefix works.
file(RELATIVE_PATH VEMO_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${CMAKE_SOURCE_DIR}/cmake/vemoprint.pc.in ${CMAKE_BINARY_DIR}/vemoprint.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/vemoprint.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/VemoPrint)
install(EXPORT VemoPrintTargets NAMESPACE VemoPrint:: DESTINATION ${config_dir})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/VemoPrintConfig.cmake.in
  ${CMAKE_BINARY_DIR}/VemoPrintConfig.cmake INSTALL_DESTINATION ${config_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/VemoPrintConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/VemoPrintConfig.cmake ${CMAKE_BINARY_DIR}/VemoPrintConfigVersion.cmake
  DESTINATION ${config_dir})

# The Debian package: dependencies from the libraries the installed files
# link (dpkg-shlibdeps), plus what is loaded or started at run time, which it
# cannot see: CUPS, zint, FreeType and fontconfig (dlopen: host/output,
# engine/pictures) and LibreOffice, which renders pages for print and
# preview (host/output/office_renderer.h). Chinese fonts are recommended.
set(CPACK_PACKAGE_NAME vemoprint)
set(CPACK_PACKAGE_CONTACT "VemoPrintExport developers <vemoprint@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print and export of bills, reports and waybills through spreadsheet templates")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libcups2, libzint2.11, libfreetype6, libfontconfig1, libreoffice-calc-nogui | libreoffice-calc")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei, fonts-arphic-uming, cups-client")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
