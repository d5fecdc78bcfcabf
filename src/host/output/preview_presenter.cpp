#include "host/output/preview_presenter.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>

#include "context/pending_file.h"
#include "host/output/child_process.h"
#include "host/output/output_error.h"

namespace vemo::host {
namespace fs = std::filesystem;
namespace {

bool EnvSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value && std::string(value) != "0";
}

std::string Stamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

}  // namespace

fs::path PreviewFolder() {
  if (const char* dir = std::getenv("VEMO_PREVIEW_DIR"); dir && *dir) return dir;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return fs::path(data) / "vemoprint" / "preview";
  if (const char* home = std::getenv("HOME"); home && *home)
    return fs::path(home) / ".local" / "share" / "vemoprint" / "preview";
  return fs::temp_directory_path() / "vemoprint-preview";
}

bool PreviewForcedToFolder() { return EnvSet("VEMO_PREVIEW_TO_FOLDER"); }

bool HasDisplay() { return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY"); }

std::string PreviewWindowProgram() {
  if (const char* program = std::getenv("VEMO_PREVIEW_PROGRAM"); program && *program) return program;
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return "";
  const fs::path window = self.parent_path() / "vemoprint-preview";
  return fs::is_regular_file(window, ec) ? window.string() : "";
}

void FolderPreview::Present(const fs::path& pdf, const std::string& name) {
  const fs::path folder = PreviewFolder();
  std::error_code ec;
  fs::create_directories(folder, ec);
  // A new name each time: an earlier preview may still be open in a viewer.
  fs::path target = folder / (name + "-" + Stamp() + ".pdf");
  for (int n = 2; fs::exists(target, ec); ++n) target = folder / (name + "-" + Stamp() + "-" + std::to_string(n) + ".pdf");
  // Whole or not at all: a full disk must not leave a cut-off preview.
  try {
    context::CopyFileWhole(pdf.string(), target.string());
  } catch (const std::exception& e) {
    throw OutputError("cannot keep the preview in " + folder.string() + ": " + e.what() +
                      " (or set VEMO_PREVIEW_DIR to a writable folder)");
  }
  last_ = target;
  std::cerr << "vemoprint: " << (PreviewForcedToFolder() ? "" : "no display for a preview window; ") << "the preview is in "
            << target.string() << "\n";
}

void ViewerPreview::Present(const fs::path& pdf, const std::string& name) {
  pid_t pid = StartChild({program_, pdf.string()});
  // The preview blocks the caller until the user closes the viewer.
  int code = WaitChild(pid, std::chrono::hours(24 * 365));
  if (code != 0)
    throw OutputError("the PDF viewer " + program_ + " ended with exit code " + std::to_string(code) +
                      " while previewing " + name + "; check VEMO_PDF_VIEWER");
}

std::unique_ptr<PreviewPresenter> PresenterForEnvironment() {
  if (PreviewForcedToFolder() || !HasDisplay()) return std::make_unique<FolderPreview>();
  if (const char* viewer = std::getenv("VEMO_PDF_VIEWER"); viewer && *viewer)
    return std::make_unique<ViewerPreview>(viewer);
  if (std::string window = PreviewWindowProgram(); !window.empty()) return std::make_unique<ViewerPreview>(window);
  return std::make_unique<FolderPreview>();
}

}  // namespace vemo::host
