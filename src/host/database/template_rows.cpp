#include "host/database/template_rows.h"

#include "foundation/utf8_text.h"

namespace vemo::host {

namespace {

// "FBillType = ? [AND FDataFrom = ?]" with its binds starting at `first`.
std::string OwnerClause(const TemplateTable& table) {
  std::string clause = std::string(table.ownerColumn) + " = ?";
  if (table.hasDataFrom) clause += " AND FDataFrom = ?";
  return clause;
}

int BindOwner(Statement& statement, const TemplateTable& table, TemplateOwner owner, int first) {
  statement.Bind(first++, owner.owner);
  if (table.hasDataFrom) statement.Bind(first++, owner.dataFrom);
  return first;
}

// Upper case for the name comparison: ASCII letters only, so a name in
// Chinese compares exactly and "A.XLS" equals "a.xls".
std::string NameKey(std::string_view name) { return ToUpperAscii(name); }

std::int64_t ParseKeyNumber(std::string_view text, std::string_view key) {
  double value = 0;
  if (!TryStrictNumber(text, value))
    throw HostError("the template row key \"" + std::string(key) + "\" is not owner|id; the setup grid must send the keys it was given");
  return static_cast<std::int64_t>(value);
}

}  // namespace

std::vector<TemplateRow> ListTemplates(Connection& db, const TemplateTable& table, TemplateOwner owner) {
  auto statement = db.Prepare("SELECT " + std::string(table.idColumn) +
                              ", FName, FSel, FBillTypeSub, length(FFileData), FFileData IS NULL FROM " +
                              std::string(table.table) + " WHERE " + OwnerClause(table) + " ORDER BY " +
                              std::string(table.idColumn));
  BindOwner(statement, table, owner, 1);
  std::vector<TemplateRow> rows;
  while (statement.Step())
    rows.push_back({statement.Int(0), statement.Text(1), static_cast<int>(statement.Int(2)), statement.Text(3),
                    statement.Int(5) ? -1 : statement.Int(4)});
  return rows;
}

std::int64_t InsertTemplate(Connection& db, const TemplateTable& table, TemplateOwner owner, std::string_view name,
                            const std::optional<Bytes>& contents) {
  if (Trim(name).empty()) throw HostError("a template needs a file name; give the name of the imported file");
  Transaction transaction(db);
  // Names are unique per owner regardless of data source: the dialog of one
  // courier company shows one data source at a time, but a file name must
  // still pick out one row of the company.
  auto names = db.Prepare("SELECT FName FROM " + std::string(table.table) + " WHERE " + std::string(table.ownerColumn) + " = ?");
  names.Bind(1, owner.owner);
  while (names.Step())
    if (NameKey(names.Text(0)) == NameKey(name))
      throw HostError("已经注册了名称为【" + std::string(name) + "】的打印模板文件，不能重复注册");
  auto next = db.Prepare("SELECT COALESCE(MAX(" + std::string(table.idColumn) + "), 0) + 1 FROM " + std::string(table.table) +
                         " WHERE " + std::string(table.ownerColumn) + " = ?");
  next.Bind(1, owner.owner);
  next.Step();
  std::int64_t id = next.Int(0);
  std::string columns = std::string(table.ownerColumn) + ", " + std::string(table.idColumn) + ", FName, FSel, FBillTypeSub, FFileData";
  std::string values = "?, ?, ?, 0, '', ?";
  if (table.hasDataFrom) {
    columns += ", FDataFrom";
    values += ", ?";
  }
  auto insert = db.Prepare("INSERT INTO " + std::string(table.table) + " (" + columns + ") VALUES (" + values + ")");
  insert.Bind(1, owner.owner).Bind(2, id).Bind(3, name);
  if (contents)
    insert.Bind(4, *contents);
  else
    insert.BindNull(4);
  if (table.hasDataFrom) insert.Bind(5, owner.dataFrom);
  insert.Run();
  transaction.Commit();
  return id;
}

void ApplyTemplateGrid(Connection& db, const TemplateTable& table, TemplateOwner owner,
                       const std::vector<TemplateGridRow>& rows) {
  Transaction transaction(db);
  // Flags are written after every row's name and sub-type, each selection
  // clearing the others of its sub-type first: the database allows one
  // selected row per sub-type at every step, and the grid's state wins over
  // a row another process selected meanwhile.
  auto update = db.Prepare("UPDATE " + std::string(table.table) + " SET FName = ?, FSel = 0, FBillTypeSub = ? WHERE " +
                           OwnerClause(table) + " AND " + std::string(table.idColumn) + " = ?");
  auto clear = db.Prepare("UPDATE " + std::string(table.table) + " SET FSel = 0 WHERE FSel = 1 AND " + OwnerClause(table) +
                          " AND FBillTypeSub = ?");
  auto select = db.Prepare("UPDATE " + std::string(table.table) + " SET FSel = 1 WHERE " + OwnerClause(table) + " AND " +
                           std::string(table.idColumn) + " = ?");
  std::vector<std::pair<std::int64_t, std::string>> selected;
  for (const auto& row : rows) {
    std::size_t bar = row.key.find('|');
    if (bar == std::string::npos)
      throw HostError("the template row key \"" + row.key + "\" is not owner|id; the setup grid must send the keys it was given");
    std::string_view key(row.key);
    std::size_t end = key.find('|', bar + 1);
    std::int64_t keyOwner = ParseKeyNumber(key.substr(0, bar), key);
    std::int64_t id = ParseKeyNumber(key.substr(bar + 1, end == std::string_view::npos ? end : end - bar - 1), key);
    if (keyOwner != owner.owner)
      throw HostError("the template row key \"" + row.key + "\" belongs to " + std::to_string(keyOwner) +
                      ", not to " + std::to_string(owner.owner) + "; nothing was saved");
    update.Reset();
    update.Bind(1, row.name).Bind(2, row.subType);
    int next = BindOwner(update, table, owner, 3);
    update.Bind(next, id);
    update.Run();
    if (db.Changes() == 0)
      throw HostError("the template row " + row.key + " does not exist (deleted meanwhile?); reload the list, nothing was saved");
    if (row.selected != 0) selected.emplace_back(id, row.subType);
  }
  for (const auto& [id, subType] : selected) {
    clear.Reset();
    clear.Bind(BindOwner(clear, table, owner, 1), subType);
    clear.Run();
    select.Reset();
    select.Bind(BindOwner(select, table, owner, 1), id);
    select.Run();
  }
  transaction.Commit();
}

bool DeleteTemplate(Connection& db, const TemplateTable& table, TemplateOwner owner, std::int64_t id) {
  Transaction transaction(db);
  auto statement = db.Prepare("DELETE FROM " + std::string(table.table) + " WHERE " + OwnerClause(table) + " AND " +
                              std::string(table.idColumn) + " = ?");
  int next = BindOwner(statement, table, owner, 1);
  statement.Bind(next, id);
  statement.Run();
  bool existed = db.Changes() > 0;
  transaction.Commit();
  return existed;
}

std::vector<TemplateFile> SelectedTemplates(Connection& db, const TemplateTable& table, TemplateOwner owner,
                                            std::string_view subType) {
  auto statement = db.Prepare("SELECT " + std::string(table.idColumn) + ", FName, FFileData, FFileData IS NULL FROM " +
                              std::string(table.table) + " WHERE FSel = 1 AND " + OwnerClause(table) +
                              " AND FBillTypeSub = ? ORDER BY " + std::string(table.idColumn));
  int next = BindOwner(statement, table, owner, 1);
  statement.Bind(next, subType);
  std::vector<TemplateFile> files;
  while (statement.Step()) {
    TemplateFile file{statement.Int(0), statement.Text(1), std::nullopt};
    if (!statement.Int(3)) file.contents = statement.Blob(2);
    files.push_back(std::move(file));
  }
  return files;
}

}  // namespace vemo::host
