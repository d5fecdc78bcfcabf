#include <gtest/gtest.h>

#include <fstream>

#include "context/login.h"
#include "context/props_string.h"
#include "context/session_components.h"
#include "context/settings.h"
#include "support/session_fixture.h"
#include "foundation/creation_service.h"
#include "foundation/json_convert.h"

namespace vemo::context::test {

using vemo::test::ContextTest;
namespace {

class LoginTest : public ContextTest {};

// Ordinary logins (flag 0) answer every published name, outer logins (1)
// only the login property names, any other flag nothing.
TEST_F(LoginTest, WhatEachLoginFlagAnswers) {
  const Json login = {{"UserName", "Tom"},
                      {"UserID", 16394},
                      {"CustomValue", "x"},
                      {"PropsString", "UserName=Tom"},
                      {"VemoLogin", {{"Server", "S1"}}}};
  struct Case {
    int flag;
    const char* name;
    const char* answer;  // "" = empty
  };
  const Case cases[] = {
      {0, "UserName", "Tom"}, {0, "UserID", "16394"},  {0, "CustomValue", "x"}, {0, "AcctName", ""},
      {1, "UserName", "Tom"}, {1, "CustomValue", ""}, {2, "UserName", ""},
  };
  for (const Case& c : cases) {
    Publish(login, std::nullopt, c.flag);
    EXPECT_EQ(IsOuterLogin(), c.flag);
    const Variant value = GetLoginProperty(c.name);
    EXPECT_EQ(value.IsEmpty() ? "" : value.ToText(), c.answer) << "flag " << c.flag << ", " << c.name;
  }
  Publish(login);
  EXPECT_EQ(GetPropsString(), "UserName=Tom");
  auto object = GetLoginProperty("VemoLogin").AsObject<HostDictionary>();
  ASSERT_NE(object, nullptr) << "object values stay objects";
  EXPECT_EQ(object->Value("Server").ToText(), "S1");
  {
    ScopedFactory noCache(std::string(kCacheFacadeId), nullptr);  // a missing service gives empty
    EXPECT_TRUE(GetLoginProperty("UserName").IsEmpty());
    EXPECT_EQ(IsOuterLogin(), 0);
  }
  context::UnpublishSession();
  EXPECT_TRUE(GetLoginProperty("UserName").IsEmpty());
  EXPECT_EQ(IsOuterLogin(), 0);
  EXPECT_EQ(GetPropsString(), "");
}

TEST_F(LoginTest, PublishedForAnotherProcessIsNotOursAndTheHostsServicesAreKept) {
  SessionData other;
  other.login = HostDictionary::Create();
  other.login->Set("UserName", "Someone");
  PublishSession(other, CurrentProcessId() + 100000);
  EXPECT_TRUE(GetLoginProperty("UserName").IsEmpty());
  auto facade = CreateObjectAs<ICacheFacade>(kCacheFacadeId);
  EXPECT_EQ(facade->GetItem(CurrentProcessId() + 100000, "UserName").ToText(), "Someone");
  EXPECT_THROW(facade->GetItem(CurrentProcessId(), "UserName"), HostError);
  UnpublishSession(CurrentProcessId() + 100000);
  // Services the host registered are used and kept.
  class FixedProps : public IShareProps {
   public:
    std::string TypeName() const override { return "FixedProps"; }
    Variant GetProperty(int, std::string_view name) override { return "host:" + std::string(name); }
  };
  ScopedFactory hostProps(std::string(kSharePropsId), [] { return std::make_shared<FixedProps>(); });
  Publish({{"UserName", "Tom"}});  // publishing must not replace the host's service
  EXPECT_EQ(GetLoginProperty("UserName").ToText(), "host:UserName");
}

TEST_F(LoginTest, SessionFileRoundTripAndTheFlagAndSettingsForms) {
  const auto file = temp_.path() / "session.json";
  std::ofstream(file) << R"({"IsOuterLogin": 0,
    "login": {"UserName": "Tom", "PropsString": "UserName=Tom;ConnectString={Provider=X;Initial Catalog=Acc1}"},
    "settings": {"AppType": 4, "IndustryType": 1, "AppPath": "C:\\Quorvan"}})";
  PublishSession(LoadSessionFile(file));
  EXPECT_EQ(GetLoginProperty("UserName").ToText(), "Tom");
  EXPECT_EQ(DatabaseNameOf(GetPropsString()), "Acc1");
  EXPECT_EQ(GetSessionSetting("AppType").ToInt32(), 4);
  EXPECT_EQ(GetAppPath(), "C:\\Quorvan");
  // The outer login flag may be a boolean, and the settings may be missing.
  PublishSession(SessionFromJson(Json{{"IsOuterLogin", true}, {"login", {{"UserName", "Ann"}}}}));
  EXPECT_EQ(IsOuterLogin(), 1);
  EXPECT_EQ(GetLoginProperty("UserName").ToText(), "Ann");
  EXPECT_EQ(PublishedSession()->settings, nullptr);
  EXPECT_EQ(GetSessionSetting("AppType", 2).ToInt32(), 2);
  PublishSession(SessionFromJson(Json{{"IsOuterLogin", false}}));
  EXPECT_EQ(IsOuterLogin(), 0);
}

TEST_F(LoginTest, BadSessionFilesAreReportedWithTheFileName) {
  std::ofstream(temp_.path() / "broken.json") << "{ not json";
  std::ofstream(temp_.path() / "shape.json") << R"({"login": [1, 2]})";
  for (const char* name : {"missing.json", "broken.json", "shape.json"}) {
    try {
      LoadSessionFile(temp_.path() / name);
      ADD_FAILURE() << name << " must raise";
    } catch (const HostError& e) {
      EXPECT_NE(e.Description().find(name), std::string::npos) << e.Description();
    }
  }
}

}  // namespace
}  // namespace vemo::context::test
