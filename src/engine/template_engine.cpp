// The fill driver and the public members shared by the three engines.
#include <exception>

#include "context/desktop.h"
#include "context/spreadsheet_detection.h"
#include "engine/engine_state.h"
#include "engine/excel_operater.h"
#include "engine/host_questions.h"
#include "engine/ignore_errors.h"
#include "engine/outside_cell_handler.h"
#include "engine/output/workbook_output.h"
#include "engine/pictures/pictures.h"
#include "engine/sheet_fill.h"
#include "engine/workbook_lifecycle.h"
#include "foundation/creation_service.h"
#include "foundation/utf8_text.h"

namespace vemo::engine {
namespace {

bool InputsComplete(const EngineState& state) {
  if (state.fileName.empty()) return false;
  if (state.variant.hasDataFrom) return state.billId >= 1 && (state.dataFrom != 1 || state.dataService);
  if (state.IsItemLabel()) return state.itemValues != nullptr;
  if (state.IsReport()) return state.reportHead && state.reportEntries;
  // Data source types other than 0 and 1 need nothing.
  return state.dataSourceType != 0 || (state.dataService && state.billId > 0);
}

// The expected text of cell B3 of the third sheet, or "" when nothing is
// expected (bills of a data source type other than 0 or 1).
std::string IdentificationText(const EngineState& state, std::int32_t id) {
  switch (state.variant.identification) {
    case IdentificationRule::TemplateId: return "FTemplateID=" + std::to_string(id);
    case IdentificationRule::ClassTypeId: return "FClassTypeID=" + std::to_string(id);
    case IdentificationRule::ByDataSourceType:
      if (state.dataSourceType == 0) return "FClassTypeID=" + std::to_string(id);
      if (state.dataSourceType == 1) return "FTemplateID=" + std::to_string(id);
      return "";
  }
  return "";
}

// Reads the outside cell handler's identifier and initialises it once.
void PrepareOutsideCellHandler(EngineState& state) {
  state.outsideCellHandler.clear();
  if (!state.variant.usesOutsideCellHandler) return;
  state.outsideCellHandler = Trim(ReadSystemProfile("IC", "ThirdPrintCom"));
  if (state.outsideCellHandler.empty()) return;
  IgnoreErrors([&] { CreateObjectAs<IOutsideCellHandler>(state.outsideCellHandler)->init(); });
}

void FillSheet(EngineState& state, host::IRange& range) {
  PrepareOutsideCellHandler(state);
  IgnoreErrors([&] { FillFormulaEntryCells(state, range); });
  IgnoreErrors([&] { ScanKeywordCells(state, range); });
}

// An empty first row 10 points high and an empty first column 1 wide.
void AddSheetMargins(host::IWorksheet& sheet) {
  sheet.Rows(1)->Insert(host::kShiftDown);
  sheet.Rows(1)->SetRowHeight(10);
  sheet.Columns(1)->Insert(host::kShiftToRight);
  sheet.Columns(1)->SetColumnWidth(1);
}

}  // namespace

TemplateEngine::TemplateEngine(const EngineVariant& variant) : state_(std::make_unique<EngineState>(variant)) {}
TemplateEngine::~TemplateEngine() = default;

const std::string& TemplateEngine::FileAllName() const { return state_->fileName; }
void TemplateEngine::SetFileAllName(std::string path) { state_->fileName = std::move(path); }

void TemplateEngine::SetDataSrv(const ObjectRef& dataService) {
  EngineState& state = *state_;
  auto service = std::dynamic_pointer_cast<host::BillDataService>(dataService);
  if (state.ValuesFromDataAlone()) return;  // not kept at all
  state.dataService = service;
  if (!service) return;
  IgnoreErrors([&] {
    const bool ofSourceBill = state.variant.hasDataFrom;
    const std::int32_t id =
        service->classtype() ? service->classtype()->Value(ofSourceBill ? "FBillTypeID" : "FID").ToInt32() : 0;
    (ofSourceBill ? state.billTypeId : state.classTypeId) = id;
  });
  state.classType = service->classtype();
  state.entryClassType = service->ClassTypeEntry();
}

void TemplateEngine::SetData(const ObjectRef& billData) {
  state_->billData = std::dynamic_pointer_cast<HostDictionary>(billData);
  state_->billId = 0;
  if (state_->billData && state_->billData->Lookup("FID"))
    state_->billId = ValueOr(0, [&] { return state_->billData->Value("FID").ToInt32(); });
}

void TemplateEngine::SetTableInfo(const ObjectRef& fieldDictionary) {
  state_->fieldDictionary = std::dynamic_pointer_cast<HostDictionary>(fieldDictionary);
  state_->answers.fields.clear();
  state_->answers.fieldsOf = nullptr;
}

bool TemplateEngine::ExportSingleRecordDataToExcel() {
  EngineState& state = *state_;
  if (!InputsComplete(state)) return false;
  state.answers = {};
  std::shared_ptr<host::IApplication> app;
  std::shared_ptr<host::IWorkbook> book;
  std::shared_ptr<host::IWorksheet> sheet;
  std::shared_ptr<host::IRange> range;
  try {
    app = std::dynamic_pointer_cast<host::IApplication>(context::GetSpreadsheetApp());
    if (!app) return false;
    state.application = app;
    app->SetDisplayAlerts(false);
    book = app->Workbooks()->Open(state.fileName);
    auto sheets = book->Worksheets();
    for (int i = sheets->Count(); i >= 2; --i) book->Sheets()->Item(i)->Delete();
    sheet = book->Worksheets()->Item(1);
    range = sheet->UsedRange();
    if (!state.IsItemLabel()) {
      ExpandEntryRows(state, *sheet, *range);
      // The used range again: a range whose first row is the template row
      // moves down past the copies inserted above it and would miss them;
      // the range taken now holds the template and every inserted line.
      range = sheet->UsedRange();
    }
    FillSheet(state, *range);
    if (state.variant.addsSheetMargins) AddSheetMargins(*sheet);
    const bool saved = SaveWorkbookFile(state, book, range, sheet);
    range.reset();
    sheet.reset();
    book.reset();
    app->Quit();
    state.application.reset();
    return saved;
  } catch (const std::exception&) {
    ReportCurrentError("filling " + state.fileName);
    if (app) TerminateSpreadsheetProcess(ValueOr(0, [&] { return app->Hwnd(); }));
    range.reset();
    sheet.reset();
    book.reset();
    IgnoreErrors([&] { app->Quit(); });
    state.application.reset();
    return false;
  }
}

bool TemplateEngine::ValidateTemplate(const std::string& path, std::int32_t id) {
  std::shared_ptr<host::IApplication> app;
  try {
    app = std::dynamic_pointer_cast<host::IApplication>(context::GetSpreadsheetApp());
    if (!app) return false;
    app->SetDisplayAlerts(false);
    auto book = app->Workbooks()->Open(path);
    const std::string expected = IdentificationText(*state_, id);
    bool valid = false;
    if (book->Worksheets()->Count() >= 3)
      valid = !expected.empty() && book->Worksheets()->Item(3)->Range("B3")->Text() == expected;
    book.reset();
    if (valid) {
      app->Quit();
      return true;
    }
    if (!expected.empty())
      context::ReportCause("the template " + path + " is not the one registered for this document: cell B3 of its third sheet must read \"" +
                           expected + "\"; register the right template or correct that cell");
  } catch (const std::exception&) {
    ReportCurrentError("checking the template " + path);
  }
  if (app) TerminateSpreadsheetProcess(ValueOr(0, [&] { return app->Hwnd(); }));
  return false;
}

void LabelAndReportInputs::SetRptHeadData(const ObjectRef& headValues) {
  State().reportHead = std::dynamic_pointer_cast<HostDictionary>(headValues);
}

void LabelAndReportInputs::SetRptEntryData(const RecordsetRef& rows) {
  EngineState& state = State();
  state.reportEntries = rows;
  if (!rows || rows->RecordCount() <= 0) return;
  IgnoreErrors([&] {
    rows->SetFilter("");
    rows->MoveFirst();
    state.customerName = rows->Field("FCustName").ToText();
  });
}

void LabelAndReportInputs::SetDataSourceType(std::int32_t type) { State().dataSourceType = type; }
ObjectRef LabelAndReportInputs::PrintData() const { return State().printData; }
void LabelAndReportInputs::SetPrintData(const ObjectRef& data) { State().printData = data; }
void LabelAndReportInputs::SetItemInfoDict(const ObjectRef& itemValues) {
  State().itemValues = std::dynamic_pointer_cast<HostDictionary>(itemValues);
}
void LabelAndReportInputs::SetPrintHandlerType(const std::string& type) {
  State().printHandlerType = ValueOr(0, [&] { return Variant(type).ToInt32(); });
}

ExcelOperater::ExcelOperater() : LabelAndReportInputs(VariantOf(DocumentKind::Bill)) {}
ExcelOperaterRpt::ExcelOperaterRpt() : LabelAndReportInputs(VariantOf(DocumentKind::Report)) {}

ExcelOperaterLM::ExcelOperaterLM() : TemplateEngine(VariantOf(DocumentKind::Waybill)) { State().classTypeId = 2000001; }
std::unique_ptr<TemplateEngine> MakeEngine(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::Bill: return std::make_unique<ExcelOperater>();
    case DocumentKind::Report: return std::make_unique<ExcelOperaterRpt>();
    case DocumentKind::Waybill: return std::make_unique<ExcelOperaterLM>();
  }
  return nullptr;
}

