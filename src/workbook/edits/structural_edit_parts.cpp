#include "workbook/edits/structural_edit_parts.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <sstream>
#include <vector>

#include "workbook/xlsx/xlsx_reader.h"
#include "workbook/edits/xml_formulas.h"
#include "workbook/model/xml_access.h"

namespace vemo::wb {

namespace {

bool IsRows(const LineInsertion& ins) { return ins.axis == LineInsertion::Axis::Rows; }

std::vector<CellRange> ParseRangeList(std::string_view list) {
  std::vector<CellRange> ranges;
  std::istringstream words{std::string(list)};
  for (std::string word; words >> word;)
    if (auto r = ParseCellRange(word)) ranges.push_back(*r);
  return ranges;
}

std::string FormatRangeList(const std::vector<CellRange>& ranges) {
  std::string out;
  for (const CellRange& r : ranges) out += (out.empty() ? "" : " ") + FormatCellRange(r);
  return out;
}

CellAddress AnchorOf(const std::vector<CellRange>& ranges) {
  CellAddress best{kMaxRows + 1, kMaxColumns + 1};
  for (const CellRange& r : ranges)
    if (r.first.row < best.row || (r.first.row == best.row && r.first.col < best.col)) best = r.first;
  return best;
}

// A zero-based marker coordinate (drawings, VML) moves when its line is at or past the insertion.
int ShiftMarker(int zeroBased, const LineInsertion& ins) {
  return zeroBased + 1 >= ins.at ? zeroBased + ins.count : zeroBased;
}

void ShiftMarkerNode(pugi::xml_node marker, const LineInsertion& ins) {
  pugi::xml_node coord = FirstChild(marker, IsRows(ins) ? "row" : "col");
  if (!coord) return;
  int value = coord.text().as_int(-1);
  if (value < 0) return;
  coord.text().set(ShiftMarker(value, ins));
}

class SheetXmlEditor {
 public:
  SheetXmlEditor(Sheet& sheet, const LineInsertion& ins, int templateLine, bool copy)
      : sheet_(sheet), ins_(ins), template_(templateLine), copy_(copy) {}

  void Run() {
    pugi::xml_node root = SheetXml(sheet_).document_element();
    std::vector<pugi::xml_node> dropped;
    WalkElements(root, [&](pugi::xml_node node) { Visit(node, dropped); });
    for (pugi::xml_node node : dropped) node.parent().remove_child(node);
    if (!IsRows(ins_)) ShiftColumns(root);
    if (copy_) ExtendOverCopies(root);
    UpdateCount(root, "mergeCells", "mergeCell");
    UpdateCount(root, "dataValidations", "dataValidation");
    for (const char* container : {"mergeCells", "dataValidations", "hyperlinks", "rowBreaks", "colBreaks"}) {
      pugi::xml_node c = FirstChild(root, container);
      if (c && !c.find_child([](pugi::xml_node n) { return n.type() == pugi::node_element; })) root.remove_child(c);
    }
  }

