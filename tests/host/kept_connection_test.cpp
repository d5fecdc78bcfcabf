// The company database connection the process keeps between component calls:
// handed out again while the path names the same file, never for a file that
// was removed, replaced or restored meanwhile, and still refusing a file a
// newer program wrote.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/database/company_database.h"
#include "host/database/schema.h"
#include "host/database/sqlite_connection.h"
#include "support/test_paths.h"

namespace vemo::host {
namespace {

namespace fs = std::filesystem;

std::string CompanyName(Connection& db) {
  auto row = db.Prepare("SELECT FValue FROM t_SystemProfile WHERE FKey = 'CompanyName'");
  return row.Step() ? row.Text(0) : "";
}

void MakeDatabase(const fs::path& path, const std::string& companyName) {
  auto db = OpenCompanyDatabase(path, OpenMode::Create);
  db->Exec("INSERT INTO t_SystemProfile (FCategory, FKey, FValue) VALUES ('Base', 'CompanyName', '" + companyName + "')");
}

TEST(KeptConnection, TheSameFileGetsTheSameConnectionAnotherItsOwn) {
  vemo::test::TempDir dir;
  MakeDatabase(dir / "a.db", "甲");
  MakeDatabase(dir / "b.db", "乙");
  auto first = OpenCompanyDatabase(dir / "a.db");
  EXPECT_EQ(first.get(), OpenCompanyDatabase(dir / "a.db").get());
  EXPECT_EQ(CompanyName(*OpenCompanyDatabase(dir / "b.db")), "乙");
  // A write through one is what the next caller reads.
  first->Exec("UPDATE t_SystemProfile SET FValue = '丙' WHERE FKey = 'CompanyName'");
  EXPECT_EQ(CompanyName(*OpenCompanyDatabase(dir / "a.db")), "丙");
}

TEST(KeptConnection, AFileReplacedRemovedOrOfANewerProgramIsNotTheKeptOne) {
  vemo::test::TempDir dir;
  const fs::path path = dir / "a.db";
  MakeDatabase(path, "甲");
  auto kept = OpenCompanyDatabase(path);
  // Restored from another file, as a forced init's backup swap does.
  MakeDatabase(dir / "other.db", "乙");
  fs::rename(dir / "other.db", path);
  EXPECT_EQ(CompanyName(*OpenCompanyDatabase(path)), "乙");
  SqliteConnection(path, SQLITE_OPEN_READWRITE).Exec("UPDATE schema_version SET version = " + std::to_string(LatestSchemaVersion() + 1));
  EXPECT_THROW(OpenCompanyDatabase(path), HostError) << "a newer schema written meanwhile";
  fs::remove(path);
  EXPECT_THROW(OpenCompanyDatabase(path), HostError);
  EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace vemo::host
