#include <gtest/gtest.h>

#include "context/spreadsheet_detection.h"
#include "context_fixture.h"
#include "foundation/creation_service.h"

namespace vemo::context::test {
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

TEST_F(SpreadsheetDetectionTest, NoneInstalled) {
  EXPECT_FALSE(IsSpreadsheetAppAvailable());
  EXPECT_EQ(GetSpreadsheetApp(), nullptr);
  EXPECT_FALSE(IsMsExcel());
}

TEST_F(SpreadsheetDetectionTest, CompatibleApplicationWinsOverExcel) {
  ScopedFactory excel("Excel.Application", Makes("excel"));
  ScopedFactory et("ET.Application", Makes("et"));
  ScopedFactory ket("KET.Application", Makes("ket"));
  auto app = GetSpreadsheetApp();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->TypeName(), "et");
  EXPECT_FALSE(IsMsExcel());
  EXPECT_TRUE(IsSpreadsheetAppAvailable());
}

TEST_F(SpreadsheetDetectionTest, SecondIdentifierBeforeExcel) {
  ScopedFactory excel("Excel.Application", Makes("excel"));
  ScopedFactory ket("KET.Application", Makes("ket"));
  EXPECT_EQ(GetSpreadsheetApp()->TypeName(), "ket");
  EXPECT_FALSE(IsMsExcel());
}

TEST_F(SpreadsheetDetectionTest, ExcelAloneSetsTheFlagAndALaterFindClearsIt) {
  {
    ScopedFactory excel("Excel.Application", Makes("excel"));
    EXPECT_FALSE(IsMsExcel());  // only GetSpreadsheetApp sets it
    EXPECT_TRUE(IsSpreadsheetAppAvailable());
    EXPECT_FALSE(IsMsExcel());
    EXPECT_EQ(GetSpreadsheetApp()->TypeName(), "excel");
    EXPECT_TRUE(IsMsExcel());
    EXPECT_EQ(FindSpreadsheetApp().progId, "Excel.Application");
  }
  EXPECT_EQ(GetSpreadsheetApp(), nullptr);
  EXPECT_TRUE(IsMsExcel());  // nothing found: the flag of the last find stays
  ScopedFactory et("ET.Application", Makes("et"));
  GetSpreadsheetApp();
  EXPECT_FALSE(IsMsExcel());
}

TEST_F(SpreadsheetDetectionTest, AFactoryThatFailsIsSkipped) {
  ScopedFactory et("ET.Application", [] () -> ObjectRef { throw HostError(429, "broken install"); });
  ScopedFactory ket("KET.Application", [] { return ObjectRef(); });
  ScopedFactory excel("Excel.Application", Makes("excel"));
  EXPECT_EQ(GetSpreadsheetApp()->TypeName(), "excel");
}

TEST_F(SpreadsheetDetectionTest, WithheldByEnvironment) {
  ScopedFactory et("ET.Application", Makes("et"));
  {
    ScopedEnv off("VEMO_NO_SPREADSHEET", "1");
    EXPECT_TRUE(SpreadsheetAppsWithheld());
    EXPECT_FALSE(IsSpreadsheetAppAvailable());
    EXPECT_EQ(GetSpreadsheetApp(), nullptr);
  }
  ScopedEnv zero("VEMO_NO_SPREADSHEET", "0");
  EXPECT_TRUE(IsSpreadsheetAppAvailable());
}

TEST_F(SpreadsheetDetectionTest, WithheldByTheMachineConfiguration) {
  ScopedFactory et("ET.Application", Makes("et"));
  WriteMachineFile("machine.json", {{"noSpreadsheet", true}});
  EXPECT_FALSE(IsSpreadsheetAppAvailable());
  WriteMachineFile("machine.json", {{"noSpreadsheet", false}});
  EXPECT_TRUE(IsSpreadsheetAppAvailable());
}

}  // namespace
}  // namespace vemo::context::test
