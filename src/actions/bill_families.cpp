// The bill family (ExportAction) and the report family (ExportActionRpt),
// which is the bill family with the report template table.
#include "actions/action_family.h"
#include "actions/action_messages.h"
#include "context/login.h"
#include "foundation/creation_service.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host/store/template_store.h"
#include "actions/template_sub_type.h"

namespace vemo::actions::detail {
namespace {

// The bill head field whose display text names the template's sub-type.
const char* SubTypeFieldOf(std::int32_t classTypeId) {
  switch (classTypeId) {
    case 1020002:
    case 1030002: return "FInvoiceType";
    case 1050001:
    case 1050002:
    case 1050003:
    case 1050004:
    case 1050005:
    case 1040007: return "FBillTypeId";
    default: return nullptr;
  }
}

}  // namespace

// The display text (FDSP) of the sub-type field on the bill's head page;
// "" when the bill type has no sub-types or the bill does not carry it.
std::string BillSubTypeName(const ActionInputs& in) {
  const char* fieldKey = SubTypeFieldOf(in.classTypeId);
  auto cell = fieldKey ? HeadCell(in, fieldKey) : nullptr;
  return cell ? cell->Value("FDSP").ToText() : std::string();
}

namespace {

class BillFamily : public ActionFamily {
 public:
  EngineKind Engine() const override { return EngineKind::Bill; }
  FileExportStyle FileExport() const override { return FileExportStyle::TimedWorkingCopy; }
  bool ChecksSpreadsheetOnPrint() const override { return true; }
  std::string_view LogCode() const override { return text::kLogCodeBill; }

  bool WorkingTemplateIsXlsx(const ActionInputs& in) const override {
    return host::IsBillTemplateXlsx(context::GetPropsString(), in.classTypeId, in.labelMode);
  }
  bool ExportTemplateIsXlsx(const ActionInputs& in) const override {
    switch (in.dataSourceType) {
      case 0:  // item labels are always .xlsx and come without a bill data service
        return in.labelMode == 1 ||
               host::IsBillTemplateXlsx(context::GetPropsString(), DataSrvClassTypeID(in), in.labelMode);
      case 1: return host::IsReportTemplateXlsx(context::GetPropsString(), in.rptId, in.labelMode);
      default: return false;
    }
  }
  ExportDialogTexts ExportDialog(const ActionInputs&) const override {
    return {text::kBillExportTitle, text::kBillFilterXlsx, text::kBillFilterXls, "ExcelPrint"};
  }

  DictionaryRef QueryTemplateSet(const ActionInputs& in) const override {
    const std::string props = context::GetPropsString();
    switch (in.dataSourceType) {
      case 0:
        return CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)
            ->GetNotePrintData(props, std::to_string(DataSrvClassTypeID(in)), BillSubTypeName(in));
      case 1:
        return CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)
            ->GetRptNotePrintData(props, std::to_string(in.rptId), "");
      default: return nullptr;
    }
  }
  bool ValidateTemplate(EngineJob& engine, const std::string& file, const ActionInputs& in) const override {
    engine.SetDataSourceType(in.dataSourceType);
    switch (in.dataSourceType) {
      case 0: return engine.ValidateTemplate(file, in.classTypeId);
      case 1: return engine.ValidateTemplate(file, in.rptId);
      default: return true;  // written, not checked
    }
  }
  void HandOverBillData(EngineJob& engine, const ActionInputs& in) const override {
    engine.SetDataSrv(in.dataSrv);
    engine.SetData(in.data);
    engine.SetTableInfo(in.tableInfo);
  }
};

// Reports: templates of T_RptExcelPrintExport by report id; the sub-type is
// the report's partner kind. The working file of print, preview and mail
// still takes its extension from the bill check, as the bill family does.
class ReportFamily final : public BillFamily {
 public:
  EngineKind Engine() const override { return EngineKind::Report; }
  FileExportStyle FileExport() const override { return FileExportStyle::None; }

  bool ExportTemplateIsXlsx(const ActionInputs& in) const override {
    return host::IsReportTemplateXlsx(context::GetPropsString(), in.rptId, in.labelMode);
  }
  ExportDialogTexts ExportDialog(const ActionInputs&) const override {
    return {text::kPrintFileExportTitle, text::kPrintFileFilterXlsx, text::kPrintFileFilterXls, "ExcelPrint"};
  }
  DictionaryRef QueryTemplateSet(const ActionInputs& in) const override {
    return CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQueryRpt)
        ->GetRptNotePrintData(context::GetPropsString(), std::to_string(in.rptId), ReportSubTypeName(in));
  }
  bool ValidateTemplate(EngineJob& engine, const std::string& file, const ActionInputs& in) const override {
    engine.SetDataSourceType(in.dataSourceType);
    return engine.ValidateTemplate(file, in.rptId);
  }

 private:
  // "客户" when the head values hold 0 under ByItem, otherwise "供应商".
  static std::string ReportSubTypeName(const ActionInputs& in) {
    auto head = std::dynamic_pointer_cast<HostDictionary>(in.rptHeadData);
    if (!head) throw HostError(HostError::kObjectRequired, "the report head values (RptHeadData) must be set before printing");
    const Variant byItem = head->Value("ByItem");
    return byItem.IsNumeric() && byItem.ToNumber() == 0 ? "客户" : "供应商";
  }
};

}  // namespace

std::unique_ptr<ActionFamily> MakeBillFamily() { return std::make_unique<BillFamily>(); }
std::unique_ptr<ActionFamily> MakeReportFamily() { return std::make_unique<ReportFamily>(); }

}  // namespace vemo::actions::detail

namespace vemo::actions {

std::string BillTemplateSubType(const ObjectRef& dataSrv, const ObjectRef& data, const ObjectRef& tableInfo) {
  detail::ActionInputs in;
  in.dataSrv = dataSrv;
  in.data = data;
  in.tableInfo = tableInfo;
  in.classTypeId = dataSrv ? detail::DataSrvClassTypeID(in) : 0;
  return detail::BillSubTypeName(in);
}

}  // namespace vemo::actions
