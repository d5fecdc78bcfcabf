// One sheet of a workbook. Cells live in compact rows (a few dozen bytes per
// cell, texts pooled) so very long sheets stay cheap; everything else of the
// worksheet part (columns, merges, conditional formats, page setup, extension
// lists, unknown elements) stays as an XML document that edits patch.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_address.h"

namespace vemo::wb {

class Workbook;
// The worksheet XML and the elements the model holds; complete only inside the
// library (model/xml_access.h).
class XmlDocument;
struct XmlElement;

inline constexpr std::uint32_t kNoIndex = UINT32_MAX;

enum class CellType : std::uint8_t {
  Blank,         // no value (may still carry a style or a formula without cached value)
  Number,
  SharedString,  // index into the workbook's shared strings
  InlineString,  // raw XML of the <is> element's content
  Boolean,
  Error,         // "#DIV/0!", ...
  String,        // formula result text (t="str")
  Date,          // ISO 8601 text (t="d")
};

enum class FormulaKind : std::uint8_t { Normal, Shared, Array, DataTable };

struct Formula {
  FormulaKind kind = FormulaKind::Normal;
  std::string text;   // without leading '='; empty in a cell that only uses a shared formula
  std::string ref;    // range of a shared formula's master, array or data table
  int sharedIndex = -1;
  std::string extraAttributes;  // other attributes of <f>, as raw XML (` ca="1"`)
};

struct Cell {
  std::uint32_t col = 0;  // 1-based
  std::uint32_t style = 0;
  std::uint32_t formula = kNoIndex;  // index into Sheet::formulas()
  std::uint32_t text = kNoIndex;     // shared string index, or index into Sheet::texts()
  std::uint32_t extra = kNoIndex;    // raw extra attributes (` cm="1"`) in Sheet::texts()
  CellType type = CellType::Blank;
  double number = 0;  // Number; Boolean as 0/1
};

struct Row {
  std::uint32_t number = 0;  // 1-based
  std::uint32_t style = 0;
  double height = 0;
  std::uint32_t extra = kNoIndex;  // unknown attributes, raw, in Sheet::texts()
  std::uint8_t outlineLevel = 0;
  bool hasStyle = false, hasHeight = false, customHeight = false, hidden = false, customFormat = false;
  bool collapsed = false, thickTop = false, thickBot = false;
  std::vector<Cell> cells;  // ascending column
};

enum class SheetKind : std::uint8_t { Worksheet, Chartsheet, Other };
enum class SheetVisibility : std::uint8_t { Visible, Hidden, VeryHidden };

// A cell value as callers see it.
struct CellContent {
  CellType type = CellType::Blank;
  double number = 0;
  bool boolean = false;
  std::string text;  // strings, errors, ISO dates
};

class Sheet {
 public:
  Sheet(Workbook& book, std::string name, std::string partName);
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;
  ~Sheet();

  const std::string& name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  const std::string& partName() const { return partName_; }
  SheetKind kind() const { return kind_; }
  SheetVisibility visibility() const { return visibility_; }
  void SetVisibility(SheetVisibility v) { visibility_ = v; }
  Workbook& book() { return book_; }
  const Workbook& book() const { return book_; }

  // Cells.
  const std::vector<Row>& rows() const { return rows_; }
  std::vector<Row>& mutableRows() { return rows_; }
  const Row* FindRow(int row) const;
  Row& GetOrAddRow(int row);
  const Cell* FindCell(int row, int col) const;
  Cell& GetOrAddCell(int row, int col);

  CellContent GetValue(int row, int col) const;
  // The cell's formula entry as stored; a cell that only follows a shared
  // formula has an empty text there (see FormulaText).
  const Formula* GetFormula(int row, int col) const;
  // The formula text of the cell without '=', shared formulas expanded;
  // nullopt when the cell has no formula.
  std::optional<std::string> FormulaText(int row, int col) const;
  std::optional<CellAddress> SharedFormulaMaster(int sharedIndex) const;

  void SetNumber(int row, int col, double value);
  void SetString(int row, int col, std::string_view value);  // stored as a shared string
  void SetBoolean(int row, int col, bool value);
  void SetFormula(int row, int col, std::string_view formulaWithoutEquals);
  void SetStyle(int row, int col, std::uint32_t style);
  void ClearValue(int row, int col);  // keeps the style

  // Smallest range holding every cell; nullopt for an empty sheet.
  std::optional<CellRange> UsedRange() const;

  std::vector<std::string> MergedRanges() const;
  void AddMergedRange(const CellRange& range);

  std::optional<double> RowHeight(int row) const;
  void SetRowHeight(int row, double points);
  std::optional<double> ColumnWidth(int col) const;
  void SetColumnWidth(int col, double width);

  // Pools used by Cell/Row indexes.
  const std::vector<Formula>& formulas() const { return formulas_; }
  std::vector<Formula>& mutableFormulas() { return formulas_; }
  const std::vector<std::string>& texts() const { return texts_; }
  std::uint32_t AddText(std::string text);
  std::uint32_t AddFormula(Formula formula);

  // The worksheet's own element prefix ("x:" in files that use one).
  const std::string& prefix() const { return prefix_; }

  bool cellsChanged() const { return cellsChanged_; }
  void MarkCellsChanged() { cellsChanged_ = true; }

 private:
  friend class XlsxReader;
  friend class XlsxWriter;
  friend class Workbook;
  friend class SheetDeleter;
  friend XmlDocument& SheetXml(Sheet& sheet);
  friend const XmlDocument& SheetXml(const Sheet& sheet);

  // Before the first cell of a shared formula loses its formula, the other
  // cells of the group get their own expanded copy.
  void DetachSharedFollowers(int row, int col);

  Workbook& book_;
  std::string name_;
  std::string partName_;
  SheetKind kind_ = SheetKind::Worksheet;
  SheetVisibility visibility_ = SheetVisibility::Visible;
  std::vector<Row> rows_;
  std::vector<Formula> formulas_;
  std::vector<std::string> texts_;
  // The worksheet part without its cells (model/xml_access.h: SheetXml).
  std::unique_ptr<XmlDocument> xml_;
  std::string prefix_;
  bool cellsChanged_ = false;
  XmlElement* entry_ = nullptr;  // the <sheet> element in the workbook part
};

}  // namespace vemo::wb
