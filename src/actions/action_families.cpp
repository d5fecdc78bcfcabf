// What differs between the bill, report and waybill export actions: one
// table (kFamilies) and the functions it names.
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

// --- Bills (ExportAction): templates of the bill type, or of the report for
// data source type 1; item labels (label mode 1) are always .xlsx.

bool BillWorkingIsXlsx(const ActionInputs& in) {
  return host::IsBillTemplateXlsx(context::GetPropsString(), in.classTypeId, in.labelMode);
}

bool BillExportIsXlsx(const ActionInputs& in) {
  switch (in.dataSourceType) {
    case 0:  // item labels come without a bill data service
      return in.labelMode == 1 ||
             host::IsBillTemplateXlsx(context::GetPropsString(), DataSrvClassTypeID(in), in.labelMode);
    case 1: return host::IsReportTemplateXlsx(context::GetPropsString(), in.rptId, in.labelMode);
    default: return false;
  }
}

DictionaryRef BillTemplateSet(const ActionInputs& in) {
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

bool BillValidate(EngineJob& engine, const std::string& file, const ActionInputs& in) {
  engine.SetDataSourceType(in.dataSourceType);
  switch (in.dataSourceType) {
    case 0: return engine.ValidateTemplate(file, in.classTypeId);
    case 1: return engine.ValidateTemplate(file, in.rptId);
    default: return true;  // written, not checked
  }
}

void BillHandOver(EngineJob& engine, const ActionInputs& in) {
  engine.SetDataSrv(in.dataSrv);
  engine.SetData(in.data);
  engine.SetTableInfo(in.tableInfo);
}

// --- Reports (ExportActionRpt): templates of T_RptExcelPrintExport by report
// id; the sub-type is the report's partner kind. The working file of print,
// preview and mail still takes its extension from the bill check.

bool ReportExportIsXlsx(const ActionInputs& in) {
  return host::IsReportTemplateXlsx(context::GetPropsString(), in.rptId, in.labelMode);
}

// "客户" when the head values hold 0 under ByItem, otherwise "供应商".
std::string ReportSubTypeName(const ActionInputs& in) {
  auto head = std::dynamic_pointer_cast<HostDictionary>(in.rptHeadData);
  if (!head) throw HostError(HostError::kObjectRequired, "the report head values (RptHeadData) must be set before printing");
  const Variant byItem = head->Value("ByItem");
  return byItem.IsNumeric() && byItem.ToNumber() == 0 ? "客户" : "供应商";
}

DictionaryRef ReportTemplateSet(const ActionInputs& in) {
  return CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQueryRpt)
      ->GetRptNotePrintData(context::GetPropsString(), std::to_string(in.rptId), ReportSubTypeName(in));
}

bool ReportValidate(EngineJob& engine, const std::string& file, const ActionInputs& in) {
  engine.SetDataSourceType(in.dataSourceType);
  return engine.ValidateTemplate(file, in.rptId);
}

// --- Waybills (ExportActionLM): templates of T_PrintExportLM by courier
// company and data source.

// The courier company of the waybill: FLogisticID of a bill (dataFrom 1),
// else FID of the logistics screen's data; 0 when absent.
std::int32_t CourierKey(const ActionInputs& in) {
  auto values = std::dynamic_pointer_cast<HostDictionary>(in.data);
  if (!values) return 0;
  const Variant key = values->Value(in.dataFrom == 1 ? "FLogisticID" : "FID");
  return key.IsEmpty() ? 0 : key.ToInt32();
}

bool WaybillIsXlsx(const ActionInputs& in) {
  return host::IsLogisticTemplateXlsx(context::GetPropsString(), CourierKey(in), in.dataFrom);
}

std::string WaybillExportFolder(const ActionInputs& in) {
  return in.dataFrom == 1 ? "ExcelPrint\\LogicExcelRefForBill" : "ExcelPrint\\LogicExcelRef";
}

DictionaryRef WaybillTemplateSet(const ActionInputs& in) {
  auto set = CreateObjectAs<host::IPrintSetupQueryLM>(host::progid::kPrintSetupQueryLM)
                 ->GetNotePrintData(context::GetPropsString(), std::to_string(CourierKey(in)), in.dataFrom, "");
  if (!set || set->Count() == 0)
    throw host::SourcedHostError(HostError::kKeyNotFound, "VemoPrintExport.ExportActionLM.GetCurrNoteInfo",
                                 std::string(text::kNoTemplateInfo));
  return set;
}

bool WaybillValidate(EngineJob& engine, const std::string& file, const ActionInputs& in) {
  return engine.ValidateTemplate(file, in.classTypeId);
}

void WaybillHandOver(EngineJob& engine, const ActionInputs& in) {
  engine.SetDataFrom(in.dataFrom);
  if (in.dataFrom == 1) {
    engine.SetDataSrv(in.dataSrv);
    engine.SetTableInfo(in.tableInfo);
  }
  engine.SetData(in.data);
}

std::string ExcelPrintFolder(const ActionInputs&) { return "ExcelPrint"; }

// The three families side by side, in DocumentKind's order.
const ActionFamily kFamilies[] = {
    {.kind = DocumentKind::Bill,
     .fileExport = FileExportStyle::TimedWorkingCopy,
     .checksSpreadsheetOnPrint = true,
     .logCode = text::kLogCodeBill,
     .exportTitle = text::kBillExportTitle,
     .filterXlsx = text::kBillFilterXlsx,
     .filterXls = text::kBillFilterXls,
     .exportFolder = ExcelPrintFolder,
     .workingTemplateIsXlsx = BillWorkingIsXlsx,
     .exportTemplateIsXlsx = BillExportIsXlsx,
     .queryTemplateSet = BillTemplateSet,
     .validateTemplate = BillValidate,
     .handOverBillData = BillHandOver},
    {.kind = DocumentKind::Report,
     .fileExport = FileExportStyle::None,
     .checksSpreadsheetOnPrint = true,
     .logCode = text::kLogCodeBill,
     .exportTitle = text::kPrintFileExportTitle,
     .filterXlsx = text::kPrintFileFilterXlsx,
     .filterXls = text::kPrintFileFilterXls,
     .exportFolder = ExcelPrintFolder,
     .workingTemplateIsXlsx = BillWorkingIsXlsx,
     .exportTemplateIsXlsx = ReportExportIsXlsx,
     .queryTemplateSet = ReportTemplateSet,
     .validateTemplate = ReportValidate,
     .handOverBillData = BillHandOver},
    {.kind = DocumentKind::Waybill,
     .fileExport = FileExportStyle::StraightToFile,
     .checksSpreadsheetOnPrint = false,
     .logCode = text::kLogCodeWaybill,
     .exportTitle = text::kPrintFileExportTitle,
     .filterXlsx = text::kPrintFileFilterXlsx,
     .filterXls = text::kPrintFileFilterXls,
     .exportFolder = WaybillExportFolder,
     .workingTemplateIsXlsx = WaybillIsXlsx,
     .exportTemplateIsXlsx = WaybillIsXlsx,
     .queryTemplateSet = WaybillTemplateSet,
     .validateTemplate = WaybillValidate,
     .handOverBillData = WaybillHandOver},
};

}  // namespace

const ActionFamily& FamilyOf(DocumentKind kind) { return kFamilies[static_cast<int>(kind)]; }

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
