#include "workbook/shared_strings.h"

#include <pugixml.hpp>

#include <cctype>
#include <optional>

#include "workbook/workbook_error.h"
#include "workbook/xlsx/xml_part.h"
#include "workbook/zip/deflate_blocks.h"

namespace vemo::wb {

namespace {
void CollectText(const pugi::xml_node& item, std::string& out) {
  for (pugi::xml_node child : item.children()) {
    if (child.type() != pugi::node_element) continue;
    std::string_view name = LocalName(child);
    if (name == "t") {
      out += DecodeCellText(child.text().get());
    } else if (name == "r") {
      if (pugi::xml_node t = FirstChild(child, "t")) out += DecodeCellText(t.text().get());
    }
  }
}

}  // namespace

std::optional<std::string_view> PlainItemText(std::string_view raw) {
  constexpr std::string_view kOpen = "<t>", kPreserve = "<t xml:space=\"preserve\">", kClose = "</t>";
  std::string_view body;
  if (raw.size() >= kOpen.size() + kClose.size() && raw.starts_with(kOpen) && raw.ends_with(kClose))
    body = raw.substr(kOpen.size(), raw.size() - kOpen.size() - kClose.size());
  else if (raw.size() >= kPreserve.size() + kClose.size() && raw.starts_with(kPreserve) && raw.ends_with(kClose))
    body = raw.substr(kPreserve.size(), raw.size() - kPreserve.size() - kClose.size());
  else
    return std::nullopt;
  // One pass over the text (a set search would scan the set for each byte).
  for (char c : body)
    if (c == '<' || c == '&' || c == '\r') return std::nullopt;
  if (HasCellTextEscape(body)) return std::nullopt;
  return body;
}

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
    std::string raw, text;
    bool rich = false;
    for (pugi::xml_node child : si.children()) {
      raw += WriteXmlNode(child);
      if (child.type() == pugi::node_element && LocalName(child) != "t") rich = true;
    }
    CollectText(si, text);
    texts_.push_back(text);
    loadedRaw_.push_back(std::move(raw));
    loadedRich_.push_back(rich);
    const auto index = static_cast<std::uint32_t>(texts_.size() - 1);
    // The first of equal plain items is the one reused.
    if (!rich && !FindPlain(texts_[index])) IndexPlain(index);
  }
}

std::string SharedStrings::Write(std::uint64_t referenceCount) const {
  std::string out;
  WriteInto(out, nullptr, referenceCount);
  return out;
}

DeflatedBytes SharedStrings::WriteDeflated(std::uint64_t referenceCount) const {
  DeflateStream stream;
  WriteInto(stream.buffer(), &stream, referenceCount);
  return stream.Finish();
}

void SharedStrings::WriteInto(std::string& out, DeflateStream* stream, std::uint64_t referenceCount) const {
  out += declaration_;
  out += rootStart_;
  out += " count=\"" + std::to_string(referenceCount) + "\" uniqueCount=\"" + std::to_string(texts_.size()) + "\">";
  const std::string open = "<" + prefix_ + "si>", close = "</" + prefix_ + "si>";
  for (std::uint32_t i = 0; i < texts_.size(); ++i) {
    out += open;
    AppendItemXml(out, i);
    out += close;
    if (stream) stream->Poll();
  }
  out += tail_;
  out += "</" + prefix_ + "sst>";
}

std::string_view SharedStrings::Text(std::uint32_t index) const {
  return index < texts_.size() ? texts_[index] : std::string_view();
}

void SharedStrings::PackedTexts::push_back(std::string_view text) {
  if (bytes_.size() + text.size() > UINT32_MAX)
    throw WorkbookError("the shared string table would pass 4 GiB of text; split the workbook");
  bytes_ += text;
  ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
}

std::string SharedStrings::RawXml(std::uint32_t index) const {
  std::string raw;
  if (index < texts_.size()) AppendItemXml(raw, index);
  return raw;
}

bool SharedStrings::IsRich(std::uint32_t index) const { return index < loadedRich_.size() && loadedRich_[index]; }

void SharedStrings::AppendItemXml(std::string& out, std::uint32_t index) const {
  if (index < loadedRaw_.size()) {
    out += loadedRaw_[index];
    return;
  }
  const std::string_view text = texts_[index];
  out += '<';
  out += prefix_;
  out += 't';
  const bool edgeSpace = !text.empty() && (std::isspace(static_cast<unsigned char>(text.front())) ||
                                           std::isspace(static_cast<unsigned char>(text.back())));
  if (edgeSpace || text.find('\n') != std::string::npos) out += " xml:space=\"preserve\"";
  out += '>';
  AppendCellText(out, text);
  out += "</";
  out += prefix_;
  out += "t>";
}

std::optional<std::uint32_t> SharedStrings::FindPlain(std::string_view text) const {
  if (slots_.empty()) return std::nullopt;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = std::hash<std::string_view>{}(text) & mask;; at = (at + 1) & mask) {
    const std::uint32_t slot = slots_[at];
    if (slot == 0) return std::nullopt;
    if (texts_[slot - 1] == text) return slot - 1;
  }
}

void SharedStrings::IndexPlain(std::uint32_t index) {
  // Kept at most half full, so a probe ends soon at a free slot.
  if ((indexedCount_ + 1) * 2 > slots_.size()) GrowIndex();
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = std::hash<std::string_view>{}(texts_[index]) & mask;
  while (slots_[at] != 0) at = (at + 1) & mask;
  slots_[at] = index + 1;
  ++indexedCount_;
}

void SharedStrings::GrowIndex() {
  std::vector<std::uint32_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::uint32_t slot : old) {
    if (slot == 0) continue;
    std::size_t at = std::hash<std::string_view>{}(texts_[slot - 1]) & mask;
    while (slots_[at] != 0) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

std::uint32_t SharedStrings::Add(std::string_view plainText) {
  if (std::optional<std::uint32_t> found = FindPlain(plainText)) return *found;
  const auto index = static_cast<std::uint32_t>(texts_.size());
  texts_.push_back(plainText);
  IndexPlain(index);
  changed_ = true;
  return index;
}

}  // namespace vemo::wb
