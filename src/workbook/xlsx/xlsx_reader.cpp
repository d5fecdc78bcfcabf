#include "workbook/xlsx/xlsx_reader.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "workbook/workbook_error.h"
#include "workbook/model/xml_access.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {

namespace {
constexpr std::string_view kStrictMain = "http://purl.oclc.org/ooxml/spreadsheetml/main";
constexpr std::string_view kStrictRelationships = "http://purl.oclc.org/ooxml/officeDocument/relationships";

[[noreturn]] void RefuseStrict(const std::string& what) {
  throw WorkbookError("the workbook is saved as Strict Open XML (" + what +
                      "), which is not read here; save it as an ordinary .xlsx workbook");
}

bool ParseDouble(std::string_view text, double& out) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '+')) text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return false;
  auto result = std::from_chars(text.data(), text.data() + text.size(), out);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

std::string RawAttribute(const pugi::xml_attribute& a) {
  std::string raw = " ";
  raw += a.name();
  raw += "=\"";
  AppendEscaped(raw, a.value(), true);
  raw += "\"";
  return raw;
}

std::string SheetLabel(const Sheet& sheet) { return "sheet '" + sheet.name() + "' (" + sheet.partName() + ")"; }

void ReadFormula(Sheet& sheet, Cell& cell, const pugi::xml_node& f) {
  Formula formula;
  for (pugi::xml_attribute a : f.attributes()) {
    std::string_view n = a.name();
    if (n == "t") {
      std::string_view t = a.value();
      formula.kind = t == "shared" ? FormulaKind::Shared
                     : t == "array" ? FormulaKind::Array
                     : t == "dataTable" ? FormulaKind::DataTable
                                        : FormulaKind::Normal;
      if (t != "shared" && t != "array" && t != "dataTable" && t != "normal") formula.extraAttributes += RawAttribute(a);
    } else if (n == "ref") {
      formula.ref = a.value();
    } else if (n == "si") {
      formula.sharedIndex = a.as_int(-1);
    } else {
      formula.extraAttributes += RawAttribute(a);
    }
  }
  formula.text = DecodeCellText(f.text().get());
  cell.formula = sheet.AddFormula(std::move(formula));
}

// A cell that follows a shared formula takes its text from the group's first
// cell; without one it would be saved as a formula nobody can read back.
void CheckSharedFormulaGroups(const Sheet& sheet) {
  const std::vector<Formula>& formulas = sheet.formulas();
  std::vector<int> masters;
  for (const Formula& f : formulas)
    if (f.kind == FormulaKind::Shared && !f.text.empty() && !f.ref.empty()) masters.push_back(f.sharedIndex);
  std::sort(masters.begin(), masters.end());
  for (const Row& row : sheet.rows())
    for (const Cell& cell : row.cells) {
      if (cell.formula == kNoIndex) continue;
      const Formula& f = formulas[cell.formula];
      if (f.kind != FormulaKind::Shared || !f.text.empty() ||
          std::binary_search(masters.begin(), masters.end(), f.sharedIndex))
        continue;
      throw WorkbookError(SheetLabel(sheet) + " cell " +
                          FormatCellAddress(static_cast<int>(row.number), static_cast<int>(cell.col)) +
                          " follows shared formula " + std::to_string(f.sharedIndex) +
                          ", which no cell of the sheet defines; the file is damaged: open it in a spreadsheet "
                          "program and save it again");
    }
}

}  // namespace

std::string_view RelationshipKind(std::string_view type) {
  auto slash = type.rfind('/');
  return slash == std::string_view::npos ? type : type.substr(slash + 1);
}