 private:
  void Visit(pugi::xml_node node, std::vector<pugi::xml_node>& dropped) {
    std::string_view name = LocalName(node);
    static const char* const kRemovable[] = {"mergeCell", "hyperlink", "conditionalFormatting", "dataValidation",
                                             "protectedRange", "ignoredError"};
    bool removable = std::any_of(std::begin(kRemovable), std::end(kRemovable),
                                 [&](const char* n) { return name == n; });
    if (name == "cfvo") {
      pugi::xml_attribute val = node.attribute("val");
      std::string shifted = ShiftFormula(val.value(), sheet_.name(), sheet_.name(), ins_);
      if (val && shifted != val.value()) val = shifted.c_str();
      return;
    }
    if (name == "formula" || name == "formula1" || name == "formula2" || name == "f") {
      std::string_view text = node.text().get();
      if (!text.empty()) {
        std::string shifted = ShiftFormula(text, sheet_.name(), sheet_.name(), ins_);
        if (shifted != text) node.text().set(shifted.c_str());
      }
      return;
    }
    if (name == "sqref") {  // 2010-style lists keep their ranges as element text
      std::string shifted = ShiftRangeList(node.text().get(), ins_);
      if (shifted.empty()) dropped.push_back(node.parent());
      else node.text().set(shifted.c_str());
      return;
    }
    if (name == "brk" && LocalName(node.parent()) == (IsRows(ins_) ? "rowBreaks" : "colBreaks")) {
      pugi::xml_attribute id = node.attribute("id");
      if (id && id.as_int() >= ins_.at) id = id.as_int() + ins_.count;
      return;
    }
    if ((name == "from" || name == "to") && FirstChild(node, "row") && FirstChild(node, "col")) {
      ShiftMarkerNode(node, ins_);
      return;
    }
    if (name == "dimension") return;  // written from the cells
    for (pugi::xml_attribute a : node.attributes()) {
      std::string_view attr = a.name();
      if (attr == "ref" || attr == "sqref") {
        std::string shifted = ShiftRangeList(a.value(), ins_);
        if (shifted.empty()) {
          if (removable) dropped.push_back(node);
        } else {
          a = shifted.c_str();
        }
      } else if (attr == "topLeftCell" || attr == "activeCell") {
        std::string shifted = ShiftRangeList(a.value(), ins_);
        if (!shifted.empty()) a = shifted.c_str();
      }
    }
  }

  // Column spans at or right of the insertion move; a span across it grows.
  void ShiftColumns(pugi::xml_node root) {
    pugi::xml_node cols = FirstChild(root, "cols");
    if (!cols) return;
    std::vector<pugi::xml_node> dropped;
    pugi::xml_node source;
    for (pugi::xml_node c : cols.children()) {
      if (c.type() != pugi::node_element) continue;
      int min = c.attribute("min").as_int(), max = c.attribute("max").as_int();
      if (min >= ins_.at) {
        min += ins_.count;
        max += ins_.count;
      } else if (max >= ins_.at) {
        max += ins_.count;
      }
      if (min > kMaxColumns) {
        dropped.push_back(c);
        continue;
      }
      c.attribute("min") = min;
      c.attribute("max") = std::min(max, kMaxColumns);
      if (copy_ && min <= template_ && template_ <= max) source = c;
    }
    for (pugi::xml_node c : dropped) cols.remove_child(c);
    if (!copy_) return;
    // The copies take the template column's width and format: cut the span
    // they fall in and put a copy of the template's entry there.
    const int lo = ins_.at, hi = ins_.at + ins_.count - 1;
    pugi::xml_node pattern;
    pugi::xml_document holder;
    if (source) pattern = holder.append_copy(source);
    for (pugi::xml_node c = cols.first_child(); c;) {
      pugi::xml_node next = c.next_sibling();
      if (c.type() == pugi::node_element) {
        int min = c.attribute("min").as_int(), max = c.attribute("max").as_int();
        if (max >= lo && min <= hi) {
          if (min < lo) {
            pugi::xml_node before = cols.insert_copy_before(c, c);
            before.attribute("max") = lo - 1;
          }
          if (max > hi) {
            pugi::xml_node after = cols.insert_copy_after(c, c);
            after.attribute("min") = hi + 1;
          }
          cols.remove_child(c);
        }
      }
      c = next;
    }
    if (!pattern) return;
    pugi::xml_node before;
    for (pugi::xml_node c : cols.children())
      if (c.type() == pugi::node_element && c.attribute("min").as_int() > hi) {
        before = c;
        break;
      }
    pugi::xml_node added = before ? cols.insert_copy_before(pattern, before) : cols.append_copy(pattern);
    added.attribute("min") = lo;
    added.attribute("max") = hi;
  }

  // Part of `range` on the template line, moved onto the copies; nullopt when
  // the range does not touch the template line.
  std::optional<CellRange> CopiesOf(const CellRange& range) const {
    if (IsRows(ins_)) {
      if (range.first.row > template_ || range.last.row < template_) return std::nullopt;
      return CellRange{{ins_.at, range.first.col}, {ins_.at + ins_.count - 1, range.last.col}};
    }
    if (range.first.col > template_ || range.last.col < template_) return std::nullopt;
    return CellRange{{range.first.row, ins_.at}, {range.last.row, ins_.at + ins_.count - 1}};
  }

