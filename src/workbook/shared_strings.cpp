#include "workbook/shared_strings.h"

#include <pugixml.hpp>

#include <cctype>
#include <optional>

#include "workbook/workbook_error.h"
#include "workbook/xml_part.h"

namespace vemo::wb {

namespace {
void CollectText(const pugi::xml_node& item, std::string& out) {
  for (pugi::xml_node child : item.children()) {
    if (child.type() != pugi::node_element) continue;
    std::string_view name = LocalName(child);
    if (name == "t") {
      out += child.text().get();
    } else if (name == "r") {
      if (pugi::xml_node t = FirstChild(child, "t")) out += t.text().get();
    }
  }
}

// The text of an item that is one plain <t> element whose content needs no
// XML decoding (no entity, no markup, no carriage return to normalise);
// nullopt for any other item. Entry rows copied many times read their
// keyword texts through here, so the common case skips the parser.
std::optional<std::string_view> PlainItemText(std::string_view raw) {
  constexpr std::string_view kClose = "</t>";
  std::string_view body;
  for (std::string_view open : {std::string_view("<t>"), std::string_view("<t xml:space=\"preserve\">")}) {
    if (raw.size() >= open.size() + kClose.size() && raw.substr(0, open.size()) == open &&
        raw.substr(raw.size() - kClose.size()) == kClose) {
      body = raw.substr(open.size(), raw.size() - open.size() - kClose.size());
      if (body.find_first_of("<&\r") != std::string_view::npos) return std::nullopt;
      return body;
    }
  }
  return std::nullopt;
}
}  // namespace

std::string StringItemText(std::string_view rawContent) {
  if (std::optional<std::string_view> plain = PlainItemText(rawContent)) return std::string(*plain);
  std::string wrapped = "<is>" + std::string(rawContent) + "</is>";
  pugi::xml_document doc;
  if (!doc.load_buffer(wrapped.data(), wrapped.size(), pugi::parse_default | pugi::parse_ws_pcdata)) return {};
  std::string text;
  CollectText(doc.document_element(), text);
  return text;
}

void SharedStrings::Load(std::string_view xml, const std::string& partName) {
  pugi::xml_document doc;
  ParseXmlPart(doc, xml, partName);
  pugi::xml_node root = doc.document_element();
  if (LocalName(root) != "sst") throw WorkbookError("part " + partName + " is not a shared string table");
  prefix_ = PrefixOf(root);
  pugi::xml_node decl = doc.first_child();
  declaration_ = decl.type() == pugi::node_declaration ? WriteXmlNode(decl) : std::string();
  rootStart_ = "<" + std::string(root.name());
  for (pugi::xml_attribute a : root.attributes()) {
    std::string_view n = a.name();
    if (n == "count" || n == "uniqueCount") continue;
    rootStart_ += " " + std::string(n) + "=\"";
    AppendEscaped(rootStart_, a.value(), true);
    rootStart_ += "\"";
  }
  for (pugi::xml_node si : root.children()) {
    if (si.type() != pugi::node_element) continue;
    if (LocalName(si) != "si") {
      tail_ += WriteXmlNode(si);
      continue;
    }
    Item item;
    for (pugi::xml_node child : si.children()) {
      item.raw += WriteXmlNode(child);
      if (child.type() == pugi::node_element && LocalName(child) != "t") item.rich = true;
    }
    CollectText(si, item.text);
    if (!item.rich) plainIndex_.emplace(item.text, static_cast<std::uint32_t>(items_.size()));
    items_.push_back(std::move(item));
  }
}

std::string SharedStrings::Write(std::uint64_t referenceCount) const {
  std::string out = declaration_;
  out += rootStart_;
  out += " count=\"" + std::to_string(referenceCount) + "\" uniqueCount=\"" + std::to_string(items_.size()) + "\">";
  for (const Item& item : items_) {
    out += "<" + prefix_ + "si>";
    out += item.raw;
    out += "</" + prefix_ + "si>";
  }
  out += tail_;
  out += "</" + prefix_ + "sst>";
  return out;
}

const std::string& SharedStrings::Text(std::uint32_t index) const {
  static const std::string empty;
  return index < items_.size() ? items_[index].text : empty;
}

const std::string& SharedStrings::RawXml(std::uint32_t index) const {
  static const std::string empty;
  return index < items_.size() ? items_[index].raw : empty;
}

bool SharedStrings::IsRich(std::uint32_t index) const { return index < items_.size() && items_[index].rich; }

std::uint32_t SharedStrings::Add(std::string_view plainText) {
  std::string key(plainText);
  if (auto it = plainIndex_.find(key); it != plainIndex_.end()) return it->second;
  Item item;
  item.raw = "<" + prefix_ + "t";
  bool edgeSpace = !key.empty() && (std::isspace(static_cast<unsigned char>(key.front())) ||
                                    std::isspace(static_cast<unsigned char>(key.back())));
  if (edgeSpace || key.find('\n') != std::string::npos) item.raw += " xml:space=\"preserve\"";
  item.raw += ">";
  AppendEscaped(item.raw, key, false);
  item.raw += "</" + prefix_ + "t>";
  item.text = key;
  auto index = static_cast<std::uint32_t>(items_.size());
  items_.push_back(std::move(item));
  plainIndex_.emplace(std::move(key), index);
  changed_ = true;
  return index;
}

}  // namespace vemo::wb
