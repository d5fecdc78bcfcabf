// libFuzzer target for the request reader: each input is read as a request
// file's JSON text into host values. A refusal (HostError naming the byte
// and the fault) is the expected answer to broken text; a crash, a sanitizer
// report, a timeout or a memory blow-up is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/host_error.h"
#include "foundation/json_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    vemo::Variant value = vemo::ParseJsonText(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)vemo::ToJson(value).dump();  // the values walk back out as the host sees them
  } catch (const vemo::HostError&) {
  }
  return 0;
}
