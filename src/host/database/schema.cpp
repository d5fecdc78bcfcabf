#include "host/database/schema.h"

#include <regex>
#include <string>

namespace vemo::host {

namespace {

// Version 1: the template tables, the base data the bill engine reads and
// the tables behind the security, profile, log and courier components.
constexpr std::string_view kVersion1 = R"sql(
CREATE TABLE T_PrintExport (
  FBillType    INTEGER NOT NULL,
  FBillID      INTEGER NOT NULL,
  FName        TEXT    NOT NULL,
  FSel         INTEGER NOT NULL DEFAULT 0,
  FBillTypeSub TEXT    NOT NULL DEFAULT '',
  FFileData    BLOB,
  PRIMARY KEY (FBillType, FBillID)
);
CREATE TABLE T_RptExcelPrintExport (
  FRptId       INTEGER NOT NULL,
  FNoteId      INTEGER NOT NULL,
  FName        TEXT    NOT NULL,
  FSel         INTEGER NOT NULL DEFAULT 0,
  FBillTypeSub TEXT    NOT NULL DEFAULT '',
  FFileData    BLOB,
  PRIMARY KEY (FRptId, FNoteId)
);
CREATE TABLE T_PrintExportLM (
  FBillType    INTEGER NOT NULL,
  FBillID      INTEGER NOT NULL,
  FDataFrom    INTEGER NOT NULL DEFAULT 0,
  FName        TEXT    NOT NULL,
  FSel         INTEGER NOT NULL DEFAULT 0,
  FBillTypeSub TEXT    NOT NULL DEFAULT '',
  FFileData    BLOB,
  PRIMARY KEY (FBillType, FBillID)
);

CREATE TABLE t_ClassType (
  FID          INTEGER PRIMARY KEY,
  FBillTypeID  INTEGER NOT NULL,
  FName        TEXT    NOT NULL
);
CREATE TABLE t_ClassTypeEntry (
  FClassTypeID INTEGER NOT NULL,
  FPage        INTEGER NOT NULL,
  FEntryType   INTEGER NOT NULL,
  PRIMARY KEY (FClassTypeID, FPage)
);

CREATE TABLE T_ICItem (
  FItemID      INTEGER PRIMARY KEY,
  FNumber      TEXT NOT NULL,
  FName        TEXT NOT NULL,
  FModel       TEXT NOT NULL DEFAULT '',
  FUnitName    TEXT NOT NULL DEFAULT '',
  FBarCode     TEXT NOT NULL DEFAULT '',
  FMatrixCode  TEXT,
  FSalePrice   REAL NOT NULL DEFAULT 0,
  FRetailPrice REAL NOT NULL DEFAULT 0,
  FBrand       TEXT NOT NULL DEFAULT '',
  FOrigin      TEXT NOT NULL DEFAULT ''
);
CREATE TABLE t_ICItemUnit (
  FSrcItemID   INTEGER NOT NULL,
  FEntryID     INTEGER NOT NULL,
  FShowUnitID  TEXT    NOT NULL,
  FBarcode     TEXT    NOT NULL DEFAULT '',
  FCoefficient REAL    NOT NULL DEFAULT 1,
  FISMainUnit  INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (FSrcItemID, FEntryID)
);
CREATE TABLE t_Organization (
  FItemID      INTEGER PRIMARY KEY,
  FKind        TEXT NOT NULL CHECK (FKind IN ('Customer', 'Supplier')),
  FNumber      TEXT NOT NULL,
  FName        TEXT NOT NULL,
  FAddress     TEXT NOT NULL DEFAULT '',
  FPhone       TEXT NOT NULL DEFAULT '',
  FContact     TEXT NOT NULL DEFAULT ''
);
CREATE TABLE t_ItemPhoto (
  FItemID      INTEGER NOT NULL,
  FKind        TEXT    NOT NULL COLLATE NOCASE,
  FFileName    TEXT    NOT NULL,
  FData        BLOB    NOT NULL,
  PRIMARY KEY (FItemID, FKind)
);

CREATE TABLE t_SerialNumList (
  FID          INTEGER PRIMARY KEY,
  FSerialNo    TEXT    NOT NULL,
  FClassTypeID INTEGER NOT NULL,
  FBillID      INTEGER NOT NULL,
  FBillIndexID INTEGER NOT NULL,
  FStatus      INTEGER NOT NULL DEFAULT 1
);
CREATE TABLE t_SettleAcct (
  FItemID      INTEGER PRIMARY KEY,
  FNumber      TEXT NOT NULL,
  FName        TEXT NOT NULL
);
CREATE TABLE ICMultiAccount (
  FClassTypeID INTEGER NOT NULL,
  FID          INTEGER NOT NULL,
  FEntryID     INTEGER NOT NULL,
  FAcctID      INTEGER NOT NULL,
  FAmount      REAL    NOT NULL DEFAULT 0,
  PRIMARY KEY (FClassTypeID, FID, FEntryID)
);

CREATE TABLE t_SystemProfile (
  FCategory    TEXT NOT NULL COLLATE NOCASE,
  FKey         TEXT NOT NULL COLLATE NOCASE,
  FValue       TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (FCategory, FKey)
);
CREATE TABLE t_User (
  FUserName    TEXT PRIMARY KEY COLLATE NOCASE,
  FIsAdmin     INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE t_AccessRight (
  FUserName    TEXT    NOT NULL COLLATE NOCASE,
  FSubSystemID INTEGER NOT NULL,
  FObjectID    INTEGER NOT NULL,
  FAccessType  INTEGER NOT NULL,
  PRIMARY KEY (FUserName, FSubSystemID, FObjectID, FAccessType)
);
CREATE TABLE t_BehaviorLog (
  FID          INTEGER PRIMARY KEY AUTOINCREMENT,
  FTime        TEXT NOT NULL,
  FUserName    TEXT NOT NULL,
  FCode        TEXT NOT NULL,
  FText        TEXT NOT NULL
);

CREATE TABLE t_Logistic (
  FID               INTEGER PRIMARY KEY,
  FCode             TEXT    NOT NULL DEFAULT '',
  FName             TEXT    NOT NULL,
  FIsDefault        INTEGER NOT NULL DEFAULT 0,
  FIsShow           INTEGER NOT NULL DEFAULT 1,
  FKdd100Code       TEXT    NOT NULL DEFAULT '',
  FKdd100WebAddress TEXT    NOT NULL DEFAULT ''
);
CREATE TABLE t_LogisticPreset (
  FID               INTEGER PRIMARY KEY,
  FCode             TEXT    NOT NULL DEFAULT '',
  FName             TEXT    NOT NULL,
  FIsDefault        INTEGER NOT NULL DEFAULT 0,
  FIsShow           INTEGER NOT NULL DEFAULT 1,
  FKdd100Code       TEXT    NOT NULL DEFAULT '',
  FKdd100WebAddress TEXT    NOT NULL DEFAULT ''
);
)sql";

// Version 2: partners' e-mail addresses, where the mail action sends a bill.
constexpr std::string_view kVersion2 = R"sql(
ALTER TABLE t_Organization ADD COLUMN FEmail TEXT NOT NULL DEFAULT '';
)sql";

// Version 3: one selected template per owner and sub-type (and data source
// for waybills), kept by the database itself so that setup programs racing
// each other cannot leave two. Existing duplicates keep the lowest id, the
// template registered first.
constexpr std::string_view kVersion3 = R"sql(
UPDATE T_PrintExport SET FSel = 0 WHERE FSel = 1 AND EXISTS (
  SELECT 1 FROM T_PrintExport o WHERE o.FSel = 1 AND o.FBillType = T_PrintExport.FBillType
    AND o.FBillTypeSub = T_PrintExport.FBillTypeSub AND o.FBillID < T_PrintExport.FBillID);
UPDATE T_RptExcelPrintExport SET FSel = 0 WHERE FSel = 1 AND EXISTS (
  SELECT 1 FROM T_RptExcelPrintExport o WHERE o.FSel = 1 AND o.FRptId = T_RptExcelPrintExport.FRptId
    AND o.FBillTypeSub = T_RptExcelPrintExport.FBillTypeSub AND o.FNoteId < T_RptExcelPrintExport.FNoteId);
UPDATE T_PrintExportLM SET FSel = 0 WHERE FSel = 1 AND EXISTS (
  SELECT 1 FROM T_PrintExportLM o WHERE o.FSel = 1 AND o.FBillType = T_PrintExportLM.FBillType
    AND o.FDataFrom = T_PrintExportLM.FDataFrom AND o.FBillTypeSub = T_PrintExportLM.FBillTypeSub
    AND o.FBillID < T_PrintExportLM.FBillID);
CREATE UNIQUE INDEX T_PrintExport_OneSelected ON T_PrintExport (FBillType, FBillTypeSub) WHERE FSel = 1;
CREATE UNIQUE INDEX T_RptExcelPrintExport_OneSelected ON T_RptExcelPrintExport (FRptId, FBillTypeSub) WHERE FSel = 1;
CREATE UNIQUE INDEX T_PrintExportLM_OneSelected ON T_PrintExportLM (FBillType, FDataFrom, FBillTypeSub) WHERE FSel = 1;
)sql";

}  // namespace

