#include "workbook/xlsx/package_pictures.h"

#include <cctype>

#include "workbook/package_parts.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/xlsx/xml_part.h"

namespace vemo::wb {
namespace {

constexpr std::string_view kContentTypes = "[Content_Types].xml";
constexpr const char* kDrawingType = "application/vnd.openxmlformats-officedocument.drawing+xml";
constexpr const char* kRelationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kPackageRelationships = "http://schemas.openxmlformats.org/package/2006/relationships";

struct PictureType {
  const char* extension;
  const char* contentType;
};

constexpr PictureType kTypes[] = {
    {"png", "image/png"},   {"jpeg", "image/jpeg"}, {"jpg", "image/jpeg"}, {"gif", "image/gif"},
    {"bmp", "image/bmp"},   {"tiff", "image/tiff"}, {"tif", "image/tiff"}, {"emf", "image/x-emf"},
    {"wmf", "image/x-wmf"},
};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

void Marker(std::string& out, const char* element, const DrawingPicture::Marker& m) {
  out += std::string("<xdr:") + element + "><xdr:col>" + std::to_string(m.col) + "</xdr:col><xdr:colOff>" +
         std::to_string(m.colOff) + "</xdr:colOff><xdr:row>" + std::to_string(m.row) + "</xdr:row><xdr:rowOff>" +
         std::to_string(m.rowOff) + "</xdr:rowOff></xdr:" + element + ">";
}

// The relationship part `relsName` as it is now, or a new empty one.
void ParseOrCreateRels(pugi::xml_document& doc, const ZipPackage& package, const std::string& relsName) {
  if (const ZipPackage::Entry* entry = package.Find(relsName)) ParseXmlPart(doc, entry->data(), relsName);
  if (!doc.document_element()) {
    doc.reset();
    doc.append_child(pugi::node_declaration).append_attribute("version") = "1.0";
    doc.append_child("Relationships").append_attribute("xmlns") = kPackageRelationships;
  }
}

}  // namespace

const char* PictureContentType(std::string_view extension) {
  for (const PictureType& t : kTypes)
    if (extension == t.extension) return t.contentType;
  return nullptr;
}

bool AddPictureDefaults(pugi::xml_node root, const std::set<std::string>& extensions) {
  std::set<std::string> typed;
  pugi::xml_node firstOverride;
  for (pugi::xml_node child : root.children()) {
    if (LocalName(child) == "Default") typed.insert(Lower(child.attribute("Extension").value()));
    if (LocalName(child) == "Override" && !firstOverride) firstOverride = child;
  }
  bool changed = false;
  for (const std::string& extension : extensions) {
    const char* type = PictureContentType(extension);
    if (typed.count(extension) || !type) continue;
    const std::string element = PrefixOf(root) + "Default";
    pugi::xml_node added = firstOverride ? root.insert_child_before(element.c_str(), firstOverride)
                                         : root.append_child(element.c_str());
    added.append_attribute("Extension") = extension.c_str();
    added.append_attribute("ContentType") = type;
    changed = true;
  }
  return changed;
}

std::string PartStem(const std::string& partName) {
  const auto dot = partName.rfind('.');
  const auto slash = partName.rfind('/');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return Lower(hasExtension ? partName.substr(0, dot) : partName);
}

PictureDrawings::PictureDrawings(ZipPackage& package) : package_(package) {
  for (const auto& entry : package.entries()) taken_.insert(PartStem(entry.name));
}

PictureDrawings::~PictureDrawings() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->second) package_.Put(it->first, std::move(*it->second));
    else package_.Remove(it->first);
  }
}

void PictureDrawings::Put(const std::string& name, std::string bytes) {
  bool known = false;
  for (const auto& [savedName, before] : saved_) known = known || savedName == name;
  if (!known) {
    const ZipPackage::Entry* entry = package_.Find(name);
    saved_.emplace_back(name, entry ? std::optional(entry->data()) : std::nullopt);
  }
  package_.Put(name, std::move(bytes));
}

// "xl/media/image" -> "xl/media/imageN" for the first N no part has, whatever its extension.
std::string PictureDrawings::FreeName(const std::string& stemPrefix) {
  std::string stem;
  for (int n = 1; stem.empty() || taken_.count(stem); ++n) stem = stemPrefix + std::to_string(n);
  taken_.insert(stem);
  return stem;
}

