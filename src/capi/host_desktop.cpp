#include "capi/host_desktop.h"

#include <iostream>
#include <vector>

namespace vemo::capi {

int HostDesktop::MessageBox(const std::string& text, int flags, const std::string& title) {
  // A host without a message box callback answers as nobody at the screen would.
  if (!callbacks_.message_box) return context::UnattendedAnswer(flags, false);
  return callbacks_.message_box(callbacks_.user, text.c_str(), flags, title.c_str());
}

void HostDesktop::ShowHostMessage(const std::string& text) {
  MessageBox(text, context::vbOKOnly | context::vbExclamation, std::string(context::kMessageTitle));
}

void HostDesktop::ReportCause(const std::string& text) {
  if (!callbacks_.message_box) {
    std::cerr << "vemoprint: " << text << "\n";
    return;
  }
  MessageBox(text, context::vbOKOnly | context::vbExclamation, std::string(context::kMessageTitle));
}

std::optional<std::string> HostDesktop::Ask(bool save, const context::FileDialogRequest& request) {
  if (!callbacks_.file_dialog) return std::nullopt;
  std::vector<char> chosen(4096, '\0');
  if (!callbacks_.file_dialog(callbacks_.user, save ? 1 : 0, request.title.c_str(), request.fileName.c_str(),
                              chosen.data(), chosen.size()))
    return std::nullopt;
  chosen.back() = '\0';  // a callback that filled the whole buffer still gives a string
  return std::string(chosen.data());
}

std::optional<std::string> HostDesktop::OpenFileDialog(const context::FileDialogRequest& request) {
  return Ask(false, request);
}

std::optional<std::string> HostDesktop::SaveFileDialog(const context::FileDialogRequest& request) {
  return Ask(true, request);
}

}  // namespace vemo::capi
