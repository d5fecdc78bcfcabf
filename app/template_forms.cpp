#include "template_forms.h"

#include <iostream>

#include "setup/setup_grid.h"

#include "command_registry.h"
#include "foundation/creation_service.h"
#include "host/components/bill_data_service.h"
#include "host/components/class_info.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "setup/note_set_bill_form.h"
#include "setup/note_set_lm_form.h"

namespace vemo::app {
namespace {

// The display name of a bill type, "" when the account does not know it.
std::string BillTypeName(const std::string& props, std::int32_t billType) {
  try {
    auto rows = CreateObjectAs<host::IClassInfo>(host::progid::kClassInfo)
                    ->GetData(props, "select FName from t_ClassType where FID=" + std::to_string(billType));
    if (rows && !rows->Eof()) return rows->Field("FName").ToText();
  } catch (const std::exception&) {
  }
  return "";
}

// The engines' check, installed at start-up (session_setup.cpp).
setup::TemplateValidator CommandLineValidator(DocumentKind kind, std::int32_t dataSourceType) {
  return setup::ProvidedTemplateValidator(kind, dataSourceType);
}

std::unique_ptr<setup::NoteSetForm> BillForm(const TemplateTarget& t, const std::string& props) {
  auto form = std::make_unique<setup::frmNoteSet>();
  const std::string name = BillTypeName(props, t.owner);
  auto classtype = HostDictionary::Create();
  classtype->Add("FID", t.owner);
  classtype->Add("FName", name);
  form->SetDataSrv(std::make_shared<host::BillDataService>(classtype, HostVector::Create(), t.owner, props));
  form->SetDataSourceType(0);
  form->SetBillType(t.owner);
  form->SetNoteTypeName(name);
  form->SetDctNoteInfo(CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)->GetNoteInfo(props, t.owner));
  form->SetValidator(CommandLineValidator(DocumentKind::Bill, 0));
  return form;
}

std::unique_ptr<setup::NoteSetForm> ReportForm(const TemplateTarget& t, const std::string& props) {
  auto form = std::make_unique<setup::frmNoteSetRpt>();
  form->SetDataSourceType(1);
  form->SetRptID(t.owner);
  form->SetDctNoteInfo(CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQueryRpt)->GetRptNoteInfo(props, t.owner));
  form->SetValidator(CommandLineValidator(DocumentKind::Report, 1));
  return form;
}

void ChooseCourier(setup::frmNoteSetLM& form, std::int32_t courier) {
  if (form.CurrentCourierId() == courier) return;
  for (const auto& entry : form.CourierEntries()) {
    if (host::KeyField(entry, "|", 1) == std::to_string(courier)) {
      form.OnCourierChange(0, entry);
      return;
    }
  }
  std::string offered;
  for (const auto& entry : form.CourierEntries()) offered += " " + entry;
  throw UsageError("courier company " + std::to_string(courier) + " is not among the shown courier companies (name|id:" +
                   offered + ")");
}

}  // namespace

OpenTemplateForm LoadTemplateForm(const TemplateTarget& t, const std::string& props) {
  OpenTemplateForm open;
  open.grid = std::make_shared<setup::ScriptedGrid>();
  setup::frmNoteSetLM* waybill = nullptr;
  switch (t.family) {
    case DocumentKind::Bill: open.form = BillForm(t, props); break;
    case DocumentKind::Report: open.form = ReportForm(t, props); break;
    case DocumentKind::Waybill: {
      auto form = std::make_unique<setup::frmNoteSetLM>();
      form->SetDataFrom(t.dataFrom);
      form->SetBillType(t.dataFrom == 1 ? 2000002 : 2000001);
      form->SetValidator(CommandLineValidator(DocumentKind::Waybill, 0));
      waybill = form.get();
      open.form = std::move(form);
      break;
    }
  }
  open.form->SetPropsString(props);
  open.form->AttachGrid(open.grid);
  open.form->Load();
  if (waybill && !waybill->IsClosed()) ChooseCourier(*waybill, t.owner);
  return open;
}

int TemplateIdOfRow(const setup::SetupGrid& grid, int row) {
  return static_cast<int>(LeadingNumber(host::KeyField(grid.CellText(row, setup::kColKey), "|", 1)));
}

int RowOfTemplate(const setup::SetupGrid& grid, int id) {
  for (int row = 1; row <= grid.RowCount(); ++row)
    if (TemplateIdOfRow(grid, row) == id) return row;
  return 0;
}

}  // namespace vemo::app

namespace vemo::app {

RegisteredTemplate RegisterTemplateFile(OpenTemplateForm& open, const std::string& file, const std::string& subType) {
  RegisteredTemplate result;
  if (!open.form->ImportTemplateFile(file)) return result;
  const int row = open.grid->RowCount();
  if (!subType.empty()) open.grid->UserChooseText(row, setup::kColType, subType);
  if (!open.form->SaveGrid()) return result;
  result.registered = true;
  result.id = TemplateIdOfRow(*open.grid, row);
  result.name = open.grid->CellText(row, setup::kColName);
  result.selected = setup::CellNumber(*open.grid, row, setup::kColFlag) != 0;
  return result;
}

std::string TemplateInUse(const std::string& props, const TemplateTarget& target, const std::string& subType) {
  try {
    const std::string key = std::to_string(target.owner) + "||" + subType;
    auto set = host::QueryTemplateSet(props, target.family, key, target.dataFrom);
    auto entry = set->ItemAt(1).AsObject<HostVector>();
    return "template " + host::KeyField(set->Key(1), "|", 1) + " (" + (entry ? entry->Item(1).ToText() : "") + ")";
  } catch (const std::exception&) {
    return "no template (select one " + (subType.empty() ? std::string() : "of " + subType + ", or one ") +
           "without a sub-type)";
  }
}

}  // namespace vemo::app
