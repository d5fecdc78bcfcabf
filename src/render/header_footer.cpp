#include "render/header_footer.h"

#include <algorithm>
#include <cctype>

namespace vemo::render {

HeaderFooterLine ExpandHeaderFooter(std::string_view codes, const HeaderFooterFields& fields) {
  HeaderFooterLine line;
  HeaderFooterSection* section = &line.center;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (codes[i] != '&' || i + 1 == codes.size()) {
      section->text += codes[i];
      continue;
    }
    const char code = codes[++i];
    switch (std::toupper(static_cast<unsigned char>(code))) {
      case 'L': section = &line.left; break;
      case 'C': section = &line.center; break;
      case 'R': section = &line.right; break;
      case 'P': section->text += std::to_string(fields.page); break;
      case 'N': section->text += std::to_string(fields.pages); break;
      case 'D': section->text += fields.date; break;
      case 'T': section->text += fields.time; break;
      case 'F': section->text += fields.file; break;
      case 'A': section->text += fields.sheet; break;
      case '&': section->text += '&'; break;
      case 'B': section->bold = !section->bold; break;
      case 'I': section->italic = !section->italic; break;
      case 'U': section->underline = !section->underline; break;
      case 'K': i = std::min(i + 6, codes.size() - 1); break;  // a colour: RRGGBB or a theme colour, not shown
      case '"': {
        const auto end = codes.find('"', i + 1);
        const std::string_view font = codes.substr(i + 1, end == std::string_view::npos ? end : end - i - 1);
        const auto comma = font.find(',');
        if (font.substr(0, comma) != "-") section->fontName = std::string(font.substr(0, comma));
        const std::string_view style = comma == std::string_view::npos ? "" : font.substr(comma + 1);
        section->bold = style.find("Bold") != std::string_view::npos;
        section->italic = style.find("Italic") != std::string_view::npos;
        i = end == std::string_view::npos ? codes.size() : end;
        break;
      }
      default:
        if (std::isdigit(static_cast<unsigned char>(code))) {
          double size = 0;
          for (; i < codes.size() && std::isdigit(static_cast<unsigned char>(codes[i])); ++i)
            size = size * 10 + (codes[i] - '0');
          --i;
          section->fontSize = size;
        }
        break;  // &K colours, &X &Y &S &Z &G: not shown
    }
  }
  return line;
}

}  // namespace vemo::render
