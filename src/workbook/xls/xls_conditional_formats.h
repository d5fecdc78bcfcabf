// Conditional formats between the CFHEADER and CF records of an .xls sheet
// and the model: <conditionalFormatting> elements of the worksheet XML with
// their differential formats in the style part's <dxfs>. The records hold
// two kinds of rule (the cell's value compared, a formula true), each with
// one or two formulas relative to the top-left cell of the first range, and
// a format of font (colour, bold, italic, underline, strike, script, size),
// borders and pattern fill. A format with anything else (a number format,
// alignment, protection, a font name) and the newer records stay kept as
// they came. The extension records of a format taken (CFEX, what newer
// writers add to it) are left out: the model holds the rule as .xls has it.
#pragma once
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "workbook/xls/biff_formula.h"
#include "workbook/xls/biff_records.h"
#include "workbook/xls/xls_palette.h"

namespace vemo::wb::xls {

inline constexpr std::uint16_t kCondFmt = 0x01B0, kCf = 0x01B1, kCondFmt12 = 0x0879, kCfEx = 0x087B;

class ConditionalFormatReader {
 public:
  // `dxfs` collects the differential formats of the whole workbook.
  ConditionalFormatReader(const Palette& palette, std::vector<std::string>& dxfs) : palette_(palette), dxfs_(dxfs) {}
  // Takes the CFHEADER at records[at] and its CF records, formulas read
  // through `context` (its sheet set to this sheet), or the CFEX at
  // records[at] of a format taken; the number of records taken, 0 when the
  // record stays kept.
  std::size_t Take(const std::vector<BiffRecord>& records, std::size_t at, const FormulaContext& context);
  // The <conditionalFormatting> elements of what was taken.
  const std::string& Xml() const { return xml_; }

 private:
  const Palette& palette_;
  std::vector<std::string>& dxfs_;
  std::string xml_;
  int priority_ = 1;
  std::set<std::uint16_t> takenIds_;
};

// The style part `styles` with `dxfs` as its <dxfs> (nothing changed when empty).
std::string WithDxfs(std::string styles, const std::vector<std::string>& dxfs);

// Palette index of a colour element of the style part, `automatic` when it names none.
using ColorIndex = std::function<std::uint16_t(pugi::xml_node color, std::uint16_t automatic)>;

// CFHEADER and CF records for the conditional formats of `worksheet`, whose
// rules name formats of `dxfs` (the style part's <dxfs>). Rules .xls cannot
// hold are left out and named in `warnings`. The formats are numbered after
// those of the `kept` records, so extension records refer to their own.
std::string ConditionalFormatRecords(pugi::xml_node worksheet, pugi::xml_node dxfs, FormulaContext& context,
                                     const ColorIndex& colorIndex, const std::vector<BiffRecord>& kept,
                                     std::set<std::string>& warnings);

}  // namespace vemo::wb::xls
