#include "workbook/formulas/formula_parser.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "workbook/formulas/formula_lexer.h"

namespace vemo::wb {
namespace {

using Node = FormulaNode;
using NodePtr = std::unique_ptr<FormulaNode>;

struct ParseError {
  std::string message;
};

// How deep a formula may nest: parentheses, function calls and signs each add
// a level, and so does each operator of a chain (1+1+1 is a tree three
// deep). Templates nest a few levels; the bound keeps the parser's recursion,
// the evaluator's walk and the tree's destruction far from the end of the
// stack whatever the text.
constexpr int kMaxDepth = 256;

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string UnescapeString(std::string_view quoted) {
  std::string out;
  std::size_t end = quoted.size() >= 2 && quoted.back() == '"' ? quoted.size() - 1 : quoted.size();
  for (std::size_t i = 1; i < end; ++i) {
    out += quoted[i];
    if (quoted[i] == '"' && i + 1 < end && quoted[i + 1] == '"') ++i;
  }
  return out;
}

NodePtr Make(Node::Kind kind) {
  auto n = std::make_unique<Node>();
  n->kind = kind;
  return n;
}


bool IsReferenceLike(const Node& n) {
  switch (n.kind) {
    case Node::Kind::Reference: case Node::Kind::Name: case Node::Kind::Range: case Node::Kind::Intersection:
    case Node::Kind::Union: case Node::Kind::Function:
      return true;
    default:
      return false;
  }
}

class Parser {
 public:
  explicit Parser(std::string_view text) : tokens_(LexFormula(text)) {
    if (!tokens_.empty() && tokens_[0].kind == TokenKind::Equals) pos_ = 1;
  }

  NodePtr ParseAll() {
    NodePtr root = ParseComparison();
    if (const Token* t = Peek()) Fail("unexpected '" + std::string(t->text) + "'", t);
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what, const Token* at) {
    std::size_t offset = at ? at->offset : (tokens_.empty() ? 0 : tokens_.back().offset + tokens_.back().text.size());
    throw ParseError{what + " at offset " + std::to_string(offset)};
  }

  // Next token that is not whitespace (an intersection is looked for explicitly).
  const Token* Peek(std::size_t skip = 0) {
    std::size_t i = pos_;
    for (;;) {
      while (i < tokens_.size() &&
             (tokens_[i].kind == TokenKind::Whitespace || tokens_[i].kind == TokenKind::Intersection))
        ++i;
      if (i >= tokens_.size()) return nullptr;
      if (skip-- == 0) return &tokens_[i];
      ++i;
    }
  }
  const Token& Next() {
    const Token* t = Peek();
    if (!t) Fail("formula ends too early", nullptr);
    pos_ = static_cast<std::size_t>(t - tokens_.data()) + 1;
    return *t;
  }
  bool PeekOperator(std::string_view op) {
    const Token* t = Peek();
    return t && t->kind == TokenKind::Operator && t->text == op;
  }
  bool PeekKind(TokenKind kind) {
    const Token* t = Peek();
    return t && t->kind == kind;
  }

  NodePtr Binary(std::string op, NodePtr a, NodePtr b) {
    NodePtr n = Make(Node::Kind::Binary);
    n->text = std::move(op);
    n->children.push_back(std::move(a));
    n->children.push_back(std::move(b));
    return Measured(std::move(n));
  }

  // Sets the node's height from its children's and refuses a tree too deep.
  NodePtr Measured(NodePtr n) {
    for (const auto& child : n->children) n->height = std::max(n->height, child->height + 1);
    if (n->height > kMaxDepth) Fail(TooDeep(), Peek());
    return n;
  }

  static std::string TooDeep() {
    return "the formula is nested more than " + std::to_string(kMaxDepth) + " levels deep; split it over several cells";
  }

  // One level of the parser's recursion (a parenthesis, an argument, a sign).
  class Level {
   public:
    explicit Level(Parser& p) : p_(p) {
      if (++p_.depth_ > kMaxDepth) p_.Fail(TooDeep(), p_.Peek());
    }
    ~Level() { --p_.depth_; }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

   private:
    Parser& p_;
  };

  template <typename Sub>
  NodePtr LeftAssoc(std::initializer_list<std::string_view> ops, Sub sub) {
    NodePtr left = (this->*sub)();
    for (;;) {
      const Token* t = Peek();
      if (!t || t->kind != TokenKind::Operator) return left;
      bool match = false;
      for (std::string_view op : ops) match = match || t->text == op;
      if (!match) return left;
      std::string op(Next().text);
      left = Binary(op, std::move(left), (this->*sub)());
    }
  }

