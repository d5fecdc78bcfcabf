// Doubles for the export action tests: a scripted template engine, the
// template query components, the class data service (selected template
// names), the behaviour log and a spreadsheet application of a chosen
// version.
#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "actions/engine_job.h"
#include "foundation/host_collections.h"
#include "host/components/behavior_log.h"
#include "host/components/class_info.h"
#include "host/components/print_setup.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"

namespace vemo::actions::test {

// What one engine was told, in order ("SetFileAllName", "ValidateTemplate", ...).
struct EngineRecord {
  DocumentKind kind = DocumentKind::Bill;
  std::vector<std::string> calls;
  std::string fileAllName;
  std::string validatedFile;
  std::int32_t validatedId = -1;
  std::int32_t dataSourceType = -1;
  std::string printHandlerType;
  ObjectRef dataSrv, data, rptHeadData, itemInfo;
  RecordsetRef rptEntryData;
};

// How every engine answers.
struct EngineScript {
  bool validate = true;
  bool fill = true;
  bool output = true;
  // Runs inside ExportSingleRecordDataToExcel with the file being filled.
  std::function<void(const std::string&)> onFill;
  // Draws pictures: writes the text to the picture path asked for and
  // answers as the engine would (True, or the path).
  std::function<void(const std::string& path, const std::string& text)> drawPicture;
  // GetPictureFile's answer: the photo of an item or partner id.
  std::function<std::string(const std::string& id)> pictureOf;
};

class ScriptedEngine final : public EngineJob {
 public:
  ScriptedEngine(std::shared_ptr<EngineRecord> record, std::shared_ptr<EngineScript> script)
      : record_(std::move(record)), script_(std::move(script)) {}

  void SetFileAllName(const std::string& path) override { Note("SetFileAllName"); record_->fileAllName = path; }
  void SetDataSrv(const ObjectRef& v) override { Note("SetDataSrv"); record_->dataSrv = v; }
  void SetData(const ObjectRef& v) override { Note("SetData"); record_->data = v; }
  void SetTableInfo(const ObjectRef&) override { Note("SetTableInfo"); }
  void SetRptHeadData(const ObjectRef& v) override { Note("SetRptHeadData"); record_->rptHeadData = v; }
  void SetRptEntryData(const RecordsetRef& v) override { Note("SetRptEntryData"); record_->rptEntryData = v; }
  void SetDataSourceType(std::int32_t t) override { Note("SetDataSourceType"); record_->dataSourceType = t; }
  void SetPrintData(const ObjectRef&) override { Note("SetPrintData"); }
  void SetItemInfoDict(const ObjectRef& v) override { Note("SetItemInfoDict"); record_->itemInfo = v; }
  void SetPrintHandlerType(const std::string& t) override { Note("SetPrintHandlerType"); record_->printHandlerType = t; }
  void SetDataFrom(std::int32_t) override { Note("SetDataFrom"); }

  bool ExportSingleRecordDataToExcel() override {
    Note("ExportSingleRecordDataToExcel");
    if (script_->onFill) script_->onFill(record_->fileAllName);
    return script_->fill;
  }
  bool ValidateTemplate(const std::string& path, std::int32_t id) override {
    Note("ValidateTemplate");
    record_->validatedFile = path;
    record_->validatedId = id;
    return script_->validate;
  }
  bool OpenExcel() override { Note("OpenExcel"); return script_->output; }
  bool PrintPreview() override { Note("PrintPreview"); return script_->output; }
  bool PrintTo() override { Note("PrintTo"); return script_->output; }
  std::string GetPictureFile(const std::string& id) override {
    Note("GetPictureFile");
    return script_->pictureOf ? script_->pictureOf(id) : std::string();
  }
  bool CreateBarCode(const std::string& barCode, const std::string& path) override {
    Note("CreateBarCode");
    if (!script_->drawPicture) return false;
    script_->drawPicture(path, "barcode " + barCode);
    return true;
  }
  std::string GetQRCodePictureInfo(const std::string& itemId, const std::string& qrCode, const std::string& path) override {
    Note("GetQRCodePictureInfo");
    if (!script_->drawPicture) return {};
    script_->drawPicture(path, "qr " + itemId + " " + qrCode);
    return path;
  }

 private:
  void Note(const char* call) { record_->calls.push_back(call); }
  std::shared_ptr<EngineRecord> record_;
  std::shared_ptr<EngineScript> script_;
};

// Every engine the actions created, in order of creation.
class EngineLog {
 public:
  EngineFactory Factory(std::shared_ptr<EngineScript> script) {
    return [this, script](DocumentKind kind) -> std::unique_ptr<EngineJob> {
      auto record = std::make_shared<EngineRecord>();
      record->kind = kind;
      std::lock_guard lock(mutex_);
      records_.push_back(record);
      return std::make_unique<ScriptedEngine>(record, script);
    };
  }
  std::vector<std::shared_ptr<EngineRecord>> Records() const {
    std::lock_guard lock(mutex_);
    return records_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<EngineRecord>> records_;
};

// The template store as the query components answer it.
struct TemplateStore {
  Bytes contents = {'P', 'K', 3, 4, 't', 'e', 'm', 'p', 'l', 'a', 't', 'e'};
  bool empty = false;
  // Each query: "<component>|<member>|<owner>|<sub-type>" (logistics also "|<dataFrom>").
  std::vector<std::string> queries;
  // Names of the selected rows the class service answers (empty: no row).
  std::string billName = "invoice.xls", reportName = "report.xls", waybillName = "waybill.xls";
  std::vector<std::string> statements;
  std::mutex mutex;

