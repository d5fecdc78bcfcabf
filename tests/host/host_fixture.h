// A data folder of its own per test, holding an initialised sample account,
// with our components registered in the creation service.
//
// With VEMO_TEST_DATABASE=server the account is a database of its own on the
// server whose socket folder VEMO_TEST_PG names (scripts/pg-sandbox.sh), so
// the same tests run against both databases; see tests/CMakeLists.txt.
#pragma once
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/host_collections.h"

#include "host/components/database_components.h"
#include "host/database/company_database.h"
#include "host/database/pg_connection.h"
#include "host/database/account_location.h"
#include "host/database/sample_account.h"
#include "support/files.h"
#include "support/scoped_env.h"
#include "support/test_paths.h"

namespace vemo::host::test {

// VEMO_DATA_DIR, where the accounts' files live, set to `folder` while in scope.
struct DataFolderScope : vemo::test::ScopedEnv {
  explicit DataFolderScope(const std::filesystem::path& folder) : ScopedEnv("VEMO_DATA_DIR", folder.string()) {}
};

// Rows of a NoteInfo as "id name sel sub" texts, for compact comparisons.
inline std::vector<std::string> NoteInfoRows(const DictionaryRef& info, const char* idKey = "FBillID") {
  std::vector<std::string> out;
  auto data = info->Item("Data").AsObject<HostVector>();
  for (int i = 1; i <= data->Size(); ++i) {
    auto row = data->Item(i).AsObject<HostDictionary>();
    out.push_back(row->Item(idKey).ToText() + " " + row->Item("FName").ToText() + " " + row->Item("FSel").ToText() + " " +
                  row->Item("FBillTypeSub").ToText());
  }
  return out;
}

// The template grid as the setup dialogs send it back: one row per
// (FKey "billType|id", FName, FSel, FType sub-type).
inline DictionaryRef TemplateGrid(std::initializer_list<std::tuple<std::string, std::string, Variant, std::string>> rows) {
  auto data = HostVector::Create();
  for (const auto& [key, name, sel, type] : rows) {
    auto row = HostDictionary::Create();
    row->Add("FKey", key);
    row->Add("FName", name);
    row->Add("FSel", sel);
    row->Add("FType", type);
    data->Add(row);
  }
  auto set = HostDictionary::Create();
  set->Add("Option", "");
  set->Add("Data", data);
  return set;
}

inline Bytes FileBytes(const std::filesystem::path& path) {
  const std::string bytes = vemo::test::ReadFileBytes(path);
  return Bytes(bytes.begin(), bytes.end());
}

// The server the tests run against; empty for the embedded database.
inline std::string TestServer() {
  const char* mode = std::getenv("VEMO_TEST_DATABASE");
  if (!mode || std::string(mode) != "server") return {};
  const char* socket = std::getenv("VEMO_TEST_PG");
  if (!socket || !*socket) ADD_FAILURE() << "VEMO_TEST_DATABASE=server needs VEMO_TEST_PG (scripts/pg-sandbox.sh run)";
  return socket ? socket : "";
}

// A database name of its own per test on the shared server.
inline std::string TestAccountName(const char* base) {
  static int counter = 0;
  if (TestServer().empty()) return base;
  return std::string(base) + "_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
}

inline DatabaseAddress TestDatabase(const std::string& account) {
  std::string server = TestServer();
  return server.empty() ? DatabaseAddress(DatabasePath(account)) : ServerAddress(server, account);
}

// Initialises the sample account; on the server by copying a database
// initialised once per process (a fresh init per test took most of a second).
inline void MakeSampleAccount(const DatabaseAddress& database) {
  if (database.kind == DatabaseKind::Embedded) {
    InitializeSampleAccount(database, false);
    return;
  }
  static const DatabaseAddress model = [&] {
    DatabaseAddress made = ServerAddress(TestServer(), "vemo_model_" + std::to_string(::getpid()));
    InitializeSampleAccount(made, false);
    CloseCompanyDatabase(made);  // a database copied from may have no connections
    return made;
  }();
  DatabaseAddress server = model;
  server.database = "postgres";
  PgConnection(server, ServerRole::Writer).Exec("CREATE DATABASE \"" + database.database + "\" TEMPLATE \"" + model.database + "\"");
}

class SampleAccountTest : public ::testing::Test {
 protected:
  SampleAccountTest() : scope_(temp_.path()), account_(TestAccountName("TestAccount")) {
    MakeSampleAccount(Database());
    RegisterDatabaseComponents();
  }
  ~SampleAccountTest() override {
    if (OnServer()) DropServerDatabase(Database());
  }
  std::string Props(const char* user = kSampleClerkWithPrices) const {
    return MakePropsString(account_, user, TestServer());
  }
  DatabaseAddress Database() const { return TestDatabase(account_); }
  static bool OnServer() { return !TestServer().empty(); }

  vemo::test::TempDir temp_;
  DataFolderScope scope_;
  std::string account_;
};

}  // namespace vemo::host::test
