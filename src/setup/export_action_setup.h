// The public setup classes the host creates to open the template setup
// dialogs and to ask for the current templates:
//   ExportActionSetup     bill screens (frmNoteSet), and reports through it
//   ExportActionSetupRpt  report screens (frmNoteSetRpt)
//   ExportActionSetupLM   waybill printing (frmNoteSetLM)
// Each works on the one shared instance of its dialog, created on first use;
// the dialogs are shown through the installed FormHost (form_host.h).
// Every member re-raises errors to the host as HostError with the number,
// source and description it caught.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/host_collections.h"
#include "setup/note_set_bill_form.h"
#include "setup/note_set_lm_form.h"

namespace vemo::setup {

// The shared dialog instances.
frmNoteSet& SharedNoteSetForm();
frmNoteSetRpt& SharedNoteSetRptForm();
frmNoteSetLM& SharedNoteSetLMForm();

// The properties the bill and report setup classes share.
class SetupProperties {
 public:
  void SetDataSourceType(std::int32_t value) { dataSourceType_ = value; }
  void SetRptName(std::string value) { rptName_ = std::move(value); }
  void SetRptID(std::int32_t value) { rptId_ = value; }
  void SetTemplateID(std::string value) { templateId_ = std::move(value); }  // kept, not read
  void SetParentHwnd(std::int32_t value) { parentHwnd_ = value; }            // kept, not read
  // Keeps the data service and billType = the FID of its classtype; raises
  // when the data service has no classtype with an FID.
  void SetDataSrv(const ObjectRef& dataSrv);

  std::int32_t billType() const { return billType_; }

 protected:
  // Report setup on `form`: nothing when RptID is 0; otherwise the report
  // properties, the report's templates from the query component, and the
  // dialog shown (it checks for a spreadsheet application itself).
  void OpenReportDialog(BillOrReportNoteSet& form, std::string_view queryProgId) const;

  std::int32_t dataSourceType_ = 0;
  std::string rptName_;
  std::int32_t rptId_ = 0;
  std::string templateId_;
  std::int32_t parentHwnd_ = 0;
  std::shared_ptr<host::BillDataService> dataSrv_;
  std::int32_t billType_ = 0;
};

class ExportActionSetup : public SetupProperties {
 public:
  // GetCurrNote(props, billType) of clsPrintSetupQuery, unchanged.
  DictionaryRef GetCurrNote();
  // The bill dialog for the data service's bill type; without a spreadsheet
  // application only the message is shown. `flg` is not used.
  void NotePrintSetup(bool flg = false);
  // The bill dialog in report mode; nothing when RptID is 0.
  void RptExcelPrintSetup();
};

class ExportActionSetupRpt : public SetupProperties {
 public:
  // GetCurrNote(props, RptID) of clsPrintSetupQueryRpt, unchanged.
  DictionaryRef GetCurrNote();
  // The report dialog; nothing when RptID is 0.
  void RptExcelPrintSetup();
};

class ExportActionSetupLM {
 public:
  std::int32_t dataFrom() const { return dataFrom_; }
  // 1 switches the waybill type to 2000002; 0 leaves it as it is.
  void SetDataFrom(std::int32_t value);
  std::int32_t billType() const { return billType_; }
  // The waybill dialog; without a spreadsheet application only the message.
  void NotePrintSetup(bool flg = false);

 private:
  std::int32_t dataFrom_ = 0;
  std::int32_t billType_ = 2000001;
};

}  // namespace vemo::setup
