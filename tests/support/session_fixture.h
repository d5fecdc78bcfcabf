// A clean session context for each test: a private machine configuration
// folder, a scripted desktop, the session components registered, and
// helpers to publish a session and to write registry values and files.
#pragma once
#include <gtest/gtest.h>

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
#include "support/scoped_env.h"
#include "support/test_paths.h"

namespace vemo::test {


class ContextTest : public ::testing::Test {
 protected:
  ContextTest()
      : machine_(temp_.path() / "machine"),
        desktop_(std::make_shared<context::ScriptedDesktop>()),
        useDesktop_(desktop_),
        noSpreadsheetEnv_("VEMO_NO_SPREADSHEET", std::nullopt) {
    std::filesystem::create_directories(temp_.path() / "machine");
    context::RegisterSessionComponents();
    context::UnpublishSession();
  }
  ~ContextTest() override { context::UnpublishSession(); }

  std::filesystem::path MachineFolder() const { return temp_.path() / "machine"; }

  // Publishes a session for this process from JSON members.
  void Publish(const Json& login, std::optional<Json> settings = std::nullopt, int outer = 0) {
    Json session = {{"IsOuterLogin", outer}, {"login", login}};
    if (settings) session["settings"] = *settings;
    context::PublishSession(context::SessionFromJson(session));
  }

  void WriteMachineFile(const std::string& name, const Json& json) {
    std::ofstream(MachineFolder() / name) << json.dump(2);
  }
  // Writes `content` to the file named in Windows form (creating its folders).
  void WriteWindowsFile(const std::string& windowsPath, const std::string& content) {
    const auto host = context::ToHostPath(windowsPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << content;
  }

  TempDir temp_;
  context::ScopedMachineConfig machine_;
  std::shared_ptr<context::ScriptedDesktop> desktop_;
  context::ScopedDesktop useDesktop_;
  ScopedEnv noSpreadsheetEnv_;
};

}  // namespace vemo::test
