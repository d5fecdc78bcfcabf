// Formula text to BIFF8 tokens: the parsed tree written in reverse Polish
// order. Each reference and function token gets the class its place asks for
// (a reference where a function wants a range, a value where an operator
// computes), as other readers evaluate by those classes.
#include <charconv>
#include <cstring>

#include "workbook/workbook_error.h"
#include "workbook/xls/biff_formula.h"
#include "workbook/xls/biff_formula_internal.h"
#include "workbook/xls/biff_formula_parse.h"

namespace vemo::wb::xls {
namespace {

using Kind = FormulaTree::Kind;
using Bytes = std::vector<uint8_t>;
using ptg::Class;

void Put16(Bytes& out, unsigned value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}
void PutAttr(Bytes& out, uint8_t kind, unsigned data) {
  out.push_back(ptg::kAttr);
  out.push_back(kind);
  Put16(out, data);
}
uint8_t Classed(uint8_t id, Class cls) { return static_cast<uint8_t>(id + static_cast<uint8_t>(cls)); }

class Encoder {
 public:
  Encoder(std::string_view text, FormulaUse use, CellAddress base, FormulaContext& context)
      : text_(text), use_(use), base_(base), context_(context) {}

  EncodedFormula Run() {
    std::string trailing;
    FormulaTree tree = ParseFormulaTree(text_, trailing);
    Bytes body;
    // Array formulas are written like cell formulas: their arrays come from
    // the classes of function arguments.
    bool reference = use_ == FormulaUse::Name || use_ == FormulaUse::DataValidation;
    Emit(tree, reference ? Class::Ref : Class::Value, body);
    // A list of areas in a name is one reference expression.
    if (use_ == FormulaUse::Name && tree.kind == Kind::Binary && tree.text == ",") {
      Bytes wrapped{Classed(ptg::kMemFunc, Class::Ref)};
      Put16(wrapped, static_cast<unsigned>(body.size()));
      body.insert(body.begin(), wrapped.begin(), wrapped.end());
    }
    Spaces(trailing, 0, body);
    EncodedFormula result;
    if (volatile_) PutAttr(result.rgce, ptg::kAttrVolatile, 0);
    result.rgce.insert(result.rgce.end(), body.begin(), body.end());
    if (result.rgce.size() > 65535) Fail("it is too long");
    result.extra = std::move(extra_);
    return result;
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    throw WorkbookError("The formula \"" + std::string(text_) + "\" cannot be stored in an .xls file: " + why +
                        ". Correct the formula or keep the workbook as .xlsx.");
  }

  // Whitespace as ptgAttr tokens: `type` 0 for spaces before a token, 2 before
  // an opening and 4 before a closing parenthesis; line breaks use type + 1.
  void Spaces(std::string_view ws, uint8_t type, Bytes& out) const {
    std::size_t i = 0;
    while (i < ws.size()) {
      char ch = ws[i];
      std::size_t n = 0;
      while (i < ws.size() && ws[i] == ch && n < 255) ++i, ++n;
      if (ch == ' ' || ch == '\n') PutAttr(out, ptg::kAttrSpace, static_cast<unsigned>(type + (ch == '\n')) | (n << 8));
    }
  }

  Class ValueClass(Class wanted) const {
    return (wanted == Class::Array || arrayArgument_) ? Class::Array : Class::Value;
  }

