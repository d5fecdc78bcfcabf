// VemoEBSBase.SecurityInfo and VemoEBSBase.SystemProfile over the company
// database.
#include "host/components/database_components.h"
#include "host/components/security_info.h"
#include "host/database/account_location.h"
#include "host/database/company_database.h"

namespace vemo::host {

namespace {

class DatabaseSecurityInfo : public ISecurityInfo {
 public:
  std::string TypeName() const override { return "DatabaseSecurityInfo"; }
  bool AccessCheck(std::string_view props, std::int32_t subsystem, std::int32_t objectId, std::int32_t accessType,
                   bool, std::string_view) override {
    std::string user = UserName(props);
    auto db = OpenAccountDatabase(props);
    auto admin = db->Prepare("SELECT FIsAdmin FROM t_User WHERE FUserName = ?");
    admin.Bind(1, user);
    if (!admin.Step()) return false;
    if (admin.Int(0) != 0) return true;
    auto right = db->Prepare(
        "SELECT 1 FROM t_AccessRight WHERE FUserName = ? AND FSubSystemID = ? AND FObjectID = ? AND FAccessType = ?");
    right.Bind(1, user).Bind(2, subsystem).Bind(3, objectId).Bind(4, accessType);
    return right.Step();
  }
};

class DatabaseSystemProfile : public ISystemProfile {
 public:
  std::string TypeName() const override { return "DatabaseSystemProfile"; }
  std::string GetProfile(std::string_view props, std::string_view category, std::string_view key) override {
    auto db = OpenAccountDatabase(props);
    auto value = db->Prepare("SELECT FValue FROM t_SystemProfile WHERE FCategory = ? AND FKey = ?");
    value.Bind(1, category).Bind(2, key);
    return value.Step() ? value.Text(0) : std::string();
  }
};

}  // namespace

ObjectRef MakeDatabaseSecurityInfo() { return std::make_shared<DatabaseSecurityInfo>(); }
ObjectRef MakeDatabaseSystemProfile() { return std::make_shared<DatabaseSystemProfile>(); }

}  // namespace vemo::host
