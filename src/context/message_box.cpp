#include "context/message_box.h"

#include <mutex>

#include "context/login.h"

namespace vemo::context {
namespace {

std::mutex g_mutex;
int g_showCount = 0;

}  // namespace

int ShowMsgBox(const std::string& text, int flags, const std::string& title) {
  if (IsOuterLogin() == 1) return 0;
  return CurrentDesktop().MessageBox(text, flags, title);
}

int WaitCursor::ShowCount() {
  std::lock_guard lock(g_mutex);
  return g_showCount;
}

void WaitCursor::Show() {
  std::lock_guard lock(g_mutex);
  if (++g_showCount == 1) CurrentDesktop().SetMousePointer(kPointerHourglass);
}

void WaitCursor::Hide() {
  std::lock_guard lock(g_mutex);
  if (g_showCount == 0) return;  // never below zero
  if (--g_showCount == 0) CurrentDesktop().SetMousePointer(kPointerDefault);
}

}  // namespace vemo::context