  void Emit(const FormulaTree& node, Class wanted, Bytes& out) {
    switch (node.kind) {
      case Kind::Number: Spaces(node.lead, 0, out); return Number(node.text, out);
      case Kind::String: {
        Spaces(node.lead, 0, out);
        out.push_back(ptg::kStr);
        return ShortString(Unquote(node.text), out);
      }
      case Kind::Boolean:
        Spaces(node.lead, 0, out);
        out.push_back(ptg::kBool);
        out.push_back(SameTextNoCase(node.text, "TRUE") ? 1 : 0);
        return;
      case Kind::Error: return Error(node, wanted, out);
      case Kind::Missing: Spaces(node.lead, 0, out); out.push_back(ptg::kMissArg); return;
      case Kind::Reference: Spaces(node.lead, 0, out); return Reference(node.ref, wanted, out);
      case Kind::Name: Spaces(node.lead, 0, out); return Name(node.text, wanted, out);
      case Kind::Array: Spaces(node.lead, 0, out); return Array(node, wanted, out);
      case Kind::Function: return Function(node, wanted, out);
      case Kind::Paren:
        Emit(node.children[0], wanted, out);
        Spaces(node.lead, 2, out);
        Spaces(node.close, 4, out);
        out.push_back(ptg::kParen);
        return;
      case Kind::Unary:
        if (node.text == "-" && node.children[0].kind == Kind::Number && node.children[0].lead.empty()) {
          Spaces(node.lead, 0, out);  // a negative constant is stored as one number
          return Number("-" + node.children[0].text, out);
        }
        Emit(node.children[0], ValueClass(wanted), out);
        Spaces(node.lead, 0, out);
        out.push_back(node.text == "-" ? ptg::kUminus : ptg::kUplus);
        return;
      case Kind::Percent:
        Emit(node.children[0], ValueClass(wanted), out);
        Spaces(node.lead, 0, out);
        out.push_back(ptg::kPercent);
        return;
      case Kind::Binary: return Binary(node, wanted, out);
    }
  }

  void Binary(const FormulaTree& node, Class wanted, Bytes& out) {
    static constexpr std::pair<std::string_view, uint8_t> kOperators[] = {
        {"+", ptg::kAdd}, {"-", ptg::kSub}, {"*", ptg::kMul}, {"/", ptg::kDiv}, {"^", ptg::kPower},
        {"&", ptg::kConcat}, {"<", ptg::kLt}, {"<=", ptg::kLe}, {"=", ptg::kEq}, {">=", ptg::kGe},
        {">", ptg::kGt}, {"<>", ptg::kNe}, {" ", ptg::kIsect}, {",", ptg::kUnion}, {":", ptg::kRange}};
    uint8_t id = 0;
    for (const auto& [text, code] : kOperators)
      if (text == node.text) id = code;
    bool reference = id == ptg::kIsect || id == ptg::kUnion || id == ptg::kRange;
    Class operands = reference ? Class::Ref : ValueClass(wanted);
    Emit(node.children[0], operands, out);
    Emit(node.children[1], operands, out);
    Spaces(node.lead, 0, out);
    out.push_back(id);
  }

  static std::string Unquote(std::string_view quoted) {
    std::string out;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
      out += quoted[i];
      if (quoted[i] == '"') ++i;
    }
    return out;
  }
  void ShortString(const std::string& text, Bytes& out) const {
    std::u16string units = Utf16FromUtf8(text);
    if (units.size() > 255) Fail("a text constant is longer than 255 characters");
    bool wide = false;
    for (char16_t u : units) wide |= u > 0xFF;
    out.push_back(static_cast<uint8_t>(units.size()));
    out.push_back(wide ? 1 : 0);
    for (char16_t u : units) {
      out.push_back(static_cast<uint8_t>(u & 0xFF));
      if (wide) out.push_back(static_cast<uint8_t>(u >> 8));
    }
  }
  double ParseNumber(std::string_view text) const {
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) Fail("the number " + std::string(text) + " is out of range");
    return value;
  }
  void Number(std::string_view text, Bytes& out) const {
    double value = ParseNumber(text);
    // Validation formulas hold every number as a double.
    if (use_ != FormulaUse::DataValidation && value >= 0 && value <= 65535 && value == static_cast<int>(value) &&
        text.find_first_of(".eE") == std::string_view::npos) {
      out.push_back(ptg::kInt);
      Put16(out, static_cast<unsigned>(value));
      return;
    }
    out.push_back(ptg::kNum);
    uint8_t bytes[8];
    std::memcpy(bytes, &value, 8);
    out.insert(out.end(), bytes, bytes + 8);
  }
  void Error(const FormulaTree& node, Class wanted, Bytes& out) {
    Spaces(node.lead, 0, out);
    if (auto code = ErrorCodeOf(node.text)) {
      out.push_back(ptg::kErr);
      out.push_back(*code);
      return;
    }
    std::optional<AreaRef> area;
    if (node.text.rfind("#REF!", 0) == 0) area = ParseAreaRef(std::string_view(node.text).substr(5));
    if (!area) Fail("the error " + node.text + " does not exist in .xls files");
    // A reference into a deleted sheet.
    AreaTokens(*area, context_.InternalXti(0xFFFF, 0xFFFF), wanted, out);
  }

