// Recursive descent over the lexer's tokens. Precedence, loosest first:
// union ',' (only at the top and inside parentheses), comparisons, '&',
// '+' '-', '*' '/', '^', '%', negation, intersection ' ', range ':'.
#include "workbook/xls/biff_formula_parse.h"

#include "workbook/formulas/formula_lexer.h"
#include "workbook/workbook_error.h"

namespace vemo::wb::xls {
namespace {

using Kind = FormulaTree::Kind;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text), tokens_(LexFormula(text)) {
    if (!tokens_.empty() && tokens_.front().kind == TokenKind::Equals) pos_ = 1;
  }

  FormulaTree Run(std::string& trailing) {
    FormulaTree tree = UnionList();
    if (Peek()) Fail("unexpected '" + std::string(Peek()->text) + "'");
    trailing = std::move(space_);
    return tree;
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    throw WorkbookError("The formula \"" + std::string(text_) + "\" cannot be stored in an .xls file: " + why +
                        ". Correct the formula or keep the workbook as .xlsx.");
  }

  // The next token that is not whitespace; the whitespace before it is kept in space_.
  const Token* Peek() {
    while (pos_ < tokens_.size() && tokens_[pos_].kind == TokenKind::Whitespace) space_ += tokens_[pos_++].text;
    return pos_ < tokens_.size() ? &tokens_[pos_] : nullptr;
  }
  bool PeekIs(TokenKind kind, std::string_view text = {}) {
    const Token* t = Peek();
    return t && t->kind == kind && (text.empty() || t->text == text);
  }
  bool PeekOperator(std::initializer_list<std::string_view> ops) {
    const Token* t = Peek();
    if (!t || t->kind != TokenKind::Operator) return false;
    for (std::string_view op : ops)
      if (t->text == op) return true;
    return false;
  }
  // Consumes the next token; `lead` gets the whitespace before it.
  const Token& Next(std::string& lead) {
    const Token* t = Peek();
    if (!t) Fail("it ends too early");
    lead = std::move(space_);
    space_.clear();
    ++pos_;
    return *t;
  }
  void Expect(TokenKind kind, std::string_view what, std::string& lead) {
    if (!PeekIs(kind)) Fail("a " + std::string(what) + " is missing");
    Next(lead);
  }

  static FormulaTree Join(FormulaTree left, std::string op, std::string lead, FormulaTree right) {
    FormulaTree node;
    node.kind = Kind::Binary;
    node.text = std::move(op);
    node.lead = std::move(lead);
    node.children.push_back(std::move(left));
    node.children.push_back(std::move(right));
    return node;
  }

  FormulaTree UnionList() {
    FormulaTree left = Comparison();
    while (PeekIs(TokenKind::Comma)) {
      std::string lead;
      Next(lead);
      left = Join(std::move(left), ",", lead, Comparison());
    }
    return left;
  }
  template <typename Operand>
  FormulaTree LeftAssociative(std::initializer_list<std::string_view> ops, Operand operand) {
    FormulaTree left = (this->*operand)();
    while (PeekOperator(ops)) {
      std::string lead;
      std::string op(Next(lead).text);
      left = Join(std::move(left), op, lead, (this->*operand)());
    }
    return left;
  }
  FormulaTree Comparison() { return LeftAssociative({"=", "<>", "<", ">", "<=", ">="}, &Parser::Concat); }
  FormulaTree Concat() { return LeftAssociative({"&"}, &Parser::Additive); }
  FormulaTree Additive() { return LeftAssociative({"+", "-"}, &Parser::Multiplicative); }
  FormulaTree Multiplicative() { return LeftAssociative({"*", "/"}, &Parser::Power); }
  FormulaTree Power() { return LeftAssociative({"^"}, &Parser::Percent); }
  FormulaTree Percent() {
    FormulaTree operand = Unary();
    while (PeekOperator({"%"})) {
      FormulaTree node;
      node.kind = Kind::Percent;
      Next(node.lead);
      node.children.push_back(std::move(operand));
      operand = std::move(node);
    }
    return operand;
  }
  FormulaTree Unary() {
    if (!PeekOperator({"-", "+"})) return Intersection();
    FormulaTree node;
    node.kind = Kind::Unary;
    node.text = std::string(Next(node.lead).text);
    node.children.push_back(Unary());
    return node;
  }
  FormulaTree Intersection() {
    FormulaTree left = Range();
    while (PeekIs(TokenKind::Intersection)) {
      std::string lead;
      std::string_view gap = Next(lead).text;
      lead += gap.substr(0, gap.size() - 1);  // the operator is one space; the rest is layout
      left = Join(std::move(left), " ", lead, Range());
    }
    return left;
  }
  FormulaTree Range() { return LeftAssociative({":"}, &Parser::Primary); }

