#include "workbook/shared_strings.h"

#include <gtest/gtest.h>

#include <string>

namespace vemo::wb {
namespace {

std::string Table(const std::string& items) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"9\" uniqueCount=\"9\">" +
         items + "</sst>";
}

// A bill adds tens of thousands of texts: every one must be found again
// after the index has grown many times, and equal texts must share an item.
TEST(SharedStrings, EveryAddedTextIsFoundAgainAfterTheIndexGrows) {
  SharedStrings strings;
  strings.Load(Table("<si><t>first</t></si>"), "xl/sharedStrings.xml");
  for (int i = 0; i < 5000; ++i) EXPECT_EQ(strings.Add("item " + std::to_string(i)), static_cast<std::uint32_t>(i + 1));
  for (int i = 4999; i >= 0; --i) EXPECT_EQ(strings.Add("item " + std::to_string(i)), static_cast<std::uint32_t>(i + 1));
  EXPECT_EQ(strings.Add("first"), 0u);
  EXPECT_EQ(strings.Add(""), 5001u);
  EXPECT_EQ(strings.Add(""), 5001u);
  EXPECT_EQ(strings.size(), 5002u);
  EXPECT_EQ(strings.Text(4000), "item 3999");
}

// Read items keep their XML; a rich item is never reused for plain text, and
// of two equal plain items the first is the one reused.
TEST(SharedStrings, ReadItemsKeepTheirXmlAndOnlyPlainOnesAreReused) {
  SharedStrings strings;
  strings.Load(Table("<si><r><rPr><b/></rPr><t>bold</t></r></si>"
                     "<si><t xml:space=\"preserve\">same</t></si>"
                     "<si><t>same</t></si>"),
               "xl/sharedStrings.xml");
  EXPECT_TRUE(strings.IsRich(0));
  EXPECT_EQ(strings.Text(0), "bold");
  EXPECT_EQ(strings.Add("same"), 1u);
  EXPECT_EQ(strings.Add("bold"), 3u);  // a new plain item beside the rich one
  EXPECT_EQ(strings.RawXml(1), "<t xml:space=\"preserve\">same</t>");
  EXPECT_EQ(strings.RawXml(3), "<t>bold</t>");
}

TEST(SharedStrings, AddedTextsAreWrittenEscapedWithSpacesKept) {
  SharedStrings strings;
  strings.Load(Table("<si><t>a</t></si>"), "xl/sharedStrings.xml");
  strings.Add(" <b> & \"c\" ");
  strings.Add("two\nlines");
  const std::string written = strings.Write(7);
  EXPECT_NE(written.find("count=\"7\" uniqueCount=\"3\">"), std::string::npos);
  EXPECT_NE(written.find("<si><t>a</t></si><si><t xml:space=\"preserve\"> &lt;b&gt; &amp; \"c\" </t></si>"
                         "<si><t xml:space=\"preserve\">two\nlines</t></si></sst>"),
            std::string::npos)
      << written;
  SharedStrings again;
  again.Load(written, "xl/sharedStrings.xml");
  EXPECT_EQ(again.Text(1), " <b> & \"c\" ");
  EXPECT_EQ(again.Add("two\nlines"), 2u);
}

}  // namespace
}  // namespace vemo::wb
