#include "setup/template_tables.h"

#include "foundation/creation_service.h"
#include "host/components/print_setup.h"

namespace vemo::setup {
namespace {

std::string InsertAnswerKey(const VectorRef& answer) {
  if (!answer || answer->Size() < 2)
    throw HostError(HostError::kTypeMismatch, "the update component answered the registration without the new row's id and owner");
  return answer->Item(2).ToText() + "|" + answer->Item(1).ToText();
}

std::shared_ptr<host::IPrintSetupUpdate> Update(const TemplateOwner& o) {
  return CreateObjectAs<host::IPrintSetupUpdate>(o.updateProgId);
}

std::shared_ptr<host::IPrintSetupUpdateLM> UpdateLM(const TemplateOwner& o) {
  return CreateObjectAs<host::IPrintSetupUpdateLM>(o.updateProgId);
}

const TemplateTable kTables[] = {
    {.kind = DocumentKind::Bill,
     .rowIdField = "FBillID",
     .insert = [](const TemplateOwner& o, const std::string& name, const Variant& contents) {
       return InsertAnswerKey(Update(o)->InsertNoteRow(o.props, o.owner, name, contents));
     },
     .send = [](const TemplateOwner& o, const HostDictionary& set) { Update(o)->UpdateUserNoteData(o.props, o.owner, set); },
     .remove = [](const TemplateOwner& o, double rowId) { Update(o)->DeleteNoteRow(o.props, o.owner, rowId); },
     .validatesByOwner = true},
    {.kind = DocumentKind::Report,
     .rowIdField = "FNoteId",
     .insert = [](const TemplateOwner& o, const std::string& name, const Variant& contents) {
       return InsertAnswerKey(Update(o)->InsertRptNoteRow(o.props, o.owner, name, contents));
     },
     .send = [](const TemplateOwner& o, const HostDictionary& set) { Update(o)->UpdateUserRptNoteData(o.props, o.owner, set); },
     .remove = [](const TemplateOwner& o, double rowId) { Update(o)->DeleteRptNoteRow(o.props, o.owner, rowId); },
     .validatesByOwner = true},
    {.kind = DocumentKind::Waybill,
     .rowIdField = "FBillID",
     .insert = [](const TemplateOwner& o, const std::string& name, const Variant& contents) {
       return InsertAnswerKey(UpdateLM(o)->InsertNoteRow(o.props, o.owner, name, contents, o.dataFrom));
     },
     .send = [](const TemplateOwner& o, const HostDictionary& set) {
       UpdateLM(o)->UpdateUserNoteData(o.props, o.owner, set, o.dataFrom);
     },
     .remove = [](const TemplateOwner& o, double rowId) { UpdateLM(o)->DeleteNoteRow(o.props, o.owner, rowId, o.dataFrom); },
     .validatesByOwner = false},
};

}  // namespace

const TemplateTable& TemplateTableOf(DocumentKind kind) { return kTables[static_cast<int>(kind)]; }

}  // namespace vemo::setup
