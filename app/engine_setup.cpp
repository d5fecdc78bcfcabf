#include "engine_setup.h"

#include "command_registry.h"

namespace vemo::app {

void CheckEngineName(const std::string& engineName) {
  if (engineName != "bill" && engineName != "report" && engineName != "waybill")
    throw UsageError("--engine must be bill, report or waybill, not \"" + engineName + "\"");
}

std::unique_ptr<engine::TemplateEngine> EngineForRequest(const std::string& engineName, const Request& request) {
  const DocumentKind kind = engineName == "waybill" ? DocumentKind::Waybill
                            : engineName == "report" ? DocumentKind::Report
                                                     : DocumentKind::Bill;
  std::unique_ptr<engine::TemplateEngine> made = engine::MakeEngine(kind);
  if (auto* waybill = dynamic_cast<engine::ExcelOperaterLM*>(made.get())) {
    waybill->SetDataFrom(request.dataFrom);
    return made;
  }
  auto* engine = dynamic_cast<engine::LabelAndReportInputs*>(made.get());
  const bool isReport = engineName == "report" || request.dataSourceType == 1;
  engine->SetDataSourceType(isReport ? 1 : request.dataSourceType);
  if (request.rptHeadData) engine->SetRptHeadData(request.rptHeadData);
  if (request.rptEntryData) engine->SetRptEntryData(request.rptEntryData);
  if (request.itemInfoDict && !request.dataSrv && !isReport) {
    engine->SetPrintHandlerType("1");
    engine->SetItemInfoDict(request.itemInfoDict);
  }
  if (request.printData) engine->SetPrintData(request.printData);
  return made;
}

void GiveBill(engine::TemplateEngine& engine, const Request& request) {
  if (request.dataSrv) engine.SetDataSrv(request.dataSrv);
  if (request.data) engine.SetData(request.data);
  if (request.tableInfo) engine.SetTableInfo(request.tableInfo);
}

}  // namespace vemo::app
