// Worksheet settings both formats hold, between the records of an .xls sheet
// and the elements of the model's worksheet XML: page setup (paper, scale,
// fit to pages, orientation, margins, centering, gridlines and headings),
// headers and footers, manual page breaks, frozen panes and data
// validations. Read into the model, they move with row and column insertion
// and go to .xlsx; written from the model, they come out of an .xlsx too.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "workbook/cell_address.h"
#include "workbook/xls/biff_formula.h"
#include "workbook/xls/biff_records.h"

namespace vemo::wb::xls {

// The records of the page setup block the model holds.
bool IsPageRecord(std::uint16_t type);
inline constexpr std::uint16_t kPaneRecord = 0x0041, kWsBool = 0x0081, kDval = 0x01B2, kDv = 0x01BE;

// The tokens of validation formulas as read, by ValidationKey: written back
// while the formula still reads the same, since a text does not tell apart
// every token (a deleted area and the #REF! constant, say).
using ValidationTokens = std::map<std::string, std::vector<std::uint8_t>>;
std::string ValidationKey(std::string_view sqref, int formula);

// What a sheet's settings records become, as worksheet XML in the places the
// elements take.
struct SheetSettingsXml {
  std::string sheetPr;      // <sheetPr> with fit to pages
  std::string sheetViews;   // <sheetViews> with a frozen pane
  std::string validations;  // <dataValidations>
  std::string page;         // <printOptions>, <pageMargins>, <pageSetup>, <headerFooter>, <rowBreaks>, <colBreaks>
  ValidationTokens tokens;  // the validation formulas as read
  std::uint8_t margins = 0;  // the margin records read: bit k for left, right, top, bottom
};

class SheetSettingsReader {
 public:
  // Takes a record of the sheet (not nested in an embedded chart); true when
  // the model now holds it, so it is not kept as a record.
  bool Take(const BiffRecord& r);
  // The XML of what was taken; validation formulas are read through `context`
  // (its sheet set to this sheet). A validation whose formula cannot be read is
  // left out and named in `lost`.
  SheetSettingsXml Xml(const FormulaContext& context, std::set<std::string>& lost) const;

 private:
  std::vector<BiffRecord> page_, validations_;
  std::uint16_t wsBool_ = 0, window2_ = 0;
  std::string pane_;
  bool inView_ = false;
};

// The gridlines and headings records, which stand before the page setup block.
std::string PrintFlagRecords(pugi::xml_node worksheet);
// The page setup block for `worksheet`, in the order the records take. A
// margin at its default gets a record only when its bit in `defaultMargins`
// (as in SheetSettingsXml::margins) is set.
std::string PageRecords(pugi::xml_node worksheet, std::uint8_t defaultMargins);
// The PANE record of a frozen pane ("" when none) and the WINDOW2 flags it needs.
std::string PaneRecord(pugi::xml_node worksheet);
std::uint16_t FrozenWindowFlags(pugi::xml_node worksheet);
// The ranges of a sqref list, for records that hold at most row 65536 and
// column IV; throws WorkbookError saying why a list cannot be stored.
std::vector<CellRange> RangeList(std::string_view sqref);
// DVAL and DV records; validations that cannot be stored are named in `warnings`.
std::string ValidationRecords(pugi::xml_node worksheet, FormulaContext& context, std::set<std::string>& warnings,
                              const ValidationTokens* kept = nullptr);

}  // namespace vemo::wb::xls
