#include "render/header_footer.h"

#include <gtest/gtest.h>

namespace vemo::render {
namespace {

TEST(HeaderFooter, CodesExpandIntoSections) {
  HeaderFooterFields fields;
  fields.page = 3, fields.pages = 7, fields.date = "2026/12/7", fields.time = "9:05";
  fields.file = "invoice.xlsx", fields.sheet = "销售发票";
  struct Case {
    const char* codes;
    const char* left;
    const char* center;
    const char* right;
  } cases[] = {
      {"&C第 &P 页，共 &N 页", "", "第 3 页，共 7 页", ""},
      {"plain", "", "plain", ""},
      {"&L&F&C&A&R&D &T", "invoice.xlsx", "销售发票", "2026/12/7 9:05"},
      {"&LA && B&R&\"Arial,Bold\"&12x", "A & B", "", "x"},
      {"&KFF0000red&Z&X", "", "red", ""},
  };
  for (const Case& c : cases) {
    const HeaderFooterLine line = ExpandHeaderFooter(c.codes, fields);
    EXPECT_EQ(line.left.text, c.left) << c.codes;
    EXPECT_EQ(line.center.text, c.center) << c.codes;
    EXPECT_EQ(line.right.text, c.right) << c.codes;
  }
  const HeaderFooterLine styled = ExpandHeaderFooter("&R&\"Arial,Bold Italic\"&14x", fields);
  EXPECT_EQ(styled.right.fontName, "Arial");
  EXPECT_TRUE(styled.right.bold && styled.right.italic);
  EXPECT_EQ(styled.right.fontSize, 14);
}

}  // namespace
}  // namespace vemo::render