  NodePtr ParseComparison() {
    Level level(*this);
    return LeftAssoc({"=", "<>", "<", ">", "<=", ">="}, &Parser::ParseConcat);
  }
  NodePtr ParseConcat() { return LeftAssoc({"&"}, &Parser::ParseAdditive); }
  NodePtr ParseAdditive() { return LeftAssoc({"+", "-"}, &Parser::ParseMultiplicative); }
  NodePtr ParseMultiplicative() { return LeftAssoc({"*", "/"}, &Parser::ParsePower); }
  NodePtr ParsePower() { return LeftAssoc({"^"}, &Parser::ParsePercent); }

  NodePtr ParsePercent() {
    NodePtr n = ParseUnary();
    while (PeekOperator("%")) {
      Next();
      NodePtr p = Make(Node::Kind::Percent);
      p->children.push_back(std::move(n));
      n = Measured(std::move(p));
    }
    return n;
  }

  NodePtr ParseUnary() {
    if (PeekOperator("-") || PeekOperator("+")) {
      Level level(*this);
      NodePtr n = Make(Node::Kind::Unary);
      n->text = std::string(Next().text);
      n->children.push_back(ParseUnary());
      return Measured(std::move(n));
    }
    return ParseReferenceExpression();
  }

  // The lexer marks whitespace between two operands as the intersection operator.
  bool IntersectionFollows(const Node& left) {
    return pos_ < tokens_.size() && tokens_[pos_].kind == TokenKind::Intersection && IsReferenceLike(left);
  }

  NodePtr ParseReferenceExpression() {
    NodePtr left = ParsePrimary();
    for (;;) {
      if (PeekOperator(":")) {
        Next();
        NodePtr n = Make(Node::Kind::Range);
        n->children.push_back(std::move(left));
        n->children.push_back(ParsePrimary());
        left = Measured(std::move(n));
      } else if (IntersectionFollows(*left)) {
        ++pos_;
        NodePtr n = Make(Node::Kind::Intersection);
        n->children.push_back(std::move(left));
        n->children.push_back(ParsePrimary());
        left = Measured(std::move(n));
      } else {
        return left;
      }
    }
  }

  NodePtr ParsePrimary() {
    const Token& t = Next();
    switch (t.kind) {
      case TokenKind::Number: {
        NodePtr n = Make(Node::Kind::Number);
        n->number = std::strtod(std::string(t.text).c_str(), nullptr);
        return n;
      }
      case TokenKind::String: {
        NodePtr n = Make(Node::Kind::Text);
        n->text = UnescapeString(t.text);
        return n;
      }
      case TokenKind::Boolean: {
        NodePtr n = Make(Node::Kind::Boolean);
        n->boolean = Upper(t.text) == "TRUE";
        return n;
      }
      case TokenKind::Error: return ErrorNode(t);
      case TokenKind::Reference: {
        if (t.ref.area.kind == AreaRef::Kind::Error) {
          NodePtr n = Make(Node::Kind::Error);
          n->error = ErrorCode::Ref;
          return n;
        }
        if (t.ref.external || t.ref.threeD) return Unsupported(t);
        NodePtr n = Make(Node::Kind::Reference);
        n->ref = t.ref;
        n->text = std::string(t.text);
        return n;
      }
      case TokenKind::Name: return NameNode(t);
      case TokenKind::StructuredRef: return Unsupported(t);
      case TokenKind::Function: return FunctionCall(t);
      case TokenKind::OpenParen: return Parenthesised();
      case TokenKind::OpenBrace: return ArrayConstant();
      default: Fail("unexpected '" + std::string(t.text) + "'", &t);
    }
  }

  NodePtr ErrorNode(const Token& t) {
    std::string_view text = t.text;
    if (text.size() > 5 && Upper(text.substr(0, 5)) == "#REF!") text = text.substr(0, 5);
    auto code = ParseErrorText(text);
    if (!code) return Unsupported(t);
    NodePtr n = Make(Node::Kind::Error);
    n->error = *code;
    return n;
  }

  NodePtr Unsupported(const Token& t) {
    NodePtr n = Make(Node::Kind::Unsupported);
    n->text = std::string(t.text);
    return n;
  }

