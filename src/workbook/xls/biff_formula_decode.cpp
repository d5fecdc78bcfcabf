// BIFF8 token arrays to formula text: the tokens are in reverse Polish order,
// so each operand pushes its text and each operator or function joins the
// texts on top of the stack. Parentheses are tokens of their own, so the
// text needs no precedence rules.
#include <charconv>
#include <cmath>
#include <cstring>

#include "workbook/reference.h"
#include "workbook/workbook_error.h"
#include "workbook/xls/biff_formula.h"
#include "workbook/xls/biff_formula_internal.h"

namespace vemo::wb::xls {
namespace {

constexpr std::size_t kMaxTokenBytes = 65535;  // a two-byte length in every record
// Far above the longest formula a spreadsheet accepts (8192 characters); it
// bounds the copying a hostile token array can cause.
constexpr std::size_t kMaxTextBytes = 32768;

std::string Hex(unsigned value) {
  static const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[(value >> 4) & 15] + digits[value & 15];
}

class Decoder {
 public:
  Decoder(std::span<const uint8_t> rgce, std::span<const uint8_t> extra, CellAddress base,
          const FormulaContext& context)
      : rgce_(rgce), extra_(extra), base_(base), context_(context) {}

  std::string Run() {
    if (rgce_.empty()) Fail("it has no tokens");
    if (rgce_.size() > kMaxTokenBytes) Fail("it is longer than a record can hold");
    while (pos_ < rgce_.size()) {
      Step();
      if ((!stack_.empty() && stack_.back().size() > kMaxTextBytes) || lead_.size() + close_.size() > kMaxTextBytes)
        Fail("its text would be longer than any formula");
    }
    if (stack_.size() != 1) Fail("its tokens leave " + std::to_string(stack_.size()) + " values instead of one");
    return std::move(stack_.back()) + lead_ + close_;
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    throw WorkbookError("A formula of the .xls file cannot be read: " + why +
                        " (at byte " + std::to_string(pos_) +
                        "). The file is damaged; open it in the program that made it and save it again.");
  }

  const uint8_t* Take(std::size_t n) {
    if (rgce_.size() - pos_ < n) Fail("a token is cut short");
    const uint8_t* p = rgce_.data() + pos_;
    pos_ += n;
    return p;
  }
  uint8_t U8() { return *Take(1); }
  uint16_t U16() {
    const uint8_t* p = Take(2);
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
  }
  const uint8_t* TakeExtra(std::size_t n) {
    if (extra_.size() - extraPos_ < n) Fail("the data after the tokens is cut short");
    const uint8_t* p = extra_.data() + extraPos_;
    extraPos_ += n;
    return p;
  }

  std::string Pop() {
    if (stack_.empty()) Fail("an operator has no operand");
    std::string s = std::move(stack_.back());
    stack_.pop_back();
    return s;
  }
  // Whitespace collected from ptgAttr tokens goes before the next token's text.
  void Push(std::string text) { stack_.push_back(TakeLead() + std::move(text)); }
  std::string TakeLead() {
    std::string s = std::move(lead_);
    lead_.clear();
    return s;
  }
  std::string TakeClose() {
    std::string s = std::move(close_);
    close_.clear();
    return s;
  }

  void Step() {
    uint8_t id = U8();
    if (id >= 0x20 && id < 0x80) return Classed(static_cast<uint8_t>((id & 0x1F) | 0x20));
    switch (id) {
      case ptg::kExp:
      case ptg::kTbl:
        Fail("it points at a shared, array or table formula (resolve it with FindFormulaLink)");
      case ptg::kAdd: return Binary("+");
      case ptg::kSub: return Binary("-");
      case ptg::kMul: return Binary("*");
      case ptg::kDiv: return Binary("/");
      case ptg::kPower: return Binary("^");
      case ptg::kConcat: return Binary("&");
      case ptg::kLt: return Binary("<");
      case ptg::kLe: return Binary("<=");
      case ptg::kEq: return Binary("=");
      case ptg::kGe: return Binary(">=");
      case ptg::kGt: return Binary(">");
      case ptg::kNe: return Binary("<>");
      case ptg::kIsect: return Binary(" ");
      case ptg::kUnion: return Binary(",");
      case ptg::kRange: return Binary(":");
      case ptg::kUplus: return Prefix("+");
      case ptg::kUminus: return Prefix("-");
      case ptg::kPercent: {
        std::string a = Pop();
        return stack_.push_back(a + TakeLead() + "%");
      }
      case ptg::kParen: {
        std::string a = Pop();
        std::string lead = TakeLead();
        return stack_.push_back(lead + "(" + a + TakeClose() + ")");
      }
      case ptg::kMissArg: return Push("");
      case ptg::kStr: return Push(Quoted(ShortString()));
      case ptg::kAttr: return Attr();
      case ptg::kErr: {
        std::string_view text = ErrorTextOf(U8());
        if (text.empty()) Fail("an error constant has an unknown code");
        return Push(std::string(text));
      }
      case ptg::kBool: return Push(U8() ? "TRUE" : "FALSE");
      case ptg::kInt: return Push(std::to_string(U16()));
      case ptg::kNum: {
        double value;
        std::memcpy(&value, Take(8), 8);
        return Push(NumberText(value));
      }
      default:
        Fail("token " + Hex(id) + " is not a formula token this program understands");
    }
  }

