// The message box that stays silent for outer logins, and the hourglass.
#pragma once
#include <string>

#include "context/desktop.h"

namespace vemo::context {

// The button pressed (vbOK, vbYes, ...). For an outer login (IsOuterLogin()
// = 1) nothing is shown and 0 is returned: neither Yes nor No.
int ShowMsgBox(const std::string& text, int flags = vbOKOnly, const std::string& title = std::string(kMessageTitle));

// Shows the hourglass for the object's lifetime. The count is process-wide:
// the pointer becomes the hourglass (11) when the first WaitCursor is made
// and the default (0) when the last one ends, so nested holders keep it.
class WaitCursor {
 public:
  WaitCursor() { Show(); }
  ~WaitCursor() { Hide(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

  static int ShowCount();

 private:
  static void Show();
  static void Hide();
};

}  // namespace vemo::context
