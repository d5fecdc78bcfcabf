// The real engine jobs: one adapter over the three engine classes. Members
// that only some engines have are forwarded when the engine has them.
#include <type_traits>

#include "actions/engine_job.h"
#include "engine/excel_operater.h"
#include "foundation/host_error.h"

namespace vemo::actions {
namespace {

template <class Engine>
class EngineAdapter final : public EngineJob {
  static constexpr bool kHasReportInputs = std::is_base_of_v<engine::LabelAndReportInputs, Engine>;
  static constexpr bool kIsWaybillEngine = std::is_same_v<Engine, engine::ExcelOperaterLM>;

 public:
  void SetFileAllName(const std::string& path) override { engine_.SetFileAllName(path); }
  void SetDataSrv(const ObjectRef& dataService) override { engine_.SetDataSrv(dataService); }
  void SetData(const ObjectRef& billData) override { engine_.SetData(billData); }
  void SetTableInfo(const ObjectRef& fieldDictionary) override { engine_.SetTableInfo(fieldDictionary); }

  void SetRptHeadData(const ObjectRef& headValues) override {
    if constexpr (kHasReportInputs) engine_.SetRptHeadData(headValues); else Missing("RptHeadData");
  }
  void SetRptEntryData(const RecordsetRef& rows) override {
    if constexpr (kHasReportInputs) engine_.SetRptEntryData(rows); else Missing("RptEntryData");
  }
  void SetDataSourceType(std::int32_t type) override {
    if constexpr (kHasReportInputs) engine_.SetDataSourceType(type); else Missing("DataSourceType");
  }
  void SetPrintData(const ObjectRef& bills) override {
    if constexpr (kHasReportInputs) engine_.SetPrintData(bills); else Missing("PrintData");
  }
  void SetItemInfoDict(const ObjectRef& itemValues) override {
    if constexpr (kHasReportInputs) engine_.SetItemInfoDict(itemValues); else Missing("ItemInfoDict");
  }
  void SetPrintHandlerType(const std::string& type) override {
    if constexpr (kHasReportInputs) engine_.SetPrintHandlerType(type); else Missing("PrintHandlerType");
  }
  void SetDataFrom(std::int32_t dataFrom) override {
    if constexpr (kIsWaybillEngine) engine_.SetDataFrom(dataFrom); else Missing("dataFrom");
  }

  bool ExportSingleRecordDataToExcel() override { return engine_.ExportSingleRecordDataToExcel(); }
  bool ValidateTemplate(const std::string& path, std::int32_t id) override { return engine_.ValidateTemplate(path, id); }
  bool OpenExcel() override { return engine_.OpenExcel(); }
  bool PrintPreview() override { return engine_.PrintPreview(); }
  bool PrintTo() override { return engine_.PrintTo(); }

  std::string GetPictureFile(const std::string& id) override {
    if constexpr (kHasReportInputs) return engine_.GetPictureFile(id); else Missing("GetPictureFile");
  }
  bool CreateBarCode(const std::string& barCode, const std::string& picturePath) override {
    if constexpr (kHasReportInputs) return engine_.CreateBarCode(barCode, picturePath); else Missing("CreateBarCode");
  }
  std::string GetQRCodePictureInfo(const std::string& itemId, const std::string& qrCode,
                                   const std::string& picturePath) override {
    if constexpr (kHasReportInputs) return engine_.GetQRCodePictureInfo(itemId, qrCode, picturePath);
    else Missing("GetQRCodePictureInfo");
  }

 private:
  [[noreturn]] static void Missing(const char* member) {
    throw HostError(HostError::kGeneric, std::string("the template engine has no member ") + member);
  }
  Engine engine_;
};

}  // namespace

std::unique_ptr<EngineJob> CreateRealEngineJob(EngineKind kind) {
  switch (kind) {
    case EngineKind::Bill: return std::make_unique<EngineAdapter<engine::ExcelOperater>>();
    case EngineKind::Report: return std::make_unique<EngineAdapter<engine::ExcelOperaterRpt>>();
    case EngineKind::Logistics: return std::make_unique<EngineAdapter<engine::ExcelOperaterLM>>();
  }
  return nullptr;
}

}  // namespace vemo::actions
