#include "setup/export_action_setup.h"

#include "context/desktop.h"
#include "context/login.h"
#include "context/spreadsheet_detection.h"
#include "foundation/creation_service.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host/store/template_store.h"
#include "setup/setup_messages.h"

namespace vemo::setup {
namespace {

// Runs a member and raises what it caught to the host with the same number,
// source and description.
template <class F>
auto Reraised(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const host::SourcedHostError&) {
    throw;
  } catch (const HostError& e) {
    throw host::SourcedHostError(e.Number(), "", e.Description());
  } catch (const std::exception& e) {
    throw host::SourcedHostError(HostError::kGeneric, "", e.what());
  }
}

bool SpreadsheetCheck() {
  if (context::IsSpreadsheetAppAvailable()) return true;
  context::CurrentDesktop().MessageBox(msg::kNoSpreadsheetApp, context::vbInformation, std::string(context::kMessageTitle));
  return false;
}

}  // namespace

frmNoteSet& SharedNoteSetForm() {
  static frmNoteSet form;
  return form;
}

frmNoteSetRpt& SharedNoteSetRptForm() {
  static frmNoteSetRpt form;
  return form;
}

frmNoteSetLM& SharedNoteSetLMForm() {
  static frmNoteSetLM form;
  return form;
}

void SetupProperties::SetDataSrv(const ObjectRef& dataSrv) {
  Reraised([&] {
    auto service = std::dynamic_pointer_cast<host::BillDataService>(dataSrv);
    if (!service) throw HostError(HostError::kObjectRequired, "DataSrv is not the bill's data service");
    if (!service->classtype() || !service->classtype()->Lookup("FID"))
      throw HostError(HostError::kKeyNotFound, "the classtype of DataSrv has no entry FID");
    billType_ = service->classtype()->Item("FID").ToInt32();
    dataSrv_ = std::move(service);
  });
}

DictionaryRef ExportActionSetup::GetCurrNote() {
  return Reraised([&] {
    return CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)->GetCurrNote(context::GetPropsString(), billType_);
  });
}

void ExportActionSetup::NotePrintSetup(bool) {
  Reraised([&] {
    frmNoteSet& form = SharedNoteSetForm();
    form.SetDataSrv(dataSrv_);
    if (!dataSrv_) throw HostError(HostError::kObjectRequired, "set DataSrv before NotePrintSetup");
    form.SetNoteTypeName(dataSrv_->classtype()->Value("FName").ToText());
    auto query = CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery);
    form.SetDctNoteInfo(query->GetNoteInfo(context::GetPropsString(), billType_));
    form.SetBillType(billType_);
    // The dialog keeps the mode it was last given.
    if (SpreadsheetCheck()) ShowFormModal(form);
  });
}

void SetupProperties::OpenReportDialog(BillOrReportNoteSet& form, std::string_view queryProgId) const {
  Reraised([&] {
    if (rptId_ == 0) return;
    form.SetRptID(rptId_);
    form.SetRptName(rptName_);
    form.SetDataSourceType(dataSourceType_);
    form.SetDctNoteInfo(CreateObjectAs<host::IPrintSetupQuery>(queryProgId)->GetRptNoteInfo(context::GetPropsString(), rptId_));
    ShowFormModal(form);
  });
}

void ExportActionSetup::RptExcelPrintSetup() { OpenReportDialog(SharedNoteSetForm(), host::progid::kPrintSetupQuery); }

DictionaryRef ExportActionSetupRpt::GetCurrNote() {
  return Reraised([&] {
    return CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQueryRpt)->GetCurrNote(context::GetPropsString(), rptId_);
  });
}

void ExportActionSetupRpt::RptExcelPrintSetup() {
  OpenReportDialog(SharedNoteSetRptForm(), host::progid::kPrintSetupQueryRpt);
}

void ExportActionSetupLM::SetDataFrom(std::int32_t value) {
  dataFrom_ = value;
  if (value == 1) billType_ = 2000002;
}

void ExportActionSetupLM::NotePrintSetup(bool) {
  Reraised([&] {
    frmNoteSetLM& form = SharedNoteSetLMForm();
    form.SetNoteTypeName(dataFrom_ == 1 ? "快递单打印设置" : "物流单打印设置");
    form.SetBillType(billType_);
    form.SetDataFrom(dataFrom_);
    if (SpreadsheetCheck()) ShowFormModal(form);
  });
}

}  // namespace vemo::setup
