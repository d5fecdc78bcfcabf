// Parses formula text into a syntax tree for the evaluator. Precedence, from
// tightest: reference operators (':' range, ' ' intersection, ',' union inside
// parentheses), negation, '%', '^', '*' '/', '+' '-', '&', comparisons.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_value.h"
#include "workbook/reference.h"

namespace vemo::wb {

struct FormulaNode {
  enum class Kind {
    Number,        // number
    Text,          // text (quotes removed, "" unescaped)
    Boolean,       // boolean
    Error,         // error literal
    Reference,     // ref
    Name,          // text = name as written (qualifier included), sheet/name split in nameSheet/name
    Function,      // text = upper-case name without _xlfn./_xlws. prefix; children = arguments
    Unary,         // text = "-" or "+"; children[0]
    Percent,       // children[0]
    Binary,        // text = operator; children[0], children[1]
    Range,         // ':' between two reference expressions
    Intersection,  // ' ' between two reference expressions
    Union,         // ',' inside parentheses
    Array,         // array constant: rows of constant values in `array`
    Missing,       // an omitted function argument: SUM(1,,2), IF(A1,,)
    Unsupported,   // structured reference or anything this evaluator cannot compute; text = source
  };
  Kind kind = Kind::Missing;
  double number = 0;
  bool boolean = false;
  ErrorCode error = ErrorCode::Value;
  std::string text;
  std::string nameSheet;  // for Kind::Name: the qualifying sheet ("" when none)
  std::string name;       // for Kind::Name: the bare name
  Reference ref;
  std::vector<std::unique_ptr<FormulaNode>> children;
  std::vector<std::vector<CellValue>> array;
  int height = 1;  // levels from this node down (a leaf is 1); the parser bounds it
};

struct ParsedFormula {
  std::unique_ptr<FormulaNode> root;  // null when the text is not a valid formula
  std::string error;                  // why parsing failed, with the offset
};

// Parses formula text with or without the leading '='. A formula nested more
// than a few hundred levels deep (parentheses, calls, signs, operator chains)
// is refused like any other unreadable text.
ParsedFormula ParseFormula(std::string_view formula);

}  // namespace vemo::wb