  bool OnTemplateLineOnly(const CellRange& r) const {
    return IsRows(ins_) ? r.first.row == template_ && r.last.row == template_
                        : r.first.col == template_ && r.last.col == template_;
  }

  CellRange Moved(const CellRange& r, int k) const {
    int d = ins_.at + k - template_;
    return IsRows(ins_) ? CellRange{{r.first.row + d, r.first.col}, {r.last.row + d, r.last.col}}
                        : CellRange{{r.first.row, r.first.col + d}, {r.last.row, r.last.col + d}};
  }

  static bool Covered(const CellRange& part, const std::vector<CellRange>& ranges) {
    return std::any_of(ranges.begin(), ranges.end(), [&](const CellRange& r) {
      return r.first.row <= part.first.row && r.first.col <= part.first.col && r.last.row >= part.last.row &&
             r.last.col >= part.last.col;
    });
  }

  // Conditional formats and validations that cover the template line cover its copies too.
  void ExtendRule(pugi::xml_node rule, pugi::xml_attribute sqrefAttr, pugi::xml_node sqrefNode) {
    std::string list = sqrefAttr ? sqrefAttr.value() : sqrefNode.text().get();
    std::vector<CellRange> ranges = ParseRangeList(list);
    if (ranges.empty()) return;
    std::vector<CellRange> added;
    for (const CellRange& r : ranges)
      if (auto copies = CopiesOf(r); copies && !Covered(*copies, ranges) && !Covered(*copies, added))
        added.push_back(*copies);
    if (added.empty()) return;
    CellAddress before = AnchorOf(ranges);
    std::vector<CellRange> all = ranges;
    all.insert(all.end(), added.begin(), added.end());
    CellAddress after = AnchorOf(all);
    std::string extended = list + " " + FormatRangeList(added);
    if (sqrefAttr) sqrefAttr = extended.c_str();
    else sqrefNode.text().set(extended.c_str());
    if (before.row == after.row && before.col == after.col) return;
    // Relative references in the rule are written for its top-left cell, which moved.
    RewriteFormulaElements(rule, [&](std::string_view f) {
      return TranslateFormula(f, after.row - before.row, after.col - before.col);
    });
  }

  void ExtendOverCopies(pugi::xml_node root) {
    std::vector<pugi::xml_node> rules;
    WalkElements(root, [&](pugi::xml_node node) {
      std::string_view name = LocalName(node);
      if (name == "conditionalFormatting" || name == "dataValidation") rules.push_back(node);
    });
    for (pugi::xml_node rule : rules) {
      pugi::xml_attribute attr = rule.attribute("sqref");
      pugi::xml_node node = attr ? pugi::xml_node() : FirstChild(rule, "sqref");
      if (attr || node) ExtendRule(rule, attr, node);
    }
    // Merges and hyperlinks lying in the template line are repeated on each copy.
    for (const char* list : {"mergeCells", "hyperlinks"}) {
      pugi::xml_node container = FirstChild(root, list);
      std::vector<pugi::xml_node> originals;
      for (pugi::xml_node n : container.children())
        if (n.type() == pugi::node_element) originals.push_back(n);
      for (pugi::xml_node n : originals) {
        auto range = ParseCellRange(n.attribute("ref").value());
        if (!range || !OnTemplateLineOnly(*range)) continue;
        if (std::string_view(list) == "mergeCells" && range->first.row == range->last.row &&
            range->first.col == range->last.col)
          continue;
        for (int k = 0; k < ins_.count; ++k) {
          pugi::xml_node copy = container.insert_copy_before(n, n);
          copy.attribute("ref") = FormatCellRange(Moved(*range, k)).c_str();
        }
      }
    }
  }

  static void UpdateCount(pugi::xml_node root, const char* container, const char* item) {
    pugi::xml_node c = FirstChild(root, container);
    if (!c) return;
    std::size_t n = 0;
    for (pugi::xml_node child : c.children())
      if (child.type() == pugi::node_element && LocalName(child) == item) ++n;
    if (pugi::xml_attribute count = c.attribute("count")) count = n;
  }

