// Showing a rendered preview to the user.
//
// Without a display (neither DISPLAY nor WAYLAND_DISPLAY set), or when
// VEMO_PREVIEW_TO_FOLDER is set to anything but "" or "0", the preview PDF is
// kept in the preview folder, its path is written on standard error, and the
// preview counts as closed at once. With a display, a viewer program (taking
// the file as its one argument) is run and waited for: VEMO_PDF_VIEWER, else
// our preview window (PreviewWindowProgram()); with neither, the folder.
//
// The preview folder: $VEMO_PREVIEW_DIR, else $XDG_DATA_HOME/vemoprint/preview,
// else ~/.local/share/vemoprint/preview.
#pragma once
#include <filesystem>
#include <memory>
#include <string>

namespace vemo::host {

class PreviewPresenter {
 public:
  virtual ~PreviewPresenter() = default;
  // Shows `pdf` (a file the presenter may keep or move) and returns when the
  // user has closed the preview. `name` is a short name for the document.
  virtual void Present(const std::filesystem::path& pdf, const std::string& name) = 0;
};

std::filesystem::path PreviewFolder();
bool PreviewForcedToFolder();
bool HasDisplay();
// The preview window program: $VEMO_PREVIEW_PROGRAM, else vemoprint-preview
// beside the running program when it was built (ui/); "" when there is none.
std::string PreviewWindowProgram();

// Keeps the PDF in PreviewFolder() and says where on standard error.
class FolderPreview : public PreviewPresenter {
 public:
  void Present(const std::filesystem::path& pdf, const std::string& name) override;
  // The file the last Present wrote (for callers that report it).
  const std::filesystem::path& LastFile() const { return last_; }

 private:
  std::filesystem::path last_;
};

// Runs the viewer program on the PDF and waits until it is closed.
class ViewerPreview : public PreviewPresenter {
 public:
  explicit ViewerPreview(std::string program) : program_(std::move(program)) {}
  void Present(const std::filesystem::path& pdf, const std::string& name) override;

 private:
  std::string program_;
};

// The presenter the environment asks for (rules above).
std::unique_ptr<PreviewPresenter> PresenterForEnvironment();

}  // namespace vemo::host
