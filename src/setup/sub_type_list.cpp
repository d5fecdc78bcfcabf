#include "setup/sub_type_list.h"

#include <initializer_list>

#include "context/settings.h"

namespace vemo::setup {
namespace {

std::string ItemList(std::initializer_list<const char*> names) {
  std::string list = "\t";
  for (const char* name : names) list += std::string(name) + "\t";
  return list;
}

std::string BillSubTypes(std::int32_t billType, std::int32_t appType) {
  switch (billType) {
    case 1020002:
    case 1030002: return ItemList({"增值税发票", "普通发票", "收据", "其他"});
    case 1020004:
    case 1030004: return ItemList({"总额返利", "商品返利", "返商品"});
    case 1040007: return ItemList({"同价调拨", "异价调拨"});
    case 1050001: return ItemList({"销售收款", "预收款", "预收退款"});
    case 1050002: return ItemList({"采购付款", "预付款", "预付退款"});
    case 1050003:
      // The lite edition has no receivable and payable transfers.
      if (appType == 1) return ItemList({"预收冲应收", "预付冲应付", "应收冲应付"});
      return ItemList({"预收冲应收", "预付冲应付", "应收冲应付", "应收转应收", "应付转应付"});
    case 1050004: return ItemList({"收款结算", "其他应收"});
    case 1050005: return ItemList({"费用结算", "其他应付"});
    default: return "";
  }
}

}  // namespace

std::string SubTypeList(std::int32_t dataSourceType, std::int32_t billType, std::int32_t rptId, std::int32_t appType) {
  if (dataSourceType == 0) return BillSubTypes(billType, appType);
  // The values the report export looks for by the report's ByItem head value.
  if (dataSourceType == 1 && rptId == 10506) return ItemList({"客户", "供应商"});
  return "";
}

std::int32_t SessionAppType() {
  try {
    Variant value = context::GetSessionSetting("AppType", 2);
    double number = 0;
    if (value.IsNumeric()) return value.ToInt32();
    if (TryStrictNumber(value.ToText(), number)) return static_cast<std::int32_t>(number);
  } catch (const std::exception&) {
  }
  return 2;
}

}  // namespace vemo::setup