  NodePtr NameNode(const Token& t) {
    if (!t.text.empty() && t.text[0] == '[') return Unsupported(t);  // name in another workbook
    NodePtr n = Make(Node::Kind::Name);
    n->text = std::string(t.text);
    std::size_t bang = t.text.rfind('!');
    if (bang == std::string_view::npos) {
      n->name = n->text;
      return n;
    }
    std::string_view sheet = t.text.substr(0, bang);
    if (sheet.size() >= 2 && sheet.front() == '\'' && sheet.back() == '\'') {
      std::string unquoted;
      for (std::size_t i = 1; i + 1 < sheet.size(); ++i) {
        unquoted += sheet[i];
        if (sheet[i] == '\'' && sheet[i + 1] == '\'') ++i;
      }
      n->nameSheet = unquoted;
    } else {
      n->nameSheet = std::string(sheet);
    }
    n->name = std::string(t.text.substr(bang + 1));
    return n;
  }

  NodePtr FunctionCall(const Token& t) {
    NodePtr n = Make(Node::Kind::Function);
    std::string name = Upper(t.text);
    for (std::string_view prefix : {"_XLFN._XLWS.", "_XLFN.", "_XLWS."}) {
      if (name.rfind(prefix, 0) == 0) {
        name = name.substr(prefix.size());
        break;
      }
    }
    n->text = name;
    Expect(TokenKind::OpenParen, "'(' after the function name");
    if (PeekKind(TokenKind::CloseParen)) {
      Next();
      return n;
    }
    for (;;) {
      if (PeekKind(TokenKind::Comma) || PeekKind(TokenKind::CloseParen))
        n->children.push_back(Make(Node::Kind::Missing));
      else
        n->children.push_back(ParseComparison());
      if (PeekKind(TokenKind::Comma)) {
        Next();
        continue;
      }
      Expect(TokenKind::CloseParen, "',' or ')' in the argument list of " + name);
      return Measured(std::move(n));
    }
  }

  void Expect(TokenKind kind, const std::string& what) {
    if (!PeekKind(kind)) Fail("expected " + what, Peek());
    Next();
  }

  NodePtr Parenthesised() {
    NodePtr first = ParseComparison();
    if (!PeekKind(TokenKind::Comma)) {
      Expect(TokenKind::CloseParen, "')'");
      return first;
    }
    NodePtr u = Make(Node::Kind::Union);
    u->children.push_back(std::move(first));
    while (PeekKind(TokenKind::Comma)) {
      Next();
      u->children.push_back(ParseComparison());
    }
    Expect(TokenKind::CloseParen, "')'");
    return Measured(std::move(u));
  }

  CellValue ArrayElement() {
    bool negative = false;
    while (PeekOperator("-") || PeekOperator("+")) negative ^= Next().text == "-";
    const Token& t = Next();
    switch (t.kind) {
      case TokenKind::Number: {
        double v = std::strtod(std::string(t.text).c_str(), nullptr);
        return CellValue::Number(negative ? -v : v);
      }
      case TokenKind::String: return CellValue::Text(UnescapeString(t.text));
      case TokenKind::Boolean: return CellValue::Boolean(Upper(t.text) == "TRUE");
      case TokenKind::Error:
        if (auto code = ParseErrorText(t.text)) return CellValue::Error(*code);
        break;
      default: break;
    }
    Fail("array constants hold only numbers, text, TRUE/FALSE and errors", &t);
  }

  NodePtr ArrayConstant() {
    NodePtr n = Make(Node::Kind::Array);
    n->array.emplace_back();
    for (;;) {
      n->array.back().push_back(ArrayElement());
      if (PeekKind(TokenKind::Comma)) {
        Next();
      } else if (PeekKind(TokenKind::Semicolon)) {
        Next();
        n->array.emplace_back();
      } else {
        Expect(TokenKind::CloseBrace, "'}'");
        break;
      }
    }
    for (const auto& row : n->array)
      if (row.size() != n->array.front().size()) Fail("array constant rows differ in length", nullptr);
    return n;
  }

  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  int depth_ = 0;  // levels of recursion now open
};

}  // namespace

ParsedFormula ParseFormula(std::string_view formula) {
  try {
    Parser parser(formula);
    return ParsedFormula{parser.ParseAll(), {}};
  } catch (const ParseError& e) {
    // A hostile text may be megabytes long: quote its start only.
    constexpr std::size_t kQuoted = 80;
    std::string quoted(formula.substr(0, kQuoted));
    if (formula.size() > kQuoted) quoted += "...";
    return ParsedFormula{nullptr, "cannot read formula \"" + quoted + "\": " + e.message};
  }
}

}  // namespace vemo::wb
