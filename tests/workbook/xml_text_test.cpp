// Cell texts as the parts carry them: what XML cannot hold is escaped, a
// literal escape is kept apart, and everything reads back as written.
#include "workbook/xlsx/xml_text.h"

#include <gtest/gtest.h>

namespace vemo::wb {
namespace {

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
