// Paths every test suite needs: the source tree, the shared material beside it,
// and a temporary folder removed when the test ends.
#pragma once
#include <filesystem>

namespace vemo::test {

std::filesystem::path SourceDir();
// ../shared beside the checkout (VEMO_SHARED_DIR overrides).
std::filesystem::path SharedDir();

// True when VEMO_SKIP_CORPUS_COMPARER=1: the sanitizer run still opens, edits
// and saves every corpus file, but leaves the (slow, Python) comparison of the
// result to the normal run, where it gives the same verdict.
bool CorpusComparerSkipped();

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
