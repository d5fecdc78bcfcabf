// Template query components over the company database.
#include "foundation/utf8_text.h"
#include "host/components/database_components.h"
#include "host/components/print_setup.h"
#include "host/components/template_shapes.h"
#include "host/database/company_database.h"
#include "host/database/template_rows.h"

namespace vemo::host {

namespace {

DictionaryRef NoteInfo(std::string_view props, const TemplateTable& table, TemplateOwner owner) {
  auto db = OpenAccountDatabase(props);
  return MakeNoteInfo(ListTemplates(*db, table, owner), table);
}

// The selected template of the sub-type; when it has none, the selected
// template without a sub-type, so one template can serve every invoice type
// of a bill, or both the customer and the supplier print of a report.
DictionaryRef PrintData(std::string_view props, const TemplateTable& table, TemplateOwner owner, std::string_view subType) {
  auto db = OpenAccountDatabase(props);
  auto files = SelectedTemplates(*db, table, owner, subType);
  if (files.empty() && !subType.empty()) files = SelectedTemplates(*db, table, owner, "");
  return MakeTemplateSet(files, owner.owner, subType);
}

// clsPrintSetupQuery and clsPrintSetupQueryRpt: the same members; the
// family only decides what GetCurrNote describes.
class DatabasePrintSetupQuery : public IPrintSetupQuery {
 public:
  explicit DatabasePrintSetupQuery(const TemplateTable& currentFamily) : family_(currentFamily) {}
  std::string TypeName() const override { return "DatabasePrintSetupQuery"; }

  DictionaryRef GetCurrNote(std::string_view props, std::int32_t ownerId) override {
    auto db = OpenAccountDatabase(props);
    auto answer = HostDictionary::Create();
    for (const auto& row : ListTemplates(*db, family_, {ownerId, 0})) {
      if (row.selected != 1 || answer->Lookup(row.subType)) continue;
      answer->Add(row.subType, MakeNoteRow(row, family_));
    }
    return answer;
  }
  DictionaryRef GetNoteInfo(std::string_view props, std::int32_t billType) override {
    return NoteInfo(props, kBillTemplates, {billType, 0});
  }
  DictionaryRef GetRptNoteInfo(std::string_view props, std::int32_t rptId) override {
    return NoteInfo(props, kReportTemplates, {rptId, 0});
  }
  DictionaryRef GetNotePrintData(std::string_view props, std::string_view billType, std::string_view subType) override {
    return PrintData(props, kBillTemplates, {OwnerFromText(billType, "bill type"), 0}, subType);
  }
  DictionaryRef GetRptNotePrintData(std::string_view props, std::string_view rptId, std::string_view subType) override {
    return PrintData(props, kReportTemplates, {OwnerFromText(rptId, "report id"), 0}, subType);
  }

 private:
  const TemplateTable& family_;
};

class DatabasePrintSetupQueryLM : public IPrintSetupQueryLM {
 public:
  std::string TypeName() const override { return "DatabasePrintSetupQueryLM"; }
  DictionaryRef GetNoteInfo(std::string_view props, std::int32_t courierId, std::int32_t dataFrom) override {
    return NoteInfo(props, kLogisticTemplates, {courierId, dataFrom});
  }
  DictionaryRef GetNotePrintData(std::string_view props, std::string_view courierId, std::int32_t dataFrom,
                                 std::string_view subType) override {
    return PrintData(props, kLogisticTemplates, {OwnerFromText(courierId, "courier company id"), dataFrom}, subType);
  }
};

}  // namespace

ObjectRef MakeDatabasePrintSetupQuery() { return std::make_shared<DatabasePrintSetupQuery>(kBillTemplates); }
ObjectRef MakeDatabasePrintSetupQueryRpt() { return std::make_shared<DatabasePrintSetupQuery>(kReportTemplates); }
ObjectRef MakeDatabasePrintSetupQueryLM() { return std::make_shared<DatabasePrintSetupQueryLM>(); }

}  // namespace vemo::host