std::int32_t ExcelOperaterLM::dataFrom() const { return State().dataFrom; }
void ExcelOperaterLM::SetDataFrom(std::int32_t value) {
  State().dataFrom = value;
  if (value == 1) State().classTypeId = 2000002;
}
bool ExcelOperaterLM::IsAccessCheckOK(std::int32_t classTypeId, const std::string& fieldKey) {
  return PriceFieldVisible(PriceRightsTable::Waybill, classTypeId, fieldKey);
}

}  // namespace vemo::engine

namespace vemo::engine {

std::string LabelAndReportInputs::GetPictureFile(const std::string& itemId) { return engine::GetPictureFile(itemId); }
bool LabelAndReportInputs::CreateBarCode(const std::string& barCode, const std::string& picturePath) {
  return engine::CreateBarCode(barCode, picturePath);
}
std::string LabelAndReportInputs::GetQRCodePictureInfo(const std::string& itemId, const std::string& qrCode,
                                                       const std::string& picturePath) {
  return engine::GetQRCodePictureInfo(itemId, qrCode, picturePath);
}

}  // namespace vemo::engine

namespace vemo::engine {

// The output of the saved workbook; the waybill engine loads no printer hook
// libraries and opens the file without a process handle.
bool TemplateEngine::OpenExcel() {
  return ValueOr(false, [&] { return OpenWorkbookForUser(state_->fileName, state_->variant.usesPrinterHooks); });
}
bool TemplateEngine::PrintPreview() {
  return ValueOr(false, [&] { return PreviewWorkbookFile(state_->fileName, state_->variant.usesPrinterHooks); });
}
bool TemplateEngine::PrintTo() {
  return ValueOr(false, [&] { return PrintWorkbookFile(state_->fileName, state_->variant.usesPrinterHooks); });
}

}  // namespace vemo::engine
