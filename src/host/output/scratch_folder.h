// A private folder for one render or print job inside the user's temporary
// folder, removed with everything in it when the object goes.
#pragma once
#include <filesystem>
#include <string>

namespace vemo::host {

class ScratchFolder {
 public:
  // Throws OutputError when no folder can be made.
  explicit ScratchFolder(const std::string& prefix);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace vemo::host
