// The set-up of the engine output tests: a private machine configuration
// whose common files folder holds the built printer hook libraries (or not),
// a program folder with or without the debug log, our spreadsheet
// application registered (each instance remembered), and a print service
// that records what it is asked to do and how visible the application was.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "context/library_loader.h"
#include "context/machine_config.h"
#include "engine/output/printer_hooks.h"
#include "foundation/creation_service.h"
#include "host/output/output_test_util.h"
#include "host/spreadsheet/print_service.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "support/files.h"
#include "support/test_paths.h"

namespace vemo::engine::test {

namespace fs = std::filesystem;

struct PrintCall {
  bool preview = false;
  std::optional<int> sheet;
  int copies = 0;
  bool applicationVisible = false;
};

class RecordingPrintService : public host::PrintService {
 public:
  explicit RecordingPrintService(std::shared_ptr<host::SurfaceApplication>* app) : app_(app) {}
  void PrintWorkbook(const std::string&, std::optional<int> sheet, int copies) override {
    calls.push_back({false, sheet, copies, *app_ && (*app_)->Visible()});
  }
  void Preview(const std::string&, int sheet) override { calls.push_back({true, sheet, 0, *app_ && (*app_)->Visible()}); }
  std::vector<PrintCall> calls;

 private:
  std::shared_ptr<host::SurfaceApplication>* app_;
};

class EngineOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    context::ForgetLoadedLibraries();
    fs::create_directories(dir / "mc" / "drive_c" / "Tradon");
    std::ofstream(dir / "mc" / "registry.json")
        << R"({"SOFTWARE\\Quorvan\\TRADON\\VemoSTD": {"Path": "C:\\Tradon"}})";
    service = std::make_shared<RecordingPrintService>(&lastApp);
    previous = host::InstallPrintService(service);
  }
  void TearDown() override { host::InstallPrintService(previous); }

  // Copies the built hook libraries into the common files folder.
  void InstallHooks() {
    const char* binary = std::getenv("VEMO_BINARY_DIR");
    const fs::path built = fs::path(binary ? binary : "build") / "hooks";
    for (auto library : {kPrinterInjectLibrary, kPrinterFilterLibrary}) {
      const fs::path target = context::HostLibraryFile(PrinterHookPath(library));
      fs::create_directories(target.parent_path());
      fs::copy_file(built / target.filename(), target, fs::copy_options::overwrite_existing);
    }
  }
  fs::path LogFile() const { return dir / "mc" / "drive_c" / "Tradon" / "TalvoDebug.log"; }
  void CreateLog() { std::ofstream log(LogFile()); }
  std::string LogText() const { return vemo::test::ReadFileBytes(LogFile()); }
  fs::path Book(int sheets) {
    std::vector<std::pair<std::string, std::string>> content;
    for (int i = 1; i <= sheets; ++i) content.push_back({"Sheet" + std::to_string(i), "text " + std::to_string(i)});
    return host::test::MakeBook(dir / ("book" + std::to_string(sheets) + ".xlsx"), content);
  }

  vemo::test::TempDir dir;
  context::ScopedMachineConfig config{dir / "mc"};
  host::test::ScopedEnv programFiles{"ProgramFiles", std::nullopt};
  std::shared_ptr<host::SurfaceApplication> lastApp;
  ScopedFactory application{"ET.Application", [this] {
                              lastApp = host::SurfaceApplication::Create();
                              return std::static_pointer_cast<HostObject>(lastApp);
                            }};
  std::shared_ptr<RecordingPrintService> service;
  std::shared_ptr<host::PrintService> previous;
};

}  // namespace vemo::engine::test
