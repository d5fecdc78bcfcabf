#include "workbook/edits/xml_formulas.h"

#include "workbook/xml_part.h"

namespace vemo::wb {

bool RewriteFormulaElements(pugi::xml_node root, const std::function<std::string(std::string_view)>& rewrite) {
  bool changed = false;
  // Iterative walk: part nesting depth is not bounded by the file format.
  pugi::xml_node node = root.first_child();
  while (node) {
    if (node.type() == pugi::node_element) {
      std::string_view name = LocalName(node);
      if (name == "cfvo") {  // thresholds may be formulas ("$T$5")
        pugi::xml_attribute val = node.attribute("val");
        std::string_view text = val.value();
        if (!text.empty()) {
          std::string updated = rewrite(text);
          if (updated != text) {
            val.set_value(updated.c_str());
            changed = true;
          }
        }
      }
      if (name == "formula" || name == "formula1" || name == "formula2" || name == "f") {
        std::string_view text = node.text().get();
        if (!text.empty()) {
          std::string updated = rewrite(text);
          if (updated != text) {
            node.text().set(updated.c_str());
            changed = true;
          }
        }
      }
    }
    if (node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node && node != root && !node.next_sibling()) node = node.parent();
    if (!node || node == root) break;
    node = node.next_sibling();
  }
  return changed;
}

}  // namespace vemo::wb
