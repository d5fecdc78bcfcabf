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
  host::TemplateFamily family;
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

}  // namespace vemo::app
