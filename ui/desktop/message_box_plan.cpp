#include "ui/desktop/message_box_plan.h"

#include <algorithm>

#include "context/desktop.h"

namespace vemo::ui {

MessageBoxPlan PlanMessageBox(int flags) {
  using B = QMessageBox;
  MessageBoxPlan plan;
  switch (context::ButtonsOf(flags)) {
    case context::vbOKCancel: plan.buttons = {B::Ok, B::Cancel}; break;
    case 2: plan.buttons = {B::Abort, B::Retry, B::Ignore}; break;
    case context::vbYesNoCancel: plan.buttons = {B::Yes, B::No, B::Cancel}; break;
    case context::vbYesNo: plan.buttons = {B::Yes, B::No}; break;
    case 5: plan.buttons = {B::Retry, B::Cancel}; break;
    default: plan.buttons = {B::Ok}; break;
  }
  switch (context::IconOf(flags)) {
    case context::vbCritical: plan.icon = B::Critical; break;
    case context::vbQuestion: plan.icon = B::Question; break;
    case context::vbExclamation: plan.icon = B::Warning; break;
    case context::vbInformation: plan.icon = B::Information; break;
    default: plan.icon = B::NoIcon; break;
  }
  const std::size_t defaultIndex = static_cast<std::size_t>((flags >> 8) & 0x3);
  plan.defaultButton = plan.buttons[std::min(defaultIndex, plan.buttons.size() - 1)];
  auto has = [&](B::StandardButton button) {
    return std::find(plan.buttons.begin(), plan.buttons.end(), button) != plan.buttons.end();
  };
  plan.escapeButton = has(B::Cancel) ? B::Cancel : has(B::No) ? B::No : plan.buttons.front();
  return plan;
}

int HostAnswerOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok: return context::vbOK;
    case QMessageBox::Abort: return 3;
    case QMessageBox::Retry: return 4;
    case QMessageBox::Ignore: return 5;
    case QMessageBox::Yes: return context::vbYes;
    case QMessageBox::No: return context::vbNo;
    default: return context::vbCancel;
  }
}

}  // namespace vemo::ui
