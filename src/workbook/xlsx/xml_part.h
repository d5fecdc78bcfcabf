// Helpers for the XML parts of a package: parsing with the checks every part
// gets (well-formed, no DOCTYPE), writing back, and element lookup by local
// name so files that use namespace prefixes (x:row) read like the plain ones.
#pragma once
#include <pugixml.hpp>

#include <string>
#include <string_view>

#include "workbook/xlsx/xml_text.h"

namespace vemo::wb {

// Parses `text` (the bytes of part `partName`) into `doc`; throws WorkbookError
// naming the part when it is not well-formed or declares a DOCTYPE.
void ParseXmlPart(pugi::xml_document& doc, std::string_view text, const std::string& partName);
std::string WriteXmlPart(const pugi::xml_document& doc);
std::string WriteXmlNode(const pugi::xml_node& node);

std::string_view LocalName(const char* qualifiedName);
inline std::string_view LocalName(const pugi::xml_node& node) { return LocalName(node.name()); }
// The "x:" of "x:worksheet", or "" when the element has no prefix.
std::string PrefixOf(const pugi::xml_node& node);

pugi::xml_node FirstChild(const pugi::xml_node& parent, std::string_view localName);
// Child element `localName` of a worksheet-like element, created at its place
// in the schema order (given as a list of local names) when missing.
pugi::xml_node EnsureChildInOrder(pugi::xml_node parent, std::string_view localName,
                                  const char* const* order, std::size_t orderSize);

// The worksheet element order of the file format.
extern const char* const kWorksheetOrder[];
extern const std::size_t kWorksheetOrderSize;

bool ParseXmlBool(const char* text, bool fallback = false);

}  // namespace vemo::wb
