#include "workbook/embed_linked_pictures.h"

#include <pugixml.hpp>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "workbook/workbook_error.h"
#include "workbook/zip/zip_package.h"
#include "workbook/xlsx/package_pictures.h"
#include "workbook/xlsx/xml_part.h"

namespace vemo::wb {
namespace {

constexpr std::string_view kRelationshipsNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kContentTypes = "[Content_Types].xml";
// A linked picture larger than this is left linked rather than swelling the package.
constexpr std::uintmax_t kMaxPictureBytes = 64u << 20;

// The extensions of the picture files a link may point at (content types: package_pictures.h).
constexpr const char* kTypes[] = {"png", "jpeg", "jpg", "gif", "bmp", "tiff", "tif", "emf", "wmf"};

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The picture type of `bytes` by its signature; the file name's extension
// only when the signature says nothing (metafiles).
std::optional<std::string_view> TypeOf(const std::string& bytes, const std::filesystem::path& file) {
  auto starts = [&](std::string_view magic) { return bytes.compare(0, magic.size(), magic) == 0; };
  if (starts("\x89PNG\r\n\x1a\n")) return kTypes[0];
  if (starts("\xFF\xD8\xFF")) return kTypes[1];
  if (starts("GIF87a") || starts("GIF89a")) return kTypes[3];
  if (starts("BM") && bytes.size() > 14) return kTypes[4];
  if (starts(std::string_view("II*\0", 4)) || starts(std::string_view("MM\0*", 4))) return kTypes[5];
  if (starts(std::string_view("\xD7\xCD\xC6\x9A", 4))) return kTypes[8];  // placeable metafile
  const std::string extension = Lower(file.extension().string());
  if (extension == ".emf" && bytes.size() > 44 && bytes.compare(40, 4, " EMF") == 0) return kTypes[7];
  if (extension == ".wmf" && bytes.size() > 18) return kTypes[8];
  return std::nullopt;
}

std::optional<std::string> ReadPicture(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec || size == 0 || size > kMaxPictureBytes) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) return std::nullopt;
  return bytes;
}

// "xl/drawings/_rels/drawing1.xml.rels" -> "xl/drawings/drawing1.xml"; "" when not a part's relationships.
std::string SourceOfRels(const std::string& relsName) {
  if (!EndsWith(relsName, ".rels")) return {};
  const auto cut = relsName.rfind("_rels/");
  if (cut == std::string::npos || (cut > 0 && relsName[cut - 1] != '/')) return {};
  return relsName.substr(0, cut) + relsName.substr(cut + 6, relsName.size() - cut - 6 - 5);
}

// Target of `part` written relative to the folder of `source`.
std::string RelativeTarget(const std::string& source, const std::string& part) {
  auto folders = [](const std::string& name) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (auto slash = name.find('/'); slash != std::string::npos; slash = name.find('/', start = slash + 1))
      out.push_back(name.substr(start, slash - start));
    return out;
  };
  const auto from = folders(source);
  const auto to = folders(part);
  std::size_t common = 0;
  while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
  std::string out;
  for (std::size_t i = common; i < from.size(); ++i) out += "../";
  for (std::size_t i = common; i < to.size(); ++i) out += to[i] + "/";
  return out + part.substr(part.rfind('/') + 1);
}

// The namespace URI `prefix` is bound to at `node`.
std::string_view NamespaceOf(pugi::xml_node node, std::string_view prefix) {
  const std::string attribute = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix);
  for (; node; node = node.parent())
    if (pugi::xml_attribute a = node.attribute(attribute.c_str())) return a.value();
  return {};
}

// The relationship attribute `localName` (r:link, r:embed) of `element`.
pugi::xml_attribute RelationshipAttribute(pugi::xml_node element, std::string_view localName) {
  for (pugi::xml_attribute a : element.attributes()) {
    const std::string_view name = a.name();
    const auto colon = name.find(':');
    if (colon == std::string_view::npos || name.substr(colon + 1) != localName) continue;
    if (NamespaceOf(element, name.substr(0, colon)) == kRelationshipsNs) return a;
  }
  return {};
}

struct Reference {
  pugi::xml_node element;
  pugi::xml_attribute attribute;
};

// Every relationship attribute under `node` (itself included) naming `id`.
void CollectReferences(pugi::xml_node node, std::string_view id, std::vector<Reference>& out) {
  for (pugi::xml_attribute a : node.attributes()) {
    const std::string_view name = a.name();
    const auto colon = name.find(':');
    if (colon != std::string_view::npos && name.substr(0, colon) != "xmlns" && a.value() == id &&
        NamespaceOf(node, name.substr(0, colon)) == kRelationshipsNs)
      out.push_back({node, a});
  }
  for (pugi::xml_node child : node.children())
    if (child.type() == pugi::node_element) CollectReferences(child, id, out);
}

bool IsImageRelationship(std::string_view type) { return EndsWith(type, "/image"); }

class Embedder {
 public:
  Embedder(ZipPackage& package, const LinkTargetResolver& resolve) : package_(package), resolve_(resolve) {
    for (const auto& entry : package.entries()) taken_.insert(PartStem(entry.name));
  }

  EmbedPicturesResult Run() {
    std::vector<std::string> relsParts;
    for (const auto& entry : package_.entries())
      if (!SourceOfRels(entry.name).empty()) relsParts.push_back(entry.name);
    for (const std::string& rels : relsParts) EmbedLinksOf(rels);
    if (!result_.embedded.empty()) AddDefaults();
    return std::move(result_);
  }

