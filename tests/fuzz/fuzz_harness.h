// What the workbook fuzz targets share: per-process scratch files and the
// open, save and open-again round trip. The model opens files only (there is
// no open-from-memory entry point), so each input goes to a scratch file, in
// /dev/shm when it exists to keep the runs off the disk.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "workbook/workbook.h"
#include "workbook/zip/zip_package.h"  // ZipLimits, which the harness takes

namespace vemo::fuzz {

namespace fs = std::filesystem;

inline fs::path ScratchFolder() {
  std::error_code ec;
  return fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
}

inline std::string ScratchPrefix() { return "vemo-fuzz-" + std::to_string(getpid()) + "-"; }

// At exit: nothing may throw here.
inline void RemoveScratchFiles() {
  std::error_code ec, ignored;
  for (fs::directory_iterator it(ScratchFolder(), ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename().string().starts_with(ScratchPrefix())) fs::remove(it->path(), ignored);
}

// A file of this process in scratch space; all of them go when the process ends.
inline fs::path ScratchFile(const std::string& name) {
  [[maybe_unused]] static const bool removedAtExit = std::atexit(RemoveScratchFiles) == 0;
  return ScratchFolder() / (ScratchPrefix() + name);
}

inline void WriteScratchFile(const fs::path& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out) {
    std::fprintf(stderr, "fuzz: cannot write %s\n", path.c_str());
    std::abort();
  }
}

// Opens `input`; a refusal with a message is the right answer to a broken
// file. A workbook that opens is saved as `savedName` (its ending chooses
// the format) and opened again: the reader must accept whatever the writer
// makes of a workbook it read, so a refusal there aborts as a finding. When
// `saveMayRefuse`, the writer may refuse (an unsupported part, say).
inline void OpenSaveAndOpenAgain(const fs::path& input, const wb::ZipLimits& limits, const std::string& savedName,
                                 bool saveMayRefuse) {
  std::unique_ptr<wb::Workbook> book;
  try {
    book = wb::Workbook::Open(input, limits);
  } catch (const std::exception&) {
    return;
  }
  const fs::path saved = ScratchFile(savedName);
  try {
    book->Save(saved);
  } catch (const std::exception& e) {
    if (saveMayRefuse) return;
    std::fprintf(stderr, "fuzz: a workbook that opened cannot be saved: %s\n", e.what());
    std::abort();
  }
  try {
    wb::Workbook::Open(saved);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz: a workbook the reader accepted was saved as a file it refuses: %s\n", e.what());
    std::abort();
  }
}

}  // namespace vemo::fuzz
