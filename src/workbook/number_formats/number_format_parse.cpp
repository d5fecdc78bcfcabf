// Tokenizer of number format codes. Lenient: anything it does not recognise
// is shown literally, so a malformed code degrades instead of failing.
#include <cctype>
#include <cstdlib>

#include "workbook/number_formats/number_format_sections.h"

namespace vemo::wb::numfmt {

void AnalyseSection(Section& section);  // number_format_analyse.cpp

namespace {

size_t CodePointLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

bool StartsWithNoCase(std::string_view s, size_t pos, std::string_view prefix) {
  if (s.size() - pos < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(s[pos + i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool IsColourName(const std::string& lower) {
  static const char* const kNames[] = {"black", "blue", "cyan", "green", "magenta", "red", "white", "yellow"};
  for (const char* name : kNames) {
    if (lower == name) return true;
  }
  return lower.rfind("color", 0) == 0 && lower.size() > 5 &&
         std::isdigit(static_cast<unsigned char>(lower[5]));
}

bool ParseCondition(std::string_view body, Condition& condition) {
  using Op = Condition::Op;
  size_t n = 0;
  if (body.rfind("<=", 0) == 0) {
    condition.op = Op::LessEqual, n = 2;
  } else if (body.rfind(">=", 0) == 0) {
    condition.op = Op::GreaterEqual, n = 2;
  } else if (body.rfind("<>", 0) == 0) {
    condition.op = Op::NotEqual, n = 2;
  } else if (body.rfind("<", 0) == 0) {
    condition.op = Op::Less, n = 1;
  } else if (body.rfind(">", 0) == 0) {
    condition.op = Op::Greater, n = 1;
  } else if (body.rfind("=", 0) == 0) {
    condition.op = Op::Equal, n = 1;
  } else {
    return false;
  }
  const std::string operand(body.substr(n));
  char* end = nullptr;
  condition.operand = std::strtod(operand.c_str(), &end);
  if (end == operand.c_str()) condition.op = Op::None;
  return true;
}

// Handles the body of a [...] group.
void BracketGroup(std::string_view body, Section& section) {
  if (body.empty()) return;
  const std::string lower = Lower(body);
  if (body[0] == '$') {
    // [$symbol-locale]: keep the currency symbol, drop the locale id.
    const size_t dash = body.find('-', 1);
    const std::string_view symbol = body.substr(1, dash == std::string_view::npos ? body.size() - 1 : dash - 1);
    if (!symbol.empty()) section.tokens.push_back({TokenKind::Literal, std::string(symbol)});
    return;
  }
  if (lower.find_first_not_of(lower[0]) == std::string::npos &&
      (lower[0] == 'h' || lower[0] == 'm' || lower[0] == 's')) {
    Token t;
    t.kind = lower[0] == 'h' ? TokenKind::ElapsedHours
                             : lower[0] == 'm' ? TokenKind::ElapsedMinutes : TokenKind::ElapsedSeconds;
    t.count = static_cast<int>(lower.size());
    section.tokens.push_back(t);
    return;
  }
  if (ParseCondition(body, section.condition)) return;
  if (lower.rfind("dbnum", 0) == 0 && lower.size() > 5) {
    section.dbnum = lower[5] - '0';
    return;
  }
  if (IsColourName(lower)) section.color = std::string(body);
  // Anything else ([NatNum1], calendar codes...) is ignored.
}

Token Run(TokenKind kind, std::string_view code, size_t& i) {
  const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(code[i])));
  Token t;
  t.kind = kind;
  while (i < code.size() && std::tolower(static_cast<unsigned char>(code[i])) == c) {
    ++t.count;
    ++i;
  }
  return t;
}

}  // namespace

namespace {

// The system long date and system time codes stand for the locale's own
// formats, whatever follows them: the zh-CN long date and time.
std::string_view SystemFormatSubstitute(std::string_view code) {
  const std::string lower = Lower(code);
  if (lower.find("[$-f800]") != std::string::npos || lower.find("[$-x-sysdate]") != std::string::npos)
    return "yyyy\"年\"m\"月\"d\"日\"";
  if (lower.find("[$-f400]") != std::string::npos || lower.find("[$-x-systime]") != std::string::npos)
    return "h:mm:ss";
  return {};
}

}  // namespace

ParsedFormat ParseFormatCode(std::string_view code) {
  if (const std::string_view system = SystemFormatSubstitute(code); !system.empty()) code = system;
  ParsedFormat parsed;
  parsed.sections.emplace_back();
  size_t i = 0;
  auto literal = [&](std::string text) {
    parsed.sections.back().tokens.push_back({TokenKind::Literal, std::move(text)});
  };
  while (i < code.size()) {
    Section& section = parsed.sections.back();
    const char c = code[i];
    const char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == ';') {
      parsed.sections.emplace_back();
      ++i;
    } else if (c == '"') {
      const size_t close = code.find('"', i + 1);
      const size_t end = close == std::string_view::npos ? code.size() : close;
      literal(std::string(code.substr(i + 1, end - i - 1)));
      i = end == code.size() ? end : end + 1;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;
      if (i >= code.size()) break;
      const size_t len = CodePointLength(static_cast<unsigned char>(code[i]));
      if (c == '\\') literal(std::string(code.substr(i, len)));
      if (c == '_') literal(" ");
      if (c == '*') section.tokens.push_back({TokenKind::Nothing});
      i += len;
    } else if (c == '[') {
      const size_t close = code.find(']', i + 1);
      const size_t end = close == std::string_view::npos ? code.size() : close;
      BracketGroup(code.substr(i + 1, end - i - 1), section);
      i = end == code.size() ? end : end + 1;
    } else if (StartsWithNoCase(code, i, "general")) {
      section.tokens.push_back({TokenKind::General});
      i += 7;
    } else if (code.substr(i).rfind("G/通用格式", 0) == 0) {
      section.tokens.push_back({TokenKind::General});
      i += std::string_view("G/通用格式").size();
    } else if (code.substr(i).rfind("上午/下午", 0) == 0) {
      section.tokens.push_back({TokenKind::AmPm, "上午", "下午"});
      i += std::string_view("上午/下午").size();
    } else if (StartsWithNoCase(code, i, "am/pm")) {
      section.tokens.push_back({TokenKind::AmPm, "AM", "PM"});
      i += 5;
    } else if (StartsWithNoCase(code, i, "a/p")) {
      const bool upper = c == 'A';
      section.tokens.push_back({TokenKind::AmPm, upper ? "A" : "a", upper ? "P" : "p"});
      i += 3;
    } else if (c == '0' || c == '#' || c == '?') {
      Token t{TokenKind::Digit};
      t.ch = c;
      section.tokens.push_back(t);
      ++i;
    } else if (c == '.') {
      section.tokens.push_back({TokenKind::DecimalPoint});
      ++i;
    } else if (c == ',') {
      section.tokens.push_back({TokenKind::Comma});
      ++i;
    } else if (c == '%') {
      section.tokens.push_back({TokenKind::Percent});
      ++i;
    } else if (lc == 'e' && i + 1 < code.size() && (code[i + 1] == '+' || code[i + 1] == '-')) {
      Token t{TokenKind::Exponent};
      t.plusSign = code[i + 1] == '+';
      t.ch = c;
      section.tokens.push_back(t);
      i += 2;
    } else if (c == '/') {
      section.tokens.push_back({TokenKind::FractionSlash});
      ++i;
    } else if (c == '@') {
      section.tokens.push_back({TokenKind::TextPlaceholder});
      ++i;
    } else if (lc == 'y' || lc == 'e') {
      Token t = Run(TokenKind::Year, code, i);
      if (lc == 'e') t.count = 4;  // era year: the Gregorian year in this locale
      section.tokens.push_back(t);
    } else if (lc == 'm') {
      section.tokens.push_back(Run(TokenKind::Month, code, i));
    } else if (lc == 'd') {
      section.tokens.push_back(Run(TokenKind::Day, code, i));
    } else if (lc == 'h') {
      section.tokens.push_back(Run(TokenKind::Hour, code, i));
    } else if (lc == 's') {
      section.tokens.push_back(Run(TokenKind::Second, code, i));
    } else if (StartsWithNoCase(code, i, "aaa")) {
      section.tokens.push_back(Run(TokenKind::WeekdayCn, code, i));
    } else {
      const size_t len = CodePointLength(static_cast<unsigned char>(c));
      literal(std::string(code.substr(i, len)));
      i += len;
    }
  }
  for (Section& section : parsed.sections) AnalyseSection(section);

  // Which sections serve numbers and which serves text.
  const int count = static_cast<int>(parsed.sections.size());
  if (count >= 4) {
    parsed.textSection = 3;
  } else if (parsed.sections[static_cast<size_t>(count - 1)].hasTextPlaceholder) {
    parsed.textSection = count - 1;
  }
  for (int s = 0; s < count && s < 3; ++s) {
    if (s != parsed.textSection) parsed.numberSections.push_back(s);
  }
  const auto& first = parsed.sections.front().tokens;
  // An empty code means no format at all: General.
  parsed.isGeneral = code.empty() || (count == 1 && first.size() == 1 && first[0].kind == TokenKind::General &&
                                      parsed.sections.front().dbnum == 0);
  return parsed;
}

}  // namespace vemo::wb::numfmt
