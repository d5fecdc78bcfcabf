# Shared compile settings and the helpers that turn a folder into a target.

add_library(vemo_options INTERFACE)
target_compile_options(vemo_options INTERFACE -Wall -Wextra -Wpedantic -Wno-unused-parameter)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports false "maybe uninitialized" warnings inside std::variant
  # and std::optional copies at -O2; they hide real warnings under -Werror.
  target_compile_options(vemo_options INTERFACE -Wno-maybe-uninitialized)
  # Designated initializers that leave members to their defaults are the
  # point of designated initializers; GCC 12 still warns about them.
  target_compile_options(vemo_options INTERFACE -Wno-missing-field-initializers)
endif()
if(VEMO_WERROR)
  target_compile_options(vemo_options INTERFACE -Werror)
endif()
if(VEMO_SANITIZE)
  target_compile_options(vemo_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(vemo_options INTERFACE -fsanitize=address,undefined)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # With the sanitizers' instrumentation GCC 12 reports false overlaps in
    # std::string copies (-Wrestrict) when optimising.
    target_compile_options(vemo_options INTERFACE -Wno-restrict)
  endif()
endif()

# vemo_library(NAME DEPS ...): static library from src/NAME/**.cpp.
function(vemo_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${name}/*.cpp)
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  # The libraries are linked into libvemoprint.so as well as the programs,
  # so their code is position independent. Calls within the project stay
  # direct and inlinable: our own functions are never interposed.
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_options(${name} PRIVATE -fno-semantic-interposition)
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC vemo_options ${ARG_DEPS})
endfunction()

# vemo_test_suite(NAME DEPS ...): one GoogleTest program from tests/NAME/**.cpp.
function(vemo_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${name} ${sources})
  target_include_directories(test_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(test_${name} PRIVATE ${ARG_DEPS} test_support GTest::gtest GTest::gmock GTest::gtest_main)
  # The tests' own code is glue around the libraries (which keep the build
  # type's optimisation); optimising the GoogleTest expansions costs about a
  # fifth more compile time per test file and makes no test run faster.
  target_compile_options(test_${name} PRIVATE -O0)
  gtest_discover_tests(test_${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    PROPERTIES ENVIRONMENT "VEMO_SOURCE_DIR=${CMAKE_SOURCE_DIR};VEMO_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()
