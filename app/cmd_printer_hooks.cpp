// vemoprint install-printer-hooks [--from DIR]: copies the printer hook
// libraries built with the component (DIR, default the "hooks" folder beside
// the vemoprint program, or lib/vemoprint/hooks of an installation) into the
// common files folder where the engine loads them, as the path mapping of
// the machine configuration places it.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "command_registry.h"
#include "context/library_loader.h"
#include "engine/output/printer_hooks.h"

namespace vemo::app {
namespace {
namespace fs = std::filesystem;

fs::path ProgramFolder() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : self.parent_path();
}

int InstallPrinterHooks(std::string from) {
  // The build folder's hooks/, else where an installation keeps them.
  fs::path source = from.empty() ? ProgramFolder() / "hooks" : fs::path(from);
  if (from.empty() && !fs::is_directory(source)) source = ProgramFolder().parent_path() / "lib/vemoprint/hooks";
  for (std::string_view library : {engine::kPrinterInjectLibrary, engine::kPrinterFilterLibrary}) {
    const std::string windowsPath = engine::PrinterHookPath(library);
    const fs::path target = context::HostLibraryFile(windowsPath);
    const fs::path built = source / target.filename();
    std::error_code ec;
    if (!fs::is_regular_file(built, ec))
      throw UsageError(built.string() + " does not exist; build the project first (cmake --build build) or give --from");
    fs::create_directories(target.parent_path(), ec);
    fs::copy_file(built, target, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      std::cerr << "vemoprint: cannot copy " << built << " to " << target << ": " << ec.message() << "\n";
      return kExitActionFailed;
    }
    std::cout << windowsPath << "  ->  " << target.string() << "\n";
  }
  return kExitOk;
}

CommandRegistration registration{"install-printer-hooks", [](CLI::App& root, GlobalOptions&) {
  auto* cmd = root.add_subcommand("install-printer-hooks",
                                  "copy the printer hook libraries into the common files folder");
  auto from = std::make_shared<std::string>();
  cmd->add_option("--from", *from, "folder holding libprinter-inject.so and libprinter-filter.so (default: hooks/ beside vemoprint)");
  cmd->callback([from] { SetExitCode(InstallPrinterHooks(*from)); });
}};

}  // namespace
}  // namespace vemo::app
