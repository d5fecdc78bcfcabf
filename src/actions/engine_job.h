// What an export action needs of a template engine, and the one place where
// actions create engines.
//
// The actions never name the engine classes: they ask CreateEngineJob(kind)
// and talk to an EngineJob. The real jobs (engine_adapter.cpp) wrap
// ExcelOperater, ExcelOperaterRpt and ExcelOperaterLM; tests install a
// scripted double with ScopedEngineFactory. A member the wrapped engine does
// not have (RptHeadData on the waybill engine) raises HostError: the
// actions only call what their engine offers.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "foundation/document_kind.h"
#include "foundation/host_object.h"
#include "foundation/installed.h"
#include "foundation/recordset.h"

namespace vemo::actions {

class EngineJob {
 public:
  virtual ~EngineJob() = default;

  virtual void SetFileAllName(const std::string& path) = 0;
  virtual void SetDataSrv(const ObjectRef& dataService) = 0;
  virtual void SetData(const ObjectRef& billData) = 0;
  virtual void SetTableInfo(const ObjectRef& fieldDictionary) = 0;
  virtual void SetRptHeadData(const ObjectRef& headValues) = 0;
  virtual void SetRptEntryData(const RecordsetRef& rows) = 0;
  virtual void SetDataSourceType(std::int32_t type) = 0;
  virtual void SetPrintData(const ObjectRef& bills) = 0;
  virtual void SetItemInfoDict(const ObjectRef& itemValues) = 0;
  virtual void SetPrintHandlerType(const std::string& type) = 0;
  virtual void SetDataFrom(std::int32_t dataFrom) = 0;

  virtual bool ExportSingleRecordDataToExcel() = 0;
  virtual bool ValidateTemplate(const std::string& path, std::int32_t id) = 0;
  virtual bool OpenExcel() = 0;
  virtual bool PrintPreview() = 0;
  virtual bool PrintTo() = 0;

  // Item label pictures.
  virtual std::string GetPictureFile(const std::string& id) = 0;
  virtual bool CreateBarCode(const std::string& barCode, const std::string& picturePath) = 0;
  virtual std::string GetQRCodePictureInfo(const std::string& itemId, const std::string& qrCode,
                                           const std::string& picturePath) = 0;
};

using EngineFactory = std::function<std::unique_ptr<EngineJob>(DocumentKind)>;

// The real engines (engine_adapter.cpp).
std::unique_ptr<EngineJob> CreateRealEngineJob(DocumentKind kind);

// A new engine of `kind` from the installed factory (the real engines unless
// a test installed another). Raises HostError when the factory gives none.
std::unique_ptr<EngineJob> CreateEngineJob(DocumentKind kind);

// Tests: installs `factory` for the object's lifetime.
Installed<EngineFactory>& InstalledEngineFactory();
using ScopedEngineFactory = ScopedInstall<EngineFactory, &InstalledEngineFactory>;

}  // namespace vemo::actions
