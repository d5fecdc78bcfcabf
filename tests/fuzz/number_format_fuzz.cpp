// libFuzzer target for number format codes: each input is parsed as a code
// and renders a few numbers (negative, zero, fractions, a date serial, huge
// and tiny magnitudes) and a text. Any code is an answer (what is not
// understood shows literally); a crash, a sanitizer report, a timeout or a
// memory blow-up is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "workbook/number_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto format =
      vemo::wb::NumberFormat::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  for (double value : {-1234.5678, 0.0, 0.5, 46357.75, 1e300, -1e-300, 2958465.99999})
    for (bool date1904 : {false, true}) (void)format.Format(value, date1904);
  (void)format.FormatText("text");
  return 0;
}