// The index a shared-string cell holds, refused unless it names an item of
// the table: a wrong one would show another text or write a broken file.
std::uint32_t XlsxReader::SharedStringIndex(const Sheet& sheet, std::string_view value, int row, int col) {
  const Workbook& book = sheet.book();
  std::uint64_t index = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), index);
  const std::size_t count = book.sharedStrings_.size();
  if (error != std::errc() || end != value.data() + value.size() || index >= count) {
    const std::string table = book.sharedStringsPart_.empty() ? "the workbook has no shared string table"
                                                               : book.sharedStringsPart_ + " holds " +
                                                                     std::to_string(count) + " strings";
    throw WorkbookError(SheetLabel(sheet) + " cell " + FormatCellAddress(row, col) + " refers to shared string '" +
                        std::string(value.substr(0, 24)) + "', but " + table +
                        "; the file is damaged: open it in a spreadsheet program and save it again");
  }
  return static_cast<std::uint32_t>(index);
}

std::uint32_t XlsxReader::StyleIndex(const Sheet& sheet, std::string_view value, std::size_t count, int row,
                                     int col) {
  std::uint64_t index = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), index);
  // Style 0 is the default every reader falls back to, even without a style part.
  if (error == std::errc() && end == value.data() + value.size() && (index < count || index == 0))
    return static_cast<std::uint32_t>(index);
  const Workbook& book = sheet.book();
  const std::string where = col == 0   ? "row " + std::to_string(row)
                            : row == 0 ? "column " + ColumnName(col)
                                       : "cell " + FormatCellAddress(row, col);
  const std::string table = book.stylesPart_.empty() ? "the workbook has no style part"
                                                     : book.stylesPart_ + " holds " + std::to_string(count) +
                                                           " cell styles";
  throw WorkbookError(SheetLabel(sheet) + " " + where + " uses cell style '" + std::string(value.substr(0, 24)) +
                      "', but " + table + "; the file is damaged: open it in a spreadsheet program and save it again");
}

