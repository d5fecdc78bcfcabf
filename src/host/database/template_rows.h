// Rows of the three template tables. One descriptor per family names the
// table and its owner and id columns; every function works on any family.
// Each write is one transaction: a registration is stored whole or not at
// all, and a grid update applies every row or none.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/variant.h"
#include "host/database/connection.h"

namespace vemo::host {

struct TemplateTable {
  std::string_view table;        // "T_PrintExport"
  std::string_view ownerColumn;  // bill type, report id or courier company id
  std::string_view idColumn;     // the row's id within its owner
  bool hasDataFrom;              // logistics: rows also carry FDataFrom
};

inline constexpr TemplateTable kBillTemplates{"T_PrintExport", "FBillType", "FBillID", false};
inline constexpr TemplateTable kReportTemplates{"T_RptExcelPrintExport", "FRptId", "FNoteId", false};
inline constexpr TemplateTable kLogisticTemplates{"T_PrintExportLM", "FBillType", "FBillID", true};

// Which rows a call means: the owner, and for logistics the data source.
struct TemplateOwner {
  std::int64_t owner = 0;
  std::int64_t dataFrom = 0;  // ignored unless the table has FDataFrom
};

struct TemplateRow {
  std::int64_t id = 0;
  std::string name;
  int selected = 0;
  std::string subType;
  std::int64_t size = -1;  // bytes of the contents; -1 when none were stored
};

// A grid row as the setup dialog sends it back.
struct TemplateGridRow {
  std::string key;  // owner "|" id
  std::string name;
  double selected = 0;
  std::string subType;
};

struct TemplateFile {
  std::int64_t id = 0;
  std::string name;
  std::optional<Bytes> contents;  // nullopt when registered without contents
};

// Rows of one owner in id order (the order the setup grid shows).
std::vector<TemplateRow> ListTemplates(Connection& db, const TemplateTable& table, TemplateOwner owner);

// Registers a file; answers the new id (one above the highest id of the
// owner). Raises HostError when the owner already has a template of that
// name (compared without regard to case).
std::int64_t InsertTemplate(Connection& db, const TemplateTable& table, TemplateOwner owner, std::string_view name,
                            const std::optional<Bytes>& contents);

// Replaces names, flags and sub-types of the rows named by the grid keys.
// Raises (changing nothing) when a key is malformed, names another owner or
// a row that does not exist.
void ApplyTemplateGrid(Connection& db, const TemplateTable& table, TemplateOwner owner,
                       const std::vector<TemplateGridRow>& rows);

// Removes one row; answers whether it existed.
bool DeleteTemplate(Connection& db, const TemplateTable& table, TemplateOwner owner, std::int64_t id);

// The selected (FSel = 1) templates of the owner for exactly this sub-type,
// in id order, with their contents.
std::vector<TemplateFile> SelectedTemplates(Connection& db, const TemplateTable& table, TemplateOwner owner,
                                            std::string_view subType);

}  // namespace vemo::host
