#include "host/database/account_location.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "foundation/host_error.h"
#include "host/database/database_address.h"
#include "host_fixture.h"

namespace vemo::host {
namespace {

TEST(AccountName, IsTheInitialCatalogOrTheSampleAccountAndItsFileCannotEscapeTheDataFolder) {
  EXPECT_EQ(AccountName("UserName=a;ConnectString={Provider=SQLite;Initial Catalog=Shop2024}"), "Shop2024");
  EXPECT_EQ(AccountName("UserName=a;ConnectString={Provider=SQLite;Initial Catalog=}"), kSampleAccount);
  EXPECT_EQ(AccountName(""), kSampleAccount);
  EXPECT_EQ(UserName(MakePropsString("X", "张三")) + " " + AccountName(MakePropsString("X", "张三")), "张三 X");
  vemo::test::TempDir dir;
  test::DataFolderScope scope(dir.path());
  EXPECT_EQ(DatabasePath("Acc1"), dir.path() / "Acc1.db");
  EXPECT_EQ(DatabasePath(""), dir.path() / "VemoSample.db");
  for (const char* escaping : {"../etc/passwd", "..", "a/b"}) EXPECT_THROW(DatabasePath(escaping), HostError) << escaping;
}

TEST(AccountDatabase, TheDataSourcePicksTheEmbeddedFileOrAServer) {
  vemo::test::TempDir dir;
  test::DataFolderScope scope(dir.path());
  struct Case {
    const char* connect;
    const char* described;  // nullptr: the embedded file; "": refused
  } cases[] = {
      {"Provider=SQLite;Initial Catalog=Shop", nullptr},
      {"Data Source=.;Initial Catalog=Shop", nullptr},
      {"Data Source= (LOCAL) ;Initial Catalog=Shop", nullptr},
      {"Data Source=db1;Initial Catalog=Shop", "Shop on db1"},
      {"Data Source=db1,5433;Initial Catalog=Shop", "Shop on db1:5433"},
      {"Data Source=db1.example.com:5432;Initial Catalog=", "VemoSample on db1.example.com:5432"},
      {"Data Source=/run/pg:1;Initial Catalog=Shop", "Shop on /run/pg:1"},
      {"Data Source=db1:;Initial Catalog=Shop", ""},
      {"Data Source=:5432;Initial Catalog=Shop", ""},
      {"Data Source=db1:54x;Initial Catalog=Shop", ""},
  };
  for (const Case& c : cases) {
    std::string props = "UserName=a;ConnectString={" + std::string(c.connect) + "}";
    if (c.described && !*c.described) {
      EXPECT_THROW(AccountDatabase(props), HostError) << c.connect;
      continue;
    }
    DatabaseAddress address = AccountDatabase(props);
    if (!c.described) {
      EXPECT_EQ(address.kind, DatabaseKind::Embedded) << c.connect;
      EXPECT_EQ(address.file, dir.path() / "Shop.db") << c.connect;
    } else {
      EXPECT_EQ(address.kind, DatabaseKind::Server) << c.connect;
      EXPECT_EQ(address.Describe(), c.described) << c.connect;
    }
  }
  EXPECT_EQ(AccountDatabase(MakePropsString("Shop", "a", "db2:6000")).Describe(), "Shop on db2:6000");
}

// A service started without HOME still finds the user's data folder, never
// one below wherever it was started.
TEST(DataFolder, WithoutHomeIsBelowTheAccountsHomeFolder) {
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* name : {"VEMO_DATA_DIR", "XDG_DATA_HOME", "HOME"}) {
    if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    ::unsetenv(name);
  }
  EXPECT_EQ(DataFolder(), std::filesystem::path(::getpwuid(::getuid())->pw_dir) / ".local/share/vemoprint/data");
  for (const auto& [name, value] : saved) ::setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace
}  // namespace vemo::host
