// UTF-8 in both directions, for the texts the workbook reads and writes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vemo::wb {

// Appends code point `code` (at most U+10FFFF) encoded as UTF-8.
void AppendUtf8(std::string& out, std::uint32_t code);

// Length of the well-formed UTF-8 sequence starting at `at`, or 0 (a stray
// continuation byte, a cut sequence, an overlong form, a surrogate, a code
// point above U+10FFFF).
std::size_t Utf8Length(std::string_view text, std::size_t at);

}  // namespace vemo::wb
