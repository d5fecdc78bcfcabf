// The sample company database that "vemoprint init" creates: bill types,
// items with barcodes, matrix codes, units and photos, customers and
// suppliers, serial numbers, settlement accounts, courier companies with
// their presets, the company profile and three users (an administrator, a
// clerk with every price right, a clerk without).
//
// What init may touch: the sample tables (bill types, base data, profile,
// users and rights, serial numbers, settlement accounts, courier presets).
// Never touched: the three template tables and the behaviour log; courier
// companies the user added are kept (a forced init restores the preset
// companies the way "恢复预设信息" does).
#pragma once
#include <filesystem>
#include <string>

#include "host/database/connection.h"
#include "host/database/database_address.h"

namespace vemo::host {

struct InitOutcome {
  bool created = false;   // the file did not exist (on a server: it held no sample rows yet)
  bool seeded = false;    // sample rows were written
  // Where a forced rebuild put the previous data: the copied file, or on a
  // server the schema holding copies of the sample tables. Empty otherwise.
  std::string backup;
};

// Without force: creates the file when missing, upgrades its schema and adds
// the sample rows once (a second run changes nothing). With force: copies
// the file to <file>.bak-<yyyymmdd-hhmmss> first, then rebuilds the sample
// tables from scratch, keeping every template and log entry. On a server the
// database is created when missing (the user needs the right to create
// databases, or an administrator creates it first), and a forced rebuild
// first copies the sample tables into a schema vemo_backup_<yyyymmdd_hhmmss>
// in the same transaction: a server's sample tables may hold a company's
// real items and partners.
InitOutcome InitializeSampleAccount(const DatabaseAddress& database, bool force);

// Writes the sample rows into an open database (rows already present stay as
// they are). One transaction.
void SeedSampleData(Connection& db);

// The courier presets written over the companies of the same id, the
// companies the user added kept, the presets' default the only one. Runs in
// the caller's transaction.
void RestoreCourierPresets(Connection& db);

// Names of the sample users.
inline constexpr const char* kSampleAdmin = "Administrator";
inline constexpr const char* kSampleClerkWithPrices = "张三";
inline constexpr const char* kSampleClerkWithoutPrices = "李四";

}  // namespace vemo::host
