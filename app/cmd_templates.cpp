// vemoprint templates list|add|export|remove|select: the template store of
// one bill type (--bill-type N), report (--report N) or courier company
// (--courier N --data-from D), through the family's setup dialog with the
// grid in memory, so every rule of the dialog applies (list also says which
// template printing uses for each sub-type):
//   add FILE [--sub-type S]   import the file (checked by the template
//                             engine, refused when its name is registered
//                             in any case); it is selected when no template
//                             without a sub-type is; then S is chosen in its
//                             type cell, which clears the other selected
//                             template of S when the new one is selected
//   export --to FILE [--sub-type S]   write the template printing uses for S
//   remove --id N             delete one registration
//   select --id N             tick its flag; others of its sub-type are cleared
#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

#include "command_line_desktop.h"
#include "command_registry.h"
#include "context/file_utils.h"
#include "host/database/account_location.h"
#include "template_forms.h"

namespace vemo::app {
namespace {


struct TemplateOptions {
  std::optional<int> billType, report, courier;
  int dataFrom = 0;
  std::string database, user, file, target, subType;
  int id = 0;
};

TemplateTarget ChooseTarget(const TemplateOptions& o) {
  int given = (o.billType ? 1 : 0) + (o.report ? 1 : 0) + (o.courier ? 1 : 0);
  if (given != 1) throw UsageError("give exactly one of --bill-type N, --report N or --courier N");
  if (o.billType) return {DocumentKind::Bill, *o.billType, 0};
  if (o.report) return {DocumentKind::Report, *o.report, 0};
  return {DocumentKind::Waybill, *o.courier, o.dataFrom};
}

// The family's dialog, loaded; nullopt (exit 1) when it closed itself.
std::optional<OpenTemplateForm> Open(const TemplateOptions& o) {
  OpenTemplateForm open = LoadTemplateForm(ChooseTarget(o), host::CommandLineProps(o.database, o.user));
  if (open.form->IsClosed()) return std::nullopt;
  return open;
}

int RowOrThrow(const setup::SetupGrid& grid, int id) {
  int row = RowOfTemplate(grid, id);
  if (row == 0) throw std::runtime_error("there is no template with id " + std::to_string(id) + " here; see \"vemoprint templates list\"");
  return row;
}

std::string SubTypeText(const std::string& subType) { return subType.empty() ? "(no sub-type)" : subType; }

void CheckSubType(const setup::NoteSetForm& form, const std::string& subType) {
  if (subType.empty()) return;
  const std::string& list = form.SubTypeList();
  if (list.find("\t" + subType + "\t") != std::string::npos) return;
  if (list.empty()) throw UsageError("these templates have no sub-types; leave out --sub-type");
  std::string offered = list.substr(1, list.size() - 2);
  for (char& c : offered)
    if (c == '\t') c = ' ';
  throw UsageError("\"" + subType + "\" is not a sub-type here; choose one of: " + offered);
}

// Which template printing uses for every sub-type of the dialog's list and
// for none, asked of the template query component as the export actions ask
// it. Nothing for families without sub-types: the selected row says it.
void PrintTemplateInUse(const TemplateOptions& o, const setup::NoteSetForm& form) {
  const TemplateTarget target = ChooseTarget(o);
  std::vector<std::string> subTypes = {""};
  const std::string& list = form.SubTypeList();  // "\tA\tB\t"
  if (list.empty()) return;
  for (std::size_t start = 1, end; start < list.size(); start = end + 1) {
    end = list.find('\t', start);
    if (end == std::string::npos) break;
    if (end > start) subTypes.push_back(list.substr(start, end - start));
  }
  const std::string props = host::CommandLineProps(o.database, o.user);
  for (const std::string& subType : subTypes)
    std::cout << "printing " << SubTypeText(subType) << ": " << TemplateInUse(props, target, subType) << "\n";
}

int RunList(const TemplateOptions& o) {
  auto open = Open(o);
  if (!open) return kExitActionFailed;
  const setup::SetupGrid& grid = *open->grid;
  if (grid.RowCount() == 0) std::cout << "no templates registered\n";
  for (int row = 1; row <= grid.RowCount(); ++row)
    std::cout << TemplateIdOfRow(grid, row) << "\t" << (setup::CellNumber(grid, row, setup::kColFlag) != 0 ? "selected" : "-")
              << "\t" << SubTypeText(grid.CellText(row, setup::kColType)) << "\t" << grid.CellText(row, setup::kColName) << "\n";
  PrintTemplateInUse(o, *open->form);
  return kExitOk;
}

int RunAdd(const TemplateOptions& o) {
  if (!context::FileExists(o.file)) throw UsageError("cannot read the template file " + o.file);
  auto open = Open(o);
  if (!open) return kExitActionFailed;
  setup::NoteSetForm& form = *open->form;
  CheckSubType(form, o.subType);
  const RegisteredTemplate added = RegisterTemplateFile(*open, o.file, o.subType);
  if (!added.registered) return kExitActionFailed;
  std::cout << "registered " << added.name << " as template " << added.id
            << (added.selected ? " (selected)" : " (not selected: another template of its sub-type is)") << "\n";
  return kExitOk;
}

int RunExport(const TemplateOptions& o) {
  auto open = Open(o);
  if (!open) return kExitActionFailed;
  setup::ScriptedGrid& grid = *open->grid;
  int row = 1;
  while (row <= grid.RowCount() && grid.CellText(row, setup::kColType) != o.subType) ++row;
  if (row > grid.RowCount())
    throw std::runtime_error("no template of " + SubTypeText(o.subType) + " is registered here; see \"vemoprint templates list\"");
  grid.UserSelectRow(row);  // the dialog exports the template printing uses for the active row's sub-type
  CommandLineAnswers answers({std::nullopt, o.target, false});
  if (!open->form->ExportTemplate()) return kExitActionFailed;
  std::cout << "wrote the template printing uses for " << SubTypeText(o.subType) << " to " << o.target << "\n";
  return kExitOk;
}

int RunRemove(const TemplateOptions& o) {
  auto open = Open(o);
  if (!open) return kExitActionFailed;
  setup::ScriptedGrid& grid = *open->grid;
  const int row = RowOrThrow(grid, o.id);
  const std::string name = grid.CellText(row, setup::kColName);
  grid.UserSelectRow(row);
  CommandLineAnswers answers({std::nullopt, std::nullopt, true});
  if (!open->form->DeleteTemplate()) return kExitActionFailed;
  std::cout << "removed template " << o.id << " (" << name << ")\n";
  return kExitOk;
}

int RunSelect(const TemplateOptions& o) {
  auto open = Open(o);
  if (!open) return kExitActionFailed;
  setup::ScriptedGrid& grid = *open->grid;
  const int row = RowOrThrow(grid, o.id);
  if (setup::CellNumber(grid, row, setup::kColFlag) == 0) grid.UserClickCheck(row, setup::kColFlag);
  if (!open->form->SaveGrid()) return kExitActionFailed;
  std::cout << "template " << o.id << " (" << grid.CellText(row, setup::kColName) << ") is now used for "
            << SubTypeText(grid.CellText(row, setup::kColType)) << "\n";
  return kExitOk;
}

CLI::App* AddCommand(CLI::App* parent, const char* name, const char* help, const std::shared_ptr<TemplateOptions>& o) {
  auto* cmd = parent->add_subcommand(name, help);
  cmd->add_option("--bill-type", o->billType, "bill type (class type id), e.g. 1020002");
  cmd->add_option("--report", o->report, "report id, e.g. 10506");
  cmd->add_option("--courier", o->courier, "courier company id (waybill templates)");
  cmd->add_option("--data-from", o->dataFrom, "waybill data source, 0 or 1 (with --courier)");
  cmd->add_option("--database", o->database, "account name (default: $VEMO_DATABASE, the session's account, or VemoSample)");
  cmd->add_option("--user", o->user, "user name (default: $VEMO_USER, the session's user, or Administrator)");
  return cmd;
}

CommandRegistration registration{"templates", [](CLI::App& root, GlobalOptions&) {
  auto o = std::make_shared<TemplateOptions>();
  auto* cmd = root.add_subcommand("templates", "list, add, export, remove or select registered print templates");
  cmd->require_subcommand(1);
  auto run = [o](int (*action)(const TemplateOptions&)) {
    return [o, action] { SetExitCode(action(*o)); };
  };
  AddCommand(cmd, "list", "list the templates of a bill type, report or courier company", o)->callback(run(RunList));
  auto* add = AddCommand(cmd, "add", "register a template file", o);
  add->add_option("file", o->file, "the .xls or .xlsx template")->required();
  add->add_option("--sub-type", o->subType, "sub-type the template serves (e.g. 增值税发票)");
  add->callback(run(RunAdd));
  auto* exp = AddCommand(cmd, "export", "write the template printing uses to a file", o);
  exp->add_option("--to", o->target, "target file")->required();
  exp->add_option("--sub-type", o->subType, "sub-type (default: none)");
  exp->callback(run(RunExport));
  auto* remove = AddCommand(cmd, "remove", "delete a registered template", o);
  remove->add_option("--id", o->id, "template id (see list)")->required();
  remove->callback(run(RunRemove));
  auto* select = AddCommand(cmd, "select", "make a template the one printing uses for its sub-type", o);
  select->add_option("--id", o->id, "template id (see list)")->required();
  select->callback(run(RunSelect));
}};

}  // namespace
}  // namespace vemo::app
