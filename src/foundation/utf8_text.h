// Character-wise helpers over UTF-8 text: "last three characters" or "first
// 1024 characters" count characters, never bytes, so a Chinese name is never
// cut inside a character.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace vemo {

std::size_t CharCount(std::string_view text);
std::string LeftChars(std::string_view text, std::size_t count);
std::string RightChars(std::string_view text, std::size_t count);
// Characters from the 1-based position `start`, at most `count` of them.
std::string MidChars(std::string_view text, std::size_t start, std::size_t count = std::string::npos);
std::string Trim(std::string_view text);
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// Byte offset of `needle` in `text` at or after `from`, ignoring ASCII case;
// std::string_view::npos when absent.
std::size_t FindIgnoreCase(std::string_view text, std::string_view needle, std::size_t from = 0);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
// Replaces every occurrence of `from` with `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace vemo
