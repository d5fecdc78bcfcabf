// Formula text as a tree for the token writer: the lexer's tokens grouped by
// operator precedence, keeping the whitespace and parentheses as written so
// the tokens give the same text back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workbook/reference.h"

namespace vemo::wb::xls {

struct FormulaTree {
  enum class Kind {
    Number, String, Boolean, Error, Reference, Name, Function, Missing, Array,
    Unary,    // text "-" or "+"; children[0]
    Percent,  // children[0]
    Binary,   // text = operator ("+", "<=", ":", " " intersection, "," union); children[0..1]
    Paren,    // children[0]
  };
  Kind kind = Kind::Missing;
  std::string text;   // the token as written (number, string with quotes, name, function name, error)
  Reference ref;      // Kind::Reference
  std::string lead;   // whitespace written before the token (before the operator for Binary)
  std::string close;  // whitespace written before the closing parenthesis
  std::vector<FormulaTree> children;   // operands, arguments
  std::vector<std::vector<std::string>> rows;  // Kind::Array: the constants as written
};

// Throws WorkbookError naming the formula when the text is not a formula.
// `trailing` gets the whitespace after the last token.
FormulaTree ParseFormulaTree(std::string_view text, std::string& trailing);

}  // namespace vemo::wb::xls
