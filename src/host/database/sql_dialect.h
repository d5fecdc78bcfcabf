// The host's SQL dialect, as the bill engine and template keywords write it,
// turned into the database's own (SQLite's or the server's). A real tokenizer (quoted texts, bracketed and
// double-quoted names, comments) so nothing inside a text literal is ever
// rewritten. Translations:
//   [Name]                      -> "Name"
//   N'text'                     -> 'text'
//   SELECT [DISTINCT] TOP n ... -> SELECT [DISTINCT] ... LIMIT n (at the end
//                                  of the same parenthesis level)
//   ISNULL(a, b)                -> IFNULL(a, b) (server: COALESCE(a, b))
//   LEN(x)                      -> LENGTH(x)
//   GETDATE()                   -> datetime('now', 'localtime') (server:
//                                  the same text from LOCALTIMESTAMP)
//   [Name], "Name"              -> server: "name" (it folds names to lower case)
//   a + 'text', 'text' + a      -> a || 'text', 'text' || a (a + next to a text
//                                  literal joins texts; between two column
//                                  names it stays numeric addition)
//   table WITH (NOLOCK)         -> table
// One statement only: a ";" followed by anything but blanks and comments is
// refused (HostError), so "1; DROP TABLE x" never reaches the database.
// For the server the statement must also start as a query (SELECT, WITH,
// VALUES or "(").
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace vemo::host {

enum class SqlTokenKind { Blank, Comment, Word, QuotedName, Text, Number, Symbol, Parameter };

struct SqlToken {
  SqlTokenKind kind;
  std::string text;  // as written (QuotedName without its brackets or quotes; Text with its quotes)
};

// Raises HostError on an unterminated text, name or comment.
std::vector<SqlToken> TokenizeSql(std::string_view sql);

enum class SqlTarget { Sqlite, Postgres };

// Raises HostError on more than one statement or an unsupported construct.
std::string TranslateHostSql(std::string_view hostSql, SqlTarget target = SqlTarget::Sqlite);

}  // namespace vemo::host
