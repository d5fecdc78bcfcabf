#include <gtest/gtest.h>

#include "context/spreadsheet_detection.h"
#include "support/session_fixture.h"
#include "foundation/creation_service.h"

namespace vemo::context::test {

using vemo::test::ContextTest;
using vemo::test::ScopedEnv;
namespace {

class FakeApp : public HostObject {
 public:
  explicit FakeApp(std::string name) : name_(std::move(name)) {}
  std::string TypeName() const override { return name_; }

 private:
  std::string name_;
};

ObjectFactory Makes(const std::string& name) {
  return [name] { return std::make_shared<FakeApp>(name); };
}

class SpreadsheetDetectionTest : public ContextTest {
 protected:
  SpreadsheetDetectionTest()
      : et_("ET.Application", nullptr), ket_("KET.Application", nullptr), excel_("Excel.Application", nullptr) {
    ResetIsMsExcel();
  }
  ~SpreadsheetDetectionTest() override { ResetIsMsExcel(); }
  ScopedFactory et_, ket_, excel_;
};

// ET, then KET, then Excel: the first identifier that makes an object wins.
// The Excel flag is set by each find that finds something, in this order,
// and kept when nothing is found.
TEST_F(SpreadsheetDetectionTest, TheFirstIdentifierThatMakesAnObjectWinsUnlessWithheld) {
  const ObjectFactory fails = []() -> ObjectRef { throw HostError(429, "broken install"); };
  const ObjectFactory makesNothing = [] { return ObjectRef(); };
  struct Case {
    ObjectFactory et, ket, excel;
    std::string found;  // "" = none
    bool isExcel;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, "", false},
      {fails, makesNothing, Makes("excel"), "excel", true},
      {nullptr, nullptr, nullptr, "", true},
      {Makes("et"), Makes("ket"), Makes("excel"), "et", false},
      {nullptr, Makes("ket"), Makes("excel"), "ket", false},
  };
  for (const Case& c : cases) {
    ScopedFactory et("ET.Application", c.et), ket("KET.Application", c.ket), excel("Excel.Application", c.excel);
    const auto app = GetSpreadsheetApp();
    EXPECT_EQ(app ? app->TypeName() : "", c.found);
    EXPECT_EQ(IsMsExcel(), c.isExcel) << c.found;
  }
  ScopedFactory excel("Excel.Application", Makes("excel"));
  EXPECT_TRUE(IsSpreadsheetAppAvailable());
  EXPECT_EQ(FindSpreadsheetApp().progId, "Excel.Application");
  EXPECT_FALSE(IsMsExcel()) << "only GetSpreadsheetApp sets the flag";

  // Withheld by the environment or the machine configuration.
  {
    ScopedEnv off("VEMO_NO_SPREADSHEET", "1");
    EXPECT_TRUE(SpreadsheetAppsWithheld());
    EXPECT_FALSE(IsSpreadsheetAppAvailable());
    EXPECT_EQ(GetSpreadsheetApp(), nullptr);
  }
  ScopedEnv zero("VEMO_NO_SPREADSHEET", "0");
  EXPECT_TRUE(IsSpreadsheetAppAvailable());
  WriteMachineFile("machine.json", {{"noSpreadsheet", true}});
  EXPECT_FALSE(IsSpreadsheetAppAvailable());
}

}  // namespace
}  // namespace vemo::context::test
