// vemoprint templates list|add|export|remove|select: the template store of
// one bill type (--bill-type N), report (--report N) or courier company
// (--courier N --data-from D), through the template components, the way
// the setup dialogs use them:
//   add FILE [--sub-type S]   register the file; it is selected when no
//                             other template of its sub-type is
//   export --to FILE [--sub-type S]   write the template printing uses
//   remove --id N             delete one registration
//   select --id N             select it; others of its sub-type are cleared
#include <iostream>
#include <optional>

#include "command_registry.h"
#include "foundation/creation_service.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host/database/account_location.h"
#include "host/store/template_store.h"

namespace vemo::app {
namespace {

using host::TemplateFamily;

struct TemplateOptions {
  std::optional<int> billType, report, courier;
  int dataFrom = 0;
  std::string database, user, file, target, subType;
  int id = 0;
};

struct Target {
  TemplateFamily family;
  std::int32_t owner;
  std::int32_t dataFrom;
};

Target ChooseTarget(const TemplateOptions& o) {
  int given = (o.billType ? 1 : 0) + (o.report ? 1 : 0) + (o.courier ? 1 : 0);
  if (given != 1) throw UsageError("give exactly one of --bill-type N, --report N or --courier N");
  if (o.billType) return {TemplateFamily::Bill, *o.billType, 0};
  if (o.report) return {TemplateFamily::Report, *o.report, 0};
  return {TemplateFamily::Logistics, *o.courier, o.dataFrom};
}

// The family's components, as its setup dialog creates them.
DictionaryRef NoteInfo(const std::string& props, const Target& t) {
  switch (t.family) {
    case TemplateFamily::Bill: return CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)->GetNoteInfo(props, t.owner);
    case TemplateFamily::Report:
      return CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQueryRpt)->GetRptNoteInfo(props, t.owner);
    default:
      return CreateObjectAs<host::IPrintSetupQueryLM>(host::progid::kPrintSetupQueryLM)->GetNoteInfo(props, t.owner, t.dataFrom);
  }
}

VectorRef Insert(const std::string& props, const Target& t, const std::string& name, const Variant& contents) {
  switch (t.family) {
    case TemplateFamily::Bill:
      return CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdate)->InsertNoteRow(props, t.owner, name, contents);
    case TemplateFamily::Report:
      return CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdateRpt)->InsertRptNoteRow(props, t.owner, name, contents);
    default:
      return CreateObjectAs<host::IPrintSetupUpdateLM>(host::progid::kPrintSetupUpdateLM)
          ->InsertNoteRow(props, t.owner, name, contents, t.dataFrom);
  }
}

void Update(const std::string& props, const Target& t, const HostDictionary& set) {
  switch (t.family) {
    case TemplateFamily::Bill:
      CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdate)->UpdateUserNoteData(props, t.owner, set);
      break;
    case TemplateFamily::Report:
      CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdateRpt)->UpdateUserRptNoteData(props, t.owner, set);
      break;
    default:
      CreateObjectAs<host::IPrintSetupUpdateLM>(host::progid::kPrintSetupUpdateLM)->UpdateUserNoteData(props, t.owner, set, t.dataFrom);
  }
}

void Delete(const std::string& props, const Target& t, int id) {
  switch (t.family) {
    case TemplateFamily::Bill:
      CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdate)->DeleteNoteRow(props, t.owner, id);
      break;
    case TemplateFamily::Report:
      CreateObjectAs<host::IPrintSetupUpdate>(host::progid::kPrintSetupUpdateRpt)->DeleteRptNoteRow(props, t.owner, id);
      break;
    default:
      CreateObjectAs<host::IPrintSetupUpdateLM>(host::progid::kPrintSetupUpdateLM)->DeleteNoteRow(props, t.owner, id, t.dataFrom);
  }
}

// The grid of the setup dialog: one row per registration.
struct GridRow {
  int id;
  std::string name;
  int selected;
  std::string subType;
};

