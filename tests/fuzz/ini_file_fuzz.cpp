// libFuzzer target for the machine configuration's ini files: each input is
// taken as a file's text and asked for a few keys, as the component asks the
// host's settings. Any text is an answer; a crash, a sanitizer report or a
// timeout is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "context/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (std::string_view section : {"Version", "a", ""})
    for (std::string_view key : {"BarcodeControlType", "k", ""}) (void)vemo::context::ReadIniText(text, section, key, "0 ");
  return 0;
}
