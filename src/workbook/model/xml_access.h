// The XML behind the model: the worksheet element of a sheet, the parts of the
// package parsed as XML, and the helpers that read them. The library itself
// and the renderer (which reads page setup, drawings, conditional formats and
// styles from these parts) include this header; nothing else does, so the
// public headers stay free of the XML library (cmake/WorkbookSurface.cmake).
#pragma once
#include <pugixml.hpp>

#include <string>

#include "workbook/model/style_colors.h"
#include "workbook/sheet.h"
#include "workbook/workbook.h"
#include "workbook/xlsx/xml_part.h"

namespace vemo::wb {

// A parsed part. The public headers only name it, so a document is handed
// around as this type and read as the XML library's document.
class XmlDocument : public pugi::xml_document {};

// The worksheet part without its cells (sheetData is kept empty there).
XmlDocument& SheetXml(Sheet& sheet);
const XmlDocument& SheetXml(const Sheet& sheet);

// The part parsed as XML, for reading (not written back unless edited).
XmlDocument& ReadXmlPart(Workbook& book, const std::string& name);
// The part parsed as XML; kept and written back on save (so edits stick).
XmlDocument& EditXmlPart(Workbook& book, const std::string& name);
inline XmlDocument& WorkbookXml(Workbook& book) { return EditXmlPart(book, book.workbookPart()); }

// An element held by the model (a defined name's, a sheet's entry in the
// workbook part) and back. XmlElement is never defined: the handle is the
// XML library's own node pointer under a name the public headers can carry.
inline pugi::xml_node NodeOf(XmlElement* element) {
  return pugi::xml_node(static_cast<pugi::xml_node_struct*>(static_cast<void*>(element)));
}
inline XmlElement* ElementOf(pugi::xml_node node) {
  return static_cast<XmlElement*>(static_cast<void*>(node.internal_object()));
}

}  // namespace vemo::wb
