#include "workbook/package_parts.h"

#include <vector>

#include "workbook/workbook.h"
#include "workbook/model/xml_access.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

const char* const kRelationshipsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
}  // namespace

std::string ResolveTarget(std::string_view sourcePart, std::string_view target) {
  std::string decoded = PercentDecode(target);
  std::vector<std::string> segments;
  std::string path;
  if (!decoded.empty() && decoded.front() == '/') {
    path = decoded.substr(1);
  } else {
    auto slash = sourcePart.rfind('/');
    path = (slash == std::string_view::npos ? std::string() : std::string(sourcePart.substr(0, slash + 1))) + decoded;
  }
  std::size_t start = 0;
  while (start <= path.size()) {
    auto end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string segment = path.substr(start, end - start);
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string out;
  for (const std::string& s : segments) out += (out.empty() ? "" : "/") + s;
  return out;
}

std::string AddRelationship(Workbook& book, const std::string& sourcePart, std::string_view type,
                            std::string_view target) {
  pugi::xml_document& doc = EditXmlPart(book, Workbook::RelsPartName(sourcePart));
  pugi::xml_node root = doc.document_element();
  if (!root) {
    doc.append_child(pugi::node_declaration).append_attribute("version") = "1.0";
    root = doc.append_child("Relationships");
    root.append_attribute("xmlns") = kRelationshipsNs;
  }
  int n = 1;
  auto taken = [&](const std::string& id) {
    for (pugi::xml_node r : root.children())
      if (id == r.attribute("Id").value()) return true;
    return false;
  };
  while (taken("rId" + std::to_string(n))) ++n;
  std::string id = "rId" + std::to_string(n);
  pugi::xml_node rel = root.append_child((PrefixOf(root) + "Relationship").c_str());
  rel.append_attribute("Id") = id.c_str();
  rel.append_attribute("Type") = std::string(type).c_str();
  rel.append_attribute("Target") = std::string(target).c_str();
  return id;
}

void RemoveRelationship(Workbook& book, const std::string& sourcePart, std::string_view id) {
  pugi::xml_node root = EditXmlPart(book, Workbook::RelsPartName(sourcePart)).document_element();
  for (pugi::xml_node r : root.children())
    if (id == r.attribute("Id").value()) {
      root.remove_child(r);
      return;
    }
}

void AddContentTypeOverride(Workbook& book, std::string_view partName, std::string_view contentType) {
  pugi::xml_node root = EditXmlPart(book, "[Content_Types].xml").document_element();
  if (!root) return;
  std::string name = "/" + std::string(partName);
  for (pugi::xml_node o : root.children())
    if (name == o.attribute("PartName").value()) return;
  pugi::xml_node o = root.append_child((PrefixOf(root) + "Override").c_str());
  o.append_attribute("PartName") = name.c_str();
  o.append_attribute("ContentType") = std::string(contentType).c_str();
}

void RemoveContentTypeOverride(Workbook& book, std::string_view partName) {
  pugi::xml_node root = EditXmlPart(book, "[Content_Types].xml").document_element();
  for (pugi::xml_node o = root.first_child(); o;) {
    pugi::xml_node next = o.next_sibling();
    if (LocalName(o) == "Override" && ResolveTarget("", o.attribute("PartName").value()) == partName)
      root.remove_child(o);
    o = next;
  }
}

int RetargetExternalLinks(Workbook& book, std::string_view typeSuffix,
                          const std::function<std::optional<std::string>(std::string_view target)>& retarget) {
  const auto isLink = [&](const pugi::xml_node& r) {
    return std::string_view(r.attribute("TargetMode").value()) == "External" &&
           std::string_view(r.attribute("Type").value()).ends_with(typeSuffix);
  };
  int rewritten = 0;
  for (const std::string& part : book.PartNames()) {
    if (!std::string_view(part).ends_with(".rels")) continue;
    bool hasLink = false;
    for (pugi::xml_node r : ReadXmlPart(book, part).document_element().children())
      if (isLink(r) && retarget(r.attribute("Target").value())) hasLink = true;
    if (!hasLink) continue;
    for (pugi::xml_node r : EditXmlPart(book, part).document_element().children()) {
      if (!isLink(r)) continue;
      if (std::optional<std::string> target = retarget(r.attribute("Target").value())) {
        r.attribute("Target").set_value(target->c_str());
        ++rewritten;
      }
    }
  }
  return rewritten;
}

}  // namespace vemo::wb
