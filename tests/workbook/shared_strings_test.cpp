// Texts as the parts carry them: the shared string table and the escapes
// of cell texts.
#include "workbook/shared_strings.h"
#include "workbook/xlsx/xml_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vemo::wb {
namespace {

std::string Table(const std::string& items) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" count=\"9\" uniqueCount=\"9\">" +
         items + "</sst>";
}

// An item's text: plain, kept spaces, entities, line ends, and rich runs
// without their phonetic guides.
TEST(SharedStrings, ItemTextDecodesEveryForm) {
  const std::pair<const char*, const char*> cases[] = {
      {"<t>[$$Page2_FName]</t>", "[$$Page2_FName]"}, {"<t xml:space=\"preserve\"> a b </t>", " a b "},
      {"<t>A &amp; B &lt;C&gt;</t>", "A & B <C>"}, {"<t>line\r\nnext</t>", "line\nnext"}, {"<t></t>", ""},
      {"<r><t>bold</t></r><r><t> plain</t></r><rPh><t>x</t></rPh>", "bold plain"},
  };
  for (const auto& [raw, text] : cases) EXPECT_EQ(StringItemText(raw), text) << raw;
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

// Cell texts as the parts carry them: what XML cannot hold is escaped, a
// literal escape is kept apart, and everything reads back as written.
TEST(XmlText, CellTextsEscapeWhatXmlCannotCarryAndReadBack) {
  const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
  const std::pair<std::string, std::string> cases[] = {  // text, as written
      {"a\x0B" "b", "a_x000B_b"},
      {std::string("\x00\x01\x1F", 3), "_x0000__x0001__x001F_"},
      {"\xEF\xBF\xBE\xEF\xBF\xBF", "_xFFFE__xFFFF_"},
      {"_x0041_ and _x005f_", "_x005F_x0041_ and _x005F_x005f_"},
      {"_x12_ _xZZZZ_", "_x12_ _xZZZZ_"},
      {"tab\tLF\nCR\r<&>\"箱", "tab\tLF\nCR&#13;&lt;&amp;&gt;\"箱"},
      {"bad\xFF\xC0\xAF utf8 \xE4\xB8", "bad" + bad + bad + bad + " utf8 " + bad + bad},
  };
  for (const auto& [text, written] : cases) {
    std::string out;
    AppendCellText(out, text);
    EXPECT_EQ(out, written) << text;
    if (written.find('&') == std::string::npos && text.find('\xFF') == std::string::npos) {
      EXPECT_EQ(DecodeCellText(written), text);
    }
  }
  // Escapes a reader meets: surrogate pairs join, a lone surrogate is U+FFFD.
  EXPECT_EQ(DecodeCellText("_xD83D__xDE00_|_xD800_"), "\xF0\x9F\x98\x80|" + bad);
}

TEST(XmlText, LibraryOutputLosesItsForbiddenCharacterReferences) {
  std::string xml = "<t a=\"&#1;\">&#11;&#9;&amp;#11;\xFF</t>";
  MakeXmlSafe(xml);
  EXPECT_EQ(xml, "<t a=\"_x0001_\">_x000B_&#9;&amp;#11;\xEF\xBF\xBD</t>");
}

}  // namespace
}  // namespace vemo::wb