  Sheet& sheet_;
  const LineInsertion& ins_;
  int template_;
  bool copy_;
};

// Legacy VML (comment boxes, form controls) is often not well-formed XML, so
// its anchors are patched in the text: <x:Row>, <x:Column> and <x:Anchor>.
std::string ShiftVml(std::string vml, const LineInsertion& ins) {
  auto patch = [&](std::string_view tag, auto edit) {
    std::string open = ":" + std::string(tag) + ">";
    for (std::size_t at = 0; (at = vml.find(open, at)) != std::string::npos;) {
      std::size_t lt = vml.rfind('<', at);
      std::size_t bodyStart = at + open.size();
      std::size_t bodyEnd = vml.find('<', bodyStart);
      if (lt == std::string::npos || vml[lt + 1] == '/' || bodyEnd == std::string::npos ||
          vml.substr(lt, at - lt).find_first_of(" />") != std::string::npos) {
        at = bodyStart;
        continue;
      }
      std::string body = edit(vml.substr(bodyStart, bodyEnd - bodyStart));
      vml.replace(bodyStart, bodyEnd - bodyStart, body);
      at = bodyStart + body.size();
    }
  };
  const bool rows = IsRows(ins);
  patch(rows ? "Row" : "Column", [&](const std::string& body) {
    int v = 0;
    auto r = std::from_chars(body.data(), body.data() + body.size(), v);
    return r.ec == std::errc() ? std::to_string(ShiftMarker(v, ins)) : body;
  });
  patch("Anchor", [&](const std::string& body) {
    std::vector<std::string> parts;
    std::stringstream split(body);
    for (std::string p; std::getline(split, p, ',');) parts.push_back(p);
    if (parts.size() != 8) return body;
    const std::size_t first = rows ? 2 : 0;  // top row / left column, then bottom / right
    for (std::size_t index : {first, first + 4}) {
      std::string& p = parts[index];
      std::size_t digits = p.find_first_not_of(' ');
      int v = 0;
      if (digits == std::string::npos) continue;
      auto r = std::from_chars(p.data() + digits, p.data() + p.size(), v);
      if (r.ec != std::errc()) continue;
      p = p.substr(0, digits) + std::to_string(ShiftMarker(v, ins));
    }
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "," : "") + parts[i];
    return out;
  });
  return vml;
}

void EditTable(Workbook& book, const std::string& part, Sheet& host, Sheet& edited, const LineInsertion& ins) {
  pugi::xml_document& doc = ReadXmlPart(book, part);
  pugi::xml_node root = doc.document_element();
  bool changed = RewriteFormulaElements(
      root, [&](std::string_view f) { return ShiftFormula(f, host.name(), edited.name(), ins); });
  if (&host == &edited) {
    auto before = ParseCellRange(root.attribute("ref").value());
    for (pugi::xml_node node : {root, FirstChild(root, "autoFilter"), FirstChild(root, "sortState")}) {
      if (!node) continue;
      pugi::xml_attribute ref = node.attribute("ref");
      std::string shifted = ShiftRangeList(ref.value(), ins);
      if (!ref || shifted.empty() || shifted == ref.value()) continue;
      ref = shifted.c_str();
      changed = true;
    }
    // Columns inserted inside a table become new table columns.
    if (!IsRows(ins) && before && before->first.col < ins.at && ins.at <= before->last.col) {
      pugi::xml_node columns = FirstChild(root, "tableColumns");
      unsigned maxId = 0;
      std::vector<pugi::xml_node> list;
      for (pugi::xml_node c : columns.children())
        if (c.type() == pugi::node_element) {
          list.push_back(c);
          maxId = std::max(maxId, c.attribute("id").as_uint());
        }
      std::size_t index = static_cast<std::size_t>(ins.at - before->first.col);
      for (int k = 0; k < ins.count && index <= list.size(); ++k) {
        std::string name;
        for (unsigned n = maxId + 1;; ++n) {
          name = "Column" + std::to_string(n);
          bool taken = std::any_of(list.begin(), list.end(),
                                   [&](pugi::xml_node c) { return name == c.attribute("name").value(); });
          if (!taken) break;
        }
        std::string element = PrefixOf(root) + "tableColumn";
        pugi::xml_node added = index < list.size() ? columns.insert_child_before(element.c_str(), list[index])
                                                   : columns.append_child(element.c_str());
        added.append_attribute("id") = ++maxId;
        added.append_attribute("name") = name.c_str();
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(index), added);
        ++index;
      }
      if (pugi::xml_attribute count = columns.attribute("count")) count = list.size();
      changed = true;
    }
  }
  if (changed) EditXmlPart(book, part);
}

