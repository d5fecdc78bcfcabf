#include "workbook/styles.h"

#include <algorithm>
#include <cstdlib>

#include "workbook/workbook_error.h"
#include "workbook/model/xml_access.h"

namespace vemo::wb {

std::string_view BuiltinNumberFormatCode(std::uint32_t id) {
  switch (id) {
    case 0: return "General";
    case 1: return "0";
    case 2: return "0.00";
    case 3: return "#,##0";
    case 4: return "#,##0.00";
    case 9: return "0%";
    case 10: return "0.00%";
    case 11: return "0.00E+00";
    case 12: return "# ?/?";
    case 13: return "# ?" "?/?" "?";
    case 14: return "mm-dd-yy";
    case 15: return "d-mmm-yy";
    case 16: return "d-mmm";
    case 17: return "mmm-yy";
    case 18: return "h:mm AM/PM";
    case 19: return "h:mm:ss AM/PM";
    case 20: return "h:mm";
    case 21: return "h:mm:ss";
    case 22: return "m/d/yy h:mm";
    case 37: return "#,##0 ;(#,##0)";
    case 38: return "#,##0 ;[Red](#,##0)";
    case 39: return "#,##0.00;(#,##0.00)";
    case 40: return "#,##0.00;[Red](#,##0.00)";
    case 45: return "mm:ss";
    case 46: return "[h]:mm:ss";
    case 47: return "mmss.0";
    case 48: return "##0.0E+0";
    case 49: return "@";
    default: return {};
  }
}

namespace {
const char* const kStyleSheetOrder[] = {"numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs",
                                        "cellStyles", "dxfs", "tableStyles", "colors", "extLst"};

pugi::xml_node CellXf(pugi::xml_document* doc, std::uint32_t index) {
  if (!doc) return {};
  pugi::xml_node cellXfs = FirstChild(doc->document_element(), "cellXfs");
  std::uint32_t i = 0;
  for (pugi::xml_node xf : cellXfs.children()) {
    if (xf.type() != pugi::node_element) continue;
    if (i++ == index) return xf;
  }
  return {};
}
}  // namespace

std::uint32_t Styles::NumberFormatId(std::uint32_t styleIndex) const {
  pugi::xml_node xf = CellXf(doc_, styleIndex);
  return xf ? xf.attribute("numFmtId").as_uint(0) : 0;
}

void Styles::BuildCodeTable() const {
  codes_.clear();
  std::map<std::uint32_t, std::string> custom;
  if (doc_) {
    for (pugi::xml_node fmt : FirstChild(doc_->document_element(), "numFmts").children())
      if (fmt.type() == pugi::node_element)
        custom.emplace(fmt.attribute("numFmtId").as_uint(UINT32_MAX), fmt.attribute("formatCode").value());
    for (pugi::xml_node xf : FirstChild(doc_->document_element(), "cellXfs").children()) {
      if (xf.type() != pugi::node_element) continue;
      const std::uint32_t id = xf.attribute("numFmtId").as_uint(0);
      auto it = custom.find(id);
      codes_.push_back(it != custom.end() ? it->second : std::string(BuiltinNumberFormatCode(id)));
    }
  }
  // One more entry past the last style: what a missing style shows (id 0).
  codes_.push_back(custom.count(0) ? custom[0] : std::string(BuiltinNumberFormatCode(0)));
}

const std::string& Styles::NumberFormatCode(std::uint32_t styleIndex) const {
  if (codes_.empty()) BuildCodeTable();
  return styleIndex < codes_.size() - 1 ? codes_[styleIndex] : codes_.back();
}

std::size_t Styles::CellStyleCount() const {
  if (!doc_) return 0;
  std::size_t n = 0;
  for (pugi::xml_node xf : FirstChild(doc_->document_element(), "cellXfs").children())
    if (xf.type() == pugi::node_element) ++n;
  return n;
}

std::uint32_t Styles::NumberFormatIdFor(std::string_view code) {
  for (std::uint32_t id = 0; id < 50; ++id)
    if (BuiltinNumberFormatCode(id) == code && !code.empty()) return id;
  pugi::xml_node root = doc_->document_element();
  pugi::xml_node numFmts = EnsureChildInOrder(root, "numFmts", kStyleSheetOrder, std::size(kStyleSheetOrder));
  std::uint32_t next = 164;
  for (pugi::xml_node fmt : numFmts.children()) {
    if (fmt.type() != pugi::node_element) continue;
    if (code == fmt.attribute("formatCode").value()) return fmt.attribute("numFmtId").as_uint();
    next = std::max(next, fmt.attribute("numFmtId").as_uint() + 1);
  }
  pugi::xml_node fmt = numFmts.append_child((PrefixOf(root) + "numFmt").c_str());
  fmt.append_attribute("numFmtId") = next;
  fmt.append_attribute("formatCode") = std::string(code).c_str();
  std::size_t count = 0;
  for (pugi::xml_node f : numFmts.children())
    if (f.type() == pugi::node_element) ++count;
  if (pugi::xml_attribute c = numFmts.attribute("count")) c = count;
  else numFmts.append_attribute("count") = count;
  return next;
}

std::uint32_t Styles::WithNumberFormat(std::uint32_t baseStyle, std::string_view code) {
  if (!doc_ || !doc_->document_element())
    throw WorkbookError("the workbook has no style part, so no number format can be set");
  auto key = std::make_pair(baseStyle, std::string(code));
  if (auto it = made_.find(key); it != made_.end()) return it->second;
  codes_.clear();  // a number format or a style may be added below
  pugi::xml_node base = CellXf(doc_, baseStyle);
  if (!base) base = CellXf(doc_, 0);
  if (!base) throw WorkbookError("the style part has no cell formats to copy");
  std::uint32_t id = NumberFormatIdFor(code);
  if (base.attribute("numFmtId").as_uint(0) == id) return made_[key] = baseStyle;
  pugi::xml_node cellXfs = base.parent();
  pugi::xml_node copy = cellXfs.append_copy(base);
  if (pugi::xml_attribute a = copy.attribute("numFmtId")) a = id;
  else copy.append_attribute("numFmtId") = id;
  if (pugi::xml_attribute a = copy.attribute("applyNumberFormat")) a = "1";
  else copy.append_attribute("applyNumberFormat") = "1";
  std::size_t count = CellStyleCount();
  if (pugi::xml_attribute c = cellXfs.attribute("count")) c = count;
  changed_ = true;
  return made_[key] = static_cast<std::uint32_t>(count - 1);
}

}  // namespace vemo::wb