  void Binary(const char* op) {
    std::string b = Pop();
    std::string a = Pop();
    stack_.push_back(a + TakeLead() + op + b);
  }
  void Prefix(const char* op) {
    std::string a = Pop();
    stack_.push_back(TakeLead() + op + a);
  }

  std::string ShortString() {
    uint8_t count = U8();
    bool wide = U8() & 1;
    const uint8_t* chars = Take(static_cast<std::size_t>(count) * (wide ? 2 : 1));
    return Utf8FromBiff(chars, count, wide);
  }
  std::string ExtraString() {
    const uint8_t* head = TakeExtra(3);
    std::size_t count = head[0] | (head[1] << 8);
    bool wide = head[2] & 1;
    return Utf8FromBiff(TakeExtra(count * (wide ? 2 : 1)), count, wide);
  }
  static std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
      out += ch;
      if (ch == '"') out += '"';
    }
    return out + "\"";
  }
  static std::string NumberText(double value) {
    char buffer[64];
    // Fifteen significant digits, as spreadsheets show and write numbers:
    // a constant typed as 0.284 may be stored as 0.28400000000000003.
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    for (char& ch : text)
      if (ch == 'e') ch = 'E';
    return text;
  }

  void Attr() {
    uint8_t kind = U8();
    uint16_t data = U16();
    if (kind & ptg::kAttrChoose) {
      Take((static_cast<std::size_t>(data) + 1) * 2);  // the jump table
    } else if (kind & ptg::kAttrSum) {
      std::string a = Pop();
      stack_.push_back(TakeLead() + "SUM(" + a + TakeClose() + ")");
    } else if (kind & ptg::kAttrSpace) {
      uint8_t type = data & 0xFF;
      std::size_t count = data >> 8;
      bool lineBreak = type == 1 || type == 3 || type == 5;
      std::string& into = (type == 4 || type == 5) ? close_ : lead_;
      if (type <= 5) into.append(count, lineBreak ? '\n' : ' ');
    }
    // tAttrVolatile, tAttrIf, tAttrSkip and the others only help evaluation.
  }

  void Classed(uint8_t id) {
    switch (id) {
      case ptg::kArray: Take(7); return Push(ArrayConstant());
      case ptg::kFunc: return Function(U16(), std::nullopt);
      case ptg::kFuncVar: {
        uint8_t count = U8();
        return Function(U16(), count & 0x7F);
      }
      case ptg::kName: {
        uint16_t index = U16();
        Take(2);
        return Push(NameText(index));
      }
      case ptg::kRef: return Push(RefText(false));
      case ptg::kArea: return Push(AreaText(false));
      case ptg::kRefN: return Push(RefText(true));
      case ptg::kAreaN: return Push(AreaText(true));
      case ptg::kMemArea: {
        Take(6);
        const uint8_t* count = TakeExtra(2);
        TakeExtra((count[0] | (count[1] << 8)) * 8u);
        return;  // the subexpression that follows gives the reference
      }
      case ptg::kMemErr:
      case ptg::kMemNoMem: Take(6); return;
      case ptg::kMemFunc: Take(2); return;
      case ptg::kRefErr: Take(4); return Push("#REF!");
      case ptg::kAreaErr: Take(8); return Push("#REF!");
      case ptg::kNameX: {
        uint16_t ixti = U16();
        uint16_t index = U16();
        Take(2);
        return Push(ExternalNameText(ixti, index));
      }
      case ptg::kRef3d: {
        std::string prefix = SheetPrefix(U16());
        return Push(prefix + RefText(false));
      }
      case ptg::kArea3d: {
        std::string prefix = SheetPrefix(U16());
        return Push(prefix + AreaText(false));
      }
      case ptg::kRefErr3d:
      case ptg::kAreaErr3d: {
        std::string prefix = SheetPrefix(U16());
        Take(id == ptg::kRefErr3d ? 4 : 8);
        return Push(prefix == "#REF!" ? prefix : prefix + "#REF!");  // a lost cell of a lost sheet
      }
      default:
        Fail("token " + Hex(id) + " is not a formula token this program understands");
    }
  }

