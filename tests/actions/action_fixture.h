// A clean world for each export action test: the session context of the
// context tests (scripted desktop, private machine configuration), working
// files in the test's own temporary folder, a published login, and doubles
// for the engine, the template components, the behaviour log and the
// spreadsheet application (version 12.0 unless a test says otherwise).
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "action_doubles.h"
#include "support/session_fixture.h"
#include "context/message_box.h"
#include "context/spreadsheet_detection.h"
#include "context/temp_files.h"
#include "actions/action_core.h"
#include "foundation/creation_service.h"
#include "foundation/json_convert.h"
#include "host/components/bill_data_service.h"
#include "host/components/prog_ids.h"

namespace vemo::actions::test {

inline constexpr const char* kProps = "UserName=Tom;ConnectString={Provider=X;Initial Catalog=Acc1};AcctID=5";
inline constexpr const char* kAppPath = "C:\\Program Files\\Quorvan\\Tradon";
// What every class shows when no template is stored or the engine refuses it.
inline constexpr const char* kNoTemplate = "未设置打印模板或设置错误，请先确认设置Excel打印模板！";

class ActionTest : public vemo::test::ContextTest {
 protected:
  ActionTest()
      : tmpdir_("TMPDIR", (temp_.path() / "tmp").string()),
        script_(std::make_shared<EngineScript>()),
        useEngines_(engines_.Factory(script_)),
        store_(std::make_shared<TemplateStore>()),
        logEntries_(std::make_shared<std::vector<LogEntry>>()),
        query_(std::string(host::progid::kPrintSetupQuery), [s = store_] { return std::make_shared<FakeQuery>(s, "Query"); }),
        queryRpt_(std::string(host::progid::kPrintSetupQueryRpt), [s = store_] { return std::make_shared<FakeQuery>(s, "QueryRpt"); }),
        queryLM_(std::string(host::progid::kPrintSetupQueryLM), [s = store_] { return std::make_shared<FakeQueryLM>(s); }),
        classInfo_(std::string(host::progid::kClassInfo), [s = store_] { return std::make_shared<FakeClassInfo>(s); }),
        log_(std::string(host::progid::kBehaviorLog), [l = logEntries_] { return std::make_shared<FakeBehaviorLog>(l); }),
        et_("ET.Application", nullptr),
        ket_("KET.Application", nullptr),
        excel_("Excel.Application", nullptr) {
    std::filesystem::create_directories(temp_.path() / "tmp");
    SetSpreadsheetVersion("12.0");
    PublishLogin(0);
  }

  void PublishLogin(int outer) { Publish({{"PropsString", kProps}, {"UserName", "Tom"}}, Json{{"AppPath", kAppPath}}, outer); }

  void SetSpreadsheetVersion(std::string version) {
    Creation().Register("ET.Application", [version] { return std::make_shared<VersionedApplication>(version); });
  }
  void RemoveSpreadsheet() { Creation().Unregister("ET.Application"); }

  // Outlook 16 installed (registry value and program file).
  void InstallOutlook() {
    WriteMachineFile("registry.json", {{"SOFTWARE\\Microsoft\\Office\\16.0\\Outlook\\InstallRoot", {{"Path", "C:\\Office16\\"}}}});
    WriteWindowsFile("C:\\Office16\\Outlook.exe", "program");
  }

  // A sales invoice (class type 1020002) whose head carries the invoice
  // type "增值税发票" as FInvoiceType's display text.
  std::shared_ptr<host::BillDataService> Invoice(std::int32_t classTypeId = 1020002) {
    auto classtype = HostDictionary::Create();
    classtype->Add("FID", classTypeId);
    classtype->Add("FBillTypeID", 20);
    auto entries = HostVector::Create();
    return std::make_shared<host::BillDataService>(classtype, entries, classTypeId, kProps);
  }
  // Field dictionary and values with one head field `key` showing `display`.
  DictionaryRef Fields(const std::string& key) {
    auto fields = HostDictionary::Create();
    auto map = HostDictionary::Create();
    map->Add(key, "_0006_" + key);
    fields->Add("Map", map);
    auto info = HostDictionary::Create();
    info->Add("FKey", key);
    info->Add("FPage", 1);
    info->Add("CtlIndex", 5);
    fields->Add("_0006_" + key, info);
    return fields;
  }
  DictionaryRef Values(const std::string& key, const std::string& display) {
    auto cell = HostDictionary::Create();
    cell->Add("FFLD", 3);
    cell->Add("FDSP", display);
    cell->Add("FFND", "");
    auto head = HostDictionary::Create();
    head->Add("_0006_" + key, cell);
    auto values = HostDictionary::Create();
    values->Add("FID", 1001);
    values->Add("Page1", head);
    return values;
  }

  std::vector<context::ShownMessage> Messages() const { return desktop_->Messages(); }
  std::vector<std::shared_ptr<EngineRecord>> Engines() const { return engines_.Records(); }
  std::vector<std::string> Queries() {
    std::lock_guard lock(store_->mutex);
    return store_->queries;
  }
  // The behaviour log: "<code> <text>" per entry.
  std::vector<std::string> Logged() const {
    std::vector<std::string> lines;
    for (const LogEntry& entry : *logEntries_) lines.push_back(entry.code + " " + entry.text);
    return lines;
  }

  static Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  vemo::test::ScopedEnv tmpdir_;
  EngineLog engines_;
  std::shared_ptr<EngineScript> script_;
  ScopedEngineFactory useEngines_;
  std::shared_ptr<TemplateStore> store_;
  std::shared_ptr<std::vector<LogEntry>> logEntries_;
  ScopedFactory query_, queryRpt_, queryLM_, classInfo_, log_, et_, ket_, excel_;
};

// The print data of a continuous print: one bill of each transaction type given.
inline VectorRef Bills(std::initializer_list<int> types) {
  auto bills = HostVector::Create();
  for (int type : types) {
    auto bill = HostDictionary::Create();
    bill->Add("FTranType", type);
    bills->Add(bill);
  }
  return bills;
}

// Expects exactly one message and returns it.
inline context::ShownMessage OnlyMessage(const std::vector<context::ShownMessage>& messages) {
  EXPECT_EQ(messages.size(), 1u);
  return messages.empty() ? context::ShownMessage{} : messages.front();
}

// Expects exactly one message box: its text, buttons, icon and title.
inline void ExpectOnlyBox(const std::vector<context::ShownMessage>& messages, const std::string& text, int buttons,
                          int icon, const std::string& title = "Quorvan提示") {
  const context::ShownMessage message = OnlyMessage(messages);
  EXPECT_EQ(message.kind, context::ShownMessage::Kind::MessageBox) << text;
  EXPECT_EQ(message.text, text);
  EXPECT_EQ(message.buttons, buttons) << text;
  EXPECT_EQ(message.icon, icon) << text;
  EXPECT_EQ(message.title, title) << text;
}

// Expects exactly one message of the host's message service.
inline void ExpectOnlyHostMessage(const std::vector<context::ShownMessage>& messages, const std::string& text) {
  const context::ShownMessage message = OnlyMessage(messages);
  EXPECT_EQ(message.kind, context::ShownMessage::Kind::HostMessage) << text;
  EXPECT_EQ(message.text, text);
}

// A file dialog's request as "title | filter | file name | flags".
inline std::string DialogOf(const context::ShownDialog& dialog) {
  const context::FileDialogRequest& r = dialog.request;
  return r.title + " | " + r.filter + " | " + r.fileName + " | " + std::to_string(r.flags);
}

}  // namespace vemo::actions::test
