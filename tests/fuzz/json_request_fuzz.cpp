// libFuzzer target for the request reader: each input is read as a request
// file's JSON text into host values, and must give what the JSON library's
// document of the same text gives: both refuse it, or both make the same
// values. A refusal (HostError naming the byte and the fault) is the expected
// answer to broken text; a disagreement, a crash, a sanitizer report, a
// timeout or a memory blow-up is a finding.
#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "foundation/host_error.h"
#include "foundation/json_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The values as the host sees them, written back out as JSON.
  std::string direct = "refused", viaDocument = "refused";
  try {
    direct = vemo::ToJson(vemo::ParseJsonText(text)).dump();
  } catch (const vemo::HostError&) {
  }
  try {
    const vemo::Json document = vemo::Json::parse(text, nullptr, false);
    if (!document.is_discarded()) viaDocument = vemo::ToJson(vemo::FromJson(document)).dump();
  } catch (const vemo::HostError&) {
  }
  // The JSON library takes a NUL byte for the end of the text, where the
  // reader refuses it as the byte it is (JSON text holds none): there the
  // reader is only run, not compared.
  if (text.find('\0') != std::string_view::npos) return 0;
  if (direct != viaDocument) {
    std::fprintf(stderr, "json_request_fuzz: the reader gives %s, the JSON library's document %s\n", direct.c_str(),
                 viaDocument.c_str());
    std::abort();
  }
  return 0;
}
