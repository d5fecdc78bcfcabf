// Each setup test gets a data folder with an initialised sample account, our
// components registered, a published session (props string of that
// account, AppPath and AppType settings), a scripted desktop, a private
// machine configuration and a stand-in spreadsheet application.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/creation_service.h"
#include "host/components/bill_data_service.h"
#include "host/components/logistic_manage.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host/host_fixture.h"
#include "setup/form_host.h"
#include "setup/scripted_grid.h"
#include "support/files.h"
#include "support/session_fixture.h"

namespace vemo::setup::test {

// Any object stands for the spreadsheet application: the dialogs only ask
// whether one can be created.
class FakeSpreadsheetApp : public HostObject {
 public:
  std::string TypeName() const override { return "FakeSpreadsheetApp"; }
};

class SetupTest : public vemo::test::ContextTest {
 protected:
  static constexpr const char* kAccount = "SetupAccount";
  SetupTest()
      : dataScope_(temp_.path()), spreadsheet_("ET.Application", [] { return std::make_shared<FakeSpreadsheetApp>(); }) {
    host::InitializeSampleAccount(host::DatabasePath(kAccount), false);
    host::RegisterDatabaseComponents();
    Publish(2, 0);
  }

  void Publish(int appType, int outerLogin) {
    Json session = {{"IsOuterLogin", outerLogin},
                    {"login", {{"PropsString", Props()}, {"UserName", "Administrator"}}},
                    {"settings", {{"AppPath", "C:\\Host"}, {"AppType", appType}}}};
    context::PublishSession(context::SessionFromJson(session));
  }
  static std::string Props() { return host::MakePropsString(kAccount, "Administrator"); }
  // The data service of a bill screen of this type.
  static std::shared_ptr<host::BillDataService> BillDataSrv(std::int32_t billType, const char* typeName) {
    auto classtype = HostDictionary::Create();
    classtype->Add("FID", billType);
    classtype->Add("FName", typeName);
    return std::make_shared<host::BillDataService>(classtype, HostVector::Create(), billType, Props());
  }
  // Writes a file in the test's folder; its path.
  std::string File(const std::string& name, const std::string& bytes) {
    vemo::test::WriteFileBytes(temp_.path() / name, bytes);
    return (temp_.path() / name).string();
  }
  static std::string Read(const std::string& path) { return vemo::test::ReadFileBytes(path); }

  // The rows the store holds for a bill type, as "id name sel sub".
  static std::vector<std::string> StoredBillRows(std::int32_t billType) {
    auto info = CreateObjectAs<host::IPrintSetupQuery>(host::progid::kPrintSetupQuery)->GetNoteInfo(Props(), billType);
    return host::test::NoteInfoRows(info, "FBillID");
  }
  // The stored courier companies as "name default shown" (1 or 0 each).
  static std::vector<std::string> StoredCouriers() {
    auto list = CreateObjectAs<host::ILogisticInfo>(host::progid::kLogisticInfo)->GetLogisticInfoList(Props(), true);
    std::vector<std::string> out;
    for (int i = 1; i <= list->Size(); ++i) {
      auto company = list->Item(i).AsObject<HostDictionary>();
      out.push_back(company->Item("FName").ToText() + " " + (company->Item("FIsDefault").ToBool() ? "1" : "0") +
                    (company->Item("FIsShow").ToBool() ? "1" : "0"));
    }
    return out;
  }
  // The grid's rows as "key name flag type".
  static std::vector<std::string> GridRows(const SetupGrid& grid) {
    std::vector<std::string> out;
    for (int row = 1; row <= grid.RowCount(); ++row) {
      std::string text;
      for (int col = 1; col <= grid.ColumnCount(); ++col) text += (col > 1 ? " " : "") + grid.CellText(row, col);
      out.push_back(text);
    }
    return out;
  }

  std::vector<context::ShownMessage> Messages() const { return desktop_->Messages(); }

  host::test::DataFolderScope dataScope_;
  ScopedFactory spreadsheet_;
};

// A courier list component with no companies.
class EmptyCourierList : public host::ILogisticInfo {
 public:
  std::string TypeName() const override { return "EmptyCourierList"; }
  VectorRef GetLogisticInfoList(std::string_view, bool) override { return HostVector::Create(); }
};

// Shows a form the way a window system would: loads it, then lets the
// test's script act as the user until it returns.
class ScriptedFormHost : public FormHost {
 public:
  explicit ScriptedFormHost(std::function<void(SetupForm&)> user = nullptr) : user_(std::move(user)) {}
  void ShowModal(SetupForm& form) override {
    shown.push_back(form.Caption());
    form.Load();
    if (!form.IsClosed() && user_) user_(form);
  }
  std::vector<std::string> shown;

 private:
  std::function<void(SetupForm&)> user_;
};
using vemo::setup::ScopedFormHost;

// Expects exactly one message with this text, kind and icon.
inline void ExpectOnlyMessage(const std::vector<context::ShownMessage>& messages, const std::string& text,
                              context::ShownMessage::Kind kind, int icon = 0) {
  ASSERT_EQ(messages.size(), 1u) << (messages.empty() ? std::string("no message") : messages.back().text);
  EXPECT_EQ(messages[0].text, text);
  EXPECT_EQ(messages[0].kind, kind);
  EXPECT_EQ(messages[0].icon, icon);
  if (kind == context::ShownMessage::Kind::MessageBox) {
    EXPECT_EQ(messages[0].title, "Quorvan提示");
  }
}

}  // namespace vemo::setup::test
