#include "engine/host_questions.h"

#include <exception>
#include <vector>

#include "context/login.h"
#include "context/message_box.h"
#include "context/registry.h"
#include "context/spreadsheet_detection.h"
#include "engine/engine_state.h"
#include "engine/ignore_errors.h"
#include "foundation/creation_service.h"
#include "foundation/utf8_text.h"
#include "host/components/class_info.h"
#include "host/components/prog_ids.h"
#include "host/components/security_info.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"

namespace vemo::engine {
namespace {

constexpr std::int32_t kRightsSubsystem = 15;
constexpr std::int32_t kRightsAccessType = 32;
constexpr std::size_t kListLimit = 1024;

bool HasRight(std::int32_t objectId) {
  return CheckAccessRight(context::GetPropsString(), kRightsSubsystem, objectId, kRightsAccessType,
                          std::string(host::progid::kClassInfo));
}

struct SingleRight {
  std::int32_t classTypeId;
  std::int32_t right;
  const char* hidden;
};

constexpr SingleRight kSingleRights[] = {
    {1020001, 1200,
     ",FSecPrice,FPrice,FTaxRate,FTaxPrice,FSecPrice,FDiscountRate,FDiscountAmount,FTaxAmount,FInTaxAmount,"
     "FDiscountPrice,FAmount,FDisplayPrice,"},
    {1020002, 1120,
     ",FSecPrice,FPrice,FDiscountRate,FPriceDiscount,FTaxPrice,FTaxAmount,FInTaxAmount,FAmount,FCostPrice,"
     "FCostAmount,FDisplayPrice,FDiscountAmount,FInvoiceAmt,FNoInvoiceAmt,"},
    {1020003, 1130, ",FSecPrice,FPrice,FAmount,FDisplayPrice,"},
    {1030001, 2000,
     ",FSecPrice,FPrice,FIncludeTaxPrice,FTaxRate,FTaxPrice,FSecPrice,FDiscountRate,FDiscountAmount,FTaxAmount,"
     "FInTaxAmount,FPriceDiscount,FAmount,FDisplayPrice,FNoDiscAmount,FWebBillAmount,"},
    {1040001, 1140, ",FDisplayPrice,FPrice,FAmount,"},
    {1040002, 1000, ",FDisplayPrice,FPrice,FSecPrice,FAmount,"},
    {1040003, 1160, ",FBasePrice,FPrice,FAmount,"},
    {1040004, 1110, ",FBasePrice,FPrice,FAmount,"},
    {1040005, 1170, ",FDisplayPrice,FDisplayPrice1,FPrice,FPrice1,FAmount,FAmount1,"},
    {1040006, 1180, ",FDisplayPrice,FDisplayPrice1,FPrice,FPrice1,FAmount,FAmount1,"},
};

// Purchase bills: the cost right first, then the price right, whose list
// replaces the cost list.
std::string PurchaseHiddenFields(std::int32_t classTypeId) {
  constexpr const char* kCostOnly = ",FCostPrice,FCostAmount,";
  constexpr const char* kPriceHead = ",FSecPrice,FPrice,FIncludeTaxPrice,FDiscountRate,FPriceDiscount,FDiscountAmount,"
                                     "FTaxPrice,FTaxAmount,FInTaxAmount,FAmount,";
  std::string list;
  const bool hasCostRight = HasRight(900);
  if (!hasCostRight) list = kCostOnly;
  const std::int32_t priceRight = classTypeId == 1030002 ? 2010 : 2020;
  if (!HasRight(priceRight)) {
    list = std::string(kPriceHead) + (hasCostRight ? "" : "FCostPrice,FCostAmount,") + "FDisplayPrice,";
    if (classTypeId == 1030002) list += "FNoDiscAmount,FInvoiceAmt,FNoInvoiceAmt,";
  }
  return list;
}

// Stock transfers: an outgoing side (right 1100) and an incoming side (1150).
std::string TransferHiddenFields(PriceRightsTable table) {
  const std::string diff = table == PriceRightsTable::Standard ? "FDiffAmount," : "";
  std::string list;
  if (!HasRight(1100)) list = ",FBaseOutPrice,FSecOutPrice,FDisplayOutPrice,FOutPrice,FOutAmount," + diff;
  if (!HasRight(1150)) {
    const std::string incoming = "FBaseInPrice,FSecInPrice,FDisplayInPrice,FInPrice,FInAmount," + diff;
    list = list.empty() ? "," + incoming : list + incoming;
  }
  return list;
}

// Whether a spreadsheet application of version 12 (2007) or later is here:
// its install keys, or the application the engine drives, which answers
// its version itself (ours is 12 and has no install keys).
bool NewerSpreadsheetAppPresent() {
  if (context::IsOfficeAppInstalledForVersions("Excel", {"12.0", "14.0", "15.0"})) return true;
  auto app = std::dynamic_pointer_cast<host::IApplication>(context::FindSpreadsheetApp().app);
  return app && LeadingNumber(app->Version()) >= 12.0;
}

// The list cut to 1024 characters when only an older spreadsheet
// application is here (it cannot hold more in a cell).
std::string CutForOldExcel(std::string text) {
  text = Trim(text);
  if (text.size() > kListLimit && !NewerSpreadsheetAppPresent()) text = LeftChars(text, kListLimit);
  return text;
}

RecordsetRef QueryClassInfo(const std::string& sql) {
  auto info = CreateObjectAs<host::IClassInfo>(host::progid::kClassInfo);
  return info->GetData(context::GetPropsString(), sql);
}

}  // namespace

std::string HiddenPriceFields(PriceRightsTable table, std::int32_t classTypeId) {
  if (classTypeId == 1030002 || classTypeId == 1030003) return PurchaseHiddenFields(classTypeId);
  if (classTypeId == 1040007) return TransferHiddenFields(table);
  for (const SingleRight& row : kSingleRights)
    if (row.classTypeId == classTypeId) return HasRight(row.right) ? "" : row.hidden;
  return "";
}

bool PriceFieldVisible(PriceRightsTable table, std::int32_t classTypeId, std::string_view fieldKey) {
  try {
    const std::string list = ToLowerAscii(HiddenPriceFields(table, classTypeId));
    return list.find(ToLowerAscii(fieldKey)) == std::string::npos;
  } catch (const std::exception& error) {
    context::ShowMsgBox(error.what(), context::vbExclamation);
    return false;
  }
}

bool PriceFieldVisible(const EngineState& state, std::int32_t classTypeId, std::string_view fieldKey) {
  try {
    auto& cache = state.answers.hiddenPriceFields;
    auto found = cache.find(classTypeId);
    if (found == cache.end())
      found = cache.emplace(classTypeId, ToLowerAscii(HiddenPriceFields(state.variant.rights, classTypeId))).first;
    return found->second.find(ToLowerAscii(fieldKey)) == std::string::npos;
  } catch (const std::exception& error) {
    context::ShowMsgBox(error.what(), context::vbExclamation);
    return false;
  }
}

bool CheckAccessRight(const std::string& props, std::int32_t subsystem, std::int32_t objectId,
                      std::int32_t accessType, const std::string& className) {
  return ValueOr(false, [&] {
    auto security = CreateObjectAs<host::ISecurityInfo>(host::progid::kSecurityInfo);
    return security->AccessCheck(props, subsystem, objectId, accessType, true, className);
  });
}

std::string BuildSerialNumberList(std::int32_t classTypeId, std::int32_t billId, std::int32_t entryIndex) {
  return ValueOr(std::string(), [&] {
    std::string sql = " select FID, FSerialNo from t_SerialNumList where FClassTypeID = " +
                      std::to_string(classTypeId) + " and FBillID = " + std::to_string(billId) +
                      " and FBillIndexID = " + std::to_string(entryIndex);
    if (classTypeId == 1040007) sql += " and FStatus=1";
    RecordsetRef rows = QueryClassInfo(sql);
    std::string list;
    for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
      if (!list.empty()) list += ",";
      list += rows->Field(1).ToText();
    }
    return CutForOldExcel(std::move(list));
  });
}

std::string BuildSettleAccountList(std::int32_t classTypeId, std::int32_t billId) {
  return ValueOr(std::string(), [&] {
    const std::string sql =
        " select b.FItemID, b.FName, a.FAmount from ICMultiAccount a, t_SettleAcct b where a.FClassTypeID = " +
        std::to_string(classTypeId) + " and a.FAcctID = b.FItemID and a.FID = " + std::to_string(billId);
    RecordsetRef rows = QueryClassInfo(sql);
    std::string list;
    for (rows->MoveFirst(); !rows->Eof(); rows->MoveNext()) {
      if (!list.empty()) list += ",";
      list += rows->Field(1).ToText() + "|" + rows->Field(2).ToText();
    }
    return CutForOldExcel(std::move(list));
  });
}

std::string ReadSystemProfile(std::string_view category, std::string_view key) {
  const std::string upper = ToUpperAscii(category);
  if (upper == "AP" || upper == "AR") return "";
  return ValueOr(std::string(), [&] {
    auto profile = CreateObjectAs<host::ISystemProfile>(host::progid::kSystemProfile);
    return profile->GetProfile(context::GetPropsString(), category, key);
  });
}

}  // namespace vemo::engine
