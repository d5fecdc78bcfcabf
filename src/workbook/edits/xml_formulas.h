// Formula text that lives in XML parts rather than in cells: conditional
// formats and validations (formula, formula1, formula2, xm:f), chart series
// (c:f), thresholds of colour scales and icon sets (cfvo val). Structural edits and sheet deletion rewrite them all the same way.
#pragma once
#include <pugixml.hpp>

#include <functional>
#include <string>
#include <string_view>

namespace vemo::wb {

// Calls `visit` on every element under `root`, depth first. Iterative: the
// nesting depth of a part is not bounded by the file format, the stack is.
template <typename Visit>
void WalkElements(pugi::xml_node root, Visit visit) {
  pugi::xml_node node = root.first_child();
  while (node) {
    if (node.type() == pugi::node_element) visit(node);
    if (node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node && node != root && !node.next_sibling()) node = node.parent();
    if (!node || node == root) break;
    node = node.next_sibling();
  }
}

// Calls `rewrite` on the text of every formula element under `root` and
// stores the result when it differs; returns whether anything changed.
bool RewriteFormulaElements(pugi::xml_node root, const std::function<std::string(std::string_view)>& rewrite);

}  // namespace vemo::wb
