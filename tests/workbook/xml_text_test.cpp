// Cell texts as the parts carry them: what XML cannot hold is escaped, a
// literal escape is kept apart, and everything reads back as written.
#include "workbook/xml_text.h"

#include <gtest/gtest.h>

namespace vemo::wb {
namespace {

TEST(XmlText, CellTextsEscapeWhatXmlCannotCarryAndReadBack) {
  struct Case {
    std::string text, written;
    std::string readBack;  // what a reader gets from `written` ("" when it holds XML entities)
  };
  const std::string replacement = "\xEF\xBF\xBD";
  const Case cases[] = {
      {"a\x0B" "b", "a_x000B_b", "a\x0B" "b"},
      {std::string("\x00\x01\x1F", 3), "_x0000__x0001__x001F_", std::string("\x00\x01\x1F", 3)},
      {"tab\tLF\nCR\r", "tab\tLF\nCR&#13;", ""},
      {"\xEF\xBF\xBE\xEF\xBF\xBF", "_xFFFE__xFFFF_", "\xEF\xBF\xBE\xEF\xBF\xBF"},
      {"_x0041_ and _x005f_", "_x005F_x0041_ and _x005F_x005f_", "_x0041_ and _x005f_"},
      {"_x12_ _xZZZZ_", "_x12_ _xZZZZ_", "_x12_ _xZZZZ_"},
      {"bad\xFF\xC0\xAF utf8 \xE4\xB8", "bad" + replacement + replacement + replacement + " utf8 " + replacement +
                                            replacement,
       ""},
      {"<&>\"箱", "&lt;&amp;&gt;\"箱", ""},
  };
  for (const Case& c : cases) {
    std::string written;
    AppendCellText(written, c.text);
    EXPECT_EQ(written, c.written) << c.text;
    if (!c.readBack.empty()) {
      EXPECT_EQ(DecodeCellText(c.written), c.readBack) << c.text;
    }
  }
  // Escapes a reader meets: surrogate pairs join, a lone surrogate is U+FFFD.
  EXPECT_EQ(DecodeCellText("_xD83D__xDE00_|_xD800_"), "\xF0\x9F\x98\x80|" + replacement);
}

TEST(XmlText, LibraryOutputLosesItsForbiddenCharacterReferences) {
  std::string xml = "<t a=\"&#1;\">&#11;&#9;&amp;#11;\xFF</t>";
  MakeXmlSafe(xml);
  EXPECT_EQ(xml, "<t a=\"_x0001_\">_x000B_&#9;&amp;#11;\xEF\xBF\xBD</t>");
}

}  // namespace
}  // namespace vemo::wb
