// Template part of sheet_fill.h.
#pragma once
#include "engine/keyword_grammar.h"

namespace vemo::engine {

template <class Visit>
void ForEachFormulaKeyword(const std::string& formula, Visit&& visit) {
  std::size_t open = formula.find(kHeadOpener);
  while (open != std::string::npos) {
    // The closer after the opener: a stray "]" before it closes nothing.
    const std::size_t close = formula.find(kCloser, open);
    if (close == std::string::npos) return;
    if (!visit(formula.substr(open, close - open + 1), open, close + 1)) return;
    open = formula.find(kHeadOpener, close + 1);
  }
}

}  // namespace vemo::engine
