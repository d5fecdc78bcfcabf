// What the style part says a cell looks like: fills with their patterns and
// colours, text rotation, shrink to fit and indent.
#include "render/cell_style.h"

#include <gtest/gtest.h>

#include <bitset>

#include "render/fill_pattern.h"
#include "support/test_paths.h"
#include "workbook/workbook.h"
#include "workbook/xml_part.h"

namespace vemo::render {
namespace {

TEST(CellStyle, FillsAndAlignmentFromTheStylePart) {
  auto book = wb::Workbook::Open(test::SourceDir() / "examples/templates/receipt.xlsx");
  pugi::xml_node styles = book->EditXmlPart("xl/styles.xml").document_element();
  pugi::xml_node fills = wb::FirstChild(styles, "fills"), xfs = wb::FirstChild(styles, "cellXfs");
  const struct {
    const char* fill;       // a <fill>, or empty for the workbook's first
    const char* alignment;  // attributes of <alignment>
    FillPattern pattern;
    Rgb color, patternColor;
    int rotation;
    bool shrink;
    int indent;
  } cases[] = {
      {"<patternFill patternType=\"solid\"><fgColor rgb=\"FFFF0000\"/></patternFill>", "", FillPattern::Solid,
       0xFF0000, 0, 0, false, 0},
      {"<patternFill patternType=\"lightUp\"><fgColor rgb=\"FF0000FF\"/><bgColor rgb=\"FFFFFF00\"/></patternFill>", "",
       FillPattern::LightUp, 0xFFFF00, 0x0000FF, 0, false, 0},
      {"<patternFill patternType=\"gray125\"/>", "", FillPattern::Gray125, 0xFFFFFF, 0, 0, false, 0},
      {"", "textRotation=\"45\"", FillPattern::None, 0xFFFFFF, 0, 45, false, 0},
      {"", "textRotation=\"135\"", FillPattern::None, 0xFFFFFF, 0, -45, false, 0},  // clockwise
      {"", "textRotation=\"180\"", FillPattern::None, 0xFFFFFF, 0, -90, false, 0},
      {"", "textRotation=\"255\"", FillPattern::None, 0xFFFFFF, 0, kStackedText, false, 0},
      {"", "shrinkToFit=\"1\" indent=\"2\"", FillPattern::None, 0xFFFFFF, 0, 0, true, 2},
  };
  std::vector<std::uint32_t> index;
  for (const auto& c : cases) {
    unsigned fillId = 0;
    if (*c.fill) {
      pugi::xml_document fill;
      ASSERT_TRUE(fill.load_string((std::string("<fill>") + c.fill + "</fill>").c_str()));
      fills.append_copy(fill.first_child());
      fillId = static_cast<unsigned>(std::distance(fills.children().begin(), fills.children().end())) - 1;
    }
    pugi::xml_document xf;
    ASSERT_TRUE(xf.load_string(("<xf fontId=\"0\" fillId=\"" + std::to_string(fillId) + "\"><alignment " +
                                c.alignment + "/></xf>").c_str()));
    xfs.append_copy(xf.first_child());
    index.push_back(static_cast<std::uint32_t>(std::distance(xfs.children().begin(), xfs.children().end())) - 1);
  }
  const StyleTable table(*book);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    const CellStyle& s = table.Get(index[i]);
    SCOPED_TRACE(std::string(c.fill) + c.alignment);
    EXPECT_EQ(s.pattern, c.pattern);
    EXPECT_EQ(s.fill, c.color);
    EXPECT_EQ(s.patternColor, c.patternColor);
    EXPECT_EQ(s.rotation, c.rotation);
    EXPECT_EQ(s.shrink, c.shrink);
    EXPECT_EQ(s.indent, c.indent);
    EXPECT_EQ(s.unsupported, "");
  }
}

// The grey patterns cover the share of the cell their names say.
TEST(CellStyle, GreyPatternsCoverTheirShare) {
  const struct {
    FillPattern pattern;
    int of64;
  } cases[] = {{FillPattern::Gray0625, 4},  {FillPattern::Gray125, 8}, {FillPattern::LightGray, 16},
               {FillPattern::MediumGray, 32}, {FillPattern::DarkGray, 48}, {FillPattern::Solid, 64}};
  for (const auto& c : cases) {
    int set = 0;
    for (unsigned char row : BitsOf(c.pattern)) set += static_cast<int>(std::bitset<8>(row).count());
    EXPECT_EQ(set, c.of64) << static_cast<int>(c.pattern);
  }
}

}  // namespace
}  // namespace vemo::render
