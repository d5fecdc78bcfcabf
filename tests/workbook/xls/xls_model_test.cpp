// A workbook saved as .xls and read again shows the same model: values,
// number formats, formulas, defined names, merges, column widths, row
// heights, page setup, headers and footers, page breaks, frozen panes,
// validations, fills, borders and colours, whether it came from .xlsx or from
// .xls with edits made on it.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <tuple>

#include "support/files.h"
#include "support/run_command.h"
#include "support/test_paths.h"
#include "workbook/package_parts.h"
#include "workbook/structural_edit.h"
#include "workbook/model/style_colors.h"
#include "workbook/workbook.h"
#include "workbook/workbook_test_util.h"
#include "workbook/model/xml_access.h"
#include "workbook/surface_support.h"
#include "workbook/xls/biff_records.h"
#include "workbook/xls/compound_file.h"

namespace vemo::wb {
namespace {

// Formula text with sheet names unquoted: quoting a name that does not need
// it is a matter of style ('销售发票'!A1 and 销售发票!A1 are the same).
std::string Unquoted(std::string text) {
  std::erase(text, '\'');
  return text;
}

// The sheet settings both formats hold, one line per element; an attribute
// left out reads as its default ("name=default"), an element with nothing but
// defaults as absent.
std::string Settings(Sheet& sheet) {
  static const std::pair<const char*, std::vector<std::string>> kKept[] = {
      {"pane", {"xSplit=0", "ySplit=0", "topLeftCell=", "state=split"}},
      {"dataValidation", {"type=none", "operator=between", "allowBlank=0", "showErrorMessage=0", "prompt=", "error=", "sqref="}},
      {"printOptions", {"horizontalCentered=0", "verticalCentered=0", "gridLines=0"}},
      {"pageMargins", {"left=", "right=", "top=", "bottom=", "header=", "footer="}},
      {"pageSetup", {"paperSize=1", "scale=100", "fitToWidth=1", "fitToHeight=1", "orientation=default"}},
      {"pageSetUpPr", {"fitToPage=0"}},
      {"brk", {"id="}}};
  std::string out;
  std::vector<pugi::xml_node> stack{SheetXml(sheet).document_element()};
  while (!stack.empty()) {
    pugi::xml_node n = stack.back();
    stack.pop_back();
    for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling())
      if (c.type() == pugi::node_element && LocalName(c) != "sheetData") stack.push_back(c);
    const std::string_view name = LocalName(n);
    if ((name == "oddHeader" || name == "oddFooter" || name == "formula1" || name == "formula2") && *n.child_value())
      out += std::string(name) + " " + n.child_value() + "\n";
    for (const auto& [element, attrs] : kKept) {
      if (name != element) continue;
      std::string line = element;
      bool set = false;
      for (const std::string& a : attrs) {
        const std::size_t eq = a.find('=');
        pugi::xml_attribute v = n.attribute(a.substr(0, eq).c_str());
        const std::string value = v ? v.value() : a.substr(eq + 1);
        set = set || value != a.substr(eq + 1) || a.size() == eq + 1;
        line += " " + a.substr(0, eq) + "=" + (value == "false" ? "0" : value == "true" ? "1" : value);
      }
      if (set) out += line + "\n";
    }
  }
  return out;
}

// The font, fill, borders, alignment and protection of each cell style,
// colours as RGB.
std::vector<std::string> Looks(Workbook& book) {
  const StyleColors colors(book);
  pugi::xml_node part;
  for (const Relationship& rel : book.RelationshipsOf(book.workbookPart()))
    if (rel.type.ends_with("/styles")) part = ReadXmlPart(book, rel.target).document_element();
  auto list = [&](const char* name) { return std::vector<pugi::xml_node>(FirstChild(part, name).begin(), FirstChild(part, name).end()); };
  const auto fonts = list("fonts"), fills = list("fills"), borders = list("borders");
  auto color = [&](pugi::xml_node c) { return colors.Resolve(c) ? std::to_string(*colors.Resolve(c)) : "auto"; };
  std::vector<std::string> out;
  for (pugi::xml_node xf : FirstChild(part, "cellXfs").children()) {
    pugi::xml_node font = fonts.at(xf.attribute("fontId").as_uint());
    std::string look = "font " + color(FirstChild(font, "color"));
    for (const char* e : {"b", "i", "strike", "u", "vertAlign"})
      if (const std::string_view v = FirstChild(font, e).attribute("val").value();
          FirstChild(font, e) && v != "0" && v != "false" && v != "none")
        look += std::string(" ") + e + (v.empty() || v == "1" || v == "true" || v == "single" ? "" : "=" + std::string(v));
    pugi::xml_node fill = FirstChild(fills.at(xf.attribute("fillId").as_uint()), "patternFill");
    if (const std::string p = fill.attribute("patternType").value(); !p.empty() && p != "none")
      look += " fill " + p + " " + color(FirstChild(fill, "fgColor")) + " " + color(FirstChild(fill, "bgColor"));
    pugi::xml_node border = borders.at(xf.attribute("borderId").as_uint());
    for (pugi::xml_node edge : border.children())
      if (*edge.attribute("style").value() && (LocalName(edge) != "diagonal" || border.first_attribute()))
        look += " " + std::string(LocalName(edge)) + " " + edge.attribute("style").value() + " " + color(FirstChild(edge, "color"));
    std::set<std::string> attributes;  // writers order them differently
    for (pugi::xml_node n : {border, FirstChild(xf, "alignment"), FirstChild(xf, "protection")})
      for (pugi::xml_attribute a : n.attributes()) attributes.insert(std::string(" ") + a.name() + "=" + a.value());
    for (const std::string& a : attributes) look += a;
    out.push_back(look);
  }
  return out;
}

// A workbook with every border line style and fill pattern in `colours`
// colours of its own (and two more: black and a theme colour).
std::filesystem::path StyledSheet(const vemo::test::TempDir& temp, int colours) {
  const std::filesystem::path out = temp / ("styled" + std::to_string(colours) + ".xlsx");
  auto made = vemo::test::RunPython(vemo::test::SourceDir() / "tests/workbook/fixtures/make_styled_sheet.py",
                                  vemo::test::ShellQuote(out) + " " + std::to_string(colours));
  EXPECT_EQ(made.status, 0) << made.output;
  return out;
}

// What a reader of the workbook sees, one line per fact.
std::string View(Workbook& book) {
  std::ostringstream out;
  const std::vector<std::string> looks = Looks(book);
  for (const DefinedName& n : book.DefinedNames()) out << "name " << n.name << " " << n.localSheetId << " " << Unquoted(n.text) << "\n";
  for (std::size_t s = 0; s < book.SheetCount(); ++s) {
    Sheet& sheet = book.GetSheet(s);
    out << "sheet " << sheet.name() << " " << static_cast<int>(sheet.visibility()) << "\n" << Settings(sheet);
    for (const std::string& m : sheet.MergedRanges()) out << "merge " << m << "\n";
    for (int c = 1; c <= 30; ++c)
      if (auto w = sheet.ColumnWidth(c)) out << "col " << c << " " << *w << "\n";
    for (const Row& row : sheet.rows()) {
      if (auto h = sheet.RowHeight(static_cast<int>(row.number))) out << "row " << row.number << " " << *h << "\n";
      for (const Cell& cell : row.cells) {
        const CellContent v = sheet.GetValue(static_cast<int>(row.number), static_cast<int>(cell.col));
        const bool text = v.type == CellType::SharedString || v.type == CellType::String || v.type == CellType::InlineString;
        out << FormatCellAddress(static_cast<int>(row.number), static_cast<int>(cell.col)) << " "
            << (text ? "text" : std::to_string(static_cast<int>(v.type))) << " " << v.number << " " << v.text << " ["
            << book.styles().NumberFormatCode(cell.style) << "] "
            << Unquoted(sheet.FormulaText(static_cast<int>(row.number), static_cast<int>(cell.col)).value_or("")) << " "
            << looks.at(cell.style) << "\n";
      }
    }
  }
  return out.str();
}

TEST(XlsModel, SavedAsXlsAndReadAgainShowsTheSameWorkbook) {
  struct Case {
    std::filesystem::path source;
    void (*edit)(Workbook&);
  };
  vemo::test::TempDir temp;
  const std::filesystem::path examples = vemo::test::SourceDir() / "examples/templates";
  const Case cases[] = {
      {examples / "sales_invoice_vat.xlsx", [](Workbook&) {}},
      {examples / "courier_waybill.xlsx", [](Workbook&) {}},
      // Every border line style and fill pattern, in as many colours as the palette holds.
      {StyledSheet(temp, 54), [](Workbook&) {}},
      // The twins made by another program, with rows inserted as a fill does.
      {examples / "sales_invoice_vat.xls", [](Workbook& b) { InsertRows(b, b.GetSheet(0), 9, 3, 8); }},
      {examples / "stock_transfer.xls", [](Workbook& b) { InsertRows(b, b.GetSheet(0), 5, 2); }},
      {examples / "sales_invoice_vat.xlsx",
       [](Workbook& b) {
         Sheet& s = b.GetSheet(0);
         s.SetString(40, 2, "新增 line ✓");
         s.SetNumber(41, 3, 1234.5);
         s.SetStyle(41, 3, b.styles().WithNumberFormat(0, "#,##0.00\"元\""));
         s.SetBoolean(42, 1, true);
         s.SetRowHeight(41, 30);
         s.SetColumnWidth(9, 21.5);
         s.AddMergedRange(*ParseCellRange("E40:F41"));
       }},
      // Settings no example template has: a frozen pane, page breaks, gridlines.
      {examples / "receipt.xlsx",
       [](Workbook& b) {
         pugi::xml_node ws = SheetXml(b.GetSheet(0)).document_element();
         pugi::xml_node view = FirstChild(FirstChild(ws, "sheetViews"), "sheetView");
         pugi::xml_node pane = view.prepend_child("pane");
         for (auto [a, v] : {std::pair{"xSplit", "1"}, {"ySplit", "3"}, {"topLeftCell", "B4"}, {"state", "frozen"}})
           pane.append_attribute(a) = v;
         FirstChild(ws, "printOptions") ? void() : void(ws.append_child("printOptions").append_attribute("gridLines") = "1");
         for (auto [list, id] : {std::pair{"rowBreaks", "6"}, {"colBreaks", "3"}})
           ws.append_child(list).append_child("brk").append_attribute("id") = id;
       }},
  };
  for (const Case& c : cases) {
    auto book = Workbook::Open(c.source);
    c.edit(*book);
    // Viewed as saved: the style part an edit added to is read from the package.
    book->Save(temp / "edited.xlsx");
    const std::string before = View(*Workbook::Open(temp / "edited.xlsx"));
    book->Save(temp / "a.xls");
    auto again = Workbook::Open(temp / "a.xls");
    EXPECT_EQ(View(*again), before) << c.source;
    // A second round from .xls keeps it too (and the kept records stay in step).
    again->Save(temp / "b.xls");
    EXPECT_EQ(View(*Workbook::Open(temp / "b.xls")), before) << c.source;
    // And from .xls to .xlsx.
    again->Save(temp / "c.xlsx");
    EXPECT_EQ(View(*Workbook::Open(temp / "c.xlsx")), before) << c.source;
  }
}

// The content, not the name, tells the format: each twin opens under the
// other's name (a working copy keeps the bill template's extension).
TEST(XlsModel, TheContentNotTheNameTellsTheFormat) {
  vemo::test::TempDir temp;
  const auto templates = vemo::test::SourceDir() / "examples/templates";
  for (const auto& [source, misnamed, format] : {std::tuple{"receipt.xlsx", "receipt.xls", Workbook::Format::Xlsx},
                                                  {"receipt.xls", "receipt.xlsx", Workbook::Format::Xls}}) {
    std::filesystem::copy_file(templates / source, temp / misnamed);
    auto book = Workbook::Open(temp / misnamed);
    EXPECT_EQ(book->sourceFormat(), format) << misnamed;
    EXPECT_EQ(View(*book), View(*Workbook::Open(templates / source))) << misnamed;
  }
}

// What a sheet would print that only the records it came as hold: a page
// drawn from the model alone would leave it out.
TEST(XlsModel, PrintedContentKeptAsRecordsIsNamed) {
  const auto templates = vemo::test::SourceDir() / "examples/templates";
  const auto corpus = vemo::test::SharedDir() / "corpus/xls";
  const std::pair<std::filesystem::path, std::vector<std::string>> cases[] = {
      {templates / "sales_invoice_vat.xlsx", {}},
      {templates / "sales_invoice_vat.xls", {}},  // its conditional format is in the model
      {templates / "商品标签模板.xls", {"a picture"}},  // three pictures, named once
      {corpus / "NewStyleConditionalFormattings.xls", {"conditional formats"}},  // of the newer kind
  };
  for (const auto& [file, expected] : cases) {
    auto book = Workbook::Open(file);
    EXPECT_EQ(book->PrintedContentNotInModel(book->GetSheet(0)), expected) << file;
  }
}

// Formatting runs of the string table are rich text in the model, each run
// in its FONT record's properties (the runs are those xlrd reads there), and
// the same again after a crossing to .xlsx and back, where the writer makes
// the runs and their FONT records anew.
TEST(XlsModel, StringTableRunsAreRichTextInTheirFonts) {
  const auto expectRuns = [](const Workbook& book) {
    const Sheet* sheet = nullptr;
    for (std::size_t i = 0; !sheet && i < book.SheetCount(); ++i)
      if (book.GetSheet(i).name() == "BRA-表") sheet = &book.GetSheet(i);
    ASSERT_NE(sheet, nullptr);
    const Cell* cell = sheet->FindCell(1, 1);
    ASSERT_TRUE(cell && cell->type == CellType::SharedString);
    EXPECT_EQ(book.sharedStrings().RawXml(cell->text),
              "<r><t xml:space=\"preserve\">三區分公司九十一年度</t></r>"
              "<r><rPr><b/><sz val=\"14\"/><rFont val=\"Times New Roman\"/><family val=\"1\"/><charset val=\"0\"/></rPr>"
              "<t xml:space=\"preserve\">ISDN-BRA</t></r>"
              "<r><rPr><b/><sz val=\"14\"/><rFont val=\"標楷體\"/><family val=\"4\"/><charset val=\"136\"/></rPr>"
              "<t xml:space=\"preserve\">設備暨使用率統計表</t></r>");
    EXPECT_TRUE(book.PrintedContentNotInModel(*sheet).empty());
  };
  vemo::test::TempDir dir;
  auto book = Workbook::Open(vemo::test::SharedDir() / "corpus/xls/12843-1.xls");
  expectRuns(*book);
  book->Save(dir.path() / "crossed.xlsx");
  Workbook::Open(dir.path() / "crossed.xlsx")->Save(dir.path() / "back.xls");
  expectRuns(*Workbook::Open(dir.path() / "back.xls"));
}

// Saved as .xls: colours beyond the palette are named in a warning, and after
// a fill, when the cached results are stale, every formula is marked to be
// calculated again (fAlwaysCalc), as .xlsx asks with fullCalcOnLoad.
TEST(XlsModel, SavingWarnsOfLostColoursAndMarksStaleFormulas) {
  vemo::test::TempDir temp;
  const auto invoice = vemo::test::SourceDir() / "examples/templates/sales_invoice_vat.xls";
  const struct {
    std::filesystem::path source;
    bool filled;
    const char* warning;
  } cases[] = {{invoice, false, ""}, {invoice, true, ""}, {StyledSheet(temp, 70), false, "16 colours beyond"}};
  for (const auto& c : cases) {
    auto book = Workbook::Open(c.source);
    if (c.filled) RequestFullCalcOnLoad(*book);
    ::testing::internal::CaptureStderr();
    book->Save(temp / "a.xls");
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(c.warning), std::string::npos) << c.source;
    const CompoundFile file = CompoundFile::Read(vemo::test::ReadFileBytes(temp / "a.xls"), "a.xls");
    int formulas = 0, marked = 0;
    for (const BiffRecord& r : ReadRecords(file.FindStream("Workbook")->data, 0, false)) {
      if (r.type != biff::kFormula) continue;
      ++formulas;
      marked += (static_cast<unsigned char>(r.data[14]) & 1) ? 1 : 0;
    }
    EXPECT_EQ(formulas > 0, c.source == invoice) << c.source;
    EXPECT_EQ(marked, c.filled ? formulas : 0) << c.source << (c.filled ? " filled" : " as designed");
  }
}

}  // namespace
}  // namespace vemo::wb
