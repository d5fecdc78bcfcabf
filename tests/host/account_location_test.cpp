#include "host/database/account_location.h"

#include <gtest/gtest.h>

#include "foundation/host_error.h"
#include "host_fixture.h"

namespace vemo::host {
namespace {

TEST(PropValue, ConnectStringAnswersTheBracedText) {
  std::string props = "UserName=Tom; ConnectString={Provider=X;Initial Catalog=Acc1}; AcctID=5";
  EXPECT_EQ(PropValue(props, "ConnectString", ";"), "Provider=X;Initial Catalog=Acc1");
  EXPECT_EQ(PropValue(props, "AcctID", ";"), "5");  // trailing separator supplied
  EXPECT_EQ(PropValue(props, "username", ";"), "Tom");
  EXPECT_EQ(PropValue(props, "Missing", ";"), "");
}

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

}  // namespace
}  // namespace vemo::host
