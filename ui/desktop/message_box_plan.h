// How a message box of the host's flags looks in Qt, and what the pressed
// button answers. Flags: buttons (0 OK, 1 OK Cancel, 2 Abort Retry Ignore,
// 3 Yes No Cancel, 4 Yes No, 5 Retry Cancel), icon (16 critical, 32
// question, 48 exclamation, 64 information), default button (0, 256, 512,
// 768 for the first to the fourth). Answers are the host's codes (1 OK,
// 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No).
#pragma once
#include <QMessageBox>
#include <vector>

namespace vemo::ui {

struct MessageBoxPlan {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  std::vector<QMessageBox::StandardButton> buttons;  // in the host's order
  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
  // Escape and the close box: Cancel where there is one, else No, else the
  // first button; the same answer an unattended box gives.
  QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
};

MessageBoxPlan PlanMessageBox(int flags);
// The host's answer code for a pressed button; 2 (Cancel) for none.
int HostAnswerOf(QMessageBox::StandardButton button);

}  // namespace vemo::ui
