#include "engine/settlement_captions.h"

#include "engine/ignore_errors.h"
#include "foundation/utf8_text.h"

namespace vemo::engine {
namespace {

constexpr std::int32_t kOffsetBillClassType = 1050003;

int PageSize(const EngineState& state, std::int32_t page) {
  if (!state.billData) return 0;
  const Variant value = state.billData->Value("Page" + std::to_string(page));
  if (auto table = value.AsObject<HostVector>()) return table->Size();
  // A head page counts its fields, so head row 1 is never a caption row.
  if (auto head = value.AsObject<HostDictionary>()) return head->Count();
  return 0;
}

// The bill type's name: the display text of the head field FBillTypeId.
std::string BillTypeName(const EngineState& state) {
  const FieldInfo* field = FindField(state, "FBillTypeId");
  if (!field) return "";
  DictionaryRef value = GetValueObject(state, *field, 1);
  return value && value->Lookup("FDSP") ? value->Value("FDSP").ToText() : "";
}

}  // namespace

std::optional<std::string> SettlementCaption(const EngineState& state, const FieldInfo& field,
                                             std::string_view name, int row) {
  if (field.facts.classTypeId != kOffsetBillClassType || row < 1) return std::nullopt;
  const std::string typeName = ValueOr(std::string(), [&] { return BillTypeName(state); });
  if (typeName == "应收转应收" || typeName == "应付转应付") return std::nullopt;
  const std::int32_t page = field.facts.page;
  const int count1 = PageSize(state, page);
  const int count2 = PageSize(state, page + 1);
  const bool isCaptionColumn = EqualsIgnoreCase(name, "FSourceBillNo2");
  if (row == count1 + 1) {
    if (!isCaptionColumn) return std::string();
    if (typeName == "预收冲应收") return std::string("预收合计");
    if (typeName == "预付冲应付") return std::string("预付合计");
    if (typeName == "应收冲应付") return std::string("应收合计");
    return std::string();
  }
  if (row >= count1 + count2 + 2) {
    if (!isCaptionColumn) return std::string();
    if (typeName == "预收冲应收") return std::string("应收合计");
    if (typeName == "预付冲应付" || typeName == "应收冲应付") return std::string("应付合计");
    return std::string();
  }
  return std::nullopt;
}

}  // namespace vemo::engine