const std::vector<std::string_view>& SchemaMigrations() {
  static const std::vector<std::string_view> steps{kVersion1, kVersion2, kVersion3};
  return steps;
}

int LatestSchemaVersion() { return static_cast<int>(SchemaMigrations().size()); }

std::string SchemaStep(DatabaseKind kind, int step) {
  std::string sql(SchemaMigrations()[static_cast<std::size_t>(step)]);
  if (kind == DatabaseKind::Embedded) return sql;
  // The server's names for the same types: 64-bit integers, byte arrays,
  // doubles, and case-insensitive texts (the citext extension) where the
  // embedded file compares without regard to case.
  static const std::pair<std::regex, const char*> kServerTypes[] = {
      {std::regex(R"(INTEGER PRIMARY KEY AUTOINCREMENT)"), "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"},
      {std::regex(R"(\bINTEGER\b)"), "BIGINT"},
      {std::regex(R"(\bBLOB\b)"), "BYTEA"},
      {std::regex(R"(\bREAL\b)"), "DOUBLE PRECISION"},
      {std::regex(R"(\bTEXT(\s[^,\n]*?)\s*COLLATE NOCASE)"), "CITEXT$1"},
  };
  for (const auto& [pattern, replacement] : kServerTypes) sql = std::regex_replace(sql, pattern, replacement);
  if (step == 0) sql = "CREATE EXTENSION IF NOT EXISTS citext;\n" + sql;
  return sql;
}

