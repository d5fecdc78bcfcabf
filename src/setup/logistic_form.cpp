#include "setup/logistic_form.h"

#include "context/desktop.h"
#include "foundation/creation_service.h"
#include "host/components/logistic_manage.h"
#include "host/components/prog_ids.h"
#include "setup/setup_messages.h"

namespace vemo::setup {
namespace {

bool IsSet(const SetupGrid& grid, int row, int col) { return CellNumber(grid, row, col) != 0; }

}  // namespace

std::string frmLogistic::Caption() const { return msg::kCourierDialogCaption; }

void frmLogistic::Load() {
  Reopen();
  armed_ = false;
  LayOutColumns(Grid(), {{"FID", "", 1000, true},
                         {"FCode", "编码", 600, false},
                         {"FName", "名称", 3000, false},
                         {"FIsDefault", "默认物流公司", 1200, false},
                         {"FIsShow", "是否显示", 1200, false},
                         {"FKdd100Code", "快递100编码", 1500, false},
                         {"FKdd100WebAddress", "快递100网址", 2500, false}});
  LoadList();
}

void frmLogistic::PrepareRow(int row) {
  Grid().SetCellType(row, kColCourierDefault, CellType::CheckBox);
  Grid().SetCellType(row, kColCourierShown, CellType::CheckBox);
}

void frmLogistic::LoadList() {
  ScopedFlag quiet(armed_, false);
  SetupGrid& grid = Grid();
  VectorRef list;
  try {
    list = CreateObjectAs<host::ILogisticInfo>(host::progid::kLogisticInfo)->GetLogisticInfoList(Props(), true);
  } catch (const std::exception&) {
    list = nullptr;  // errors are ignored: an empty grid row remains
  }
  const int count = list ? list->Size() : 0;
  grid.SetRowCount(0);
  grid.SetRowCount(count + 1);
  for (int row = 1; row <= count + 1; ++row) PrepareRow(row);
  try {
    for (int i = 1; i <= count; ++i) {
      auto company = list->Item(i).AsObject<HostDictionary>();
      if (!company) continue;
      grid.SetCellText(i, kColCourierId, company->Value("FID").ToText());
      grid.SetCellText(i, kColCourierCode, company->Value("FCode").ToText());
      grid.SetCellText(i, kColCourierName, company->Value("FName").ToText());
      grid.SetCellText(i, kColCourierDefault, company->Value("FIsDefault").ToBool() ? "1" : "0");
      grid.SetCellText(i, kColCourierShown, company->Value("FIsShow").ToBool() ? "1" : "0");
      grid.SetCellText(i, kColKdd100Code, company->Value("FKdd100Code").ToText());
      grid.SetCellText(i, kColKdd100Web, company->Value("FKdd100WebAddress").ToText());
    }
  } catch (const std::exception&) {
    // what was filled so far stays
  }
}

void frmLogistic::ApplyDefaultRule(int row) {
  SetupGrid& grid = Grid();
  const bool shown = IsSet(grid, row, kColCourierShown);
  const bool isDefault = IsSet(grid, row, kColCourierDefault);
  if (!isDefault) return;
  ScopedFlag quiet(armed_, false);
  if (!shown) grid.SetCellText(row, kColCourierShown, "1");
  for (int other = 1; other <= grid.RowCount(); ++other)
    if (other != row && IsSet(grid, other, kColCourierDefault)) grid.SetCellText(other, kColCourierDefault, "0");
}

void frmLogistic::OnCheckClicked(int row, int col) {
  if (!armed_) return;
  if (col == kColCourierDefault) ApplyDefaultRule(row);
  if (col == kColCourierShown && !IsSet(Grid(), row, kColCourierShown) && IsSet(Grid(), row, kColCourierDefault)) {
    ScopedFlag quiet(armed_, false);
    Grid().SetCellText(row, kColCourierShown, "1");  // the default company cannot be hidden
  }
}

void frmLogistic::OnCellChanged(int row, int col) {
  if (!armed_) return;
  SetupGrid& grid = Grid();
  if (col == kColCourierName && row == grid.RowCount()) {
    ScopedFlag quiet(armed_, false);
    grid.SetRowCount(row + 1);
    PrepareRow(row + 1);
  }
}

bool frmLogistic::SaveCompanies() {
  SetupGrid& grid = Grid();
  auto list = HostVector::Create();
  bool hasDefault = false;
  const char* keys[] = {"FCode", "FName", "FIsDefault", "FIsShow", "FKdd100Code", "FKdd100WebAddress"};
  for (int row = 1; row <= LastRowHoldingData(grid); ++row) {
    auto company = HostDictionary::Create();
    std::string id = grid.CellText(row, kColCourierId);
    company->Add("FID", id.empty() ? std::string("0") : id);
    for (int col = kColCourierCode; col <= kColKdd100Web; ++col) company->Add(keys[col - 2], grid.CellText(row, col));
    if (CellNumber(grid, row, kColCourierDefault) == 1) hasDefault = true;
    list->Add(company);
  }
  if (list->Size() == 0) return false;
  if (!hasDefault) {
    context::ShowHostMessage(msg::kNeedDefaultCourier);
    return false;
  }
  std::int32_t code = 0;
  std::string text;
  try {
    CreateObjectAs<host::ILogisticUpdate>(host::progid::kLogisticUpdate)->UpdateOrAddLogisticData(Props(), *list, code, text);
  } catch (const std::exception& e) {
    code = HostError::kGeneric;
    text = e.what();
  }
  if (code != 0) {
    context::ShowHostMessage(text);
    return false;
  }
  return true;
}

void frmLogistic::RestorePresets() {
  std::int32_t code = 0;
  std::string text;
  try {
    CreateObjectAs<host::ILogisticUpdate>(host::progid::kLogisticUpdate)->UpdateInitDataFromBak(Props(), code, text);
  } catch (const std::exception& e) {
    code = HostError::kGeneric;
    text = e.what();
  }
  if (code != 0) context::ShowHostMessage(text);
  LoadList();
}

void frmLogistic::ClickButton(int index) {
  switch (index) {
    case kOk:
      if (SaveCompanies()) Close();
      break;
    case kApply:
      if (SaveCompanies()) LoadList();
      break;
    case kCancel: Close(); break;
    case kRestorePresets: RestorePresets(); break;
    default: break;
  }
}

}  // namespace vemo::setup
