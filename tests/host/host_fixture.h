// A data folder of its own per test, holding an initialised sample account,
// with our components registered in the creation service.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/host_collections.h"

#include "host/components/database_components.h"
#include "host/database/account_location.h"
#include "host/database/sample_account.h"
#include "support/test_paths.h"

namespace vemo::host::test {

class DataFolderScope {
 public:
  explicit DataFolderScope(const std::filesystem::path& folder) {
    if (const char* old = std::getenv("VEMO_DATA_DIR")) previous_ = old;
    setenv("VEMO_DATA_DIR", folder.c_str(), 1);
  }
  ~DataFolderScope() {
    if (previous_.empty())
      unsetenv("VEMO_DATA_DIR");
    else
      setenv("VEMO_DATA_DIR", previous_.c_str(), 1);
  }

 private:
  std::string previous_;
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

class SampleAccountTest : public ::testing::Test {
 protected:
  static constexpr const char* kAccount = "TestAccount";
  SampleAccountTest() : scope_(temp_.path()) {
    InitializeSampleAccount(DatabasePath(kAccount), false);
    RegisterDatabaseComponents();
  }
  std::string Props(const char* user = kSampleClerkWithPrices) const { return MakePropsString(kAccount, user); }
  std::filesystem::path DatabaseFile() const { return DatabasePath(kAccount); }

  vemo::test::TempDir temp_;
  DataFolderScope scope_;
};

}  // namespace vemo::host::test
