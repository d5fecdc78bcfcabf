#include "foundation/json_scanner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "foundation/host_error.h"

namespace vemo {
namespace {

class Scanner {
 public:
  Scanner(std::string_view text, JsonEvents& events) : text_(text), events_(events) {}

  void Run() {
    // Each open container: true for an object. The reader is a loop, not a
    // recursion; the depth is still bounded, because the values built from
    // the events are freed and walked recursively.
    std::vector<bool> open;
    bool firstMember = false;  // a container just opened: no comma before its first member
    SkipBlanks();
    ReadValueStart(open, firstMember);
    while (!open.empty()) {
      SkipBlanks();
      const bool object = open.back();
      if (!firstMember) {
        const char c = Peek();
        if (c == (object ? '}' : ']')) {
          ++at_;
          open.pop_back();
          object ? events_.EndObject() : events_.EndArray();
          continue;
        }
        if (c != ',') Fail(object ? "expected ',' or '}'" : "expected ',' or ']'");
        ++at_;
        SkipBlanks();
      }
      firstMember = false;
      if (object) ReadKey();
      ReadValueStart(open, firstMember);
    }
    SkipBlanks();
    if (at_ != text_.size()) Fail("expected the end of the text after the value");
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw HostError(HostError::kTypeMismatch, "JSON syntax error at byte " + std::to_string(at_ + 1) + ": " + what);
  }

  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  void SkipBlanks() {
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c != ' ' && c != '\n' && c != '\r' && c != '\t') return;
      ++at_;
    }
  }

  // A scalar, or the opening of a container: an empty one is closed at
  // once, another is pushed for the loop to read its members.
  void ReadValueStart(std::vector<bool>& open, bool& firstMember) {
    if (at_ >= text_.size()) Fail("expected a value, found the end of the text");
    switch (text_[at_]) {
      case '{':
      case '[': {
        const bool object = text_[at_] == '{';
        if (open.size() >= kMaxJsonDepth)
          Fail("the values are nested more than " + std::to_string(kMaxJsonDepth) +
               " levels deep; a request nests objects and arrays a few levels only");
        ++at_;
        object ? events_.StartObject() : events_.StartArray();
        SkipBlanks();
        if (Peek() == (object ? '}' : ']')) {
          ++at_;
          object ? events_.EndObject() : events_.EndArray();
          return;
        }
        open.push_back(object);
        firstMember = true;
        return;
      }
      case '"':
        ReadString(buffer_);
        events_.String(buffer_);
        return;
      case 't': ReadWord("true"), events_.Boolean(true); return;
      case 'f': ReadWord("false"), events_.Boolean(false); return;
      case 'n': ReadWord("null"), events_.Null(); return;
      default: ReadNumber(); return;
    }
  }

  // "key" and the colon after it; the blanks after the colon are skipped.
  void ReadKey() {
    if (Peek() != '"') Fail("expected a member name in double quotes");
    const std::size_t start = at_;
    keyAt_ = std::string_view::npos;  // a broken name is not named
    ReadString(key_);
    keyAt_ = start;
    SkipBlanks();
    if (Peek() != ':') Fail("expected ':' after the member name");
    ++at_;
    SkipBlanks();
    events_.Key(key_);
  }

