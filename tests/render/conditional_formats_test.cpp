#include "render/conditional_formats.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "render/render_declined.h"
#include "support/test_paths.h"
#include "workbook/model/xml_access.h"
#include "workbook/sheet.h"
#include "workbook/workbook.h"
#include "workbook/workbook_values.h"

namespace vemo::render {
namespace {

// Rules over AD1:AD4 (5, 10, 15, "apple"), well away from the template's
// own cells; each case lists which of the four rows its rule styles (dxf 7).
TEST(ConditionalFormats, CellValueAndTextRulesAreDecidedCellByCell) {
  struct Case {
    const char* rule;  // the cfRule element
    const char* styled;
  } cases[] = {
      // Text ranks above every number, as in a formula's comparison.
      {R"(<cfRule type="cellIs" operator="greaterThan" dxfId="7" priority="1"><formula>10</formula></cfRule>)", "34"},
      {R"(<cfRule type="cellIs" operator="lessThanOrEqual" dxfId="7" priority="1"><formula>$AD$2</formula></cfRule>)",
       "12"},
      // Bounds either way round.
      {R"(<cfRule type="cellIs" operator="between" dxfId="7" priority="1"><formula>12</formula><formula>4</formula></cfRule>)",
       "12"},
      {R"(<cfRule type="cellIs" operator="notBetween" dxfId="7" priority="1"><formula>4</formula><formula>12</formula></cfRule>)",
       "34"},
      {R"(<cfRule type="cellIs" operator="equal" dxfId="7" priority="1"><formula>"APPLE"</formula></cfRule>)", "4"},
      {R"(<cfRule type="containsText" operator="containsText" text="pp" dxfId="7" priority="1"><formula>NOT(ISERROR(SEARCH("pp",AD1)))</formula></cfRule>)",
       "4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    auto book = wb::Workbook::Open(test::SourceDir() / "examples/templates/sales_invoice_plain.xlsx");
    wb::Sheet& sheet = book->GetSheet(0);
    const int col = 30;  // AD
    sheet.SetNumber(1, col, 5), sheet.SetNumber(2, col, 10), sheet.SetNumber(3, col, 15);
    sheet.SetString(4, col, "apple");
    pugi::xml_document rule;
    ASSERT_TRUE(rule.load_string(c.rule));
    pugi::xml_node format = wb::SheetXml(sheet).document_element().append_child("conditionalFormatting");
    format.append_attribute("sqref") = "AD1:AD4";
    format.append_copy(rule.document_element());
    wb::WorkbookValues values(*book);
    const ConditionalStyles styles = EvaluateConditionalFormats(sheet, values);
    std::string styled;
    for (int row = 1; row <= 4; ++row)
      if (const auto it = styles.find({row, col}); it != styles.end() && it->second == 7) styled += std::to_string(row);
    EXPECT_EQ(styled, c.styled);
  }
}

TEST(ConditionalFormats, RulesOnMoreThanTheCellDeclineTheSheet) {
  auto book = wb::Workbook::Open(test::SourceDir() / "examples/templates/sales_invoice_plain.xlsx");
  wb::Sheet& sheet = book->GetSheet(0);
  pugi::xml_node format = wb::SheetXml(sheet).document_element().append_child("conditionalFormatting");
  format.append_attribute("sqref") = "A1:A3";
  format.append_child("cfRule").append_attribute("type") = "top10";
  wb::WorkbookValues values(*book);
  try {
    EvaluateConditionalFormats(sheet, values);
    ADD_FAILURE() << "a top-ten rule was drawn";
  } catch (const RenderDeclined& declined) {
    EXPECT_NE(std::string(declined.what()).find("of type top10 on A1:A3"), std::string::npos) << declined.what();
  }
}

}  // namespace
}  // namespace vemo::render
