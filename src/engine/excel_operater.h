// The template engines: a template workbook and a bill (or report, or item
// label, or waybill) in, a filled workbook out, then one output call.
//
//   ExcelOperater     bills, item labels and (data source type 1) reports
//   ExcelOperaterRpt  reports: the bill engine with the report path built in
//   ExcelOperaterLM   courier waybills: a leaner bill engine with `dataFrom`
//
// All three share TemplateEngine; what differs between them is an
// EngineVariant policy (engine_variant.h), never a second copy of the code.
// Every public operation answers true/false and never throws.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/document_kind.h"
#include "foundation/host_collections.h"
#include "foundation/recordset.h"
#include "foundation/variant.h"

namespace vemo::engine {

struct EngineVariant;
struct EngineState;

class TemplateEngine {
 public:
  TemplateEngine(const TemplateEngine&) = delete;
  TemplateEngine& operator=(const TemplateEngine&) = delete;
  virtual ~TemplateEngine();

  // Working copy of the template; every operation works on this file.
  const std::string& FileAllName() const;
  void SetFileAllName(std::string path);

  // The host's bill data service (a host::BillDataService or any object with
  // the same members), the bill's data set and its field dictionary.
  void SetDataSrv(const ObjectRef& dataService);
  void SetData(const ObjectRef& billData);
  void SetTableInfo(const ObjectRef& fieldDictionary);

  // Fills the workbook at FileAllName and saves it under the same name.
  bool ExportSingleRecordDataToExcel();
  // True when cell B3 of the third sheet of `path` identifies `id`.
  bool ValidateTemplate(const std::string& path, std::int32_t id);

  // Output of the saved workbook.
  bool OpenExcel();
  bool PrintPreview();
  bool PrintTo();

 protected:
  explicit TemplateEngine(const EngineVariant& variant);
  EngineState& State() { return *state_; }
  const EngineState& State() const { return *state_; }

 private:
  std::unique_ptr<EngineState> state_;
};

// Members the bill and report engines have and the waybill engine has not.
class LabelAndReportInputs : public TemplateEngine {
 public:
  void SetRptHeadData(const ObjectRef& headValues);
  void SetRptEntryData(const RecordsetRef& rows);
  void SetDataSourceType(std::int32_t type);
  ObjectRef PrintData() const;
  void SetPrintData(const ObjectRef& data);
  void SetItemInfoDict(const ObjectRef& itemValues);
  void SetPrintHandlerType(const std::string& type);  // "1" = item labels

  // Pictures: the host's small photo of an item or partner, a barcode bitmap,
  // a QR code bitmap (empty path when there is nothing to draw).
  std::string GetPictureFile(const std::string& itemId);
  bool CreateBarCode(const std::string& barCode, const std::string& picturePath = "");
  std::string GetQRCodePictureInfo(const std::string& itemId, const std::string& qrCode = "",
                                   const std::string& picturePath = "");

 protected:
  using TemplateEngine::TemplateEngine;
};

class ExcelOperater : public LabelAndReportInputs {
 public:
  ExcelOperater();
};

class ExcelOperaterRpt : public LabelAndReportInputs {
 public:
  ExcelOperaterRpt();
};

class ExcelOperaterLM : public TemplateEngine {
 public:
  ExcelOperaterLM();
  // 1 = the waybill comes from a bill through DataSrv; otherwise only Data.
  // Set it before DataSrv.
  std::int32_t dataFrom() const;
  void SetDataFrom(std::int32_t value);
  // The waybill engine's own price-field rights test.
  bool IsAccessCheckOK(std::int32_t classTypeId, const std::string& fieldKey);
};

// The one place an engine is made from a kind of document.
std::unique_ptr<TemplateEngine> MakeEngine(DocumentKind kind);

}  // namespace vemo::engine