  FormulaTree Primary() {
    FormulaTree node;
    const Token* peek = Peek();
    if (!peek) Fail("it ends too early");
    if (peek->kind == TokenKind::Function) return Function();
    const Token& t = Next(node.lead);
    node.text = std::string(t.text);
    switch (t.kind) {
      case TokenKind::Number: node.kind = Kind::Number; return node;
      case TokenKind::String: node.kind = Kind::String; return node;
      case TokenKind::Boolean: node.kind = Kind::Boolean; return node;
      case TokenKind::Error: node.kind = Kind::Error; return node;
      case TokenKind::Name: node.kind = Kind::Name; return node;
      case TokenKind::Reference:
        node.kind = Kind::Reference;
        node.ref = t.ref;
        return node;
      case TokenKind::OpenParen: {
        node.kind = Kind::Paren;
        node.children.push_back(UnionList());
        Expect(TokenKind::CloseParen, "closing parenthesis", node.close);
        return node;
      }
      case TokenKind::OpenBrace: return ArrayConstant(std::move(node));
      case TokenKind::StructuredRef: Fail("table references such as " + node.text + " do not exist in .xls files");
      default: Fail("unexpected '" + node.text + "'");
    }
  }

  FormulaTree Function() {
    FormulaTree node;
    node.kind = Kind::Function;
    node.text = std::string(Next(node.lead).text);
    std::string ignored;
    Expect(TokenKind::OpenParen, "opening parenthesis", ignored);
    if (PeekIs(TokenKind::CloseParen)) {
      Next(node.close);
      return node;
    }
    for (;;) {
      if (PeekIs(TokenKind::Comma) || PeekIs(TokenKind::CloseParen)) {
        FormulaTree missing;
        missing.kind = Kind::Missing;
        node.children.push_back(std::move(missing));
      } else {
        node.children.push_back(Comparison());
      }
      if (PeekIs(TokenKind::Comma)) {
        Next(ignored);
        continue;
      }
      Expect(TokenKind::CloseParen, "closing parenthesis", node.close);
      return node;
    }
  }

  FormulaTree ArrayConstant(FormulaTree node) {
    node.kind = Kind::Array;
    node.rows.emplace_back();
    std::string ignored;
    for (;;) {
      std::string value;
      if (PeekOperator({"-"})) value = std::string(Next(ignored).text);
      const Token* t = Peek();
      if (!t || (t->kind != TokenKind::Number && t->kind != TokenKind::String && t->kind != TokenKind::Boolean &&
                 t->kind != TokenKind::Error) || (!value.empty() && t->kind != TokenKind::Number))
        Fail("an array constant may hold only numbers, texts, TRUE, FALSE and errors");
      value += Next(ignored).text;
      node.rows.back().push_back(std::move(value));
      if (PeekIs(TokenKind::Comma)) {
        Next(ignored);
      } else if (PeekIs(TokenKind::Semicolon)) {
        Next(ignored);
        node.rows.emplace_back();
      } else {
        Expect(TokenKind::CloseBrace, "closing brace", ignored);
        break;
      }
    }
    for (const auto& row : node.rows)
      if (row.size() != node.rows.front().size()) Fail("the rows of an array constant differ in length");
    return node;
  }

  std::string_view text_;
  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  std::string space_;
};

}  // namespace

FormulaTree ParseFormulaTree(std::string_view text, std::string& trailing) {
  return Parser(text).Run(trailing);
}

}  // namespace vemo::wb::xls