namespace {

// The worksheet part parsed into `doc`, checked, and its sheetData element.
pugi::xml_node ParseWorksheet(Sheet& sheet, pugi::xml_document& doc, std::string_view text, std::string& prefix) {
  ParseXmlPart(doc, text, sheet.partName());
  pugi::xml_node root = doc.document_element();
  if (LocalName(root) != "worksheet")
    throw WorkbookError(SheetLabel(sheet) + " is not a worksheet part (root element <" + root.name() + ">)");
  for (pugi::xml_attribute a : root.attributes())
    if (std::string_view(a.value()) == kStrictMain) RefuseStrict(sheet.partName());
  prefix = PrefixOf(root);
  pugi::xml_node sheetData = FirstChild(root, "sheetData");
  if (!sheetData) throw WorkbookError(SheetLabel(sheet) + " has no sheetData element");
  return sheetData;
}

// A <row> without its cells; a row without r follows the previous one.
Row ReadRowAttributes(Sheet& sheet, const pugi::xml_node& rowNode, std::uint32_t previousRow) {
  Row row;
  row.number = previousRow + 1;
  std::string extra;
  for (pugi::xml_attribute a : rowNode.attributes()) {
    std::string_view n = a.name();
    if (n == "r") {
      long long number = a.as_llong(0);
      if (number < 1 || number > kMaxRows)
        throw WorkbookError(SheetLabel(sheet) + " has a row numbered " + a.value() + ", outside 1.." +
                            std::to_string(kMaxRows));
      row.number = static_cast<std::uint32_t>(number);
    } else if (n == "spans") {
      // Only an optimisation hint; recomputing it is not needed, so it is dropped.
    } else if (n == "s") {
      row.style = a.as_uint();
      row.hasStyle = true;
    } else if (n == "customFormat") {
      row.customFormat = ParseXmlBool(a.value());
    } else if (n == "ht") {
      row.hasHeight = ParseDouble(a.value(), row.height);
      if (!row.hasHeight) extra += RawAttribute(a);
    } else if (n == "hidden") {
      row.hidden = ParseXmlBool(a.value());
    } else if (n == "customHeight") {
      row.customHeight = ParseXmlBool(a.value());
    } else if (n == "outlineLevel") {
      row.outlineLevel = static_cast<std::uint8_t>(std::clamp(a.as_int(), 0, 7));
    } else if (n == "collapsed") {
      row.collapsed = ParseXmlBool(a.value());
    } else if (n == "thickTop") {
      row.thickTop = ParseXmlBool(a.value());
    } else if (n == "thickBot") {
      row.thickBot = ParseXmlBool(a.value());
    } else {
      extra += RawAttribute(a);
    }
  }
  if (!extra.empty()) row.extra = sheet.AddText(std::move(extra));
  return row;
}

// The attributes of a <c>: its column (the one after `previousCol` without
// r), style and the rest kept as written; answers its t (type).
std::string_view ReadCellAttributes(Sheet& sheet, const pugi::xml_node& c, const Row& row, std::uint32_t previousCol,
                                    Cell& cell) {
  cell.col = previousCol + 1;
  std::string extra;
  std::string_view type = "n";
  for (pugi::xml_attribute a : c.attributes()) {
    std::string_view n = a.name();
    if (n == "r") {
      auto address = ParseCellAddress(a.value());
      if (!address)
        throw WorkbookError(SheetLabel(sheet) + " has a cell at '" + a.value() +
                            "', which is not a cell address inside the sheet (A1..XFD1048576)");
      cell.col = static_cast<std::uint32_t>(address->col);
    } else if (n == "s") {
      cell.style = a.as_uint();
    } else if (n == "t") {
      type = a.value();
    } else {
      extra += RawAttribute(a);
    }
  }
  if (cell.col > static_cast<std::uint32_t>(kMaxColumns))
    throw WorkbookError(SheetLabel(sheet) + " has more than " + std::to_string(kMaxColumns) + " cells in row " +
                        std::to_string(row.number));
  if (!extra.empty()) cell.extra = sheet.AddText(std::move(extra));
  return type;
}

// Cells written out of column order are sorted; two in one column are refused.
void SortCells(const Sheet& sheet, Row& row) {
  std::stable_sort(row.cells.begin(), row.cells.end(), [](const Cell& a, const Cell& b) { return a.col < b.col; });
  for (std::size_t i = 1; i < row.cells.size(); ++i)
    if (row.cells[i].col == row.cells[i - 1].col)
      throw WorkbookError(SheetLabel(sheet) + " has two cells at " +
                          FormatCellAddress(static_cast<int>(row.number), static_cast<int>(row.cells[i].col)));
}

void SortRows(const Sheet& sheet, std::vector<Row>& rows) {
  std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.number < b.number; });
  for (std::size_t i = 1; i < rows.size(); ++i)
    if (rows[i].number == rows[i - 1].number)
      throw WorkbookError(SheetLabel(sheet) + " has row " + std::to_string(rows[i].number) + " twice");
}

}  // namespace

// The formula and value of a <c> by its type: a type without its value
// leaves the cell blank, as other readers see it.
void XlsxReader::ReadCellContent(Sheet& sheet, const pugi::xml_node& c, std::string_view type, std::uint32_t rowNumber,
                                 Cell& cell) {
  pugi::xml_node v, is;
  for (pugi::xml_node child : c.children()) {
    if (child.type() != pugi::node_element) continue;
    std::string_view n = LocalName(child);
    if (n == "f") ReadFormula(sheet, cell, child);
    else if (n == "v") v = child;
    else if (n == "is") is = child;
  }
  const char* value = v ? v.text().get() : nullptr;
  if (type == "s") {
    if (value) {
      cell.type = CellType::SharedString;
      cell.text = SharedStringIndex(sheet, value, static_cast<int>(rowNumber), static_cast<int>(cell.col));
    }
  } else if (type == "inlineStr") {
    // Without <is> the cell holds no string at all (openpyxl writes such
    // cells for ""): it stays blank, as other readers see it.
    if (is) {
      cell.type = CellType::InlineString;
      std::string raw;
      for (pugi::xml_node child : is.children()) raw += WriteXmlNode(child);
      cell.text = sheet.AddText(std::move(raw));
    }
  } else if (type == "b") {
    if (value) {
      cell.type = CellType::Boolean;
      cell.number = ParseXmlBool(value) ? 1 : 0;
    }
  } else if (type == "e" || type == "str" || type == "d") {
    if (value || type == "str") {
      cell.type = type == "e" ? CellType::Error : type == "str" ? CellType::String : CellType::Date;
      if (value) cell.text = sheet.AddText(DecodeCellText(value));
    }
  } else if (value) {
    cell.type = CellType::Number;
    if (!ParseDouble(value, cell.number)) cell.text = sheet.AddText(value);  // kept as written
  }
}

