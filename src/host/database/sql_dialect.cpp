#include "host/database/sql_dialect.h"

#include <cctype>

#include "foundation/host_error.h"
#include "foundation/utf8_text.h"

namespace vemo::host {

namespace {

bool IsWordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; }

[[noreturn]] void Refuse(std::string_view why, std::string_view sql) {
  throw HostError("the statement cannot be run: " + std::string(why) + " in \"" + std::string(sql.substr(0, 200)) + "\"");
}

}  // namespace

std::vector<SqlToken> TokenizeSql(std::string_view sql) {
  std::vector<SqlToken> tokens;
  std::size_t i = 0;
  const std::size_t n = sql.size();
  auto at = [&](std::size_t k) -> unsigned char { return k < n ? static_cast<unsigned char>(sql[k]) : 0; };
  while (i < n) {
    unsigned char c = at(i);
    std::size_t start = i;
    if (std::isspace(c)) {
      while (i < n && std::isspace(at(i))) ++i;
      tokens.push_back({SqlTokenKind::Blank, std::string(sql.substr(start, i - start))});
    } else if (c == '-' && at(i + 1) == '-') {
      while (i < n && at(i) != '\n') ++i;
      tokens.push_back({SqlTokenKind::Comment, std::string(sql.substr(start, i - start))});
    } else if (c == '/' && at(i + 1) == '*') {
      std::size_t end = sql.find("*/", i + 2);
      if (end == std::string_view::npos) Refuse("an unterminated comment", sql);
      i = end + 2;
      tokens.push_back({SqlTokenKind::Comment, std::string(sql.substr(start, i - start))});
    } else if (c == '\'' || ((c == 'N' || c == 'n') && at(i + 1) == '\'')) {
      if (c != '\'') ++i;  // N'...' is a text literal in the host dialect
      std::size_t q = i + 1;
      for (;;) {
        if (q >= n) Refuse("an unterminated text literal", sql);
        if (at(q) == '\'') {
          if (at(q + 1) == '\'') {
            q += 2;
            continue;
          }
          break;
        }
        ++q;
      }
      tokens.push_back({SqlTokenKind::Text, std::string(sql.substr(i, q + 1 - i))});
      i = q + 1;
    } else if (c == '[') {
      std::size_t end = sql.find(']', i + 1);
      if (end == std::string_view::npos) Refuse("an unterminated [name]", sql);
      tokens.push_back({SqlTokenKind::QuotedName, std::string(sql.substr(i + 1, end - i - 1))});
      i = end + 1;
    } else if (c == '"' || c == '`') {
      std::string name;
      std::size_t q = i + 1;
      for (;;) {
        if (q >= n) Refuse("an unterminated quoted name", sql);
        if (at(q) == c) {
          if (at(q + 1) == c) {
            name += static_cast<char>(c);
            q += 2;
            continue;
          }
          break;
        }
        name += sql[q++];
      }
      tokens.push_back({SqlTokenKind::QuotedName, name});
      i = q + 1;
    } else if (std::isdigit(c) || (c == '.' && std::isdigit(at(i + 1)))) {
      while (i < n && (std::isalnum(at(i)) || at(i) == '.' ||
                       ((at(i) == '+' || at(i) == '-') && (at(i - 1) == 'e' || at(i - 1) == 'E'))))
        ++i;
      tokens.push_back({SqlTokenKind::Number, std::string(sql.substr(start, i - start))});
    } else if (IsWordStart(c)) {
      while (i < n && IsWordChar(at(i))) ++i;
      tokens.push_back({SqlTokenKind::Word, std::string(sql.substr(start, i - start))});
    } else if (c == '?' || ((c == '@' || c == ':') && IsWordStart(at(i + 1)))) {
      ++i;
      while (i < n && IsWordChar(at(i))) ++i;
      tokens.push_back({SqlTokenKind::Parameter, std::string(sql.substr(start, i - start))});
    } else {
      static constexpr std::string_view kTwoChar[] = {"<>", "<=", ">=", "!=", "||", "==", "<<", ">>"};
      std::size_t length = 1;
      for (auto op : kTwoChar)
        if (sql.substr(i, 2) == op) length = 2;
      tokens.push_back({SqlTokenKind::Symbol, std::string(sql.substr(i, length))});
      i += length;
    }
  }
  return tokens;
}