std::string PictureDrawings::Media(std::string bytes, const std::string& extension) {
  if (auto known = mediaOf_.find(bytes); known != mediaOf_.end()) return known->second;
  const std::string part = FreeName("xl/media/image") + "." + extension;
  Put(part, bytes);
  extensions_.insert(extension);
  mediaOf_.emplace(std::move(bytes), part);
  return part;
}

void PictureDrawings::AddDrawing(const std::string& sheetPart, const std::string& relationshipId,
                                 const std::vector<DrawingPicture>& pictures) {
  const std::string drawing = FreeName("xl/drawings/drawing") + ".xml";
  drawings_.push_back(drawing);
  pugi::xml_document rels;
  rels.append_child(pugi::node_declaration).append_attribute("version") = "1.0";
  pugi::xml_node relsRoot = rels.append_child("Relationships");
  relsRoot.append_attribute("xmlns") = kPackageRelationships;
  std::map<std::string, std::string> idOf;  // media part -> relationship id
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<xdr:wsDr xmlns:xdr=\"http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing\" "
      "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:r=\"" +
      std::string(kRelationships) + "\">";
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const DrawingPicture& p = pictures[i];
    auto [id, added] = idOf.emplace(p.media, "rId" + std::to_string(idOf.size() + 1));
    if (added) {
      pugi::xml_node r = relsRoot.append_child("Relationship");
      r.append_attribute("Id") = id->second.c_str();
      r.append_attribute("Type") = (std::string(kRelationships) + "/image").c_str();
      r.append_attribute("Target") = ("../media/" + p.media.substr(p.media.rfind('/') + 1)).c_str();
    }
    xml += "<xdr:twoCellAnchor" + (p.editAs.empty() ? std::string() : " editAs=\"" + p.editAs + "\"") + ">";
    Marker(xml, "from", p.from);
    Marker(xml, "to", p.to);
    xml += "<xdr:pic><xdr:nvPicPr><xdr:cNvPr id=\"" + std::to_string(i + 2) + "\" name=\"";
    AppendEscaped(xml, p.name.empty() ? "Picture " + std::to_string(i + 1) : p.name, true);
    xml += "\"";
    if (!p.description.empty()) {
      xml += " descr=\"";
      AppendEscaped(xml, p.description, true);
      xml += "\"";
    }
    xml += "/><xdr:cNvPicPr><a:picLocks noChangeAspect=\"1\"/></xdr:cNvPicPr></xdr:nvPicPr><xdr:blipFill><a:blip r:embed=\"" +
           id->second +
           "\"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill><xdr:spPr><a:prstGeom prst=\"rect\"><a:avLst/>"
           "</a:prstGeom></xdr:spPr></xdr:pic><xdr:clientData/></xdr:twoCellAnchor>";
  }
  xml += "</xdr:wsDr>";
  Put(drawing, std::move(xml));
  Put(Workbook::RelsPartName(drawing), WriteXmlPart(rels));

  const std::string sheetRels = Workbook::RelsPartName(sheetPart);
  pugi::xml_document sheet;
  ParseOrCreateRels(sheet, package_, sheetRels);
  pugi::xml_node root = sheet.document_element();
  pugi::xml_node r = root.append_child((PrefixOf(root) + "Relationship").c_str());
  r.append_attribute("Id") = relationshipId.c_str();
  r.append_attribute("Type") = (std::string(kRelationships) + "/drawing").c_str();
  r.append_attribute("Target") = ("../drawings/" + drawing.substr(drawing.rfind('/') + 1)).c_str();
  Put(sheetRels, WriteXmlPart(sheet));
}

void PictureDrawings::Finish() {
  if (drawings_.empty()) return;
  const ZipPackage::Entry* entry = package_.Find(kContentTypes);
  if (!entry) throw WorkbookError("the package has no [Content_Types].xml; it is not a workbook");
  pugi::xml_document types;
  ParseXmlPart(types, entry->data(), std::string(kContentTypes));
  pugi::xml_node root = types.document_element();
  AddPictureDefaults(root, extensions_);
  for (const std::string& drawing : drawings_) {
    pugi::xml_node o = root.append_child((PrefixOf(root) + "Override").c_str());
    o.append_attribute("PartName") = ("/" + drawing).c_str();
    o.append_attribute("ContentType") = kDrawingType;
  }
  Put(std::string(kContentTypes), WriteXmlPart(types));
}

}  // namespace vemo::wb