void XlsxReader::ReadWorksheet(Sheet& sheet, std::string_view text) {
  pugi::xml_document doc;
  pugi::xml_node sheetData = ParseWorksheet(sheet, doc, text, sheet.prefix_);

  // A style index past the style part would be written back as it is, and
  // the saved file would be one that spreadsheet programs call damaged.
  const std::size_t styleCount = sheet.book().styles_.CellStyleCount();
  for (pugi::xml_node col : FirstChild(doc.document_element(), "cols").children())
    if (pugi::xml_attribute style = col.attribute("style"))
      StyleIndex(sheet, style.value(), styleCount, 0, std::clamp(col.attribute("min").as_int(1), 1, kMaxColumns));

  std::vector<Row>& rows = sheet.rows_;
  std::uint32_t previousRow = 0;
  bool rowsSorted = true;
  for (pugi::xml_node rowNode : sheetData.children()) {
    if (rowNode.type() != pugi::node_element || LocalName(rowNode) != "row") continue;
    Row row = ReadRowAttributes(sheet, rowNode, previousRow);
    if (pugi::xml_attribute s = rowNode.attribute("s"))
      row.style = StyleIndex(sheet, s.value(), styleCount, static_cast<int>(row.number), 0);
    if (row.number <= previousRow) rowsSorted = false;
    previousRow = row.number;

    std::uint32_t previousCol = 0;
    bool cellsSorted = true;
    for (pugi::xml_node c : rowNode.children()) {
      if (c.type() != pugi::node_element || LocalName(c) != "c") continue;
      Cell cell;
      std::string_view type = ReadCellAttributes(sheet, c, row, previousCol, cell);
      if (pugi::xml_attribute s = c.attribute("s"))
        cell.style = StyleIndex(sheet, s.value(), styleCount, static_cast<int>(row.number), static_cast<int>(cell.col));
      if (cell.col <= previousCol) cellsSorted = false;
      previousCol = cell.col;
      ReadCellContent(sheet, c, type, row.number, cell);
      row.cells.push_back(cell);
    }
    if (!cellsSorted) SortCells(sheet, row);
    rows.push_back(std::move(row));
  }
  if (!rowsSorted) SortRows(sheet, rows);
  CheckSharedFormulaGroups(sheet);

  // Keep the rest of the part without the cells, in a document of its own so
  // the memory the cell nodes took is given back.
  while (pugi::xml_node child = sheetData.first_child()) sheetData.remove_child(child);
  sheet.xml_->reset(doc);
}

