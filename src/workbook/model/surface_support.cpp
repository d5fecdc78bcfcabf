#include "workbook/surface_support.h"

#include <iterator>

#include "workbook/sheet.h"
#include "workbook/workbook.h"
#include "workbook/model/xml_access.h"

namespace vemo::wb {
namespace {

// The workbook element order of the file format (children of <workbook>).
const char* const kWorkbookOrder[] = {
    "fileVersion", "fileSharing",   "workbookPr",          "workbookProtection", "bookViews",
    "sheets",      "functionGroups", "externalReferences", "definedNames",       "calcPr",
    "oleSize",     "customWorkbookViews", "pivotCaches",   "smartTagPr",         "smartTagTypes",
    "webPublishing", "fileRecoveryPr", "webPublishObjects", "extLst"};

}  // namespace

void RequestFullCalcOnLoad(Workbook& book) {
  pugi::xml_node root = WorkbookXml(book).document_element();
  pugi::xml_node calcPr = EnsureChildInOrder(root, "calcPr", kWorkbookOrder, std::size(kWorkbookOrder));
  if (pugi::xml_attribute a = calcPr.attribute("fullCalcOnLoad")) a = "1";
  else calcPr.append_attribute("fullCalcOnLoad") = "1";
}

bool FullCalcOnLoadRequested(Workbook& book) {
  pugi::xml_node root = ReadXmlPart(book, book.workbookPart()).document_element();
  return ParseXmlBool(FirstChild(root, "calcPr").attribute("fullCalcOnLoad").value());
}

bool ResultsToComputeOnSave(Workbook& book) {
  bool edited = false;
  for (std::size_t i = 0; i < book.SheetCount() && !edited; ++i) edited = book.GetSheet(i).cellsChanged();
  return edited && FullCalcOnLoadRequested(book);
}

namespace {
double SheetFormatValue(const Sheet& sheet, const char* attribute, double fallback) {
  pugi::xml_node pr = FirstChild(SheetXml(sheet).document_element(), "sheetFormatPr");
  return pr.attribute(attribute).as_double(fallback);
}
}  // namespace

double DefaultRowHeight(const Sheet& sheet, double fallback) {
  return SheetFormatValue(sheet, "defaultRowHeight", fallback);
}

double DefaultColumnWidth(const Sheet& sheet, double fallback) {
  return SheetFormatValue(sheet, "defaultColWidth", fallback);
}

}  // namespace vemo::wb
