#include "render/page_setup.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "workbook/workbook.h"
#include "workbook/model/xml_access.h"

namespace vemo::render {
namespace {

using wb::FirstChild;

constexpr double kMm = 72 / 25.4;

// One reference of a defined name's text without its sheet prefix and
// '$' signs ("'Sales'!$A$1:$L$13" -> "A1:L13").
std::string Unqualified(std::string_view ref) {
  if (const auto bang = ref.rfind('!'); bang != std::string_view::npos) ref.remove_prefix(bang + 1);
  std::string out;
  for (char c : ref)
    if (c != '$') out += c;
  return out;
}

std::vector<std::string_view> SplitList(std::string_view text) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\'') quoted = !quoted;
    if (text[i] == ',' && !quoted) parts.push_back(text.substr(start, i - start)), start = i + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A print area: a range, or whole columns ("A:F") or rows ("3:40"), which
// the renderer trims to the cells in use.
std::optional<wb::CellRange> ReadArea(const std::string& ref) {
  if (auto range = wb::ParseCellRange(ref)) return range;
  const auto colon = ref.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const std::string first = ref.substr(0, colon), last = ref.substr(colon + 1);
  if (AllDigits(first) && AllDigits(last))
    return wb::CellRange{{std::atoi(first.c_str()), 1}, {std::atoi(last.c_str()), wb::kMaxColumns}};
  const auto from = wb::ParseCellAddress(first + "1"), to = wb::ParseCellAddress(last + "1");
  if (from && to) return wb::CellRange{{1, from->col}, {wb::kMaxRows, to->col}};
  return std::nullopt;
}

// A name whose reference was deleted ("#REF!") prints as if it were not set,
// as in the spreadsheet application.
bool Deleted(std::string_view text) { return text.find("#REF!") != std::string_view::npos; }

void ReadTitles(std::string_view text, PageSetup& setup) {
  for (std::string_view part : SplitList(text)) {
    const std::string ref = Unqualified(part);
    const auto colon = ref.find(':');
    const std::string first = ref.substr(0, colon), last = colon == std::string::npos ? first : ref.substr(colon + 1);
    if (AllDigits(first) && AllDigits(last)) {
      setup.titleFirstRow = std::atoi(first.c_str());
      setup.titleLastRow = std::atoi(last.c_str());
    } else if (const auto from = wb::ParseCellAddress(first + "1"), to = wb::ParseCellAddress(last + "1"); from && to) {
      setup.titleFirstCol = from->col;
      setup.titleLastCol = to->col;
    } else {
      setup.unsupported = "print titles it cannot read (" + std::string(text) + ")";
    }
  }
}

std::vector<int> Breaks(pugi::xml_node list) {
  std::vector<int> out;
  for (pugi::xml_node brk : list.children()) out.push_back(brk.attribute("id").as_int());
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

std::optional<std::pair<double, double>> PaperSize(int code) {
  switch (code) {
    case 1: return std::pair(8.5 * 72, 11.0 * 72);   // Letter
    case 5: return std::pair(8.5 * 72, 14.0 * 72);   // Legal
    case 8: return std::pair(297 * kMm, 420 * kMm);  // A3
    case 9: return std::pair(210 * kMm, 297 * kMm);  // A4
    case 11: return std::pair(148 * kMm, 210 * kMm); // A5
    case 12: return std::pair(257 * kMm, 364 * kMm); // B4 (JIS)
    case 13: return std::pair(182 * kMm, 257 * kMm); // B5 (JIS)
    case 70: return std::pair(105 * kMm, 148 * kMm); // A6
    default: return std::nullopt;
  }
}

PageSetup ReadPageSetup(const wb::Sheet& sheet, int sheetIndex) {
  PageSetup setup;
  const pugi::xml_node ws = wb::SheetXml(sheet).document_element();
  if (pugi::xml_node m = FirstChild(ws, "pageMargins")) {
    setup.left = m.attribute("left").as_double(0.7) * 72;
    setup.right = m.attribute("right").as_double(0.7) * 72;
    setup.top = m.attribute("top").as_double(0.75) * 72;
    setup.bottom = m.attribute("bottom").as_double(0.75) * 72;
    setup.header = m.attribute("header").as_double(0.3) * 72;
    setup.footer = m.attribute("footer").as_double(0.3) * 72;
  }
  if (pugi::xml_node o = FirstChild(ws, "printOptions")) {
    setup.centerH = o.attribute("horizontalCentered").as_bool();
    setup.centerV = o.attribute("verticalCentered").as_bool();
    setup.gridLines = o.attribute("gridLines").as_bool() && o.attribute("gridLinesSet").as_bool(true);
    if (o.attribute("headings").as_bool()) setup.unsupported = "row and column headings";
  }
  const pugi::xml_node ps = FirstChild(ws, "pageSetup");
  const int paper = ps.attribute("paperSize").as_int(9);
  const auto size = PaperSize(paper);
  if (!size) setup.unsupported = "paper size " + std::to_string(paper);
  auto [w, h] = size.value_or(std::pair(setup.paperWidth, setup.paperHeight));
  if (std::string_view(ps.attribute("orientation").value()) == "landscape") std::swap(w, h);
  setup.paperWidth = w, setup.paperHeight = h;
  setup.scale = std::clamp(ps.attribute("scale").as_int(100), 10, 400);
  setup.fitWidth = ps.attribute("fitToWidth").as_int(1);
  setup.fitHeight = ps.attribute("fitToHeight").as_int(1);
  setup.overThenDown = std::string_view(ps.attribute("pageOrder").value()) == "overThenDown";
  if (ps.attribute("useFirstPageNumber").as_bool()) setup.firstPageNumber = ps.attribute("firstPageNumber").as_int(1);
  setup.fitToPage = FirstChild(FirstChild(ws, "sheetPr"), "pageSetUpPr").attribute("fitToPage").as_bool();

  if (pugi::xml_node hf = FirstChild(ws, "headerFooter")) {
    setup.headerCodes = FirstChild(hf, "oddHeader").text().get();
    setup.footerCodes = FirstChild(hf, "oddFooter").text().get();
    if (hf.attribute("differentOddEven").as_bool() || hf.attribute("differentFirst").as_bool())
      setup.unsupported = "different first or even page headers";
  }
  setup.rowBreaks = Breaks(FirstChild(ws, "rowBreaks"));
  setup.colBreaks = Breaks(FirstChild(ws, "colBreaks"));

  for (const wb::DefinedName& name : sheet.book().DefinedNames()) {
    if (name.localSheetId != sheetIndex) continue;
    if (name.name == "_xlnm.Print_Area") {
      if (Deleted(name.text)) continue;
      for (std::string_view part : SplitList(name.text)) {
        const auto area = ReadArea(Unqualified(part));
        if (!area) setup.unsupported = "a print area it cannot read (" + name.text + ")";
        else setup.printAreas.push_back(*area);
      }
      if (setup.printAreas.size() > 1 && setup.fitToPage) setup.unsupported = "several print areas fitted to pages";
    } else if (name.name == "_xlnm.Print_Titles" && !Deleted(name.text)) {
      ReadTitles(name.text, setup);
    }
  }
  return setup;
}

}  // namespace vemo::render
