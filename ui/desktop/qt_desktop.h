// The desktop of a display: message boxes are QMessageBox windows, the
// message service an information box titled as the system's boxes, the file
// dialogs QFileDialog, long work a QProgressDialog with Cancel, and the
// hourglass an override cursor for the whole application. Boxes and dialogs sit on top of the window in use.
#pragma once
#include "context/desktop.h"

namespace vemo::ui {

class QtDesktop : public context::Desktop {
 public:
  ~QtDesktop() override;
  int MessageBox(const std::string& text, int flags, const std::string& title) override;
  void ShowHostMessage(const std::string& text) override;
  void ReportCause(const std::string& text) override;
  std::unique_ptr<context::Progress> BeginProgress(const std::string& what) override;
  std::optional<std::string> OpenFileDialog(const context::FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const context::FileDialogRequest& request) override;
  void SetMousePointer(int pointer) override;
  int MousePointer() const override { return pointer_; }

 private:
  std::optional<std::string> FileDialog(const context::FileDialogRequest& request, bool save);
  int pointer_ = context::kPointerDefault;
  bool cursorOverridden_ = false;
};

}  // namespace vemo::ui