  DictionaryRef Answer(std::string query) {
    std::lock_guard lock(mutex);
    queries.push_back(std::move(query));
    auto set = HostDictionary::Create();
    if (empty) return set;
    auto entry = HostVector::Create();
    entry->Add("template.xls");
    entry->Add(contents);
    set->Add("1|1", entry);
    return set;
  }
};

class FakeQuery final : public host::IPrintSetupQuery {
 public:
  FakeQuery(std::shared_ptr<TemplateStore> store, std::string name) : store_(std::move(store)), name_(std::move(name)) {}
  std::string TypeName() const override { return name_; }
  DictionaryRef GetCurrNote(std::string_view, std::int32_t) override { throw HostError("not used by the actions"); }
  DictionaryRef GetNoteInfo(std::string_view, std::int32_t) override { throw HostError("not used by the actions"); }
  DictionaryRef GetRptNoteInfo(std::string_view, std::int32_t) override { throw HostError("not used by the actions"); }
  DictionaryRef GetNotePrintData(std::string_view, std::string_view billType, std::string_view subType) override {
    return store_->Answer(name_ + "|GetNotePrintData|" + std::string(billType) + "|" + std::string(subType));
  }
  DictionaryRef GetRptNotePrintData(std::string_view, std::string_view rptId, std::string_view subType) override {
    return store_->Answer(name_ + "|GetRptNotePrintData|" + std::string(rptId) + "|" + std::string(subType));
  }

 private:
  std::shared_ptr<TemplateStore> store_;
  std::string name_;
};

class FakeQueryLM final : public host::IPrintSetupQueryLM {
 public:
  explicit FakeQueryLM(std::shared_ptr<TemplateStore> store) : store_(std::move(store)) {}
  std::string TypeName() const override { return "QueryLM"; }
  DictionaryRef GetNoteInfo(std::string_view, std::int32_t, std::int32_t) override { throw HostError("not used by the actions"); }
  DictionaryRef GetNotePrintData(std::string_view, std::string_view courierId, std::int32_t dataFrom,
                                 std::string_view subType) override {
    return store_->Answer("QueryLM|GetNotePrintData|" + std::string(courierId) + "|" + std::string(subType) + "|" +
                          std::to_string(dataFrom));
  }

 private:
  std::shared_ptr<TemplateStore> store_;
};

// Answers the "select * from <table> where FSel=1 ..." statements with the
// store's selected name for that table.
class FakeClassInfo final : public host::IClassInfo {
 public:
  explicit FakeClassInfo(std::shared_ptr<TemplateStore> store) : store_(std::move(store)) {}
  std::string TypeName() const override { return "ClassInfo"; }
  RecordsetRef GetData(std::string_view, std::string_view sql) override {
    std::lock_guard lock(store_->mutex);
    store_->statements.emplace_back(sql);
    const std::string text(sql);
    const std::string& name = text.find("T_PrintExportLM") != std::string::npos         ? store_->waybillName
                              : text.find("T_RptExcelPrintExport") != std::string::npos ? store_->reportName
                                                                                         : store_->billName;
    std::vector<std::vector<Variant>> rows;
    if (!name.empty()) rows.push_back({Variant(name)});
    return Recordset::Create({"FName"}, rows);
  }
  Bytes GetPictureData(const HostDictionary&, std::string_view) override { return {}; }

 private:
  std::shared_ptr<TemplateStore> store_;
};

struct LogEntry {
  std::string props, code, text;
};

class FakeBehaviorLog final : public host::IBehaviorLog {
 public:
  explicit FakeBehaviorLog(std::shared_ptr<std::vector<LogEntry>> entries) : entries_(std::move(entries)) {}
  std::string TypeName() const override { return "BehaviorLog"; }
  void SetPropsString(std::string props) override { props_ = std::move(props); }
  const std::string& PropsString() const override { return props_; }
  void WriteMGLog(std::string_view code, std::string_view text) override {
    static std::mutex mutex;  // two actions of the working-file tests may log at once
    std::lock_guard lock(mutex);
    entries_->push_back({props_, std::string(code), std::string(text)});
  }

 private:
  std::shared_ptr<std::vector<LogEntry>> entries_;
  std::string props_;
};

// A spreadsheet application that only reports its version.
class VersionedApplication final : public host::IApplication,
                                   public std::enable_shared_from_this<VersionedApplication> {
 public:
  explicit VersionedApplication(std::string version) : version_(std::move(version)) {}
  std::string TypeName() const override { return "Application"; }
  std::shared_ptr<host::IApplication> Application() override {
    return std::static_pointer_cast<host::IApplication>(shared_from_this());
  }
  std::shared_ptr<host::IWorkbooks> Workbooks() override { return nullptr; }
  bool DisplayAlerts() const override { return false; }
  void SetDisplayAlerts(bool) override {}
  bool Visible() const override { return false; }
  void SetVisible(bool) override {}
  std::string Version() const override { return version_; }
  std::int32_t Hwnd() const override { return 1; }
  void Quit() override {}

 private:
  std::string version_;
};

}  // namespace vemo::actions::test
