#include "render/conditional_formats.h"

#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "workbook/workbook_values.h"
#include "render/render_declined.h"
#include "workbook/cell_address.h"
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

// A cell-value rule as the formula it stands for, written at `origin` (the
// cell the rule's formulas are relative to), so it shifts like the others.
// "between" holds whichever of its two bounds is the larger.
std::optional<std::string> CellValueCondition(pugi::xml_node rule, const wb::CellAddress& origin) {
  std::vector<std::string> operands;
  for (pugi::xml_node formula : rule.children())
    if (wb::LocalName(formula) == "formula") operands.push_back("(" + std::string(formula.text().get()) + ")");
  const std::string op = rule.attribute("operator").value();
  const std::string own = wb::FormatCellAddress(origin.row, origin.col);
  static const std::map<std::string, std::string> kComparisons = {
      {"lessThan", "<"},     {"lessThanOrEqual", "<="},    {"equal", "="},
      {"notEqual", "<>"},    {"greaterThanOrEqual", ">="}, {"greaterThan", ">"}};
  if (const auto it = kComparisons.find(op); it != kComparisons.end() && operands.size() == 1)
    return own + it->second + operands[0];
  if ((op == "between" || op == "notBetween") && operands.size() == 2) {
    const std::string& a = operands[0];
    const std::string& b = operands[1];
    const std::string between =
        "OR(AND(" + own + ">=" + a + "," + own + "<=" + b + "),AND(" + own + ">=" + b + "," + own + "<=" + a + "))";
    return op == "between" ? between : "NOT(" + between + ")";
  }
  return std::nullopt;
}

// The formula that decides a rule, or nullopt for a kind of rule that is
// not a condition on the cell alone (colour scales, data bars, top ten...).
// The text rules (containsText, beginsWith, ...) carry their condition as a
// formula the way files are written, so they are decided like expressions.
std::optional<std::string> Condition(pugi::xml_node rule, const wb::CellAddress& origin) {
  const std::string type = rule.attribute("type").value();
  if (type == "cellIs") return CellValueCondition(rule, origin);
  static const std::set<std::string> kFormulaTypes = {
      "expression",     "containsText",      "notContainsText", "beginsWith", "endsWith", "containsBlanks",
      "notContainsBlanks", "containsErrors", "notContainsErrors"};
  const pugi::xml_node formula = wb::FirstChild(rule, "formula");
  if (kFormulaTypes.count(type) && formula) return std::string(formula.text().get());
  return std::nullopt;
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
      const std::optional<std::string> formula = Condition(rule, origin);
      if (!formula)
        throw RenderDeclined("a conditional format of type " + std::string(rule.attribute("type").value()) + " on " +
                             format.attribute("sqref").value());
      const int priority = rule.attribute("priority").as_int();
      const std::uint32_t dxf = rule.attribute("dxfId").as_uint();
      for (const wb::CellRange& range : ranges) {
        checked += static_cast<long>(range.last.row - range.first.row + 1) * (range.last.col - range.first.col + 1);
        if (checked > kMaxCheckedCells) throw RenderDeclined("conditional formats over too many cells");
        for (int r = range.first.row; r <= range.last.row; ++r)
          for (int c = range.first.col; c <= range.last.col; ++c) {
            const std::string where = sheet.name() + "!" + wb::FormatCellAddress(r, c);
            const std::string shifted = wb::TranslateFormula(*formula, r - origin.row, c - origin.col);
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
