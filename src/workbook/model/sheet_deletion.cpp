// Deleting a sheet: its part and everything only it used, its workbook entry,
// its local names; references to it elsewhere become #REF!.
#include <algorithm>
#include <cctype>
#include <set>

#include "workbook/package_parts.h"
#include "workbook/reference_shift.h"
#include "workbook/workbook.h"
#include "workbook/workbook_error.h"
#include "workbook/xlsx/xlsx_reader.h"
#include "workbook/edits/xml_formulas.h"
#include "workbook/model/xml_access.h"
#include "workbook/zip/zip_package.h"

namespace vemo::wb {

namespace {
// A reference that is already broken (Sheet!#REF!) stays exactly as written:
// it is hidden from the rewriter and put back afterwards.
constexpr std::string_view kBroken = "!#REF!";
constexpr std::string_view kMask = "!#VEMOREFMASK";

std::string Replace(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

std::string InvalidateLiveReferences(std::string_view text, std::string_view sheet) {
  std::string masked = Replace(std::string(text), kBroken, kMask);
  return Replace(InvalidateSheetReferences(masked, sheet), kMask, kBroken);
}
}  // namespace

class SheetDeleter {
 public:
  SheetDeleter(Workbook& book, std::size_t index) : book_(book), index_(index) {}

  void Run() {
    if (index_ >= book_.sheets_.size())
      throw WorkbookError("cannot delete sheet " + std::to_string(index_ + 1) + ": the workbook has " +
                          std::to_string(book_.sheets_.size()) + " sheets");
    if (book_.sheets_.size() == 1) throw WorkbookError("cannot delete the only sheet of a workbook");
    Sheet& sheet = *book_.sheets_[index_];
    name_ = sheet.name();
    std::set<std::string> owned = ReachableFrom(sheet.partName());

    EditXmlPart(book_, book_.workbookPart_);
    std::string relId;
    const pugi::xml_node entry = NodeOf(sheet.entry_);
    for (pugi::xml_attribute a : entry.attributes())
      if (LocalName(a.name()) == "id" && std::string_view(a.name()).find(':') != std::string_view::npos)
        relId = a.value();
    entry.parent().remove_child(entry);
    RemoveRelationship(book_, book_.workbookPart_, relId);
    book_.RemovePart(sheet.partName());
    book_.sheets_.erase(book_.sheets_.begin() + static_cast<std::ptrdiff_t>(index_));
    book_.structureChanged_ = true;

    FixDefinedNames();
    FixViews();
    FixFormulas();
    RemoveOrphans(owned);
  }

 private:
  std::set<std::string> ReachableFrom(const std::string& start) {
    std::set<std::string> seen{start};
    std::vector<std::string> todo{start};
    while (!todo.empty()) {
      std::string part = todo.back();
      todo.pop_back();
      for (const Relationship& rel : book_.RelationshipsOf(part))
        if (!rel.external && book_.HasPart(rel.target) && seen.insert(rel.target).second) todo.push_back(rel.target);
    }
    return seen;
  }

  static bool OnlyBrokenReferences(std::string_view text) {
    // "#REF!", "#REF!$A$1:$B$3", "#REF!,#REF!": nothing usable is left.
    if (text.rfind("#REF!", 0) != 0) return false;
    for (char c : text)
      if (c == '(' || c == '"') return false;
    std::string rest(text);
    for (std::size_t at; (at = rest.find("#REF!")) != std::string::npos;) rest.erase(at, 5);
    return std::all_of(rest.begin(), rest.end(), [](char c) {
      return c == '$' || c == ':' || c == ',' || std::isalnum(static_cast<unsigned char>(c));
    });
  }

  void FixDefinedNames() {
    int deleted = static_cast<int>(index_);
    for (const DefinedName& name : book_.DefinedNames()) {
      const pugi::xml_node node = NodeOf(name.element);
      if (name.localSheetId == deleted) {
        node.parent().remove_child(node);
        continue;
      }
      if (name.localSheetId > deleted) node.attribute("localSheetId") = name.localSheetId - 1;
      std::string updated = InvalidateLiveReferences(name.text, name_);
      if (updated == name.text) continue;
      if (OnlyBrokenReferences(updated)) node.parent().remove_child(node);
      else node.text().set(updated.c_str());
    }
    pugi::xml_node root = WorkbookXml(book_).document_element();
    pugi::xml_node names = FirstChild(root, "definedNames");
    if (names && !FirstChild(names, "definedName")) root.remove_child(names);
  }

  void FixViews() {
    pugi::xml_node root = WorkbookXml(book_).document_element();
    int count = static_cast<int>(book_.sheets_.size()), deleted = static_cast<int>(index_);
    int active = 0;
    for (pugi::xml_node view : FirstChild(root, "bookViews").children()) {
      if (view.type() != pugi::node_element) continue;
      for (const char* attr : {"activeTab", "firstSheet"}) {
        pugi::xml_attribute a = view.attribute(attr);
        if (!a) continue;
        int value = a.as_int();
        if (value > deleted) value -= 1;
        value = std::clamp(value, 0, count - 1);
        if (value == 0) view.remove_attribute(a);
        else a = value;
        if (std::string_view(attr) == "activeTab") active = value;
      }
    }
    // Exactly the active sheet is selected, so the application shows one tab as current.
    for (int i = 0; i < count; ++i) {
      Sheet& sheet = *book_.sheets_[static_cast<std::size_t>(i)];
      if (sheet.kind() != SheetKind::Worksheet) continue;
      for (pugi::xml_node view : FirstChild(SheetXml(sheet).document_element(), "sheetViews").children()) {
        pugi::xml_attribute selected = view.attribute("tabSelected");
        if (i == active) {
          if (!selected) selected = view.append_attribute("tabSelected");
          selected = "1";
        } else if (selected) {
          view.remove_attribute(selected);
        }
      }
    }
  }

  void FixFormulas() {
    auto rewrite = [&](std::string_view text) { return InvalidateLiveReferences(text, name_); };
    for (auto& sheet : book_.sheets_) {
      if (sheet->kind() != SheetKind::Worksheet) continue;
      for (Formula& f : sheet->mutableFormulas()) {
        if (f.text.empty()) continue;
        std::string updated = rewrite(f.text);
        if (updated != f.text) {
          f.text = std::move(updated);
          sheet->MarkCellsChanged();
        }
      }
      RewriteFormulaElements(SheetXml(*sheet).document_element(), rewrite);
    }
    for (const ZipPackage::Entry& entry : book_.package_->entries()) {
      if (!book_.HasPart(entry.name)) continue;
      if (entry.name.find("charts/chart") == std::string::npos || entry.name.find("_rels") != std::string::npos)
        continue;
      if (entry.data().find(name_) == std::string::npos) continue;  // cheap test before parsing
      pugi::xml_document& chart = ReadXmlPart(book_, entry.name);
      if (RewriteFormulaElements(chart.document_element(), rewrite)) EditXmlPart(book_, entry.name);
    }
  }

  void RemoveOrphans(const std::set<std::string>& owned) {
    std::set<std::string> stillUsed = ReachableFrom("");
    for (const std::string& part : owned)
      if (!stillUsed.count(part)) book_.RemovePart(part);
  }

  Workbook& book_;
  std::size_t index_;
  std::string name_;
};

void Workbook::DeleteSheet(std::size_t index) { SheetDeleter(*this, index).Run(); }

}  // namespace vemo::wb
