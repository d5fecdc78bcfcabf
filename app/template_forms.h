// The template setup dialogs as the command line drives them: one dialog of
// the family named by --bill-type, --report or --courier, loaded from the
// account's store onto an in-memory grid. The commands then act on the
// grid as a user would, so registration, selection, saving, deletion and
// export follow the dialogs' rules exactly.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "host/store/template_store.h"
#include "setup/note_set_form.h"
#include "setup/scripted_grid.h"

namespace vemo::app {

struct TemplateTarget {
  DocumentKind family;
  std::int32_t owner;     // bill type, report id or courier company id
  std::int32_t dataFrom;  // waybills only
};

struct OpenTemplateForm {
  std::unique_ptr<setup::NoteSetForm> form;
  std::shared_ptr<setup::ScriptedGrid> grid;
};

// The family's dialog, loaded. Raises UsageError for a courier company that
// is not offered. The form is closed when no spreadsheet application is
// installed (its message was shown).
OpenTemplateForm LoadTemplateForm(const TemplateTarget& target, const std::string& props);

// The row of the template with this id; 0 when there is none.
int RowOfTemplate(const setup::SetupGrid& grid, int id);
// The template id of a row (from its key).
int TemplateIdOfRow(const setup::SetupGrid& grid, int row);

// Imports `file` into the open dialog as a user would (the engine checks it),
// gives it `subType` ("" for none) and saves the grid.
struct RegisteredTemplate {
  bool registered = false;
  int id = 0;
  std::string name;
  bool selected = false;
};
RegisteredTemplate RegisterTemplateFile(OpenTemplateForm& open, const std::string& file, const std::string& subType);

// The template printing uses for `subType`, asked of the template query
// component as the export actions ask it: "template 1 (发票.xlsx)", or
// "no template (select one ...)".
std::string TemplateInUse(const std::string& props, const TemplateTarget& target, const std::string& subType);

}  // namespace vemo::app
