#include "host/output/scratch_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>

#include "context/temp_files.h"
#include "host/output/output_error.h"

namespace vemo::host {

ScratchFolder::ScratchFolder(const std::string& prefix) {
  std::string base = context::GetTempPath();
  if (base.empty()) base = std::filesystem::temp_directory_path().string() + "/";
  std::string pattern = base + prefix + "-XXXXXX";
  if (!mkdtemp(pattern.data()))
    throw OutputError("cannot create a working folder in " + base + ": " + std::strerror(errno) +
                      " (check that the temporary folder is writable)");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace vemo::host
