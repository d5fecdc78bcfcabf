// The bill and report template dialogs: frmNoteSet (bill screens, and
// reports through the bill dialog) and frmNoteSetRpt (report screens). Both
// work in bill mode (DataSourceType 0) or report mode (1) on the rows the
// opener loaded into dctNoteInfo; any other mode leaves the mode-dependent
// steps out (no key, no component call).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "host/components/bill_data_service.h"
#include "setup/note_set_form.h"

namespace vemo::setup {

class BillOrReportNoteSet : public NoteSetForm {
 public:
  std::int32_t DataSourceType() const { return dataSourceType_; }
  void SetDataSourceType(std::int32_t value) { dataSourceType_ = value; }
  std::int32_t RptID() const { return rptId_; }
  void SetRptID(std::int32_t value) { rptId_ = value; }
  const std::string& RptName() const { return rptName_; }
  void SetRptName(std::string value) { rptName_ = std::move(value); }
  const DictionaryRef& dctNoteInfo() const { return noteInfo_; }
  void SetDctNoteInfo(DictionaryRef value) { noteInfo_ = std::move(value); }
  // Accepted and kept; nothing reads it.
  const DictionaryRef& CurrNoteInfo() const { return currNoteInfo_; }
  void SetCurrNoteInfo(DictionaryRef value) { currNoteInfo_ = std::move(value); }

 protected:
  using NoteSetForm::NoteSetForm;

  bool BillMode() const { return dataSourceType_ == 0; }
  bool ReportMode() const { return dataSourceType_ == 1; }

  std::string BuildSubTypeList() const override;
  std::string BuildTypeText() const override;
  void LoadRows() override;
  std::optional<DocumentKind> TableKind() const override;
  TemplateOwner Owner() const override;
  std::int32_t EngineDataSourceType() const override { return dataSourceType_; }
  // The selected report template's name, read through the class data service.
  bool SelectedReportTemplateIsXlsx() const;

 private:
  std::int32_t dataSourceType_ = 0;
  std::int32_t rptId_ = 0;
  std::string rptName_;
  DictionaryRef noteInfo_;
  DictionaryRef currNoteInfo_;
};

// The bill dialog. In bill mode the export filter comes from the bill's
// data service.
class frmNoteSet : public BillOrReportNoteSet {
 public:
  frmNoteSet();
  const std::shared_ptr<host::BillDataService>& DataSrv() const { return dataSrv_; }
  void SetDataSrv(std::shared_ptr<host::BillDataService> value) { dataSrv_ = std::move(value); }

 protected:
  bool SelectedTemplateIsXlsx() const override;

 private:
  std::shared_ptr<host::BillDataService> dataSrv_;
};

// The report dialog: in report mode the type column shows a row's FTypeSub,
// and only report mode reads the selected template for the export filter.
class frmNoteSetRpt : public BillOrReportNoteSet {
 public:
  frmNoteSetRpt();

 protected:
  std::string RowSubTypeOf(const HostDictionary& row) const override;
  bool SelectedTemplateIsXlsx() const override;
};

}  // namespace vemo::setup
