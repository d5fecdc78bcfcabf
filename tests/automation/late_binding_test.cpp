// Every creatable class, made by identifier and reached by member name; and
// the late-binding errors a host sees for a wrong name or argument count.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "automation/late_binding.h"
#include "automation/public_classes.h"
#include "foundation/creation_service.h"
#include "foundation/host_collections.h"
#include "support/host_error_of.h"

namespace vemo::automation {
namespace {

struct Case {
  const char* progId;
  const char* setName;  // a property set first, when not null
  Variant setValue;
  Access access;
  const char* member;
  std::vector<Variant> arguments;
  Variant expected;                  // when no error is expected
  std::optional<int> expectedError;  // HostError number
};

TEST(LateBinding, CreatesEachPublicClassByIdentifierAndReachesItsMembers) {
  RegisterPublicClasses();
  const std::vector<Case> cases = {
      // Mail is not supported: the action answers False, it does not raise.
      {"VemoPrintExport.ExportAction", nullptr, {}, Access::Call, "ToEmailAction", {"a.xls"}, false, {}},
      // PrintRpt without PrintInitial has no engine to print on.
      {"VemoPrintExport.ExportActionRpt", nullptr, {}, Access::Call, "PrintRpt", {false}, false, {}},
      {"VemoPrintExport.ExportActionLM", "dataFrom", 1, Access::Get, "DATAFROM", {}, 1, {}},
      // RptID 0: nothing to set up, and no dialog is opened.
      {"VemoPrintExport.ExportActionSetup", "RptID", 0, Access::Call, "RptExcelPrintSetup", {}, Variant(), {}},
      {"VemoPrintExport.ExportActionSetupRpt", "RptID", 0, Access::Call, "RptExcelPrintSetup", {}, Variant(), {}},
      {"VemoPrintExport.ExportActionSetupLM", "dataFrom", 1, Access::Get, "dataFrom", {}, 1, {}},
      {"VemoPrintExport.ExcelOperaterRpt", "FileAllName", "/tmp/t.xlsx", Access::Get, "FileAllName", {}, "/tmp/t.xlsx", {}},
      {"VemoPrintExport.ExcelOperaterLM", "dataFrom", 1, Access::Get, "dataFrom", {}, 1, {}},
      // Errors: the report class has no PrintBill, properties are write-only,
      // and argument counts are checked.
      {"VemoPrintExport.ExportActionRpt", nullptr, {}, Access::Call, "PrintBill", {false}, {}, kNoSuchMember},
      {"VemoPrintExport.ExportAction", nullptr, {}, Access::Get, "RptID", {}, {}, kNoSuchMember},
      {"VemoPrintExport.ExportAction", nullptr, {}, Access::Call, "PrintBill", {}, {}, kWrongArgumentCount},
      {"VemoPrintExport.ExportActionLM", nullptr, {}, Access::Get, "dataFrom", {1}, {}, kWrongArgumentCount},
      // Nothing is no rows; a value where an object belongs is refused.
      {"VemoPrintExport.ExcelOperaterRpt", "RptEntryData", ObjectRef(), Access::Call, "PrintTo", {}, false, {}},
      {"VemoPrintExport.ExportAction", "Data", 5, Access::Call, "PreCheck", {}, {}, HostError::kTypeMismatch},
      // The setup classes raise to the host: a data service without classtype.
      {"VemoPrintExport.ExportActionSetup", "DataSrv", HostDictionary::Create(), Access::Call, "GetCurrNote", {}, {},
       HostError::kObjectRequired},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.progId) + "." + c.member);
    const ObjectRef object = CreateObject(c.progId);
    Variant answer;
    const test::Raised raised = test::RaisedBy([&] {
      if (c.setName) Invoke(object, c.setName, Access::Set, {&c.setValue, 1});
      answer = Invoke(object, c.member, c.access, c.arguments);
    });
    EXPECT_EQ(raised.number, c.expectedError.value_or(0)) << raised.message;
    if (!c.expectedError) {
      EXPECT_TRUE(answer == c.expected) << answer.ToText();
    }
  }
}

}  // namespace
}  // namespace vemo::automation
