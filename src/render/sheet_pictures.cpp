#include "render/sheet_pictures.h"

#include <fstream>
#include <iterator>
#include <string_view>

#include "render/render_declined.h"
#include "workbook/package_parts.h"
#include "workbook/workbook.h"
#include "workbook/model/xml_access.h"

namespace vemo::render {
namespace {

using wb::FirstChild;
using wb::LocalName;

constexpr double kEmuPerPoint = 12700;

CellPoint ReadMarker(pugi::xml_node marker) {
  auto number = [&](std::string_view name) { return std::atof(FirstChild(marker, name).text().get()); };
  return {static_cast<int>(number("row")) + 1, static_cast<int>(number("col")) + 1, number("colOff") / kEmuPerPoint,
          number("rowOff") / kEmuPerPoint};
}

// The host file a linked picture's "file://" URL names (percent escapes
// decoded); empty for any other target.
std::string LinkedFile(std::string_view url) {
  if (!url.starts_with("file://")) return {};
  url.remove_prefix(7);
  std::string path;
  for (std::size_t i = 0; i < url.size(); ++i) {
    if (url[i] == '%' && i + 2 < url.size()) {
      path += static_cast<char>(std::stoi(std::string(url.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      path += url[i];
    }
  }
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
}

std::string RelationshipOf(const std::vector<wb::Relationship>& rels, std::string_view id, bool& external) {
  for (const wb::Relationship& rel : rels)
    if (rel.id == id) {
      external = rel.external;
      return rel.target;
    }
  return {};
}

}  // namespace

std::vector<SheetPicture> ReadSheetPictures(wb::Workbook& book, const wb::Sheet& sheet) {
  std::vector<SheetPicture> pictures;
  const pugi::xml_node ws = wb::SheetXml(sheet).document_element();
  const auto sheetRels = book.RelationshipsOf(sheet.partName());
  for (std::string_view element : {"legacyDrawingHF", "oleObjects", "controls", "picture"})
    if (FirstChild(ws, element)) throw RenderDeclined("the sheet has " + std::string(element) + " content");
  const pugi::xml_node drawing = FirstChild(ws, "drawing");
  if (!drawing) return pictures;
  bool external = false;
  const std::string part = RelationshipOf(sheetRels, drawing.attribute("r:id").value(), external);
  if (part.empty() || external || !book.HasPart(part)) throw RenderDeclined("a drawing part it cannot find");
  const auto rels = book.RelationshipsOf(part);
  for (pugi::xml_node anchor : wb::ReadXmlPart(book, part).document_element().children()) {
    const std::string_view kind = LocalName(anchor);
    if (kind != "twoCellAnchor" && kind != "oneCellAnchor")
      throw RenderDeclined("a drawing object anchored as " + std::string(kind));
    const pugi::xml_node pic = FirstChild(anchor, "pic");
    if (!pic) {
      const bool chart = FirstChild(anchor, "graphicFrame");
      throw RenderDeclined(chart ? "a chart" : "a shape or group of shapes");
    }
    const pugi::xml_node blip = FirstChild(FirstChild(pic, "blipFill"), "blip");
    const char* id = blip.attribute("r:embed").value();
    const std::string media = RelationshipOf(rels, *id ? id : blip.attribute("r:link").value(), external);
    // Linked pictures are read from the host file their link names (the
    // output service maps the templates' Windows paths to such links).
    const std::string linked = external ? LinkedFile(media) : std::string();
    const std::string bytes = external ? (linked.empty() ? std::string() : ReadFile(linked))
                                       : (book.HasPart(media) ? book.ReadRawPart(media) : std::string());
    if (bytes.empty()) throw RenderDeclined("a picture it cannot find (" + media + ")");
    SheetPicture picture;
    picture.image = DecodePicture(bytes);
    if (!picture.image) throw RenderDeclined("a picture in a format it cannot read (" + media + ")");
    picture.from = ReadMarker(FirstChild(anchor, "from"));
    if (kind == "twoCellAnchor") {
      picture.to = ReadMarker(FirstChild(anchor, "to"));
    } else {
      const pugi::xml_node ext = FirstChild(anchor, "ext");
      picture.to = {0, 0, ext.attribute("cx").as_double() / kEmuPerPoint, ext.attribute("cy").as_double() / kEmuPerPoint};
    }
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

}  // namespace vemo::render
