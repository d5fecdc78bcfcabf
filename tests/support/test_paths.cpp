#include "support/test_paths.h"

#include <cstdlib>
#include <random>
#include <string>

namespace vemo::test {

std::filesystem::path SourceDir() {
  const char* dir = std::getenv("VEMO_SOURCE_DIR");
  return dir ? std::filesystem::path(dir) : std::filesystem::current_path();
}

std::filesystem::path SharedDir() {
  const char* dir = std::getenv("VEMO_SHARED_DIR");
  return dir ? std::filesystem::path(dir) : SourceDir().parent_path() / "shared";
}

bool CorpusComparerSkipped() {
  const char* skip = std::getenv("VEMO_SKIP_CORPUS_COMPARER");
  return skip && std::string(skip) == "1";
}

TempDir::TempDir() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() / ("vemo_test_" + std::to_string(rd()) + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace vemo::test
