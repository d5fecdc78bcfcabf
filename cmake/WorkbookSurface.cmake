# Run as a script (cmake -DSOURCE_DIR=... -P): fails when the workbook
# library's public surface leaks its insides. The surface is the headers at
# the top of src/workbook; its sub-folders are internal, so they can change
# without touching the rest of the system. Checked here:
# - code outside src/workbook includes no header of a sub-folder, except the
#   renderer, which may include model/xml_access.h (it reads page setup,
#   drawings, conditional formats and styles from the XML);
# - no public header includes a header of a sub-folder;
# - no public header includes pugixml or names a pugixml type, itself or
#   through the workbook headers it includes;
# - nothing outside src/workbook and src/render includes pugixml or names
#   its types.
# The workbook's own tests, benchmarks and fuzzers may reach inside.
cmake_minimum_required(VERSION 3.20)
set(xml_access "workbook/model/xml_access.h")
set(pugi_regex "#include <pugixml\\.hpp>|pugi::")
file(GLOB_RECURSE files
  ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp
  ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp
  ${SOURCE_DIR}/ui/*.h ${SOURCE_DIR}/ui/*.cpp
  ${SOURCE_DIR}/hooks/*.h ${SOURCE_DIR}/hooks/*.cpp
  ${SOURCE_DIR}/examples/*.h ${SOURCE_DIR}/examples/*.cpp)
list(FILTER files EXCLUDE REGEX "^${SOURCE_DIR}/src/workbook/")
set(internal "")
set(xml_users "")
foreach(file IN LISTS files)
  file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
  file(STRINGS ${file} lines REGEX "#include \"workbook/[a-z_]+/")
  foreach(line IN LISTS lines)
    if(shown MATCHES "^src/render/" AND line MATCHES "#include \"${xml_access}\"")
      continue()
    endif()
    string(APPEND internal "\n  ${shown}: ${line}")
  endforeach()
  if(NOT shown MATCHES "^src/render/")
    file(STRINGS ${file} lines REGEX "${pugi_regex}")
    foreach(line IN LISTS lines)
      string(APPEND xml_users "\n  ${shown}: ${line}")
    endforeach()
  endif()
endforeach()

# Every public header with the workbook headers it includes, followed through.
set(leaks "")
set(internal_public "")
file(GLOB public ${SOURCE_DIR}/src/workbook/*.h)
foreach(header IN LISTS public)
  file(RELATIVE_PATH top ${SOURCE_DIR} ${header})
  set(pending ${header})
  set(seen "")
  while(pending)
    list(POP_FRONT pending file)
    if(file IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${file})
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    file(STRINGS ${file} lines REGEX "${pugi_regex}")
    foreach(line IN LISTS lines)
      if(shown STREQUAL top)
        string(APPEND leaks "\n  ${top}: ${line}")
      else()
        string(APPEND leaks "\n  ${top}, through ${shown}: ${line}")
      endif()
    endforeach()
    file(STRINGS ${file} includes REGEX "#include \"workbook/[a-z_/]+\\.h\"")
    if(shown STREQUAL top)
      file(STRINGS ${file} inner REGEX "#include \"workbook/[a-z_]+/")
      foreach(line IN LISTS inner)
        string(APPEND internal_public "\n  ${top}: ${line}")
      endforeach()
    endif()
    foreach(line IN LISTS includes)
      string(REGEX REPLACE ".*#include \"(workbook/[a-z_/]+\\.h)\".*" "\\1" included "${line}")
      list(APPEND pending ${SOURCE_DIR}/src/${included})
    endforeach()
  endwhile()
endforeach()

set(message "")
if(internal)
  string(APPEND message "These files include headers internal to src/workbook:${internal}\n"
    "Include a header from the top of src/workbook instead, or add what the rest of the system "
    "needs there (see src/workbook/README.md).\n")
endif()
if(internal_public)
  string(APPEND message "These public workbook headers include internal ones:${internal_public}\n"
    "Declare the internal type (class X;) and include its header in the .cpp file, so callers "
    "do not depend on the library's insides.\n")
endif()
if(leaks)
  string(APPEND message "These public workbook headers show the XML library:${leaks}\n"
    "Keep pugixml types behind ${xml_access} (the model holds its XML as the incomplete "
    "XmlDocument and XmlElement).\n")
endif()
if(xml_users)
  string(APPEND message "These files use the XML library, which only src/workbook and src/render may:${xml_users}\n"
    "Ask the workbook model for what you need instead (a function on its public surface).\n")
endif()
if(message)
  message(FATAL_ERROR "${message}")
endif()
