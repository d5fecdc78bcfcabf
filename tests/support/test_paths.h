// Paths every test suite needs: the source tree, the shared material beside it,
// and a temporary folder removed when the test ends.
#pragma once
#include <filesystem>

namespace vemo::test {

std::filesystem::path SourceDir();
// ../shared beside the checkout (VEMO_SHARED_DIR overrides).
std::filesystem::path SharedDir();

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace vemo::test
