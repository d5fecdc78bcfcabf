// A JSON reader that reports what it reads as events, for building host
// values straight from request files. It exists for speed: a 100,000-line
// bill is a 36 MB request, and a general-purpose JSON library spent most of
// the read building each token character by character.
//
// It accepts exactly JSON (RFC 8259): no comments, no trailing commas, no
// leading zeros, strings of well-formed UTF-8 with the standard escapes
// (surrogate pairs joined, a lone surrogate refused). Numbers without a
// fraction or exponent arrive as Integer (or Unsigned above the signed
// 64-bit range); others, and integers beyond 64 bits, as Float. Objects and
// arrays nest at most 512 levels deep. A string that is not UTF-8 is refused
// naming the member it is the value of.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vemo {

// How deep objects and arrays may nest in what is read from outside.
inline constexpr std::size_t kMaxJsonDepth = 512;

class JsonEvents {
 public:
  virtual ~JsonEvents() = default;
  virtual void Null() = 0;
  virtual void Boolean(bool value) = 0;
  virtual void Integer(std::int64_t value) = 0;
  virtual void Unsigned(std::uint64_t value) = 0;
  virtual void Float(double value) = 0;
  // The decoded text; the receiver may move it away.
  virtual void String(std::string& value) = 0;
  virtual void StartObject() = 0;
  virtual void Key(std::string& key) = 0;
  virtual void EndObject() = 0;
  virtual void StartArray() = 0;
  virtual void EndArray() = 0;
};

// Reads one JSON value filling the whole text (blanks around it allowed).
// Raises HostError "JSON syntax error at byte N: ..." naming the first
// fault; events already sent stay sent.
void ScanJson(std::string_view text, JsonEvents& events);

}  // namespace vemo
