# VEMO_FUZZ: every library is compiled with libFuzzer's coverage hooks and
# with AddressSanitizer + UndefinedBehaviorSanitizer (an undefined-behaviour
# report stops the run, so the fuzzer keeps it as a crash). The fuzz programs
# themselves are in tests/fuzz/CMakeLists.txt.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "VEMO_FUZZ needs clang (libFuzzer): configure with CC=clang CXX=clang++, "
                      "or run scripts/fuzz.sh, which does")
endif()
target_compile_options(vemo_options INTERFACE
  -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
target_link_options(vemo_options INTERFACE -fsanitize=address,undefined)
