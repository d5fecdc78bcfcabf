#include "workbook/edits/xml_formulas.h"

#include "workbook/xlsx/xml_part.h"

namespace vemo::wb {

bool RewriteFormulaElements(pugi::xml_node root, const std::function<std::string(std::string_view)>& rewrite) {
  bool changed = false;
  WalkElements(root, [&](pugi::xml_node node) {
    auto update = [&](std::string_view text, auto store) {
      if (text.empty()) return;
      std::string updated = rewrite(text);
      if (updated == text) return;
      store(updated.c_str());
      changed = true;
    };
    std::string_view name = LocalName(node);
    if (name == "cfvo") {  // thresholds may be formulas ("$T$5")
      pugi::xml_attribute val = node.attribute("val");
      update(val.value(), [&](const char* v) { val.set_value(v); });
    }
    if (name == "formula" || name == "formula1" || name == "formula2" || name == "f")
      update(node.text().get(), [&](const char* v) { node.text().set(v); });
  });
  return changed;
}

}  // namespace vemo::wb
