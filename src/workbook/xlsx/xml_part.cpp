#include "workbook/xlsx/xml_part.h"

#include <algorithm>
#include <cstring>

#include "workbook/workbook_error.h"

namespace vemo::wb {

const char* const kWorksheetOrder[] = {
    "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetCalcPr",
    "sheetProtection", "protectedRanges", "scenarios", "autoFilter", "sortState", "dataConsolidate",
    "customSheetViews", "mergeCells", "phoneticPr", "conditionalFormatting", "dataValidations",
    "hyperlinks", "printOptions", "pageMargins", "pageSetup", "headerFooter", "rowBreaks", "colBreaks",
    "customProperties", "cellWatches", "ignoredErrors", "smartTags", "drawing", "legacyDrawing",
    "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls", "webPublishItems", "tableParts",
    "extLst"};
const std::size_t kWorksheetOrderSize = sizeof(kWorksheetOrder) / sizeof(kWorksheetOrder[0]);

namespace {
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype |
                                   pugi::parse_ws_pcdata | pugi::parse_comments | pugi::parse_pi;

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};
}  // namespace

void ParseXmlPart(pugi::xml_document& doc, std::string_view text, const std::string& partName) {
  pugi::xml_parse_result result = doc.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_auto);
  if (!result)
    throw WorkbookError("part " + partName + " is not well-formed XML (" + result.description() + " at offset " +
                        std::to_string(result.offset) + ")");
  for (pugi::xml_node child : doc.children())
    if (child.type() == pugi::node_doctype)
      throw WorkbookError("part " + partName +
                          " declares a DOCTYPE, which a workbook part may not have (entity expansion is refused)");
  if (!doc.document_element()) throw WorkbookError("part " + partName + " has no root element");
}

std::string WriteXmlPart(const pugi::xml_document& doc) {
  StringWriter writer;
  doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  MakeXmlSafe(writer.out);
  return std::move(writer.out);
}

std::string WriteXmlNode(const pugi::xml_node& node) {
  StringWriter writer;
  node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
  MakeXmlSafe(writer.out);
  return std::move(writer.out);
}

std::string_view LocalName(const char* qualifiedName) {
  std::string_view name(qualifiedName);
  auto colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string PrefixOf(const pugi::xml_node& node) {
  std::string_view name(node.name());
  auto colon = name.find(':');
  return colon == std::string_view::npos ? std::string() : std::string(name.substr(0, colon + 1));
}

pugi::xml_node FirstChild(const pugi::xml_node& parent, std::string_view localName) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && LocalName(child) == localName) return child;
  return {};
}

pugi::xml_node EnsureChildInOrder(pugi::xml_node parent, std::string_view localName, const char* const* order,
                                  std::size_t orderSize) {
  if (pugi::xml_node found = FirstChild(parent, localName)) return found;
  auto rank = [&](std::string_view name) -> std::size_t {
    for (std::size_t i = 0; i < orderSize; ++i)
      if (name == order[i]) return i;
    return orderSize;  // unknown elements sort with extLst, at the end
  };
  std::size_t wanted = rank(localName);
  std::string name = PrefixOf(parent) + std::string(localName);
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    std::string_view childName = LocalName(child);
    // mc:AlternateContent wraps an element of its own choice; place relative to what it holds.
    if (childName == "AlternateContent") {
      pugi::xml_node choice = child.first_child();
      pugi::xml_node inner = choice ? choice.first_child() : pugi::xml_node();
      if (inner) childName = LocalName(inner);
    }
    if (rank(childName) > wanted) return parent.insert_child_before(name.c_str(), child);
  }
  return parent.append_child(name.c_str());
}

bool ParseXmlBool(const char* text, bool fallback) {
  if (!text || !*text) return fallback;
  return std::strcmp(text, "1") == 0 || std::strcmp(text, "true") == 0;
}

}  // namespace vemo::wb
