#include "engine/field_binding.h"

#include <cstdio>
#include <vector>

#include "context/login.h"
#include "context/settings.h"
#include "context/temp_files.h"
#include "engine/host_questions.h"
#include "engine/ignore_errors.h"
#include "engine/settlement_captions.h"
#include "foundation/creation_service.h"
#include "foundation/host_error.h"
#include "foundation/utf8_text.h"
#include "host/components/class_info.h"
#include "host/components/prog_ids.h"

namespace vemo::engine {
namespace {

constexpr std::string_view kFullWidthDot = "．";

std::vector<std::string> SplitName(std::string_view name) {
  const std::string normal = ReplaceAll(name, kFullWidthDot, ".");
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t dot = normal.find('.'); dot != std::string::npos; dot = normal.find('.', start)) {
    parts.push_back(normal.substr(start, dot - start));
    start = dot + 1;
  }
  parts.push_back(normal.substr(start));
  return parts;
}

std::int32_t IntOf(const HostDictionary& info, std::string_view key) {
  const Variant* value = info.Get(key);
  return value ? value->ToInt32() : 0;
}

std::string TextOf(const HostDictionary& info, std::string_view key) {
  const Variant* value = info.Get(key);
  return value ? value->ToText() : std::string();
}

// The field's template name: "FKey", which some dictionaries spell "Fkey".
std::string KeyOf(const HostDictionary& info) {
  return info.Lookup("FKey") ? TextOf(info, "FKey") : TextOf(info, "Fkey");
}

// Display twins of quantity and unit fields for the standard industry.
struct DisplayTwin {
  std::int32_t classTypeId;
  const char* name;
  const char* twin;
};
constexpr DisplayTwin kDisplayTwins[] = {
    {1040005, "FQty", "FShowQty"},          {1040006, "FQty", "FShowQty"},
    {1040005, "FQty1", "FShowQty1"},        {1040006, "FQty1", "FShowQty1"},
    {1040005, "FUnitID", "FShowUnitID"},    {1040006, "FUnitID", "FShowUnitID"},
    {1040005, "FBase1", "FShowUnitID1"},    {1040006, "FBase1", "FShowUnitID1"},
    {1040009, "FCldQty", "FShowCldQty"},    {1040009, "FCldUnitID", "FShowCldUnitID"},
    {1070001, "FBaseProperty2", "FShowUnitID"},
    {1070002, "FBaseProperty3", "FShowUnitID"}, {1070002, "FBaseProperty2", "FBarCode"},
    {1070003, "FBaseProperty2", "FShowUnitID"}, {1070004, "FBaseProperty2", "FShowUnitID"},
    {1070003, "FBaseProperty3", "FBarCode"},    {1070004, "FBaseProperty3", "FBarCode"},
    {1070005, "FBaseProperty2", "FShowUnitID"}, {1070005, "FBaseProperty5", "FShowUnitID1"},
    {1070005, "FBaseProperty6", "FBarCode"},    {1070005, "FBaseProperty7", "FBarCode1"},
    {1040008, "FQty", "FShowQty"},              {1040008, "FUnitID", "FShowUnitID"},
};

std::string_view DisplayTwinOf(const EngineState& state, std::string_view name) {
  if (!state.answers.industryType)
    state.answers.industryType = context::GetSessionSetting("IndustryType", 0).ToInt32();
  if (*state.answers.industryType != 0 || !state.dataService) return name;
  const std::int32_t classTypeId = state.dataService->classTypeID();
  for (const DisplayTwin& twin : kDisplayTwins)
    if (twin.classTypeId == classTypeId && EqualsIgnoreCase(name, twin.name)) return twin.twin;
  return name;
}

// FEntryType of a page: 1 = entry table for value lookups; the class type
// entries are 1-based by page number. Without them the data's own shape tells.
std::optional<std::int32_t> EntryTypeOf(const EngineState& state, std::int32_t page) {
  if (!state.entryClassType || page < 1 || page > state.entryClassType->Size()) return std::nullopt;
  auto entry = state.entryClassType->Item(page).AsObject<HostDictionary>();
  if (!entry || !entry->Lookup("FEntryType")) return std::nullopt;
  return entry->Value("FEntryType").ToInt32();
}

Variant PageOf(const EngineState& state, std::int32_t page) {
  if (!state.billData) return Variant();
  return state.billData->Value("Page" + std::to_string(page));
}

VectorRef EntryTable(const EngineState& state, std::int32_t page) {
  const Variant table = PageOf(state, page);
  return table.IsObject() ? table.AsObject<HostVector>() : nullptr;
}

// The page as value lookups read it, asked once per fill and page.
const PageValues& PageValuesOf(const EngineState& state, std::int32_t page) {
  auto& answers = state.answers;
  if (answers.pagesOf != state.billData.get() || answers.entryTypesOf != state.entryClassType.get()) {
    answers.pages.clear();
    answers.pagesOf = state.billData.get();
    answers.entryTypesOf = state.entryClassType.get();
  }
  if (auto it = answers.pages.find(page); it != answers.pages.end()) return it->second;
  PageValues values;
  const Variant pageValue = PageOf(state, page);
  if (pageValue.IsObject()) {
    values.isObject = true;
    const std::optional<std::int32_t> entryType = EntryTypeOf(state, page);
    values.table = pageValue.AsObject<HostVector>();
    values.rowsFromTable = (entryType && *entryType == 1) || (!entryType && values.table);
    if (!values.rowsFromTable) values.head = pageValue.AsObject<HostDictionary>();
  }
  return answers.pages.emplace(page, std::move(values)).first->second;
}

const Variant kNoValue;

// The stored value under `key` ("FFLD" by default) of a value object, in place.
const Variant& StoredRef(const DictionaryRef& valueObject, std::string_view key = "FFLD") {
  const Variant* value = valueObject ? valueObject->Get(key) : nullptr;
  return value ? *value : kNoValue;
}

Variant StoredValue(const DictionaryRef& valueObject, std::string_view key = "FFLD") {
  return StoredRef(valueObject, key);
}

bool IsLookupField(const HostDictionary& info) { return IntOf(info, "FLookUpClassID") > 0; }

RecordsetRef RunQuery(const EngineState& state, const std::string& sql) {
  if (state.variant.queriesThroughClassInfo) {
    auto info = CreateObjectAs<host::IClassInfo>(host::progid::kClassInfo);
    return info->GetData(context::GetPropsString(), sql);
  }
  if (!state.dataService) throw HostError(HostError::kObjectRequired, "the bill has no data service");
  return state.dataService->GetData(sql);
}

std::string FirstColumnText(const RecordsetRef& rows) {
  if (!rows || rows->Eof() || rows->FieldCount() == 0) return "";
  const Variant& value = rows->Field(0);
  return value.IsNull() ? "" : value.ToText();
}

std::string IdText(const Variant& stored) { return NumberToText(LeadingNumber(stored.ToText())); }

// part 1 column, 2 join switch, 3 joined table, 4 its key, 5 its column, 6 base table.
std::string RelatedTableValue(const EngineState& state, const std::vector<std::string>& parts,
                              const Variant& stored) {
  if (parts.size() < 7) return "";
  const std::string id = IdText(stored);
  const double join = LeadingNumber(parts[2]);
  std::string sql;
  if (join <= 0) {
    sql = " SELECT " + parts[1] + " FROM " + parts[6] + " WHERE " + parts[6] + ".FItemID" + "=" + id;
  } else {
    sql = " SELECT " + parts[3] + "." + parts[5] + " FROM " + parts[6] + " Inner join " + parts[3] + " ON " +
          parts[6] + "." + parts[1] + "=" + parts[3] + "." + parts[4] + " WHERE " + parts[6] + ".FItemID" + "=" + id;
  }
  return FirstColumnText(RunQuery(state, sql));
}

// The unit at position part 3 (1-based, main unit first) of the item.
std::string AuxiliaryUnitValue(const EngineState& state, const std::vector<std::string>& parts,
                               const Variant& stored) {
  if (parts.size() < 7) return "";
  const std::string sql = " SELECT " + parts[1] + " FROM " + parts[6] + " WHERE " + parts[6] + ".FSrcItemID" + "=" +
                          IdText(stored) + " order by FISMainUnit desc ";
  RecordsetRef rows = RunQuery(state, sql);
  if (!rows || rows->RecordCount() == 0) return "";
  rows->MoveFirst();
  const int position = static_cast<int>(LeadingNumber(parts[3]));
  if (rows->RecordCount() >= position && position > 1) rows->Move(position - 1);
  return FirstColumnText(rows);
}

double FieldTotal(const EngineState& state, const HostDictionary& info) {
  const std::int32_t classTypeId = IntOf(info, "FClassTypeID");
  if (!PriceFieldVisible(state, classTypeId, KeyOf(info))) return 0;
  const std::string key = InternalKeyOf(info);
  const std::int32_t page = IntOf(info, "FPage");
  auto numberIn = [&](const Variant& rowOrHead) -> double {
    auto values = rowOrHead.AsObject<HostDictionary>();
    if (!values || !values->Lookup(key)) return 0;
    return LeadingNumber(StoredValue(values->Value(key).AsObject<HostDictionary>()).ToText());
  };
  const std::optional<std::int32_t> entryType = EntryTypeOf(state, page);
  VectorRef table = EntryTable(state, page);
  if ((entryType && *entryType != 0) || (!entryType && table)) {
    double total = 0;
    for (int row = 1; table && row <= table->Size(); ++row)
      total += LeadingNumber(StoredValue(table->ItemField(row, key).AsObject<HostDictionary>()).ToText());
    return total;
  }
  return numberIn(PageOf(state, page));
}

// Clause type name, four blanks and clause content of every row, one per line.
std::string ClauseList(const EngineState& state) {
  const FieldInfo* content = FindField(state, "FClauseContent");
  const FieldInfo* typeName = FindField(state, "FClauseTypeName");
  if (!content || !typeName) return "";
  VectorRef table = EntryTable(state, IntOf(*content->info, "FPage"));
  if (!table) return "";
  const std::string contentKey = InternalKeyOf(*content->info);
  const std::string typeKey = InternalKeyOf(*typeName->info);
  std::string list;
  for (const Variant& rowValue : table->Items()) {
    auto row = rowValue.AsObject<HostDictionary>();
    if (!row || !row->Lookup(contentKey) || !row->Lookup(typeKey)) continue;
    list += "\r\n" + StoredValue(row->Value(typeKey).AsObject<HostDictionary>()).ToText() + "    " +
            StoredValue(row->Value(contentKey).AsObject<HostDictionary>()).ToText();
  }
  return list.size() >= 2 ? list.substr(2) : list;
}

std::string PictureFieldFile(const EngineState& state, const HostDictionary& info, int row) {
  auto keys = HostDictionary::Create();
  const bool entryPage = IntOf(info, "FEntryType") == 1;
  keys->Set("TableName", Variant(TextOf(info, "FTableName")));
  keys->Set("FieldName", Variant(TextOf(info, "FFLD")));
  keys->Set("PrimaryKeyField", Variant(TextOf(info, "FPrimaryKey")));
  keys->Set("PrimaryKeyValue", Variant(state.billId));
  // An entry row is the bill's row number in its entry table.
  keys->Set("IndexKeyField", Variant(entryPage ? TextOf(info, "FEPrimaryKey") : std::string()));
  keys->Set("IndexKeyValue", entryPage ? Variant(row) : Variant(std::string()));
  keys->Set("Page", Variant(IntOf(info, "FPage")));
  auto classInfo = CreateObjectAs<host::IClassInfo>(host::progid::kClassInfo);
  const Bytes bytes = classInfo->GetPictureData(*keys, context::GetPropsString());
  std::string path = context::GetTempPath() + "QuoXXXXXX";
  std::vector<char> name(path.begin(), path.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) throw HostError(HostError::kGeneric, "cannot create a temporary picture file in " + context::GetTempPath());
  path.assign(name.data());
  FILE* file = fdopen(fd, "wb");
  if (!file) throw HostError(HostError::kGeneric, "cannot write the temporary picture file " + path);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

bool IsNegatedBillType(const EngineState& state) {
  const FieldInfo* billType = FindField(state, "FBillTypeId");
  if (!billType) return false;
  const auto number = static_cast<std::int32_t>(LeadingNumber(StoredValue(GetValueObject(state, *billType, 1)).ToText()));
  for (std::int32_t type : {2012, 2031, 2032, 3002, 3004, 3011, 5003, 5012})
    if (number == type) return true;
  return false;
}

bool IsNegatedClassType(std::int32_t classTypeId) {
  for (std::int32_t type : {1020002, 1020003, 1030002, 1030003, 1080001, 1080002, 1050001, 1050002})
    if (classTypeId == type) return true;
  return false;
}

// Steps 4 and 5: the value by the name's suffixes.
std::string ValueBySuffix(const EngineState& state, const FieldInfo& field, const std::vector<std::string>& parts,
                          int row) {
  const HostDictionary& info = *field.info;
  if (parts.size() == 1) return FieldText(state, field, row);
  const std::string& part1 = parts[1];
  const std::string& last = parts.back();
  if (part1 == "SUM") return NumberToText(FieldTotal(state, info));
  if (part1 == "PAGESUM") return "";
  if (last == "HEAD" || last == "ENTRY") {
    if (IsLookupField(info) && parts.size() > 2)
      return RelatedTableValue(state, parts, StoredValue(GetValueObject(state, field, 1)));
    return FieldText(state, field, 1);
  }
  if (part1 == "OLDSUBNUMBER") return StoredValue(GetValueObject(state, field, row), "FFND").ToText();
  if (parts.size() > 5) {
    const std::string& unitPart = parts[5];
    if (EqualsIgnoreCase(unitPart, "FShowUnitID") || EqualsIgnoreCase(unitPart, "FBarcode") ||
        EqualsIgnoreCase(unitPart, "FCoefficient"))
      return AuxiliaryUnitValue(state, parts, StoredValue(GetValueObject(state, field, row)));
  }
  if (IsLookupField(info)) return RelatedTableValue(state, parts, StoredValue(GetValueObject(state, field, row)));
  return "";
}

}  // namespace

std::string InternalKeyOf(const HostDictionary& info) {
  char tab[16];
  std::snprintf(tab, sizeof tab, "%04d", static_cast<int>(IntOf(info, "FTabIndex")));
  return "_" + std::string(tab) + "_" + KeyOf(info);
}

namespace {

FieldFacts ReadFacts(const HostDictionary& info) {
  FieldFacts facts;
  facts.page = IntOf(info, "FPage");
  facts.classTypeId = IntOf(info, "FClassTypeID");
  facts.sourceType = IntOf(info, "FSourceType");
  facts.ctlType = IntOf(info, "FCtlType");
  facts.lookup = IsLookupField(info);
  facts.summable = info.Lookup("fsum") && info.Value("fsum").ToBool();
  facts.keyword = ToUpperAscii(Trim(TextOf(info, "FKeyWord")));
  facts.key = KeyOf(info);
  return facts;
}

std::optional<FieldInfo> LookUpField(const HostDictionary& fieldDictionary, std::string_view name) {
  const Variant* mapValue = fieldDictionary.Get("Map");
  auto map = mapValue ? mapValue->AsObject<HostDictionary>() : nullptr;
  const Variant* key = map ? map->Get(name) : nullptr;
  if (!key) return std::nullopt;
  FieldInfo field;
  field.internalKey = key->ToText();
  const Variant* info = fieldDictionary.Get(field.internalKey);
  field.info = info ? info->AsObject<HostDictionary>() : nullptr;
  if (!field.info) return std::nullopt;
  field.facts = ReadFacts(*field.info);
  return field;
}

}  // namespace

const FieldInfo* FindField(const EngineState& state, std::string_view name) {
  if (!state.fieldDictionary) return nullptr;
  // Every entry value asks for its column's field: the answer is kept for
  // the fill, as long as the same field dictionary is set.
  auto& cache = state.answers.fields;
  if (state.answers.fieldsOf != state.fieldDictionary.get()) {
    cache.clear();
    state.answers.fieldsOf = state.fieldDictionary.get();
  }
  auto it = cache.find(name);
  if (it == cache.end()) it = cache.emplace(std::string(name), LookUpField(*state.fieldDictionary, name)).first;
  return it->second ? &*it->second : nullptr;
}

namespace {

// The price right of the field's key. Kept once the rights were read; a
// failed read (which tells the user) is tried again at the next value.
bool FieldPriceVisible(const EngineState& state, const FieldInfo& field) {
  if (field.facts.priceVisible) return *field.facts.priceVisible;
  const bool visible = PriceFieldVisible(state, field.facts.classTypeId, field.facts.key);
  if (state.answers.hiddenPriceFields.count(field.facts.classTypeId) != 0) field.facts.priceVisible = visible;
  return visible;
}

bool NegatedBillType(const EngineState& state) {
  if (!state.answers.negatedBillType)
    state.answers.negatedBillType = ValueOr(false, [&] { return IsNegatedBillType(state); });
  return *state.answers.negatedBillType;
}

bool HasDot(std::string_view name) {
  return name.find('.') != std::string_view::npos || name.find(kFullWidthDot) != std::string_view::npos;
}

}  // namespace

DictionaryRef GetValueObject(const EngineState& state, const FieldInfo& field, int row) {
  const PageValues& page = PageValuesOf(state, field.facts.page);
  if (!page.isObject) return nullptr;
  if (page.rowsFromTable) {
    if (!page.table || row < 1 || row > page.table->Size()) return nullptr;
    return page.table->ItemField(row, field.internalKey).AsObject<HostDictionary>();
  }
  const Variant* value = page.head ? page.head->Get(field.internalKey) : nullptr;
  return value ? value->AsObject<HostDictionary>() : nullptr;
}

std::string FieldText(const EngineState& state, const FieldInfo& field, int row) {
  const FieldFacts& facts = field.facts;
  const DictionaryRef valueObject = GetValueObject(state, field, row);
  const Variant& stored = StoredRef(valueObject);
  if (facts.sourceType == 11) {
    const bool yes = !stored.IsEmpty() && !stored.IsNull() && LeadingNumber(stored.ToText()) == 1;
    return yes ? "是" : "否";
  }
  if (facts.lookup || facts.sourceType == 9) return StoredRef(valueObject, "FDSP").ToText();
  if (facts.ctlType == 999 && facts.keyword == "BIGTEXT") {
    const std::string text = stored.ToText();
    const std::size_t count = CharCount(text);
    return count > 3 ? LeftChars(text, count - 3) : "";
  }
  if (facts.keyword == "PICTURE") {
    if (stored.ToText().empty()) return "";
    return PictureFieldFile(state, *field.info, row);
  }
  return stored.ToText();
}

std::string GetFieldValue(const EngineState& state, std::string_view name, int row) {
  // Most names have no suffix: they skip the split.
  std::vector<std::string> parts;
  std::string_view base;
  if (HasDot(name)) {
    parts = SplitName(name);
    parts[0] = std::string(DisplayTwinOf(state, parts[0]));
    if (parts.size() > 1 && parts[1] == "UNITE") return ValueOr(std::string(), [&] { return ClauseList(state); });
    base = parts[0];
  } else {
    base = DisplayTwinOf(state, name);
  }
  const FieldInfo* field = FindField(state, base);
  if (!field) return "";
  const FieldFacts& facts = field->facts;

  if (std::optional<std::string> caption = SettlementCaption(state, *field, base, row)) return *caption;

  std::string value = ValueOr(std::string(), [&] {
    return parts.size() <= 1 ? FieldText(state, *field, row) : ValueBySuffix(state, *field, parts, row);
  });

  if (facts.summable && FindIgnoreCase(name, "FRate") == std::string::npos && IsNegatedClassType(facts.classTypeId) &&
      NegatedBillType(state))
    value = NumberToText(-LeadingNumber(value));

  if (!FieldPriceVisible(state, *field)) value.clear();
  return value;
}

std::string GetScreenValue(const EngineState& state, std::string_view name) {
  const std::string normal = ReplaceAll(name, kFullWidthDot, ".");
  if (normal.find('.') != std::string::npos || !state.billData) return "";
  return ValueOr(std::string(), [&]() -> std::string {
    VectorRef table = state.billData->Value("Page1").AsObject<HostVector>();
    if (!table || table->Size() < 1) return "";
    auto row = table->Item(1).AsObject<HostDictionary>();
    if (!row || !row->Lookup(normal)) return "";
    const Variant value = row->Value(normal);
    if (auto valueObject = value.AsObject<HostDictionary>()) return StoredValue(valueObject).ToText();
    return value.IsNull() ? "" : value.ToText();
  });
}

}  // namespace vemo::engine