namespace {

bool IsSignificant(const SqlToken& t) { return t.kind != SqlTokenKind::Blank && t.kind != SqlTokenKind::Comment; }

bool IsWord(const SqlToken& t, std::string_view word) {
  return t.kind == SqlTokenKind::Word && EqualsIgnoreCase(t.text, word);
}
bool IsSymbol(const SqlToken& t, std::string_view symbol) { return t.kind == SqlTokenKind::Symbol && t.text == symbol; }

std::string QuoteName(std::string_view name) { return "\"" + ReplaceAll(name, "\"", "\"\"") + "\""; }

}  // namespace

namespace {

// Step 1: the significant tokens of exactly one statement. Blanks and
// comments become one blank, so words never run together; trailing ";" are
// dropped and any other one refused.
std::vector<SqlToken> OneStatement(std::string_view hostSql) {
  std::vector<SqlToken> tokens;
  for (auto& token : TokenizeSql(hostSql)) {
    if (IsSignificant(token))
      tokens.push_back(std::move(token));
    else if (!tokens.empty() && tokens.back().kind != SqlTokenKind::Blank)
      tokens.push_back({SqlTokenKind::Blank, " "});
  }
  auto dropTrailingBlanks = [&] {
    while (!tokens.empty() && tokens.back().kind == SqlTokenKind::Blank) tokens.pop_back();
  };
  dropTrailingBlanks();
  while (!tokens.empty() && IsSymbol(tokens.back(), ";")) {
    tokens.pop_back();
    dropTrailingBlanks();
  }
  for (const auto& token : tokens)
    if (IsSymbol(token, ";")) Refuse("more than one statement", hostSql);
  if (tokens.empty()) Refuse("an empty statement", hostSql);
  return tokens;
}

// Step 2, for the server: only a query may start. The server's read-only
// transaction refuses writes; this also keeps out what it would allow
// (COPY, SET, DO, LISTEN, ...).
void RequireQuery(const std::vector<SqlToken>& tokens, std::string_view hostSql) {
  const SqlToken& first = tokens.front();
  if (!(IsWord(first, "SELECT") || IsWord(first, "WITH") || IsWord(first, "VALUES") || IsSymbol(first, "(")))
    Refuse("only a query (SELECT) may run here", hostSql);
}

// Step 3: each token in the target's words, TOP n moved to a LIMIT at the
// end of its parenthesis level.
class Rewriter {
 public:
  Rewriter(const std::vector<SqlToken>& tokens, SqlTarget target, std::string_view hostSql)
      : tokens_(tokens), target_(target), hostSql_(hostSql) {}

  std::string Run() {
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      if (IsWord(tokens_[i], "TOP") && AfterSelect(i)) {
        i = TakeTop(i);
        continue;
      }
      if (std::size_t close = TableHintEnd(i); close != 0) {
        i = close;
        continue;
      }
      i = Emit(i);
    }
    // A table hint removed at the end leaves a blank behind.
    while (!out_.empty() && out_.back() == ' ') out_.pop_back();
    if (!limits_.front().empty()) out_ += " LIMIT " + limits_.front();
    return out_;
  }

 private:
  std::size_t Next(std::size_t from) const {
    for (std::size_t k = from + 1; k < tokens_.size(); ++k)
      if (tokens_[k].kind != SqlTokenKind::Blank) return k;
    return tokens_.size();
  }
  std::size_t Previous(std::size_t from) const {
    for (std::size_t k = from; k-- > 0;)
      if (tokens_[k].kind != SqlTokenKind::Blank) return k;
    return tokens_.size();
  }
  bool Is(std::size_t k, bool (*test)(const SqlToken&, std::string_view), std::string_view text) const {
    return k < tokens_.size() && test(tokens_[k], text);
  }
  bool CallFollows(std::size_t i) const { return Is(Next(i), IsSymbol, "("); }

  bool AfterSelect(std::size_t i) const {
    std::size_t before = Previous(i);
    return Is(before, IsWord, "SELECT") || Is(before, IsWord, "DISTINCT") || Is(before, IsWord, "ALL");
  }