void EditDrawing(Workbook& book, const std::string& part, const LineInsertion& ins) {
  pugi::xml_document& doc = ReadXmlPart(book, part);
  bool changed = false;
  WalkElements(doc.document_element(), [&](pugi::xml_node node) {
    std::string_view name = LocalName(node);
    if (name != "twoCellAnchor" && name != "oneCellAnchor") return;
    if (std::string_view(node.attribute("editAs").value()) == "absolute") return;
    for (const char* marker : {"from", "to"})
      if (pugi::xml_node m = FirstChild(node, marker)) {
        ShiftMarkerNode(m, ins);
        changed = true;
      }
  });
  if (changed) EditXmlPart(book, part);
}

// Comments on the template line, repeated on each copy; returns the cells
// (row, col) of the originals for the VML copy.
std::vector<CellAddress> CopyComments(pugi::xml_document& doc, const LineInsertion& ins, int templateLine) {
  std::vector<CellAddress> originals;
  std::vector<pugi::xml_node> onLine;
  WalkElements(doc.document_element(), [&](pugi::xml_node node) {
    if (LocalName(node) != "comment") return;
    auto cell = ParseCellAddress(node.attribute("ref").value());
    if (cell && (IsRows(ins) ? cell->row : cell->col) == templateLine) {
      onLine.push_back(node);
      originals.push_back(*cell);
    }
  });
  for (std::size_t i = 0; i < onLine.size(); ++i)
    for (int k = 0; k < ins.count; ++k) {
      CellAddress at = originals[i];
      (IsRows(ins) ? at.row : at.col) = ins.at + k;
      pugi::xml_node copy = onLine[i].parent().insert_copy_before(onLine[i], onLine[i]);
      copy.attribute("ref") = FormatCellAddress(at.row, at.col).c_str();
    }
  return originals;
}

// The note box of each copied comment: the VML shape of the original, moved.
std::string CopyVmlNotes(std::string vml, const std::vector<CellAddress>& cells, const LineInsertion& ins,
                         int templateLine) {
  int nextId = 0;
  for (std::size_t at = 0; (at = vml.find("_x0000_s", at)) != std::string::npos; at += 8)
    nextId = std::max(nextId, std::atoi(vml.c_str() + at + 8));
  auto numberIn = [&](const std::string& block, const std::string& tag) {
    std::size_t at = block.find(":" + tag + ">");
    return at == std::string::npos ? -1 : std::atoi(block.c_str() + at + tag.size() + 2);
  };
  std::string added;
  // Shapes are <v:shape ...>...</v:shape> with whatever prefix the producer chose.
  for (std::size_t start = 0; (start = vml.find('<', start)) != std::string::npos; ++start) {
    std::size_t nameEnd = vml.find_first_of(" >/", start + 1);
    if (nameEnd == std::string::npos) break;
    std::string_view tag(vml.data() + start + 1, nameEnd - start - 1);
    std::size_t colon = tag.find(':');
    std::string_view local = colon == std::string_view::npos ? tag : tag.substr(colon + 1);
    if (local != "shape") continue;
    std::string closing = "</" + std::string(tag) + ">";
    std::size_t end = vml.find(closing, start);
    if (end == std::string::npos) break;
    end += closing.size();
    std::string block = vml.substr(start, end - start);
    start = end - 1;
    int row = numberIn(block, "Row") + 1, col = numberIn(block, "Column") + 1;
    bool wanted = std::any_of(cells.begin(), cells.end(), [&](const CellAddress& c) {
      return c.row == row && c.col == col;
    });
    if (!wanted) continue;
    for (int k = 0; k < ins.count; ++k) {
      int delta = ins.at + k - templateLine;
      LineInsertion move{ins.axis, 1, delta};  // moves every marker by delta
      std::string copy = ShiftVml(block, move);
      std::size_t id = copy.find("_x0000_s");
      if (id != std::string::npos) {
        std::size_t digits = id + 8, stop = copy.find_first_not_of("0123456789", digits);
        copy.replace(digits, stop - digits, std::to_string(++nextId));
      }
      added += copy;
    }
  }
  if (added.empty()) return vml;
  std::size_t close = vml.rfind("</xml>");
  if (close == std::string::npos) return vml;
  vml.insert(close, added);
  return vml;
}

