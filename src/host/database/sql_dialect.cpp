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

std::string TranslateHostSql(std::string_view hostSql) {
  std::vector<SqlToken> all = TokenizeSql(hostSql);
  // Work on the significant tokens; blanks and comments are kept as one
  // blank so words never run together.
  std::vector<SqlToken> tokens;
  for (auto& token : all) {
    if (IsSignificant(token)) {
      tokens.push_back(std::move(token));
    } else if (!tokens.empty() && tokens.back().kind != SqlTokenKind::Blank) {
      tokens.push_back({SqlTokenKind::Blank, " "});
    }
  }
  while (!tokens.empty() && tokens.back().kind == SqlTokenKind::Blank) tokens.pop_back();
  // One statement: trailing semicolons are dropped, any other one refused.
  while (!tokens.empty() && IsSymbol(tokens.back(), ";")) {
    tokens.pop_back();
    while (!tokens.empty() && tokens.back().kind == SqlTokenKind::Blank) tokens.pop_back();
  }
  for (const auto& token : tokens)
    if (IsSymbol(token, ";")) Refuse("more than one statement", hostSql);
  if (tokens.empty()) Refuse("an empty statement", hostSql);

  auto next = [&](std::size_t from) {
    for (std::size_t k = from + 1; k < tokens.size(); ++k)
      if (tokens[k].kind != SqlTokenKind::Blank) return k;
    return tokens.size();
  };
  auto previous = [&](std::size_t from) -> std::size_t {
    for (std::size_t k = from; k-- > 0;)
      if (tokens[k].kind != SqlTokenKind::Blank) return k;
    return tokens.size();
  };

  std::string out;
  std::vector<std::string> limits{""};  // pending LIMIT per parenthesis level
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const SqlToken& token = tokens[i];
    std::size_t after = next(i);
    bool callFollows = after < tokens.size() && IsSymbol(tokens[after], "(");
    if (IsWord(token, "TOP")) {
      std::size_t before = previous(i);
      bool afterSelect = before < tokens.size() &&
                         (IsWord(tokens[before], "SELECT") || IsWord(tokens[before], "DISTINCT") || IsWord(tokens[before], "ALL"));
      if (afterSelect) {
        std::size_t count = after;
        bool parenthesised = callFollows;
        if (parenthesised) count = next(after);
        if (count >= tokens.size() || tokens[count].kind != SqlTokenKind::Number)
          Refuse("TOP must be followed by a number", hostSql);
        std::size_t last = count;
        if (parenthesised) {
          last = next(count);
          if (last >= tokens.size() || !IsSymbol(tokens[last], ")")) Refuse("TOP (n) is not closed", hostSql);
        }
        std::size_t percent = next(last);
        if (percent < tokens.size() && IsWord(tokens[percent], "PERCENT")) Refuse("TOP n PERCENT is not supported", hostSql);
        limits.back() = tokens[count].text;
        i = last;
        continue;
      }
    }
    if (IsWord(token, "WITH") && callFollows) {
      std::size_t hint = next(after);
      if (hint < tokens.size() && (IsWord(tokens[hint], "NOLOCK") || IsWord(tokens[hint], "READUNCOMMITTED"))) {
        std::size_t close = next(hint);
        if (close < tokens.size() && IsSymbol(tokens[close], ")")) {
          i = close;
          continue;
        }
      }
    }
    switch (token.kind) {
      case SqlTokenKind::QuotedName: out += QuoteName(token.text); break;
      case SqlTokenKind::Word:
        if (callFollows && EqualsIgnoreCase(token.text, "ISNULL")) {
          out += "IFNULL";
        } else if (callFollows && EqualsIgnoreCase(token.text, "LEN")) {
          out += "LENGTH";
        } else if (callFollows && EqualsIgnoreCase(token.text, "GETDATE")) {
          std::size_t close = next(after);
          if (close >= tokens.size() || !IsSymbol(tokens[close], ")")) Refuse("GETDATE takes no argument", hostSql);
          out += "datetime('now', 'localtime')";
          i = close;
        } else {
          out += token.text;
        }
        break;
      case SqlTokenKind::Symbol:
        if (token.text == "+") {
          std::size_t before = previous(i);
          bool joinsText = (before < tokens.size() && tokens[before].kind == SqlTokenKind::Text) ||
                           (after < tokens.size() && tokens[after].kind == SqlTokenKind::Text);
          out += joinsText ? "||" : "+";
        } else if (token.text == "(") {
          limits.emplace_back();
          out += token.text;
        } else if (token.text == ")") {
          if (limits.size() > 1) {
            if (!limits.back().empty()) out += " LIMIT " + limits.back();
            limits.pop_back();
          }
          out += token.text;
        } else {
          out += token.text;
        }
        break;
      case SqlTokenKind::Blank:
        // A removed TOP n or table hint leaves two blanks side by side.
        if (!out.empty() && out.back() != ' ') out += ' ';
        break;
      default: out += token.text; break;
    }
  }
  if (!limits.front().empty()) out += " LIMIT " + limits.front();
  return out;
}

}  // namespace vemo::host
