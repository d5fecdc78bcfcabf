// Template update components over the company database. Each member is one
// transaction (see template_rows.h).
#include "host/components/database_components.h"
#include "host/components/print_setup.h"
#include "host/components/template_shapes.h"
#include "host/database/company_database.h"
#include "host/database/template_rows.h"

namespace vemo::host {

namespace {

VectorRef Insert(std::string_view props, const TemplateTable& table, TemplateOwner owner, std::string_view fileName,
                 const Variant& contents) {
  auto bytes = ReadContents(contents);
  auto db = OpenAccountDatabase(props);
  return MakeInsertAnswer(InsertTemplate(*db, table, owner, fileName, bytes), owner.owner);
}

void Update(std::string_view props, const TemplateTable& table, TemplateOwner owner, const HostDictionary& set) {
  auto rows = ReadUpdateSet(set);
  auto db = OpenAccountDatabase(props);
  ApplyTemplateGrid(*db, table, owner, rows);
}

void Delete(std::string_view props, const TemplateTable& table, TemplateOwner owner, double rowId) {
  auto id = RowIdFromNumber(rowId);
  auto db = OpenAccountDatabase(props);
  DeleteTemplate(*db, table, owner, id);  // deleting a row that is gone already is not an error
}

class DatabasePrintSetupUpdate : public IPrintSetupUpdate {
 public:
  std::string TypeName() const override { return "DatabasePrintSetupUpdate"; }
  VectorRef InsertNoteRow(std::string_view props, std::int32_t billType, std::string_view fileName,
                          const Variant& contents) override {
    return Insert(props, kBillTemplates, {billType, 0}, fileName, contents);
  }
  VectorRef InsertRptNoteRow(std::string_view props, std::int32_t rptId, std::string_view fileName,
                             const Variant& contents) override {
    return Insert(props, kReportTemplates, {rptId, 0}, fileName, contents);
  }
  void UpdateUserNoteData(std::string_view props, std::int32_t billType, const HostDictionary& updateSet) override {
    Update(props, kBillTemplates, {billType, 0}, updateSet);
  }
  void UpdateUserRptNoteData(std::string_view props, std::int32_t rptId, const HostDictionary& updateSet) override {
    Update(props, kReportTemplates, {rptId, 0}, updateSet);
  }
  void DeleteNoteRow(std::string_view props, std::int32_t billType, double rowId) override {
    Delete(props, kBillTemplates, {billType, 0}, rowId);
  }
  void DeleteRptNoteRow(std::string_view props, std::int32_t rptId, double rowId) override {
    Delete(props, kReportTemplates, {rptId, 0}, rowId);
  }
};

class DatabasePrintSetupUpdateLM : public IPrintSetupUpdateLM {
 public:
  std::string TypeName() const override { return "DatabasePrintSetupUpdateLM"; }
  VectorRef InsertNoteRow(std::string_view props, std::int32_t courierId, std::string_view fileName,
                          const Variant& contents, std::int32_t dataFrom) override {
    return Insert(props, kLogisticTemplates, {courierId, dataFrom}, fileName, contents);
  }
  void UpdateUserNoteData(std::string_view props, std::int32_t courierId, const HostDictionary& updateSet,
                          std::int32_t dataFrom) override {
    Update(props, kLogisticTemplates, {courierId, dataFrom}, updateSet);
  }
  void DeleteNoteRow(std::string_view props, std::int32_t courierId, double rowId, std::int32_t dataFrom) override {
    Delete(props, kLogisticTemplates, {courierId, dataFrom}, rowId);
  }
};

}  // namespace

ObjectRef MakeDatabasePrintSetupUpdate() { return std::make_shared<DatabasePrintSetupUpdate>(); }
ObjectRef MakeDatabasePrintSetupUpdateLM() { return std::make_shared<DatabasePrintSetupUpdateLM>(); }

}  // namespace vemo::host
