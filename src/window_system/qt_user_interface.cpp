#include "window_system/qt_user_interface.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

#include "context/library_loader.h"

namespace vemo::window_system {
namespace {

using InstallEntry = int (*)(int parts);
constexpr const char* kEntryName = "vemo_qt_ui_install";  // ui/plugin/qt_ui_entry.h

int g_installed = 0;  // UiPart bits installed so far
std::string g_module;  // the module that installed them

bool EnvSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool DisplayPresent() { return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY") || EnvSet("QT_QPA_PLATFORM"); }

std::string UnreachableDisplay() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const std::string platform = EnvSet("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "";
  const bool windowSystem = platform.empty() || platform.rfind("xcb", 0) == 0 || platform.rfind("wayland", 0) == 0;
  if (!windowSystem) return "";  // offscreen, vnc, ...: Qt draws without a server
  if (EnvSet("WAYLAND_DISPLAY")) {
    fs::path socket = std::getenv("WAYLAND_DISPLAY");
    if (socket.is_relative() && EnvSet("XDG_RUNTIME_DIR")) socket = fs::path(std::getenv("XDG_RUNTIME_DIR")) / socket;
    if (fs::exists(socket, ec)) return "";
  }
  if (EnvSet("DISPLAY")) {
    const std::string display = std::getenv("DISPLAY");
    if (display.empty() || display[0] != ':') return "";  // host:n goes over the network; Qt finds out
    const std::string number = display.substr(1, display.find('.') == std::string::npos ? std::string::npos : display.find('.') - 1);
    if (fs::exists("/tmp/.X11-unix/X" + number, ec)) return "";
    return "the display DISPLAY=" + display + " has no X server (no /tmp/.X11-unix/X" + number + ")";
  }
  return "the Wayland display WAYLAND_DISPLAY=" + std::string(std::getenv("WAYLAND_DISPLAY")) + " has no socket";
}

std::string QtUserInterfaceLibrary(const ModuleSite& site) {
  if (EnvSet(site.variable)) return std::getenv(site.variable);
  std::error_code ec;
  for (const auto& place : site.places)
    if (std::filesystem::exists(place, ec)) return place.string();
  return site.places.empty() ? std::string() : site.places.back().string();
}

bool InstallQtUserInterface(const ModuleSite& site, int parts, std::string& why) {
  if ((g_installed & parts) == parts) return true;
  if (!DisplayPresent()) {
    why = "there is no display (set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM)";
    return false;
  }
  if (const std::string unreachable = UnreachableDisplay(); !unreachable.empty()) {
    why = unreachable;  // Qt would end the process on it
    return false;
  }
  const std::string library = QtUserInterfaceLibrary(site);
  if (!std::filesystem::is_regular_file(library)) {
    why = "the Qt user interface " + library + " is not installed (it is built when Qt 6 Widgets is found)";
    return false;
  }
  void* module = context::LoadLibraryByPath(library);
  if (!module) {
    const char* error = dlerror();  // the reason of the failed dlopen just made
    why = "the Qt user interface " + library + " does not load: " + (error ? error : "unknown error") +
          " (it must come from the same build as this program or library)";
    return false;
  }
  auto install = reinterpret_cast<InstallEntry>(context::LibraryExport(module, kEntryName));
  if (!install) {
    why = "the Qt user interface " + library + " has no " + kEntryName;
    return false;
  }
  if (install(parts) != 0) {
    why = "the Qt user interface could not start";
    return false;
  }
  g_installed |= parts;
  g_module = library;
  return true;
}

std::string UserInterfaceInUse() {
  if (g_installed == 0) return "console";
  return "Qt (" + g_module + ")";
}

}  // namespace vemo::window_system