  int SheetIndex(const std::string& name) const {
    for (std::size_t i = 0; i < context_.sheetNames.size(); ++i)
      if (SameSheetName(context_.sheetNames[i], name)) return static_cast<int>(i);
    Fail("there is no sheet named " + name);
  }

  // Row and column fields of one corner; offsets from the base cell in the
  // relative forms.
  void Corner(const CellRef& cell, bool wholeColumn, bool wholeRow, bool offsets, uint16_t& row, uint16_t& col) const {
    int r = wholeColumn ? 0 : cell.row - 1;
    int c = wholeRow ? 0 : cell.col - 1;
    if (r >= ptg::kRows) Fail("row " + std::to_string(r + 1) + " is past the last row of an .xls sheet (65536)");
    if (c >= ptg::kColumns) Fail("column " + ColumnLetters(c + 1) + " is past the last column of an .xls sheet (IV)");
    bool rowRelative = !wholeColumn && !cell.rowAbsolute;
    bool colRelative = !wholeRow && !cell.colAbsolute;
    if (offsets && rowRelative) r -= base_.row - 1;
    if (offsets && colRelative) c -= base_.col - 1;
    row = static_cast<uint16_t>(r & 0xFFFF);
    // A relative column offset is one signed byte.
    col = static_cast<uint16_t>((offsets && colRelative ? c & 0xFF : c & 0x3FFF) | (colRelative ? 0x4000 : 0) | (rowRelative ? 0x8000 : 0));
  }

  // The SUPBOOK of "[n]" in a reference or name: the n-th external book.
  int ExternalBook(std::string_view prefix) const {
    std::size_t open = prefix.find('['), close = prefix.find(']');
    int number = 0;
    if (open != std::string_view::npos && close != std::string_view::npos && close > open + 1)
      std::from_chars(prefix.data() + open + 1, prefix.data() + close, number);
    for (std::size_t i = 0; i < context_.supbooks.size(); ++i)
      if (context_.supbooks[i].kind == SupbookKind::External && --number == 0) return static_cast<int>(i);
    Fail("the other workbook " + std::string(prefix.substr(open, close - open + 1)) + " is not linked to this one");
  }
  int ExternalSheet(int book, const std::string& name) const {
    const std::vector<std::string>& sheets = context_.supbooks[book].sheetNames;
    for (std::size_t i = 0; i < sheets.size(); ++i)
      if (SameSheetName(sheets[i], name)) return static_cast<int>(i);
    Fail("the other workbook has no sheet named " + name);
  }

  void Reference(const wb::Reference& ref, Class wanted, Bytes& out) {
    std::optional<uint16_t> xti;
    if (ref.external) {
      int book = ExternalBook(ref.prefix);
      int first = ExternalSheet(book, *ref.sheet);
      xti = context_.XtiOf(book, first, ref.threeD ? ExternalSheet(book, ref.lastSheet) : first);
    } else if (ref.sheet) {
      int first = SheetIndex(*ref.sheet);
      xti = context_.InternalXti(first, ref.threeD ? SheetIndex(ref.lastSheet) : first);
    }
    AreaTokens(ref.area, xti, wanted, out);
  }