  void Function(uint16_t tab, std::optional<uint8_t> count) {
    if (tab & 0x8000) Fail("it calls a macro command");
    std::string name;
    std::size_t args = 0;
    const FunctionInfo* info = nullptr;
    if (tab == ptg::kExternalFunction && count) {
      if (*count == 0) Fail("an add-in function call has no name");
      args = *count - 1u;
    } else {
      info = FunctionByIndex(tab);
      if (!info) Fail("it calls function number " + std::to_string(tab) + ", which .xls files do not have");
      name = std::string(info->name);
      args = count ? *count : info->minArgs;
      if (!count && !info->FixedArgs()) Fail(name + " is called without its argument count");
    }
    if (stack_.size() < args + (info ? 0 : 1)) Fail("a function has fewer operands than arguments");
    std::string list;
    for (std::size_t i = stack_.size() - args; i < stack_.size(); ++i) {
      if (i > stack_.size() - args) list += ',';
      list += stack_[i];
    }
    stack_.resize(stack_.size() - args);
    if (!info) name = Pop();
    std::string close = TakeClose();
    stack_.push_back(TakeLead() + name + "(" + list + close + ")");
  }

  CellRef Corner(uint16_t row, uint16_t colField, bool relative) const {
    CellRef cell;
    cell.rowAbsolute = !(colField & 0x8000);
    cell.colAbsolute = !(colField & 0x4000);
    int r = row;
    int c = colField & 0x3FFF;
    if (relative && !cell.rowAbsolute) r = ((base_.row - 1 + static_cast<int16_t>(row)) % ptg::kRows + ptg::kRows) % ptg::kRows;
    if (relative && !cell.colAbsolute)
      c = ((base_.col - 1 + static_cast<int8_t>(colField & 0xFF)) % ptg::kColumns + ptg::kColumns) % ptg::kColumns;
    if (c >= kMaxColumn) Fail("a reference names a column past the last one");
    cell.row = r + 1;
    cell.col = c + 1;
    return cell;
  }
  std::string RefText(bool relative) {
    uint16_t row = U16();
    uint16_t col = U16();
    return FormatCellRef(Corner(row, col, relative));
  }
  std::string AreaText(bool relative) {
    uint16_t r1 = U16(), r2 = U16(), c1 = U16(), c2 = U16();
    AreaRef area;
    area.kind = AreaRef::Kind::Area;
    area.first = Corner(r1, c1, relative);
    area.last = Corner(r2, c2, relative);
    if (area.first.row == 1 && area.last.row == ptg::kRows) {
      area.kind = AreaRef::Kind::Columns;
      area.first.row = area.last.row = 0;
    } else if (area.first.col == 1 && area.last.col == ptg::kColumns) {
      area.kind = AreaRef::Kind::Rows;
      area.first.col = area.last.col = 0;
    }
    return FormatAreaRef(area);
  }

  const Xti& XtiAt(uint16_t ixti) const {
    if (ixti >= context_.xti.size()) Fail("a reference names sheet list entry " + std::to_string(ixti) + ", which the file does not have");
    return context_.xti[ixti];
  }
  const Supbook& SupbookOf(const Xti& xti) const {
    if (xti.supbook >= context_.supbooks.size()) Fail("a sheet list entry names a missing workbook reference");
    return context_.supbooks[xti.supbook];
  }
  // The 1-based number of an external workbook among the external ones, as
  // formula text writes it ("[1]Sheet1!A1").
  std::string ExternalBookTag(uint16_t supbook) const {
    int number = 0;
    for (std::size_t i = 0; i <= supbook; ++i)
      if (context_.supbooks[i].kind == SupbookKind::External) ++number;
    return "[" + std::to_string(number) + "]";
  }
  std::string SheetPrefix(uint16_t ixti) const {
    const Xti& xti = XtiAt(ixti);
    const Supbook& book = SupbookOf(xti);
    const std::vector<std::string>& sheets =
        book.kind == SupbookKind::Internal ? context_.sheetNames : book.sheetNames;
    if (xti.firstSheet == 0xFFFF || xti.lastSheet == 0xFFFF) return "#REF!";
    if (xti.firstSheet >= sheets.size() || xti.lastSheet >= sheets.size())
      Fail("a reference names sheet " + std::to_string(xti.firstSheet + 1) + ", which the file does not have");
    Reference ref;
    ref.sheet = sheets[xti.firstSheet];
    ref.threeD = xti.lastSheet != xti.firstSheet;
    ref.lastSheet = sheets[xti.lastSheet];
    std::string text = FormatReference(ref);  // "Sheet1!A1" or "'My Sheet'!A1"
    text.resize(text.rfind('!') + 1);
    if (book.kind != SupbookKind::External) return text;
    std::string tag = ExternalBookTag(xti.supbook);
    return text[0] == '\'' ? "'" + tag + text.substr(1) : tag + text;
  }

