#include "host/database/account_location.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "foundation/host_error.h"
#include "host_fixture.h"

namespace vemo::host {
namespace {

TEST(AccountName, IsTheInitialCatalogOrTheSampleAccount) {
  EXPECT_EQ(AccountName("UserName=a;ConnectString={Provider=SQLite;Initial Catalog=Shop2024}"), "Shop2024");
  EXPECT_EQ(AccountName("UserName=a;ConnectString={Provider=SQLite;Initial Catalog=}"), kSampleAccount);
  EXPECT_EQ(AccountName(""), kSampleAccount);
  EXPECT_EQ(UserName(MakePropsString("X", "张三")), "张三");
  EXPECT_EQ(AccountName(MakePropsString("X", "张三")), "X");
}

TEST(DatabasePath, LivesInTheDataFolderAndCannotEscapeIt) {
  vemo::test::TempDir dir;
  test::DataFolderScope scope(dir.path());
  EXPECT_EQ(DataFolder(), dir.path());
  EXPECT_EQ(DatabasePath("Acc1"), dir.path() / "Acc1.db");
  EXPECT_EQ(DatabasePath(""), dir.path() / "VemoSample.db");
  EXPECT_THROW(DatabasePath("../etc/passwd"), HostError);
  EXPECT_THROW(DatabasePath(".."), HostError);
  EXPECT_THROW(DatabasePath(AccountName("ConnectString={Initial Catalog=a/b}")), HostError);
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