  // A reference on this sheet, or through a sheet list entry (3-D forms).
  void AreaTokens(const AreaRef& area, std::optional<uint16_t> xti, Class wanted, Bytes& out) {
    bool sheet = xti.has_value();
    if (!sheet && use_ == FormulaUse::Name) Fail("a name must refer to cells with their sheet, as in Sheet1!A1");
    bool single = area.kind == AreaRef::Kind::Cell;
    bool columns = area.kind == AreaRef::Kind::Columns, rows = area.kind == AreaRef::Kind::Rows;
    bool relative = (!columns && (!area.first.rowAbsolute || (!single && !area.last.rowAbsolute))) ||
                    (!rows && (!area.first.colAbsolute || (!single && !area.last.colAbsolute)));
    // Formulas shared by several cells hold relative positions as offsets
    // from the cell they are used in; fully absolute ones are stored plainly.
    bool offsets = !sheet && relative &&
                   (use_ == FormulaUse::Shared || use_ == FormulaUse::ConditionalFormat ||
                    use_ == FormulaUse::DataValidation);
    uint8_t id;
    if (area.kind == AreaRef::Kind::Error)
      id = sheet ? ptg::kRefErr3d : ptg::kRefErr;
    else if (sheet)
      id = single ? ptg::kRef3d : ptg::kArea3d;
    else if (offsets)
      id = single ? ptg::kRefN : ptg::kAreaN;
    else
      id = single ? ptg::kRef : ptg::kArea;
    out.push_back(Classed(id, wanted));
    if (sheet) Put16(out, *xti);
    if (area.kind == AreaRef::Kind::Error) {
      out.insert(out.end(), 4, 0);
      return;
    }
    uint16_t r1, c1, r2, c2;
    Corner(area.first, columns, rows, offsets, r1, c1);
    if (single) {
      Put16(out, r1);
      Put16(out, c1);
      return;
    }
    Corner(area.last, columns, rows, offsets, r2, c2);
    if (columns) r2 = ptg::kRows - 1;
    if (rows) c2 = static_cast<uint16_t>((c2 & 0xC000) | (ptg::kColumns - 1));
    Put16(out, r1);
    Put16(out, r2);
    Put16(out, c1);
    Put16(out, c2);
  }

  // Index (1-based) of a defined name of the given sheet (0-based), or, when
  // `sheet` is -1, the name as seen from the formula's own sheet: that
  // sheet's name first, then the workbook's.
  int NameIndex(std::string_view name, int sheet) const {
    int global = 0;
    int own = sheet >= 0 ? sheet : context_.sheet;
    for (std::size_t i = 0; i < context_.names.size(); ++i) {
      const DefinedName& n = context_.names[i];
      if (!SameTextNoCase(n.name, name)) continue;
      if (own >= 0 && n.sheetScope == own + 1) return static_cast<int>(i + 1);
      if (sheet < 0 && n.sheetScope == 0 && !global) global = static_cast<int>(i + 1);
    }
    return global;
  }
  void Name(const std::string& text, Class wanted, Bytes& out) {
    std::size_t bang = text.rfind('!');
    if (bang == std::string::npos) {
      int index = NameIndex(text, -1);
      if (!index) Fail("the name " + text + " is not defined in the workbook");
      out.push_back(Classed(ptg::kName, wanted));
      Put16(out, static_cast<unsigned>(index));
      Put16(out, 0);
      return;
    }
    std::string sheet = text.substr(0, bang);
    if (sheet.size() >= 2 && sheet.front() == '\'') {
      std::string unquoted;
      for (std::size_t i = 1; i + 1 < sheet.size(); ++i) {
        unquoted += sheet[i];
        if (sheet[i] == '\'') ++i;
      }
      sheet = unquoted;
    }
    if (sheet.rfind('[', 0) == 0) return ExternalName(sheet, text.substr(bang + 1), wanted, out);
    int tab = SheetIndex(sheet);
    int index = NameIndex(std::string_view(text).substr(bang + 1), tab);
    if (!index) Fail("the sheet " + sheet + " has no name " + text.substr(bang + 1));
    out.push_back(Classed(ptg::kNameX, wanted));
    Put16(out, context_.InternalXti(tab, tab));
    Put16(out, static_cast<unsigned>(index));
    Put16(out, 0);
  }

  // "[1]!Rate" or "[1]Sheet1!Rate": an EXTERNNAME of the linked book.
  void ExternalName(const std::string& qualifier, const std::string& name, Class wanted, Bytes& out) {
    int book = ExternalBook(qualifier);
    std::string sheet = qualifier.substr(qualifier.find(']') + 1);
    int tab = sheet.empty() ? 0xFFFE : ExternalSheet(book, sheet);
    const std::vector<std::string>& names = context_.supbooks[book].externNames;
    std::size_t index = 0;
    while (index < names.size() && !SameTextNoCase(names[index], name)) ++index;
    if (index == names.size()) Fail("the other workbook has no name " + name);
    out.push_back(Classed(ptg::kNameX, wanted));
    Put16(out, context_.XtiOf(book, tab, tab));
    Put16(out, static_cast<unsigned>(index + 1));
    Put16(out, 0);
  }