void EditComments(Workbook& book, const std::string& part, const LineInsertion& ins) {
  pugi::xml_document& doc = ReadXmlPart(book, part);
  bool changed = false;
  std::vector<pugi::xml_node> dropped;
  WalkElements(doc.document_element(), [&](pugi::xml_node node) {
    if (LocalName(node) != "comment") return;
    pugi::xml_attribute ref = node.attribute("ref");
    std::string shifted = ShiftRangeList(ref.value(), ins);
    if (shifted == ref.value()) return;
    changed = true;
    if (shifted.empty()) dropped.push_back(node);
    else ref = shifted.c_str();
  });
  for (pugi::xml_node n : dropped) n.parent().remove_child(n);
  if (changed) EditXmlPart(book, part);
}

}  // namespace

void EditSheetXml(Sheet& sheet, const LineInsertion& ins, int templateLine, bool copy) {
  SheetXmlEditor(sheet, ins, templateLine, copy).Run();
}

void EditRelatedParts(Workbook& book, Sheet& edited, const LineInsertion& ins, int templateLine) {
  std::vector<CellAddress> copiedComments;
  for (std::size_t i = 0; i < book.SheetCount(); ++i) {
    Sheet& sheet = book.GetSheet(i);
    for (const Relationship& rel : book.RelationshipsOf(sheet.partName())) {
      if (rel.external || !book.HasPart(rel.target)) continue;
      std::string_view kind = RelationshipKind(rel.type);
      if (kind == "table") {
        EditTable(book, rel.target, sheet, edited, ins);
      } else if (&sheet == &edited && kind == "drawing") {
        EditDrawing(book, rel.target, ins);
      } else if (&sheet == &edited && kind == "comments") {
        EditComments(book, rel.target, ins);
        if (templateLine > 0) {
          copiedComments = CopyComments(ReadXmlPart(book, rel.target), ins, templateLine);
          if (!copiedComments.empty()) EditXmlPart(book, rel.target);
        }
      }
    }
    // After the comments: the note boxes to copy are known only then.
    for (const Relationship& rel : book.RelationshipsOf(sheet.partName())) {
      if (&sheet != &edited || rel.external || !book.HasPart(rel.target)) continue;
      if (RelationshipKind(rel.type) != "vmlDrawing") continue;
      std::string vml = book.ReadRawPart(rel.target);
      std::string shifted = ShiftVml(vml, ins);
      if (!copiedComments.empty()) shifted = CopyVmlNotes(std::move(shifted), copiedComments, ins, templateLine);
      if (shifted != vml) book.PutRawPart(rel.target, std::move(shifted));
    }
  }
  // Chart series point at sheets by name, from any sheet's drawing or a chart sheet.
  for (const std::string& part : book.PartNames()) {
    if (part.find("charts/chart") == std::string::npos || part.find("_rels") != std::string::npos) continue;
    if (part.size() < 4 || part.substr(part.size() - 4) != ".xml") continue;
    pugi::xml_document& doc = ReadXmlPart(book, part);
    if (RewriteFormulaElements(doc.document_element(),
                               [&](std::string_view f) { return ShiftFormula(f, "", edited.name(), ins); }))
      EditXmlPart(book, part);
  }
}

}  // namespace vemo::wb
