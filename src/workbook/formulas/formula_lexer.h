// Splits formula text into tokens. Concatenating the token texts gives the
// input back byte for byte, so edits can rewrite single tokens and keep the rest.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workbook/reference.h"

namespace vemo::wb {

enum class TokenKind {
  Equals,          // a leading '=' (only at offset 0)
  Number,          // 12, 1.5, .5, 1E+3
  String,          // "a""b" (text includes the quotes)
  Boolean,         // TRUE / FALSE not followed by '('
  Error,           // #REF!, #N/A, #DIV/0! ... ("#REF!A1" is one token)
  Reference,       // A1, $A$1:B2, A:A, 3:5, Sheet1!A1, 'My Sheet'!A1, Sheet1:Sheet3!A1, [1]Sheet1!A1
  Name,            // defined names: Tax, _xlnm.Print_Area, Sheet1!Tax, [1]!Tax
  Function,        // function name before '(' (SUM, _xlfn.CONCAT); the '(' is its own token
  StructuredRef,   // Table1[[#This Row],[Col]], [@Col] - opaque
  Operator,        // + - * / ^ & = <> < > <= >= % and ':' between non-references
  OpenParen,
  CloseParen,
  Comma,           // argument separator or union
  Semicolon,       // row separator in array constants
  OpenBrace,       // array constant {1,2;3,4}
  CloseBrace,
  Whitespace,      // spaces, tabs, line breaks between tokens that are not both operands
  Intersection,    // whitespace between two reference operands: A1:B5 B2:C9, (A:A) 3:3
  Unknown,         // any other character, kept so the text survives
};

struct Token {
  TokenKind kind;
  std::string_view text;  // view into the lexed formula
  std::size_t offset = 0;
  Reference ref;          // filled for TokenKind::Reference
};

// Tokens of `formula`; the views point into `formula`, which must outlive them.
std::vector<Token> LexFormula(std::string_view formula);

// Joins token texts (the inverse of LexFormula).
std::string JoinTokens(const std::vector<Token>& tokens);

}  // namespace vemo::wb
