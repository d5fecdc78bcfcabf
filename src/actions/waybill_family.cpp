// The waybill family (ExportActionLM): templates of T_PrintExportLM by
// courier company and data source.
#include "actions/action_family.h"
#include "actions/action_messages.h"
#include "context/login.h"
#include "foundation/creation_service.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host/store/template_store.h"

namespace vemo::actions::detail {
namespace {

// The courier company of the waybill: FLogisticID of a bill (dataFrom 1),
// else FID of the logistics screen's data; 0 when absent.
std::int32_t CourierKey(const ActionInputs& in) {
  auto values = std::dynamic_pointer_cast<HostDictionary>(in.data);
  if (!values) return 0;
  const Variant key = values->Value(in.dataFrom == 1 ? "FLogisticID" : "FID");
  return key.IsEmpty() ? 0 : key.ToInt32();
}

class WaybillFamily final : public ActionFamily {
 public:
  EngineKind Engine() const override { return EngineKind::Logistics; }
  FileExportStyle FileExport() const override { return FileExportStyle::StraightToFile; }
  bool ChecksSpreadsheetOnPrint() const override { return false; }
  std::string_view LogCode() const override { return text::kLogCodeWaybill; }

  bool WorkingTemplateIsXlsx(const ActionInputs& in) const override { return ExportTemplateIsXlsx(in); }
  bool ExportTemplateIsXlsx(const ActionInputs& in) const override {
    return host::IsLogisticTemplateXlsx(context::GetPropsString(), CourierKey(in), in.dataFrom);
  }
  ExportDialogTexts ExportDialog(const ActionInputs& in) const override {
    return {text::kPrintFileExportTitle, text::kPrintFileFilterXlsx, text::kPrintFileFilterXls,
            in.dataFrom == 1 ? "ExcelPrint\\LogicExcelRefForBill" : "ExcelPrint\\LogicExcelRef"};
  }

  DictionaryRef QueryTemplateSet(const ActionInputs& in) const override {
    auto set = CreateObjectAs<host::IPrintSetupQueryLM>(host::progid::kPrintSetupQueryLM)
                   ->GetNotePrintData(context::GetPropsString(), std::to_string(CourierKey(in)), in.dataFrom, "");
    if (!set || set->Count() == 0)
      throw host::SourcedHostError(HostError::kKeyNotFound, "VemoPrintExport.ExportActionLM.GetCurrNoteInfo",
                                   std::string(text::kNoTemplateInfo));
    return set;
  }
  bool ValidateTemplate(EngineJob& engine, const std::string& file, const ActionInputs& in) const override {
    return engine.ValidateTemplate(file, in.classTypeId);
  }
  void HandOverBillData(EngineJob& engine, const ActionInputs& in) const override {
    engine.SetDataFrom(in.dataFrom);
    if (in.dataFrom == 1) {
      engine.SetDataSrv(in.dataSrv);
      engine.SetTableInfo(in.tableInfo);
    }
    engine.SetData(in.data);
  }
};

}  // namespace

std::unique_ptr<ActionFamily> MakeWaybillFamily() { return std::make_unique<WaybillFamily>(); }

}  // namespace vemo::actions::detail