std::vector<GridRow> LoadGrid(const std::string& props, const Target& t) {
  const char* idKey = t.family == TemplateFamily::Report ? "FNoteId" : "FBillID";
  std::vector<GridRow> grid;
  auto data = NoteInfo(props, t)->Item("Data").AsObject<HostVector>();
  for (int i = 1; data && i <= data->Size(); ++i) {
    auto row = data->Item(i).AsObject<HostDictionary>();
    grid.push_back({row->Item(idKey).ToInt32(), row->Item("FName").ToText(), row->Item("FSel").ToInt32(),
                    row->Item("FBillTypeSub").ToText()});
  }
  return grid;
}

void SaveGrid(const std::string& props, const Target& t, const std::vector<GridRow>& grid) {
  auto data = HostVector::Create();
  for (const auto& row : grid) {
    auto r = HostDictionary::Create();
    r->Add("FKey", std::to_string(t.owner) + "|" + std::to_string(row.id));
    r->Add("FName", row.name);
    r->Add("FSel", row.selected);
    r->Add("FType", row.subType);
    data->Add(r);
  }
  auto set = HostDictionary::Create();
  set->Add("Option", "");
  set->Add("Data", data);
  Update(props, t, *set);
}

GridRow& FindRow(std::vector<GridRow>& grid, int id) {
  for (auto& row : grid)
    if (row.id == id) return row;
  throw std::runtime_error("there is no template with id " + std::to_string(id) + " here; see \"vemoprint templates list\"");
}

int RunList(const TemplateOptions& o) {
  std::string props = host::CommandLineProps(o.database, o.user);
  auto grid = LoadGrid(props, ChooseTarget(o));
  if (grid.empty()) std::cout << "no templates registered\n";
  for (const auto& row : grid)
    std::cout << row.id << "\t" << (row.selected ? "selected" : "-") << "\t" << (row.subType.empty() ? "(no sub-type)" : row.subType)
              << "\t" << row.name << "\n";
  return kExitOk;
}

int RunAdd(const TemplateOptions& o) {
  std::string props = host::CommandLineProps(o.database, o.user);
  Target t = ChooseTarget(o);
  Variant contents = host::ReadTemplateFile(o.file);
  if (contents.IsEmpty()) throw UsageError("cannot read the template file " + o.file);
  std::string name = std::filesystem::path(o.file).filename().string();
  auto answer = Insert(props, t, name, contents);
  int id = answer->Item(1).ToInt32();
  auto grid = LoadGrid(props, t);
  GridRow& added = FindRow(grid, id);
  added.subType = o.subType;
  bool taken = false;
  for (const auto& row : grid) taken = taken || (row.id != id && row.selected && row.subType == o.subType);
  added.selected = taken ? 0 : 1;
  SaveGrid(props, t, grid);
  std::cout << "registered " << name << " as template " << id << (added.selected ? " (selected)" : "") << "\n";
  return kExitOk;
}

int RunExport(const TemplateOptions& o) {
  std::string props = host::CommandLineProps(o.database, o.user);
  Target t = ChooseTarget(o);
  std::string key = std::to_string(t.owner) + "|0|" + o.subType;
  host::SaveTemplateToFile(props, t.family, o.target, key, t.dataFrom);
  std::cout << "wrote template " << host::KeyField(key, "|", 1) << " to " << o.target << "\n";
  return kExitOk;
}

int RunRemove(const TemplateOptions& o) {
  std::string props = host::CommandLineProps(o.database, o.user);
  Target t = ChooseTarget(o);
  auto grid = LoadGrid(props, t);
  std::string name = FindRow(grid, o.id).name;
  Delete(props, t, o.id);
  std::cout << "removed template " << o.id << " (" << name << ")\n";
  return kExitOk;
}

int RunSelect(const TemplateOptions& o) {
  std::string props = host::CommandLineProps(o.database, o.user);
  Target t = ChooseTarget(o);
  auto grid = LoadGrid(props, t);
  GridRow& chosen = FindRow(grid, o.id);
  chosen.selected = 1;
  for (auto& row : grid)
    if (row.id != o.id && row.subType == chosen.subType) row.selected = 0;
  SaveGrid(props, t, grid);
  std::cout << "template " << o.id << " (" << chosen.name << ") is now used for "
            << (chosen.subType.empty() ? "(no sub-type)" : chosen.subType) << "\n";
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
