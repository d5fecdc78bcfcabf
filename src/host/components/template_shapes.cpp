#include "host/components/template_shapes.h"

#include <cmath>

namespace vemo::host {

DictionaryRef MakeNoteRow(const TemplateRow& row, const TemplateTable& table) {
  auto dict = HostDictionary::Create();
  dict->Add(std::string(table.idColumn), Variant(row.id));
  dict->Add("FName", row.name);
  dict->Add("FSel", row.selected);
  dict->Add("FBillTypeSub", row.subType);
  // The report setup grid reads the sub-type as FTypeSub.
  if (table.idColumn == kReportTemplates.idColumn) dict->Add("FTypeSub", row.subType);
  return dict;
}

DictionaryRef MakeNoteInfo(const std::vector<TemplateRow>& rows, const TemplateTable& table) {
  auto data = HostVector::Create();
  for (const auto& row : rows) data->Add(MakeNoteRow(row, table));
  auto info = HostDictionary::Create();
  info->Add("Data", data);
  info->Add("Option", "");
  return info;
}

DictionaryRef MakeTemplateSet(const std::vector<TemplateFile>& files, std::int64_t owner, std::string_view) {
  auto set = HostDictionary::Create();
  for (const auto& file : files) {
    auto entry = HostVector::Create();
    entry->Add(file.name);
    entry->Add(file.contents ? Variant(*file.contents) : Variant());
    set->Add(std::to_string(owner) + "|" + std::to_string(file.id), entry);
  }
  return set;
}

VectorRef MakeInsertAnswer(std::int64_t id, std::int64_t owner) {
  auto answer = HostVector::Create();
  answer->Add(Variant(id));
  answer->Add(Variant(owner));
  return answer;
}

std::vector<TemplateGridRow> ReadUpdateSet(const HostDictionary& updateSet) {
  auto data = updateSet.Value("Data").AsObject<HostVector>();
  if (!data) throw HostError("the update set has no \"Data\" list of grid rows {FKey, FName, FSel, FType}");
  std::vector<TemplateGridRow> rows;
  for (int i = 1; i <= data->Size(); ++i) {
    auto row = data->Item(i).AsObject<HostDictionary>();
    if (!row) throw HostError("row " + std::to_string(i) + " of the update set is not a dictionary {FKey, FName, FSel, FType}");
    for (const char* key : {"FKey", "FName", "FSel"})
      if (!row->Lookup(key)) throw HostError("row " + std::to_string(i) + " of the update set has no " + key);
    const Variant& sel = row->Item("FSel");
    double selected = sel.IsEmpty() || sel.IsNull() ? 0 : LeadingNumber(sel.ToText());
    if (sel.Type() == VariantType::Boolean) selected = sel.ToBool() ? 1 : 0;
    rows.push_back({row->Item("FKey").ToText(), row->Item("FName").ToText(), selected, row->Value("FType").ToText()});
  }
  return rows;
}

std::optional<Bytes> ReadContents(const Variant& contents) {
  if (contents.IsEmpty() || contents.IsNull()) return std::nullopt;
  if (contents.Type() != VariantType::Bytes)
    throw HostError("template contents must be a byte array (the file read whole), not " + contents.ToText().substr(0, 40));
  return contents.ToBytes();
}

std::int64_t OwnerFromText(std::string_view text, std::string_view what) {
  double value = 0;
  if (!TryStrictNumber(text, value) || value != std::floor(value))
    throw HostError("the " + std::string(what) + " \"" + std::string(text) + "\" is not a whole number");
  return static_cast<std::int64_t>(value);
}

std::int64_t RowIdFromNumber(double rowId) {
  if (!std::isfinite(rowId) || rowId != std::floor(rowId))
    throw HostError("the template row id " + NumberToText(rowId) + " is not a whole number");
  return static_cast<std::int64_t>(rowId);
}

}  // namespace vemo::host