int SchemaVersion(Connection& connection) {
  if (!connection.HasTable("schema_version")) return 0;
  auto version = connection.Prepare("SELECT version FROM schema_version");
  return version.Step() ? static_cast<int>(version.Int(0)) : 0;
}

namespace {
void RefuseNewer(Connection& connection, int version) {
  int latest = LatestSchemaVersion();
  if (version > latest)
    throw HostError("the company database " + connection.Describe() + " has schema version " +
                    std::to_string(version) + ", newer than this program knows (" + std::to_string(latest) +
                    "); use a newer vemoprint or open a copy made for this version");
}
}  // namespace

void Migrate(Connection& connection, std::optional<int> known) {
  int version = known ? *known : SchemaVersion(connection);
  RefuseNewer(connection, version);
  for (int step = version; step < LatestSchemaVersion(); ++step) {
    Transaction transaction(connection);
    // Another process may have run this step while we waited for the lock.
    int now = SchemaVersion(connection);
    RefuseNewer(connection, now);
    if (now > step) {
      step = now - 1;
      continue;
    }
    if (step == 0) connection.Exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
    connection.Exec(SchemaStep(connection.Kind(), step));
    connection.Exec("DELETE FROM schema_version");
    connection.Prepare("INSERT INTO schema_version (version) VALUES (?)").Bind(1, step + 1).Run();
    transaction.Commit();
  }
}

}  // namespace vemo::host
