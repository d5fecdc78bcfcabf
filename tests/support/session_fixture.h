// A clean session context for each test: a private machine configuration
// folder, a scripted desktop, the session components registered, and
// helpers to publish a session and to write registry values and files.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "context/machine_config.h"
#include "context/path_mapping.h"
#include "context/scripted_desktop.h"
#include "context/session_components.h"
#include "context/session_store.h"
#include "foundation/json_convert.h"
#include "support/test_paths.h"

namespace vemo::context::test {

// Sets (or, with nullopt, unsets) an environment variable for the object's lifetime.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) previous_ = old;
    if (value) {
      ::setenv(name_.c_str(), value->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }
  ~ScopedEnv() {
    if (previous_) {
      ::setenv(name_.c_str(), previous_->c_str(), 1);
    } else {
      ::unsetenv(name_.c_str());
    }
  }

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

class ContextTest : public ::testing::Test {
 protected:
  ContextTest()
      : machine_(temp_.path() / "machine"),
        desktop_(std::make_shared<ScriptedDesktop>()),
        useDesktop_(desktop_),
        noSpreadsheetEnv_("VEMO_NO_SPREADSHEET", std::nullopt) {
    std::filesystem::create_directories(temp_.path() / "machine");
    RegisterSessionComponents();
    UnpublishSession();
  }
  ~ContextTest() override { UnpublishSession(); }

  std::filesystem::path MachineFolder() const { return temp_.path() / "machine"; }

  // Publishes a session for this process from JSON members.
  void Publish(const Json& login, std::optional<Json> settings = std::nullopt, int outer = 0) {
    Json session = {{"IsOuterLogin", outer}, {"login", login}};
    if (settings) session["settings"] = *settings;
    PublishSession(SessionFromJson(session));
  }

  void WriteMachineFile(const std::string& name, const Json& json) {
    std::ofstream(MachineFolder() / name) << json.dump(2);
  }
  // Writes `content` to the file named in Windows form (creating its folders).
  void WriteWindowsFile(const std::string& windowsPath, const std::string& content) {
    const auto host = ToHostPath(windowsPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << content;
  }

  vemo::test::TempDir temp_;
  ScopedMachineConfig machine_;
  std::shared_ptr<ScriptedDesktop> desktop_;
  ScopedDesktop useDesktop_;
  ScopedEnv noSpreadsheetEnv_;
};

}  // namespace vemo::context::test
