#include "workbook/formulas/formula_lexer.h"

#include <array>

namespace vemo::wb {
namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }
char Upper(char ch) { return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch; }

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view word) {
  if (text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (Upper(text[pos + i]) != word[i]) return false;
  return true;
}

constexpr std::array<std::string_view, 15> kErrorLiterals = {
    "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A", "#GETTING_DATA",
    "#SPILL!", "#CALC!", "#FIELD!", "#BLOCKED!", "#UNKNOWN!", "#CONNECT!", "#BUSY!"};

std::size_t StringEnd(std::string_view t, std::size_t i) {
  std::size_t j = i + 1;
  while (j < t.size()) {
    if (t[j] == '"') {
      if (j + 1 < t.size() && t[j + 1] == '"') {
        j += 2;
        continue;
      }
      return j + 1;
    }
    ++j;
  }
  return t.size();  // unterminated: keep the rest as the string
}

std::size_t QuoteEnd(std::string_view t, std::size_t i) {
  std::size_t j = i + 1;
  while (j < t.size()) {
    if (t[j] == '\'') {
      if (j + 1 < t.size() && t[j + 1] == '\'') {
        j += 2;
        continue;
      }
      return j + 1;
    }
    ++j;
  }
  return t.size();
}

std::size_t BracketEnd(std::string_view t, std::size_t i) {
  int depth = 0;
  std::size_t j = i;
  while (j < t.size()) {
    char ch = t[j];
    if (ch == '\'' && depth > 0) {
      j += 2;
      continue;
    }
    if (ch == '[') ++depth;
    if (ch == ']' && --depth == 0) return j + 1;
    ++j;
  }
  return t.size();
}

std::size_t WordEnd(std::string_view t, std::size_t i) {
  while (i < t.size() && IsFormulaWordChar(t[i])) ++i;
  return i;
}

// digits [. digits] [E [+-] digits]; returns i when no number starts here.
std::size_t NumberEnd(std::string_view t, std::size_t i) {
  std::size_t j = i;
  while (j < t.size() && IsDigit(t[j])) ++j;
  if (j < t.size() && t[j] == '.') {
    ++j;
    while (j < t.size() && IsDigit(t[j])) ++j;
  }
  if (j == i || (j == i + 1 && t[i] == '.')) return i;
  if (j < t.size() && (t[j] == 'e' || t[j] == 'E')) {
    std::size_t k = j + 1;
    if (k < t.size() && (t[k] == '+' || t[k] == '-')) ++k;
    if (k < t.size() && IsDigit(t[k])) {
      while (k < t.size() && IsDigit(t[k])) ++k;
      j = k;
    }
  }
  return j;
}

// A name may carry a qualifier: Sheet1!Tax, 'My Sheet'!Tax, [1]!Tax.
std::size_t QualifiedNameEnd(std::string_view t, std::size_t afterQualifier) {
  if (afterQualifier < t.size() && t[afterQualifier] == '!') {
    std::size_t e = WordEnd(t, afterQualifier + 1);
    if (e > afterQualifier + 1) return e;
  }
  return std::string_view::npos;
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : t_(text) {}

  std::vector<Token> Run() {
    if (!t_.empty() && t_[0] == '=') Emit(TokenKind::Equals, 1);
    while (i_ < t_.size()) Step();
    return std::move(tokens_);
  }

 private:
  void Emit(TokenKind kind, std::size_t end, Reference ref = {}) {
    tokens_.push_back(Token{kind, t_.substr(i_, end - i_), i_, std::move(ref)});
    i_ = end;
  }

  void Step() {
    const char ch = t_[i_];
    if (ch == '"') return Emit(TokenKind::String, StringEnd(t_, i_));
    if (IsSpace(ch)) {
      std::size_t j = i_;
      while (j < t_.size() && IsSpace(t_[j])) ++j;
      return Emit(TokenKind::Whitespace, j);
    }
    if (ch == '#' && LexError()) return;
    if (ch == '\'' || ch == '[' || IsFormulaWordChar(ch)) return LexWordLike();
    switch (ch) {
      case '(': return Emit(TokenKind::OpenParen, i_ + 1);
      case ')': return Emit(TokenKind::CloseParen, i_ + 1);
      case ',': return Emit(TokenKind::Comma, i_ + 1);
      case ';': return Emit(TokenKind::Semicolon, i_ + 1);
      case '{': return Emit(TokenKind::OpenBrace, i_ + 1);
      case '}': return Emit(TokenKind::CloseBrace, i_ + 1);
      case '<':
        if (i_ + 1 < t_.size() && (t_[i_ + 1] == '>' || t_[i_ + 1] == '='))
          return Emit(TokenKind::Operator, i_ + 2);
        return Emit(TokenKind::Operator, i_ + 1);
      case '>':
        if (i_ + 1 < t_.size() && t_[i_ + 1] == '=') return Emit(TokenKind::Operator, i_ + 2);
        return Emit(TokenKind::Operator, i_ + 1);
      case '+': case '-': case '*': case '/': case '^': case '&': case '=': case '%': case ':':
        return Emit(TokenKind::Operator, i_ + 1);
      default:
        return Emit(TokenKind::Unknown, i_ + 1);
    }
  }

  bool LexError() {
    for (std::string_view lit : kErrorLiterals) {
      if (!StartsWithNoCase(t_, i_, lit)) continue;
      std::size_t end = i_ + lit.size();
      if (lit == "#REF!") {
        // "#REF!A1" is what remains of a reference whose sheet was deleted.
        Reference body;
        if (auto e = MatchReference(t_, end, body); e && body.prefix.empty()) end = *e;
      }
      Emit(TokenKind::Error, end);
      return true;
    }
    return false;
  }

  void LexWordLike() {
    const char ch = t_[i_];
    Reference ref;
    if (auto end = MatchReference(t_, i_, ref)) return Emit(TokenKind::Reference, *end, std::move(ref));
    if (ch == '[') {
      std::size_t close = BracketEnd(t_, i_);
      if (auto e = QualifiedNameEnd(t_, close); e != std::string_view::npos) return Emit(TokenKind::Name, e);
      return Emit(TokenKind::StructuredRef, close);
    }
    if (ch == '\'') {
      std::size_t close = QuoteEnd(t_, i_);
      if (auto e = QualifiedNameEnd(t_, close); e != std::string_view::npos) return Emit(TokenKind::Name, e);
      return Emit(TokenKind::Unknown, close);
    }
    if (IsDigit(ch) || ch == '.') {
      if (std::size_t e = NumberEnd(t_, i_); e > i_) return Emit(TokenKind::Number, e);
    }
    std::size_t e = WordEnd(t_, i_);
    if (auto q = QualifiedNameEnd(t_, e); q != std::string_view::npos) e = q;
    if (e < t_.size() && t_[e] == '[') return Emit(TokenKind::StructuredRef, BracketEnd(t_, e));
    if (e < t_.size() && t_[e] == '(') return Emit(TokenKind::Function, e);
    std::string_view word = t_.substr(i_, e - i_);
    if (word.size() == 4 && StartsWithNoCase(word, 0, "TRUE")) return Emit(TokenKind::Boolean, e);
    if (word.size() == 5 && StartsWithNoCase(word, 0, "FALSE")) return Emit(TokenKind::Boolean, e);
    return Emit(TokenKind::Name, e);
  }

  std::string_view t_;
  std::size_t i_ = 0;
  std::vector<Token> tokens_;
};

}  // namespace

namespace {

bool EndsOperand(TokenKind k) {
  return k == TokenKind::Reference || k == TokenKind::Name || k == TokenKind::CloseParen ||
         k == TokenKind::StructuredRef;
}

bool StartsReferenceOperand(TokenKind k) {
  return k == TokenKind::Reference || k == TokenKind::Name || k == TokenKind::OpenParen ||
         k == TokenKind::Function || k == TokenKind::StructuredRef;
}

// Whitespace is the intersection operator only between two operands.
void MarkIntersections(std::vector<Token>& tokens) {
  for (std::size_t i = 1; i + 1 < tokens.size(); ++i) {
    if (tokens[i].kind == TokenKind::Whitespace && EndsOperand(tokens[i - 1].kind) &&
        StartsReferenceOperand(tokens[i + 1].kind))
      tokens[i].kind = TokenKind::Intersection;
  }
}

}  // namespace

std::vector<Token> LexFormula(std::string_view formula) {
  std::vector<Token> tokens = Lexer(formula).Run();
  MarkIntersections(tokens);
  return tokens;
}

std::string JoinTokens(const std::vector<Token>& tokens) {
  std::string out;
  for (const Token& token : tokens) out += token.text;
  return out;
}

}  // namespace vemo::wb