  void Array(const FormulaTree& node, Class wanted, Bytes& out) {
    if (node.rows.front().size() > 256 || node.rows.size() > 65536) Fail("an array constant is too large");
    out.push_back(Classed(ptg::kArray, wanted == Class::Ref ? Class::Array : wanted));
    std::size_t start = extra_.size();
    extra_.push_back(static_cast<uint8_t>(node.rows.front().size() - 1));
    Put16(extra_, static_cast<unsigned>(node.rows.size() - 1));
    out.insert(out.end(), extra_.begin() + static_cast<std::ptrdiff_t>(start), extra_.end());  // the size again, as others write it
    out.insert(out.end(), 4, 0);
    for (const auto& row : node.rows) {
      for (const std::string& value : row) {
        char first = value.empty() ? 0 : value[0];
        if (first == '"') {
          std::u16string units = Utf16FromUtf8(Unquote(value));
          extra_.push_back(0x02);
          Put16(extra_, static_cast<unsigned>(units.size()));
          extra_.push_back(1);
          for (char16_t u : units) Put16(extra_, u);
        } else if (first == '#') {
          auto code = ErrorCodeOf(value);
          if (!code) Fail("the error " + value + " does not exist in .xls files");
          extra_.push_back(0x10);
          extra_.push_back(*code);
          extra_.insert(extra_.end(), 7, 0);
        } else if (first == 'T' || first == 't' || first == 'F' || first == 'f') {
          extra_.push_back(0x04);
          extra_.push_back(SameTextNoCase(value, "TRUE") ? 1 : 0);
          extra_.insert(extra_.end(), 7, 0);
        } else {
          double number = ParseNumber(value);
          extra_.push_back(0x01);
          uint8_t bytes[8];
          std::memcpy(bytes, &number, 8);
          extra_.insert(extra_.end(), bytes, bytes + 8);
        }
      }
    }
  }

  void Function(const FormulaTree& node, Class wanted, Bytes& out) {
    std::string_view name = node.text;
    const FunctionInfo* info = FunctionByName(name.rfind("_xlfn.", 0) == 0 ? name.substr(6) : name);
    if (info && name.rfind("_xlfn.", 0) == 0) info = nullptr;  // a newer function of the same name
    std::size_t args = node.children.size();
    if (!info) return ExternalFunction(node, wanted, out);
    if (args < info->minArgs || args > info->maxArgs)
      Fail(std::string(info->name) + " takes " + std::to_string(info->minArgs) + " to " +
           std::to_string(info->maxArgs) + " arguments, not " + std::to_string(args));
    volatile_ |= info->isVolatile;
    Class own = info->result == 'R' ? wanted : ValueClass(wanted);
    Bytes spaces;
    Spaces(node.lead, 0, spaces);
    Spaces(node.close, 4, spaces);
    if (info->index == 4 && args == 1) {  // SUM of one argument has a short form
      Argument(node.children[0], *info, 0, out);
      out.insert(out.end(), spaces.begin(), spaces.end());
      PutAttr(out, ptg::kAttrSum, 0);
      return;
    }
    Bytes token;
    token.push_back(Classed(info->FixedArgs() ? ptg::kFunc : ptg::kFuncVar, own));
    if (!info->FixedArgs()) token.push_back(static_cast<uint8_t>(args));
    Put16(token, info->index);
    if (info->index == 1 || info->index == 100) return Branches(node, *info, spaces, token, out);
    for (std::size_t i = 0; i < args; ++i) Argument(node.children[i], *info, i, out);
    out.insert(out.end(), spaces.begin(), spaces.end());
    out.insert(out.end(), token.begin(), token.end());
  }

  // Inside an argument that takes an array, values are array-class down to
  // the next value argument of a function that returns a value (functions
  // returning references pass the array on to all their arguments).
  void Argument(const FormulaTree& arg, const FunctionInfo& info, std::size_t index, Bytes& out) {
    char param = info.ParamClass(index);
    bool outer = arrayArgument_;
    arrayArgument_ = param == 'A' || (outer && (param == 'R' || info.result == 'R'));
    Emit(arg, param == 'R' ? Class::Ref : ValueClass(Class::Value), out);
    arrayArgument_ = outer;
  }

