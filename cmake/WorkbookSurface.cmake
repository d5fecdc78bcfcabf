# Run as a script (cmake -DSOURCE_DIR=... -P): fails when code outside
# src/workbook includes one of the library's own headers. The workbook's
# public surface is the headers at the top of src/workbook; its sub-folders
# are internal, so they can change without touching the rest of the system.
# The workbook's own tests, benchmarks and fuzzers may reach inside.
file(GLOB_RECURSE files
  ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp
  ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp
  ${SOURCE_DIR}/ui/*.h ${SOURCE_DIR}/ui/*.cpp
  ${SOURCE_DIR}/hooks/*.h ${SOURCE_DIR}/hooks/*.cpp
  ${SOURCE_DIR}/examples/*.h ${SOURCE_DIR}/examples/*.cpp)
list(FILTER files EXCLUDE REGEX "^${SOURCE_DIR}/src/workbook/")
set(offenders "")
foreach(file IN LISTS files)
  file(STRINGS ${file} lines REGEX "#include \"workbook/[a-z_]+/")
  foreach(line IN LISTS lines)
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    string(APPEND offenders "\n  ${shown}: ${line}")
  endforeach()
endforeach()
if(offenders)
  message(FATAL_ERROR "These files include headers internal to src/workbook:${offenders}\n"
    "Include a header from the top of src/workbook instead, or move the header "
    "there if the rest of the system really needs it (see src/workbook/README.md).")
endif()
