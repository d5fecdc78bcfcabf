// What an .xls workbook carried that the model does not hold, kept so saving
// as .xls writes it back unchanged: the other streams and storages of the
// container, and the records of the Workbook stream nobody interprets, in
// their order, with the place of the records the writer makes anew.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "workbook/xls/biff_records.h"
#include "workbook/xls/biff_formula.h"
#include "workbook/xls/compound_file.h"
#include "workbook/xls/xls_links.h"

namespace vemo::wb {

struct XlsSheetSource {
  // The substream from BOF to EOF. Records the writer makes from the model
  // (cells, rows, column widths, merges, index records, the settings of
  // xls_sheet_settings.h) are left out; a record of type kPlaceholder with no
  // data marks where the cell table stood.
  std::vector<BiffRecord> records;
  bool worksheet = true;  // charts, macro sheets and the like are written back whole
  std::uint8_t sheetType = 0;  // the BOUNDSHEET sheet type byte
  // The height field of rows marked as of default height: readers lay such
  // rows out by it all the same, and writers differ (0x80FF, 0x8000).
  std::uint16_t defaultRowHeightField = 0x80FF;
  // Formula records (with their SHRFMLA / ARRAY / TABLE) by (row, col), 0-based,
  // and the cached value the cell showed, until formulas are read into the model.
  struct KeptFormula {
    BiffRecord formula;
    std::vector<BiffRecord> followers;
    std::optional<std::string> text;  // the formula text read from it, when it could be read
  };
  std::map<std::pair<std::uint32_t, std::uint32_t>, KeptFormula> formulas;
  // Validation formulas as read (see xls::ValidationTokens).
  std::map<std::string, std::vector<std::uint8_t>> validationTokens;
  std::uint8_t marginRecords = 0;  // the margin records read (xls::SheetSettingsXml::margins)
  // Kept records a row or column insertion could not move and left out, one
  // phrase each, for the warning of the next save.
  std::set<std::string> dropped;
};

struct XlsSource {
  static constexpr std::uint16_t kPlaceholder = 0xFFFF;
  // A placeholder whose data is one of these marks where settings the model
  // holds are written: the page setup block, a frozen pane, data validations,
  // conditional formats, hyperlinks.
  static constexpr const char* kPageMark = "page";
  static constexpr const char* kPaneMark = "pane";
  static constexpr const char* kValidationMark = "validations";
  static constexpr const char* kConditionalFormatMark = "conditional formats";
  static constexpr const char* kHyperlinkMark = "hyperlinks";
  static constexpr const char* kDrawingMark = "drawing";
  // In the globals: where the string table stood (written before EOF when none did).
  static constexpr const char* kStringsMark = "strings";
  CompoundFile container;
  // Globals substream without the records the writer makes (fonts, formats,
  // cell formats, sheets, string table); kPlaceholder marks where the style
  // records stood, a second one where the sheet list stood.
  std::vector<BiffRecord> globals;
  std::vector<std::string> fontRecords;  // the font records read, in order
  std::vector<std::string> xfRecords;    // the cell format records read, by index
  // Formatting runs and phonetic data of the string table items read, by item.
  std::vector<std::string> stringRuns, stringPhonetic;
  std::vector<std::uint16_t> stringRunCounts;
  std::map<std::string, XlsSheetSource> sheets;  // by the sheet's part name
  // What formulas refer through (other books, sheets, names), as read, and
  // the NAME records in order.
  xls::FormulaContext context;
  std::vector<NameRecord> names;
};

}  // namespace vemo::wb
