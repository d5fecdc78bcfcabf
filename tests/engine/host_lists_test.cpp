// Serial-number and settlement-account lists longer than a cell of an old
// spreadsheet application holds: cut to 1024 characters only when no
// application of version 12 or later is here.
#include <gtest/gtest.h>

#include "context/scripted_desktop.h"
#include "engine/host_questions.h"
#include "foundation/creation_service.h"
#include "foundation/recordset.h"
#include "host/components/class_info.h"
#include "host/spreadsheet/spreadsheet_application.h"

namespace vemo::engine {
namespace {

// Answers every query with 300 rows ("SN0001", "Account0001", 1) ...
class ManyRows final : public host::IClassInfo {
 public:
  std::string TypeName() const override { return "ManyRows"; }
  RecordsetRef GetData(std::string_view, std::string_view) override {
    std::vector<std::vector<Variant>> rows;
    for (int i = 1; i <= 300; ++i) {
      const std::string n = std::to_string(10000 + i).substr(1);
      rows.push_back({Variant(i), Variant("SN" + n), Variant(1)});
    }
    return Recordset::Create({"FID", "FName", "FAmount"}, std::move(rows));
  }
  Bytes GetPictureData(const HostDictionary&, std::string_view) override { return {}; }
};

TEST(HostLists, CutOnlyWithoutAnApplicationOfVersion12OrLater) {
  ScopedFactory rows("VemoMClass.ClassInfo", [] { return ObjectRef(std::make_shared<ManyRows>()); });
  struct Case {
    const char* application;  // the version "ET.Application" reports; nullptr: none installed
    std::size_t serials, accounts;
  };
  // 300 items of "SN0001" (6 characters) and "SN0001|1" (8), joined by commas.
  const Case cases[] = {
      {"12.0", 300 * 7 - 1, 300 * 9 - 1},
      {"11.0", 1024, 1024},
      {nullptr, 1024, 1024},
  };
  for (const Case& c : cases) {
    const std::string version = c.application ? c.application : "";
    ScopedFactory app("ET.Application", c.application ? ObjectFactory([version] {
      auto application = host::SurfaceApplication::Create();
      application->SetVersion(version);
      return ObjectRef(application);
    })
                                                      : ObjectFactory(nullptr));
    ScopedFactory kingsoft("KET.Application", nullptr);
    ScopedFactory excel("Excel.Application", nullptr);
    EXPECT_EQ(BuildSerialNumberList(1040007, 1, 1).size(), c.serials) << version;
    EXPECT_EQ(BuildSettleAccountList(1050001, 1).size(), c.accounts) << version;
  }
}

}  // namespace
}  // namespace vemo::engine
