// TalvoAPBehaviorLog.WriteLog over the company database.
#include <chrono>
#include <ctime>

#include "host/components/behavior_log.h"
#include "host/components/database_components.h"
#include "host/database/account_location.h"
#include "host/database/company_database.h"

namespace vemo::host {

namespace {

std::string LocalTimeText() {
  std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

class DatabaseBehaviorLog : public IBehaviorLog {
 public:
  std::string TypeName() const override { return "DatabaseBehaviorLog"; }
  void SetPropsString(std::string props) override { props_ = std::move(props); }
  const std::string& PropsString() const override { return props_; }
  void WriteMGLog(std::string_view code, std::string_view text) override {
    if (props_.empty()) throw HostError("the behaviour log needs its PropsString set before WriteMGLog");
    auto db = OpenAccountDatabase(props_);
    Transaction transaction(*db);
    db->Prepare("INSERT INTO t_BehaviorLog (FTime, FUserName, FCode, FText) VALUES (?, ?, ?, ?)")
        .Bind(1, LocalTimeText())
        .Bind(2, UserName(props_))
        .Bind(3, code)
        .Bind(4, text)
        .Run();
    transaction.Commit();
  }

 private:
  std::string props_;
};

}  // namespace

ObjectRef MakeDatabaseBehaviorLog() { return std::make_shared<DatabaseBehaviorLog>(); }

}  // namespace vemo::host