  // IF and CHOOSE carry jumps so a reader evaluates only the branch taken:
  // IF jumps past the true branch when false, CHOOSE through a table of
  // offsets (counted from the table's start) to each branch, and every
  // branch ends in a skip whose count is the bytes after it up to the end of
  // the function token, less one. Whitespace of the call goes before the last skip.
  void Branches(const FormulaTree& node, const FunctionInfo& info, const Bytes& spaces, const Bytes& token,
                Bytes& out) {
    bool choose = info.index == 100;
    Argument(node.children[0], info, 0, out);
    std::size_t count = node.children.size() - 1;
    std::vector<Bytes> branches(count);
    for (std::size_t i = 0; i < count; ++i) Argument(node.children[i + 1], info, i + 1, branches[i]);
    branches.back().insert(branches.back().end(), spaces.begin(), spaces.end());
        std::size_t table = 2 * (count + 1);
    if (choose) {
      PutAttr(out, ptg::kAttrChoose, static_cast<unsigned>(count));
      std::size_t at = table;
      for (const Bytes& b : branches) {
        Put16(out, static_cast<unsigned>(at));
        at += b.size() + 4;
      }
      Put16(out, static_cast<unsigned>(at));
    } else {
      PutAttr(out, ptg::kAttrIf, static_cast<unsigned>(branches[0].size() + 4));
    }
    std::size_t remaining = 0;
    for (const Bytes& b : branches) remaining += b.size() + 4;
    for (const Bytes& b : branches) {
      out.insert(out.end(), b.begin(), b.end());
      remaining -= b.size() + 4;
      PutAttr(out, ptg::kAttrSkip, static_cast<unsigned>(remaining + token.size() - 1));
    }
    out.insert(out.end(), token.begin(), token.end());
  }

  // A function .xls files have no number for: its name as an external name
  // of the add-in book (or a defined name of that text), then number 255.
  void ExternalFunction(const FormulaTree& node, Class wanted, Bytes& out) {
    std::size_t args = node.children.size();
    if (args + 1 > 255) Fail("the function " + node.text + " has too many arguments");
    if (int index = NameIndex(node.text, -1)) {
      out.push_back(Classed(ptg::kName, Class::Ref));
      Put16(out, static_cast<unsigned>(index));
      Put16(out, 0);
    } else {
      out.push_back(Classed(ptg::kNameX, Class::Ref));
      Put16(out, AddInXti());
      Put16(out, AddInName(node.text));
      Put16(out, 0);
    }
    // Their argument classes are unknown: add-in functions get references;
    // newer functions get ranges as references and single cells as values,
    // as their criteria arguments want.
    bool newer = node.text.rfind("_xlfn.", 0) == 0;
    for (const FormulaTree& arg : node.children) {
      bool cell = arg.kind == Kind::Reference && arg.ref.area.kind == AreaRef::Kind::Cell;
      Emit(arg, newer && cell ? ValueClass(wanted) : Class::Ref, out);
    }
    Spaces(node.lead, 0, out);
    Spaces(node.close, 4, out);
    out.push_back(Classed(ptg::kFuncVar, ValueClass(wanted)));
    out.push_back(static_cast<uint8_t>(args + 1));
    Put16(out, ptg::kExternalFunction);
  }
  int AddInBook() {
    for (std::size_t i = 0; i < context_.supbooks.size(); ++i)
      if (context_.supbooks[i].kind == SupbookKind::AddIn) return static_cast<int>(i);
    context_.supbooks.push_back(Supbook{SupbookKind::AddIn, {}, {}, {}});
    return static_cast<int>(context_.supbooks.size() - 1);
  }
  uint16_t AddInXti() { return context_.XtiOf(AddInBook(), 0xFFFE, 0xFFFE); }
  unsigned AddInName(const std::string& name) {
    std::vector<std::string>& names = context_.supbooks[AddInBook()].externNames;
    for (std::size_t i = 0; i < names.size(); ++i)
      if (SameTextNoCase(names[i], name)) return static_cast<unsigned>(i + 1);
    names.push_back(name);
    return static_cast<unsigned>(names.size());
  }

  std::string_view text_;
  FormulaUse use_;
  CellAddress base_;
  FormulaContext& context_;
  Bytes extra_;
  bool volatile_ = false;
  bool arrayArgument_ = false;
};

}  // namespace

EncodedFormula EncodeFormula(std::string_view text, FormulaUse use, CellAddress base, FormulaContext& context) {
  return Encoder(text, use, base, context).Run();
}

}  // namespace vemo::wb::xls
