#include "render/conditional_formats.h"

#include <sstream>
#include <string>

#include "workbook/workbook_values.h"
#include "render/render_declined.h"
#include "workbook/reference_shift.h"
#include "workbook/sheet.h"
#include "workbook/model/xml_access.h"

namespace vemo::render {
namespace {

// Larger ranges are not checked cell by cell.
constexpr long kMaxCheckedCells = 100000;

bool IsTrue(const wb::CellValue& v) {
  return (v.IsNumber() && v.number() != 0) || (v.IsBoolean() && v.boolean());
}

}  // namespace

ConditionalStyles EvaluateConditionalFormats(const wb::Sheet& sheet, wb::WorkbookValues& values) {
  ConditionalStyles styles;
  std::map<std::pair<int, int>, int> priorities;
  long checked = 0;
  for (pugi::xml_node format : wb::SheetXml(sheet).document_element().children()) {
    if (wb::LocalName(format) != "conditionalFormatting") continue;
    std::istringstream sqref(format.attribute("sqref").value());
    std::vector<wb::CellRange> ranges;
    for (std::string part; sqref >> part;) {
      const auto range = wb::ParseCellRange(part);
      if (!range) throw RenderDeclined("a conditional format over " + part + ", which it cannot read");
      ranges.push_back(*range);
    }
    if (ranges.empty()) continue;
    const wb::CellAddress origin = ranges.front().first;
    for (pugi::xml_node rule : format.children()) {
      if (wb::LocalName(rule) != "cfRule") continue;
      const std::string type = rule.attribute("type").value();
      if (type != "expression")
        throw RenderDeclined("a conditional format of type " + type + " on " + format.attribute("sqref").value());
      const std::string formula = wb::FirstChild(rule, "formula").text().get();
      const int priority = rule.attribute("priority").as_int();
      const std::uint32_t dxf = rule.attribute("dxfId").as_uint();
      for (const wb::CellRange& range : ranges) {
        checked += static_cast<long>(range.last.row - range.first.row + 1) * (range.last.col - range.first.col + 1);
        if (checked > kMaxCheckedCells) throw RenderDeclined("conditional formats over too many cells");
        for (int r = range.first.row; r <= range.last.row; ++r)
          for (int c = range.first.col; c <= range.last.col; ++c) {
            const std::string where = sheet.name() + "!" + wb::FormatCellAddress(r, c);
            const std::string shifted = wb::TranslateFormula(formula, r - origin.row, c - origin.col);
            if (!IsTrue(values.Evaluate(sheet, shifted, r, c, where))) continue;
            auto [it, added] = priorities.try_emplace({r, c}, priority);
            if (added || priority < it->second) it->second = priority, styles[{r, c}] = dxf;
          }
      }
    }
  }
  return styles;
}

}  // namespace vemo::render
