// The real engine jobs: one adapter over the engine MakeEngine(kind) gives.
// Members that only some engines have are forwarded when the engine has them.
#include "actions/engine_job.h"
#include "engine/excel_operater.h"
#include "foundation/host_error.h"

namespace vemo::actions {
namespace {

class EngineAdapter final : public EngineJob {
 public:
  explicit EngineAdapter(std::unique_ptr<engine::TemplateEngine> engine)
      : engine_(std::move(engine)),
        inputs_(dynamic_cast<engine::LabelAndReportInputs*>(engine_.get())),
        waybill_(dynamic_cast<engine::ExcelOperaterLM*>(engine_.get())) {}

  void SetFileAllName(const std::string& path) override { engine_->SetFileAllName(path); }
  void SetDataSrv(const ObjectRef& dataService) override { engine_->SetDataSrv(dataService); }
  void SetData(const ObjectRef& billData) override { engine_->SetData(billData); }
  void SetTableInfo(const ObjectRef& fieldDictionary) override { engine_->SetTableInfo(fieldDictionary); }

  void SetRptHeadData(const ObjectRef& headValues) override { Inputs("RptHeadData").SetRptHeadData(headValues); }
  void SetRptEntryData(const RecordsetRef& rows) override { Inputs("RptEntryData").SetRptEntryData(rows); }
  void SetDataSourceType(std::int32_t type) override { Inputs("DataSourceType").SetDataSourceType(type); }
  void SetPrintData(const ObjectRef& bills) override { Inputs("PrintData").SetPrintData(bills); }
  void SetItemInfoDict(const ObjectRef& itemValues) override { Inputs("ItemInfoDict").SetItemInfoDict(itemValues); }
  void SetPrintHandlerType(const std::string& type) override { Inputs("PrintHandlerType").SetPrintHandlerType(type); }
  void SetDataFrom(std::int32_t dataFrom) override {
    if (!waybill_) Missing("dataFrom");
    waybill_->SetDataFrom(dataFrom);
  }

  bool ExportSingleRecordDataToExcel() override { return engine_->ExportSingleRecordDataToExcel(); }
  bool ValidateTemplate(const std::string& path, std::int32_t id) override { return engine_->ValidateTemplate(path, id); }
  bool OpenExcel() override { return engine_->OpenExcel(); }
  bool PrintPreview() override { return engine_->PrintPreview(); }
  bool PrintTo() override { return engine_->PrintTo(); }

  std::string GetPictureFile(const std::string& id) override { return Inputs("GetPictureFile").GetPictureFile(id); }
  bool CreateBarCode(const std::string& barCode, const std::string& picturePath) override {
    return Inputs("CreateBarCode").CreateBarCode(barCode, picturePath);
  }
  std::string GetQRCodePictureInfo(const std::string& itemId, const std::string& qrCode,
                                   const std::string& picturePath) override {
    return Inputs("GetQRCodePictureInfo").GetQRCodePictureInfo(itemId, qrCode, picturePath);
  }

 private:
  [[noreturn]] static void Missing(const char* member) {
    throw HostError(HostError::kGeneric, std::string("the template engine has no member ") + member);
  }
  engine::LabelAndReportInputs& Inputs(const char* member) const {
    if (!inputs_) Missing(member);
    return *inputs_;
  }

  std::unique_ptr<engine::TemplateEngine> engine_;
  engine::LabelAndReportInputs* inputs_;
  engine::ExcelOperaterLM* waybill_;
};

}  // namespace

std::unique_ptr<EngineJob> CreateRealEngineJob(DocumentKind kind) {
  return std::make_unique<EngineAdapter>(engine::MakeEngine(kind));
}

}  // namespace vemo::actions