 private:
  void EmbedLinksOf(const std::string& relsName) {
    pugi::xml_document rels;
    ParseXmlPart(rels, package_.Find(relsName)->data(), relsName);
    std::vector<pugi::xml_node> links;
    for (pugi::xml_node r : rels.document_element().children())
      if (LocalName(r) == "Relationship" && std::string_view(r.attribute("TargetMode").value()) == "External" &&
          IsImageRelationship(r.attribute("Type").value()))
        links.push_back(r);
    if (links.empty()) return;

    const std::string source = SourceOfRels(relsName);
    const ZipPackage::Entry* sourceEntry = package_.Find(source);
    pugi::xml_document drawing;
    if (sourceEntry) ParseXmlPart(drawing, sourceEntry->data(), source);
    bool changed = false;
    for (pugi::xml_node link : links) {
      const std::string target = link.attribute("Target").value();
      std::optional<std::string> part;
      if (sourceEntry) part = EmbedLink(drawing, link.attribute("Id").value(), target);
      if (!part) {
        result_.keptLinked.push_back(target);
        continue;
      }
      link.attribute("Target").set_value(RelativeTarget(source, *part).c_str());
      link.remove_attribute("TargetMode");
      result_.embedded.push_back(target);
      changed = true;
    }
    if (!changed) return;
    package_.Put(relsName, WriteXmlPart(rels));
    package_.Put(source, WriteXmlPart(drawing));
  }

  // Switches the blips of `drawing` that link through `id` to embed through
  // it and answers the media part now holding the picture; nullopt (nothing
  // changed) when the link is used by anything but a blip's r:link or its
  // target gives no picture.
  std::optional<std::string> EmbedLink(pugi::xml_document& drawing, const std::string& id, const std::string& target) {
    std::vector<Reference> references;
    CollectReferences(drawing.document_element(), id, references);
    if (references.empty()) return std::nullopt;
    for (const Reference& r : references) {
      const std::string_view name = r.attribute.name();
      if (LocalName(r.element) != "blip" || name.substr(name.find(':') + 1) != "link") return std::nullopt;
    }
    std::optional<std::string> part = MediaPartFor(target);
    if (!part) return std::nullopt;
    for (Reference& r : references) {
      // A blip that both links and keeps a copy gets the current picture as its copy.
      if (pugi::xml_attribute embed = RelationshipAttribute(r.element, "embed")) {
        embed.set_value(id.c_str());
        r.element.remove_attribute(r.attribute);
      } else {
        const std::string name = r.attribute.name();
        r.attribute.set_name((name.substr(0, name.find(':') + 1) + "embed").c_str());
      }
    }
    return part;
  }

  // The media part holding the picture `target` resolves to, added on first use.
  std::optional<std::string> MediaPartFor(const std::string& target) {
    const std::optional<std::filesystem::path> file = resolve_(target);
    if (!file) return std::nullopt;
    const std::string key = file->lexically_normal().string();
    if (auto known = mediaOfFile_.find(key); known != mediaOfFile_.end()) return known->second;
    std::optional<std::string> bytes = ReadPicture(*file);
    if (!bytes) return std::nullopt;
    const std::optional<std::string_view> type = TypeOf(*bytes, *file);
    if (!type) return std::nullopt;
    // imageN is new under any extension, so no reader can mix the parts up.
    std::string stem;
    for (int n = 1; stem.empty() || taken_.count(stem); ++n) stem = "xl/media/image" + std::to_string(n);
    taken_.insert(stem);
    const std::string part = stem + "." + std::string(*type);
    package_.Put(part, std::move(*bytes));
    extensionsUsed_.insert(std::string(*type));
    mediaOfFile_.emplace(key, part);
    return part;
  }

  // A Default content type for each extension of the new media parts the package does not type yet.
  void AddDefaults() {
    const ZipPackage::Entry* entry = package_.Find(kContentTypes);
    if (!entry) throw WorkbookError("the package has no [Content_Types].xml; it is not a workbook");
    pugi::xml_document types;
    ParseXmlPart(types, entry->data(), std::string(kContentTypes));
    if (AddPictureDefaults(types.document_element(), extensionsUsed_)) package_.Put(kContentTypes, WriteXmlPart(types));
  }

  ZipPackage& package_;
  const LinkTargetResolver& resolve_;
  std::set<std::string> taken_;  // PartStem() of every part name
  std::map<std::string, std::string> mediaOfFile_;  // resolved file -> media part
  std::set<std::string> extensionsUsed_;
  EmbedPicturesResult result_;
};

}  // namespace

EmbedPicturesResult EmbedLinkedPictures(ZipPackage& package, const LinkTargetResolver& resolve) {
  return Embedder(package, resolve).Run();
}

EmbedPicturesResult EmbedLinkedPicturesInFile(const std::filesystem::path& xlsx, const LinkTargetResolver& resolve) {
  ZipPackage package = ZipPackage::ReadFile(xlsx);
  EmbedPicturesResult result = EmbedLinkedPictures(package, resolve);
  if (result.embedded.empty()) return result;
  std::filesystem::path temporary = xlsx;
  temporary += ".embedding";
  try {
    package.WriteFile(temporary);
    std::filesystem::rename(temporary, xlsx);
  } catch (const std::filesystem::filesystem_error& e) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw WorkbookError("cannot replace " + xlsx.string() + " with its copy holding the pictures: " + e.what());
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw;
  }
  return result;
}

}  // namespace vemo::wb