  std::string NameText(uint16_t index) const {
    if (index == 0 || index > context_.names.size()) Fail("it uses name number " + std::to_string(index) + ", which the file does not define");
    return context_.names[index - 1].name;
  }
  std::string ExternalNameText(uint16_t ixti, uint16_t index) const {
    const Xti& xti = XtiAt(ixti);
    const Supbook& book = SupbookOf(xti);
    if (book.kind == SupbookKind::Internal) {
      std::string name = NameText(index);
      if (xti.firstSheet >= context_.sheetNames.size()) return name;
      return FormatSheetName(context_.sheetNames[xti.firstSheet]) + "!" + name;
    }
    if (index == 0 || index > book.externNames.size()) Fail("it uses an external name the file does not list");
    const std::string& name = book.externNames[index - 1];
    if (book.kind == SupbookKind::AddIn) return name;
    std::string tag = ExternalBookTag(xti.supbook);
    if (xti.firstSheet < book.sheetNames.size()) return tag + FormatSheetName(book.sheetNames[xti.firstSheet]) + "!" + name;
    return tag + "!" + name;
  }

  std::string ArrayConstant() {
    const uint8_t* size = TakeExtra(3);
    std::size_t cols = size[0] + 1u;
    std::size_t rows = (size[1] | (size[2] << 8)) + 1u;
    std::string out = "{";
    for (std::size_t r = 0; r < rows; ++r) {
      for (std::size_t c = 0; c < cols; ++c) {
        if (c) out += ',';
        uint8_t type = *TakeExtra(1);
        switch (type) {
          case 0x00: TakeExtra(8); break;
          case 0x01: {
            double value;
            std::memcpy(&value, TakeExtra(8), 8);
            out += NumberText(value);
            break;
          }
          case 0x02: out += Quoted(ExtraString()); break;
          case 0x04: out += *TakeExtra(8) ? "TRUE" : "FALSE"; break;
          case 0x10: {
            std::string_view text = ErrorTextOf(*TakeExtra(8));
            if (text.empty()) Fail("an array constant holds an unknown error code");
            out += text;
            break;
          }
          default: Fail("an array constant holds a value of unknown type " + Hex(type));
        }
      }
      if (r + 1 < rows) out += ';';
    }
    return out + "}";
  }

  std::span<const uint8_t> rgce_;
  std::span<const uint8_t> extra_;
  CellAddress base_;
  const FormulaContext& context_;
  std::size_t pos_ = 0;
  std::size_t extraPos_ = 0;
  std::vector<std::string> stack_;
  std::string lead_;   // whitespace before the next token
  std::string close_;  // whitespace before the next closing parenthesis
};

}  // namespace

std::optional<FormulaLink> FindFormulaLink(std::span<const uint8_t> rgce) {
  if (rgce.size() < 5 || (rgce[0] != ptg::kExp && rgce[0] != ptg::kTbl)) return std::nullopt;
  FormulaLink link;
  link.kind = rgce[0] == ptg::kExp ? FormulaLink::Kind::SharedOrArray : FormulaLink::Kind::Table;
  link.master.row = (rgce[1] | (rgce[2] << 8)) + 1;
  link.master.col = (rgce[3] | (rgce[4] << 8)) + 1;
  return link;
}

// Every use reads the same way: a token's own number says whether its
// position is absolute or relative to the base cell.
std::string DecodeFormula(std::span<const uint8_t> rgce, std::span<const uint8_t> extra, FormulaUse,
                          CellAddress base, const FormulaContext& context) {
  return Decoder(rgce, extra, base, context).Run();
}

}  // namespace vemo::wb::xls
