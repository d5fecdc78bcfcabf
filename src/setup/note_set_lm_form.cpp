#include "setup/note_set_lm_form.h"

#include "context/message_box.h"
#include "foundation/creation_service.h"
#include "host/components/logistic_manage.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "setup/error_text.h"
#include "setup/logistic_form.h"
#include "setup/setup_messages.h"

namespace vemo::setup {
namespace {

std::int32_t CourierIdOf(const std::string& text) {
  if (text.empty()) return 0;
  return static_cast<std::int32_t>(LeadingNumber(host::KeyField(text, "|", 1)));
}

}  // namespace

std::int32_t frmNoteSetLM::CurrentCourierId() const { return CourierIdOf(courierText_); }

void frmNoteSetLM::FillCourierLookup() {
  auto info = CreateObjectAs<host::ILogisticInfo>(host::progid::kLogisticInfo);
  VectorRef list = info->GetLogisticInfoList(Props());
  courierEntries_.clear();
  std::string defaultEntry;
  for (int i = 1; list && i <= list->Size(); ++i) {
    auto company = list->Item(i).AsObject<HostDictionary>();
    if (!company) continue;
    std::string entry = company->Value("FName").ToText() + "|" + company->Value("FID").ToText();
    courierEntries_.push_back(entry);
    if (company->Value("FIsDefault").ToBool() && defaultEntry.empty()) defaultEntry = entry;
  }
  // A reload keeps the company the user was working on while it is listed.
  bool keep = false;
  for (const auto& entry : courierEntries_) keep = keep || (!courierText_.empty() && entry == courierText_);
  if (!keep) courierText_ = defaultEntry;
  rememberedText_ = courierText_;
}

void frmNoteSetLM::BeforeLayout() { FillCourierLookup(); }

void frmNoteSetLM::LoadRows() {
  auto query = CreateObjectAs<host::IPrintSetupQueryLM>(host::progid::kPrintSetupQueryLM);
  FillGrid(query->GetNoteInfo(Props(), CurrentCourierId(), dataFrom_));
  modified_ = false;
}

void frmNoteSetLM::ReloadRows() {
  try {
    LoadRows();
  } catch (const std::exception& e) {
    ShowCritical(ErrorText(e));
  }
}

TemplateOwner frmNoteSetLM::Owner() const {
  return {.props = Props(),
          .updateProgId = Dialog().updateProgId,
          .owner = CurrentCourierId(),
          .billType = billType(),
          .dataFrom = dataFrom_};
}

bool frmNoteSetLM::SaveGrid(std::int32_t courier) {
  if (courier > 0 && !modified_) return true;  // flag changes alone are not saved on a switch
  const std::int32_t target = courier > 0 ? courier : CurrentCourierId();
  TemplateOwner owner = Owner();
  owner.owner = target;
  return SendGridRows([&owner](const HostDictionary& set) { TemplateTableOf(DocumentKind::Waybill).send(owner, set); });
}

void frmNoteSetLM::AfterImport(bool registered) {
  if (registered) modified_ = true;
}

std::string frmNoteSetLM::TemplateSubFolder() const {
  return dataFrom_ == 1 ? "ExcelPrint\\LogicExcelRefForBill\\" : "ExcelPrint\\LogicExcelRef\\";
}


bool frmNoteSetLM::SelectedTemplateIsXlsx() const {
  return host::IsLogisticTemplateXlsx(Props(), CurrentCourierId(), dataFrom_);
}

void frmNoteSetLM::OnCourierEnter(int index) {
  if (index != 0) return;
  rememberedText_ = courierText_;
}

void frmNoteSetLM::OnCourierCommit(int index, const std::string& text) {
  if (index != 0) return;
  courierText_ = text;
  if (courierText_ == rememberedText_) return;
  if (SaveGrid(CourierIdOf(rememberedText_))) {
    rememberedText_ = courierText_;
    ReloadRows();
  } else {
    courierText_ = rememberedText_;  // the previous company and its rows stay
  }
}

void frmNoteSetLM::OnCourierChange(int index, const std::string& text) {
  if (index != 0) return;
  courierText_ = text;
  if (courierText_ == rememberedText_) return;
  rememberedText_ = courierText_;
  ReloadRows();
}

void frmNoteSetLM::ClickButton(int index) {
  if (index != kCouriers) {
    NoteSetForm::ClickButton(index);
    return;
  }
  if (!SaveGrid(0)) return;
  try {
    frmLogistic couriers;
    couriers.SetPropsString(Props());
    ShowFormModal(couriers);
    FillCourierLookup();
    LoadRows();
  } catch (const std::exception& e) {
    ShowCritical(ErrorText(e));
  }
}

}  // namespace vemo::setup