  void ReadWord(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) Fail("unexpected character");
    at_ += word.size();
  }

  void ReadNumber() {
    const std::size_t start = at_;
    if (Peek() == '-') ++at_;
    auto digits = [&] {
      const std::size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ - from;
    };
    const char first = Peek();
    const std::size_t integerDigits = digits();
    if (integerDigits == 0) Fail(at_ == start ? "unexpected character" : "expected a digit after '-'");
    if (first == '0' && integerDigits > 1) Fail("a number may not start with 0");
    bool integral = true;
    if (Peek() == '.') {
      ++at_;
      if (digits() == 0) Fail("expected a digit after the decimal point");
      integral = false;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++at_;
      if (Peek() == '+' || Peek() == '-') ++at_;
      if (digits() == 0) Fail("expected a digit in the exponent");
      integral = false;
    }
    const char* begin = text_.data() + start;
    const char* end = text_.data() + at_;
    if (integral) {
      std::int64_t value = 0;
      if (std::from_chars(begin, end, value).ec == std::errc()) return events_.Integer(value);
      std::uint64_t big = 0;
      if (*begin != '-' && std::from_chars(begin, end, big).ec == std::errc()) return events_.Unsigned(big);
    }
    double value = 0;
    if (std::from_chars(begin, end, value).ec == std::errc::result_out_of_range)
      value = std::strtod(std::string(begin, end).c_str(), nullptr);  // underflow to 0, overflow to infinity
    if (!std::isfinite(value)) {
      // Echo a short excerpt only: the number may be a megabyte of digits.
      const std::size_t length = static_cast<std::size_t>(end - begin);
      Fail("the number " + std::string(begin, std::min<std::size_t>(length, 24)) +
           (length > 24 ? "... (" + std::to_string(length) + " characters)" : "") + " is too large");
    }
    events_.Float(value);
  }

  unsigned HexDigits() {
    if (at_ + 4 > text_.size()) Fail("expected four hex digits after \\u");
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      value <<= 4;
      if (c >= '0' && c <= '9') value |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') value |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') value |= static_cast<unsigned>(c - 'A' + 10);
      else Fail("expected four hex digits after \\u");
    }
    return value;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  void ReadEscape(std::string& out) {
    if (at_ >= text_.size()) Fail("the text ends inside a string");
    const char c = text_[at_++];
    switch (c) {
      case '"': out += '"'; return;
      case '\\': out += '\\'; return;
      case '/': out += '/'; return;
      case 'b': out += '\b'; return;
      case 'f': out += '\f'; return;
      case 'n': out += '\n'; return;
      case 'r': out += '\r'; return;
      case 't': out += '\t'; return;
      case 'u': break;
      default: --at_, Fail("unknown escape in a string");
    }
    unsigned code = HexDigits();
    if (code >= 0xDC00 && code <= 0xDFFF) Fail("a low surrogate \\u escape without a high one before it");
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (text_.substr(at_, 2) != "\\u") Fail("a high surrogate \\u escape must be followed by a low one");
      at_ += 2;
      const unsigned low = HexDigits();
      if (low < 0xDC00 || low > 0xDFFF) Fail("a high surrogate \\u escape must be followed by a low one");
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    AppendUtf8(out, code);
  }

  // Length of the well-formed UTF-8 sequence of more than one byte at at_,
  // or 0 (overlong forms, surrogates and code points above U+10FFFF are not
  // well formed).
  std::size_t Utf8Length() const {
    auto byte = [&](std::size_t i) { return at_ + i < text_.size() ? static_cast<unsigned char>(text_[at_ + i]) : 0u; };
    auto tail = [&](std::size_t i) { return (byte(i) & 0xC0) == 0x80; };
    const unsigned b0 = byte(0), b1 = byte(1);
    if (b0 >= 0xC2 && b0 <= 0xDF) return tail(1) ? 2 : 0;
    if (b0 >= 0xE0 && b0 <= 0xEF) {
      if (!tail(1) || !tail(2)) return 0;
      if ((b0 == 0xE0 && b1 < 0xA0) || (b0 == 0xED && b1 > 0x9F)) return 0;
      return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
      if (!tail(1) || !tail(2) || !tail(3)) return 0;
      if ((b0 == 0xF0 && b1 < 0x90) || (b0 == 0xF4 && b1 > 0x8F)) return 0;
      return 4;
    }
    return 0;
  }

  void ReadString(std::string& out) {
    out.clear();
    ++at_;  // the opening quote
    while (true) {
      // The plain run up to the next quote, escape, control or non-ASCII
      // byte is copied at once.
      const std::size_t runStart = at_;
      while (at_ < text_.size()) {
        const auto c = static_cast<unsigned char>(text_[at_]);
        if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80) break;
        ++at_;
      }
      out.append(text_.data() + runStart, at_ - runStart);
      if (at_ >= text_.size()) Fail("the text ends inside a string");
      const auto c = static_cast<unsigned char>(text_[at_]);
      if (c == '"') {
        ++at_;
        return;
      }
      if (c == '\\') {
        ++at_;
        ReadEscape(out);
      } else if (c < 0x20) {
        Fail("a control character in a string must be written as an escape");
      } else {
        const std::size_t length = Utf8Length();
        if (length == 0) Fail("a string holds bytes that are not UTF-8" + KeyNote() + "; save the request as UTF-8");
        out.append(text_.data() + at_, length);
        at_ += length;
      }
    }
  }

  // " in the value of \"key\"" for the member read last (as written, cut
  // short), or nothing before the first member.
  std::string KeyNote() const {
    if (keyAt_ == std::string_view::npos) return {};
    const std::size_t end = text_.find('"', keyAt_ + 1);
    return " in the value of \"" + std::string(text_.substr(keyAt_ + 1, std::min<std::size_t>(end - keyAt_ - 1, 64))) +
           "\"";
  }


  std::string_view text_;
  JsonEvents& events_;
  std::size_t at_ = 0;
  std::size_t keyAt_ = std::string_view::npos;  // the opening quote of the member name read last
  std::string buffer_, key_;
};

}  // namespace

void ScanJson(std::string_view text, JsonEvents& events) { Scanner(text, events).Run(); }

}  // namespace vemo
