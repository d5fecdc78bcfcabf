// Page headers and footers: the codes of a header or footer text expanded
// for one page into its left, centre and right sections.
#pragma once
#include <string>
#include <string_view>

namespace vemo::render {

struct HeaderFooterFields {
  int page = 1, pages = 1;
  std::string date, time;  // as printed
  std::string file, sheet;
};

struct HeaderFooterSection {
  std::string text;
  std::string fontName;  // empty: the workbook's default font
  double fontSize = 0;   // 0: the default font's size
  bool bold = false, italic = false, underline = false;
};

struct HeaderFooterLine {
  HeaderFooterSection left, center, right;
};

// &L &C &R start a section (text before any of them is centred); &P page,
// &N pages, &D date, &T time, &F file, &A sheet, && an ampersand;
// &"name,style" and &size set the section's font, &B &I &U toggle bold,
// italic and underline. Colours (&K) and other codes are dropped.
HeaderFooterLine ExpandHeaderFooter(std::string_view codes, const HeaderFooterFields& fields);

}  // namespace vemo::render
