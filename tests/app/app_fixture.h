// A private installation for the vemoprint runs of one test
// (vemo::test::RunVemoprintIn in the test's own folder).
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/run_command.h"
#include "support/test_paths.h"

namespace vemo::app::test {

using vemo::test::ShellQuote;

// Installs the sample label workbook in the program folder of an installed
// host (registered as its installer does), in the machine of `folder`.
inline void InstallHostLabelSample(const std::filesystem::path& folder) {
  const auto photos = folder / "machine/drive_c/Program Files/Quorvan/Tradon/Graphics/ItemPhotos";
  std::filesystem::create_directories(photos);
  std::filesystem::copy_file(vemo::test::SourceDir() / "examples/templates/商品标签模板.xlsx", photos / "商品标签模板.xlsx");
  std::ofstream(folder / "machine/registry.json")
      << R"({"SOFTWARE\\Quorvan\\TRADON\\VemoSTD": {"Path": "C:\\Program Files\\Quorvan\\Tradon"}})";
}

class VemoprintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(vemo::test::VemoprintPath()))
      GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
    std::filesystem::create_directories(dir_ / "tmp");
    std::filesystem::create_directories(dir_ / "machine");
  }
  // Runs vemoprint on the test's own installation; `environment` ("NAME=value ...") is set last.
  vemo::test::CommandResult Run(const std::string& arguments, const std::string& environment = "") const {
    return vemo::test::RunVemoprintIn(dir_.path(), arguments, environment);
  }
  void Init(const std::string& options = "--no-templates") const {
    auto result = Run("init " + options);
    ASSERT_EQ(result.status, 0) << result.output;
  }
  // A file of examples/, quoted for the shell.
  static std::string Example(const std::string& relative) {
    return ShellQuote(vemo::test::SourceDir() / "examples" / relative);
  }
  vemo::test::TempDir dir_;
};

// One installation with the sample templates, made once for a whole suite
// (init takes a while), in a data folder of its own; `Base` is
// ::testing::Test or a parameterized test.
template <class Base = ::testing::Test>
class InstalledOnce : public Base {
 protected:
  static void SetUpTestSuite() {
    data_ = new vemo::test::TempDir;
    std::filesystem::create_directories(*data_ / "tmp");
    init_ = vemo::test::RunVemoprintIn(data_->path(), "init");
  }
  static void TearDownTestSuite() {
    delete data_;
    data_ = nullptr;
  }
  void SetUp() override {
    if (!std::filesystem::exists(vemo::test::VemoprintPath()))
      GTEST_SKIP() << "vemoprint is not built at " << vemo::test::VemoprintPath();
    ASSERT_EQ(init_.status, 0) << init_.output;
  }
  static inline vemo::test::TempDir* data_ = nullptr;
  static inline vemo::test::CommandResult init_;
};

}  // namespace vemo::app::test
