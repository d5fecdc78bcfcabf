// libFuzzer target for the host SQL dialect: each input is tokenized and
// translated as a template keyword's or the engine's statement would be. A
// refusal (HostError: more than one statement, an unterminated literal, an
// unsupported construct) is an answer; a crash, a sanitizer report, a
// timeout or a memory blow-up is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/host_error.h"
#include "host/database/sql_dialect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    (void)vemo::host::TranslateHostSql(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const vemo::HostError&) {
  }
  return 0;
}
