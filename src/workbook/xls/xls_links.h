// The records of the workbook globals that formulas refer through: SUPBOOK,
// EXTERNNAME, EXTERNSHEET and NAME, read into the formula context, and
// written back from it when formulas saved needed new entries.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "workbook/xls/biff_formula.h"
#include "workbook/xls/biff_records.h"

namespace vemo::wb {

namespace biff {
enum : std::uint16_t { kSupBook = 0x01AE, kExternName = 0x0023, kExternSheet = 0x0017 };
}

// A NAME record as read: the name, its sheet (0 for the workbook), whether
// it is hidden, and its formula tokens.
struct NameRecord {
  std::string name;  // "_xlnm.Print_Area" for built-in names
  int sheetScope = 0;
  bool hidden = false;
  // A built-in name spelled out ("_xlnm.Print_Area") in an ordinary name,
  // as some writers add beside the built-in one.
  bool spelled = false;
  std::vector<std::uint8_t> rgce, extra;
};

// Adds what `r` says to `context` (SUPBOOK, EXTERNNAME, EXTERNSHEET, NAME
// records; others are ignored). NAME records are also returned through `names`.
void ReadLinkRecord(const BiffRecord& r, xls::FormulaContext& context, std::vector<NameRecord>& names);

// The built-in names among `names` (name and sheet scope), not counting
// those spelled out in ordinary names: a spelled-out one beside its built-in
// twin is the same name given twice, and stays ordinary when written back.
std::set<std::pair<std::string, int>> BuiltinNames(const std::vector<NameRecord>& names);

// The SUPBOOK (with their EXTERNNAME) and EXTERNSHEET records for `context`.
std::string WriteLinkRecords(const xls::FormulaContext& context);
// A NAME record for a name whose tokens are given.
std::string NameRecordData(const NameRecord& name);

}  // namespace vemo::wb
