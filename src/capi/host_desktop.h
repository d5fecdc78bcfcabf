// The desktop of a C host: message boxes and file dialogs go to the
// callbacks it installed with vemo_set_desktop.
#pragma once
#include "context/desktop.h"
#include "vemoprint/vemoprint.h"

namespace vemo::capi {

class HostDesktop : public context::Desktop {
 public:
  explicit HostDesktop(const vemo_desktop& callbacks) : callbacks_(callbacks) {}
  int MessageBox(const std::string& text, int flags, const std::string& title) override;
  // The message service has no answer: an OK box with the warning icon.
  void ShowHostMessage(const std::string& text) override;
  // Why an action answered False: in the host's message box when it gave
  // one (as the desktop shows it), else on the error stream.
  void ReportCause(const std::string& text) override;
  // The host's own window shows its progress: none from here.
  std::unique_ptr<context::Progress> BeginProgress(const std::string&) override { return nullptr; }
  std::optional<std::string> OpenFileDialog(const context::FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const context::FileDialogRequest& request) override;
  void SetMousePointer(int pointer) override { pointer_ = pointer; }
  int MousePointer() const override { return pointer_; }

 private:
  std::optional<std::string> Ask(bool save, const context::FileDialogRequest& request);
  vemo_desktop callbacks_;
  int pointer_ = context::kPointerDefault;
};

}  // namespace vemo::capi
