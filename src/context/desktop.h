// Everything the user sees goes through one Desktop: message boxes, the
// host's message service, the open and save file dialogs, the progress of
// long work and the mouse pointer. The command line installs a ConsoleDesktop (console_desktop.h),
// tests a ScriptedDesktop (scripted_desktop.h).
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "foundation/installed.h"

namespace vemo::context {

// Message box flags and answers, with the host's numeric codes.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbOKCancel = 1;
inline constexpr int vbYesNoCancel = 3;
inline constexpr int vbYesNo = 4;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;

inline constexpr int vbOK = 1;
inline constexpr int vbCancel = 2;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

inline int ButtonsOf(int flags) { return flags & 0x0F; }
inline int IconOf(int flags) { return flags & 0x70; }

// Mouse pointers.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;

// The title of the system's message boxes.
inline constexpr std::string_view kMessageTitle = "Quorvan提示";

// The answer a box gives when nobody can answer it: OK for an OK box, No
// for Yes/No, Cancel for the boxes that have it; with `assumeYes` the
// positive button (Yes or OK) instead.
int UnattendedAnswer(int flags, bool assumeYes);

struct FileDialogRequest {
  std::string title;
  std::string filter;       // "打印文件 Excel (*.xlsx)|*.xlsx|..."
  int filterIndex = 1;
  std::string fileName;     // initial file name or pattern (may carry a folder)
  std::string initialFolder;
  int flags = 0;            // the host's dialog flags (2 ask before overwriting, 2048 path must exist, ...)
};

// The progress of one piece of long work, shown until it is destroyed.
class Progress {
 public:
  virtual ~Progress() = default;
  // `done` of `total` steps (total 0 when not known) and a short status.
  // Answers false when the user asked to stop the work.
  virtual bool Update(std::size_t done, std::size_t total, const std::string& status) = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Shows a message box and answers vbOK, vbCancel, vbYes or vbNo.
  virtual int MessageBox(const std::string& text, int flags, const std::string& title) = 0;
  // The host's message service: one text, no answer.
  virtual void ShowHostMessage(const std::string& text) = 0;
  // The chosen file, or nullopt when the user cancels.
  virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;
  virtual void SetMousePointer(int pointer) = 0;
  virtual int MousePointer() const = 0;
  // Why an action that answered False failed, where the action's own
  // messages say nothing (no default printer, the page renderer, the mail
  // server): one text that names the cause and what to do.
  virtual void ReportCause(const std::string& text) = 0;
  // Starts showing the progress of long work named `what` (a line on a
  // terminal, a dialog with Cancel on a display); nullptr when this desktop
  // shows none.
  virtual std::unique_ptr<Progress> BeginProgress(const std::string& what) = 0;
};

// The desktop in use; a non-interactive-aware ConsoleDesktop until one is set.
Desktop& CurrentDesktop();
void SetDesktop(std::shared_ptr<Desktop> desktop);

// Tests: installs a desktop for the object's lifetime.
Installed<std::shared_ptr<Desktop>>& InstalledDesktop();
using ScopedDesktop = ScopedInstall<std::shared_ptr<Desktop>, &InstalledDesktop>;

// The host's global message service (one text, no answer), on the desktop.
void ShowHostMessage(const std::string& text);
// The cause of a failure, on the desktop.
void ReportCause(const std::string& text);

}  // namespace vemo::context