void XlsxReader::Read() {
  Workbook& b = book_;
  if (!b.package_->Has("[Content_Types].xml"))
    throw WorkbookError("not an Office Open XML package: part [Content_Types].xml is missing");

  b.workbookPart_.clear();
  for (const Relationship& rel : b.RelationshipsOf("")) {
    if (rel.type.rfind(kStrictRelationships, 0) == 0 && RelationshipKind(rel.type) == "officeDocument")
      RefuseStrict("package relationships");
    if (RelationshipKind(rel.type) == "officeDocument" && !rel.external) b.workbookPart_ = rel.target;
  }
  if (b.workbookPart_.empty()) b.workbookPart_ = "xl/workbook.xml";
  if (!b.HasPart(b.workbookPart_)) throw WorkbookError("part " + b.workbookPart_ + " is missing");

  pugi::xml_node root = ReadXmlPart(b, b.workbookPart_).document_element();
  if (LocalName(root) != "workbook")
    throw WorkbookError("part " + b.workbookPart_ + " is not a workbook (root element <" + root.name() + ">)");
  for (pugi::xml_attribute a : root.attributes())
    if (std::string_view(a.value()) == kStrictMain) RefuseStrict(b.workbookPart_);
  b.date1904_ = ParseXmlBool(FirstChild(root, "workbookPr").attribute("date1904").value());

  for (const Relationship& rel : b.RelationshipsOf(b.workbookPart_)) {
    if (rel.external) continue;
    std::string_view kind = RelationshipKind(rel.type);
    if (kind == "sharedStrings") {
      if (!b.HasPart(rel.target)) throw WorkbookError("part " + rel.target + " is missing");
      b.sharedStringsPart_ = rel.target;
      b.sharedStrings_.Load(b.package_->Find(rel.target)->data(), rel.target);
    } else if (kind == "styles") {
      if (!b.HasPart(rel.target)) throw WorkbookError("part " + rel.target + " is missing");
      b.stylesPart_ = rel.target;
      ParseXmlPart(*b.stylesDoc_, b.package_->Find(rel.target)->data(), rel.target);
      b.styles_.Attach(b.stylesDoc_.get());
    }
  }
  ReadSheets();
}

void XlsxReader::ReadSheets() {
  Workbook& b = book_;
  pugi::xml_node root = ReadXmlPart(b, b.workbookPart_).document_element();
  std::vector<Relationship> rels = b.RelationshipsOf(b.workbookPart_);
  pugi::xml_node sheets = FirstChild(root, "sheets");
  for (pugi::xml_node entry : sheets.children()) {
    if (entry.type() != pugi::node_element || LocalName(entry) != "sheet") continue;
    std::string name = entry.attribute("name").value();
    std::string relId;
    for (pugi::xml_attribute a : entry.attributes())
      if (LocalName(a.name()) == "id" && std::strchr(a.name(), ':')) relId = a.value();
    auto rel = std::find_if(rels.begin(), rels.end(), [&](const Relationship& r) { return r.id == relId; });
    if (rel == rels.end() || rel->external)
      throw WorkbookError("sheet '" + name + "' in " + b.workbookPart_ + " points at relationship '" + relId +
                          "', which does not exist");
    if (!b.HasPart(rel->target)) throw WorkbookError("part " + rel->target + " (sheet '" + name + "') is missing");
    for (const auto& existing : b.sheets_)
      if (existing->name() == name) throw WorkbookError("the workbook has two sheets named '" + name + "'");

    auto sheet = std::make_unique<Sheet>(b, name, rel->target);
    sheet->entry_ = ElementOf(entry);
    std::string_view state = entry.attribute("state").value();
    sheet->visibility_ = state == "hidden" ? SheetVisibility::Hidden
                         : state == "veryHidden" ? SheetVisibility::VeryHidden
                                                 : SheetVisibility::Visible;
    std::string_view kind = RelationshipKind(rel->type);
    if (kind == "worksheet") {
      ReadWorksheet(*sheet, b.package_->Find(rel->target)->data());
    } else {
      // Chart sheets and old dialog/macro sheets have no cells; their parts pass through.
      sheet->kind_ = kind == "chartsheet" ? SheetKind::Chartsheet : SheetKind::Other;
    }
    b.sheets_.push_back(std::move(sheet));
  }
  if (b.sheets_.empty()) throw WorkbookError("part " + b.workbookPart_ + " lists no sheets");
}

}  // namespace vemo::wb