  // TOP n / TOP (n): remembers n for this level; answers the last token used.
  std::size_t TakeTop(std::size_t i) {
    bool parenthesised = CallFollows(i);
    std::size_t count = parenthesised ? Next(Next(i)) : Next(i);
    if (count >= tokens_.size() || tokens_[count].kind != SqlTokenKind::Number)
      Refuse("TOP must be followed by a number", hostSql_);
    std::size_t last = count;
    if (parenthesised) {
      last = Next(count);
      if (!Is(last, IsSymbol, ")")) Refuse("TOP (n) is not closed", hostSql_);
    }
    if (Is(Next(last), IsWord, "PERCENT")) Refuse("TOP n PERCENT is not supported", hostSql_);
    limits_.back() = tokens_[count].text;
    return last;
  }

  // WITH (NOLOCK) after a table: the index of its ")" (dropped), else 0.
  std::size_t TableHintEnd(std::size_t i) const {
    if (!IsWord(tokens_[i], "WITH") || !CallFollows(i)) return 0;
    std::size_t hint = Next(Next(i));
    if (!Is(hint, IsWord, "NOLOCK") && !Is(hint, IsWord, "READUNCOMMITTED")) return 0;
    std::size_t close = Next(hint);
    return Is(close, IsSymbol, ")") ? close : 0;
  }

  std::string Name(const std::string& name) const {
    // The server folds names written without quotes to lower case, and our
    // tables were created that way; a bracketed name means the same table.
    return QuoteName(target_ == SqlTarget::Postgres ? ToLowerAscii(name) : name);
  }

  // Writes token i; answers the last token used.
  std::size_t Emit(std::size_t i) {
    const SqlToken& token = tokens_[i];
    switch (token.kind) {
      case SqlTokenKind::QuotedName: out_ += Name(token.text); break;
      case SqlTokenKind::Word: return EmitWord(i);
      case SqlTokenKind::Symbol: EmitSymbol(i); break;
      case SqlTokenKind::Blank:
        // A removed TOP n or table hint leaves two blanks side by side.
        if (!out_.empty() && out_.back() != ' ') out_ += ' ';
        break;
      default: out_ += token.text; break;
    }
    return i;
  }

  std::size_t EmitWord(std::size_t i) {
    const std::string& word = tokens_[i].text;
    const bool server = target_ == SqlTarget::Postgres;
    if (CallFollows(i) && EqualsIgnoreCase(word, "ISNULL")) {
      out_ += server ? "COALESCE" : "IFNULL";
    } else if (CallFollows(i) && EqualsIgnoreCase(word, "LEN")) {
      out_ += "LENGTH";
    } else if (CallFollows(i) && EqualsIgnoreCase(word, "GETDATE")) {
      std::size_t close = Next(Next(i));
      if (!Is(close, IsSymbol, ")")) Refuse("GETDATE takes no argument", hostSql_);
      out_ += server ? "to_char(LOCALTIMESTAMP, 'YYYY-MM-DD HH24:MI:SS')" : "datetime('now', 'localtime')";
      return close;
    } else {
      out_ += word;
    }
    return i;
  }

  void EmitSymbol(std::size_t i) {
    const std::string& symbol = tokens_[i].text;
    if (symbol == "+") {
      // Next to a text literal "+" joins texts; between names it adds.
      auto isText = [&](std::size_t k) { return k < tokens_.size() && tokens_[k].kind == SqlTokenKind::Text; };
      out_ += isText(Previous(i)) || isText(Next(i)) ? "||" : "+";
      return;
    }
    if (symbol == "(") limits_.emplace_back();
    if (symbol == ")" && limits_.size() > 1) {
      if (!limits_.back().empty()) out_ += " LIMIT " + limits_.back();
      limits_.pop_back();
    }
    out_ += symbol;
  }

  const std::vector<SqlToken>& tokens_;
  SqlTarget target_;
  std::string_view hostSql_;
  std::string out_;
  std::vector<std::string> limits_{""};  // pending LIMIT per parenthesis level
};

}  // namespace

std::string TranslateHostSql(std::string_view hostSql, SqlTarget target) {
  std::vector<SqlToken> tokens = OneStatement(hostSql);
  if (target == SqlTarget::Postgres) RequireQuery(tokens, hostSql);
  return Rewriter(tokens, target, hostSql).Run();
}

}  // namespace vemo::host
