// Printing and previewing a workbook is not the surface's own job: the export
// side installs a PrintService, and PrintOut / PrintPreview hand it a saved
// copy of the workbook. Without one they raise "no print service is installed".
#pragma once
#include <memory>
#include <optional>
#include <string>

namespace vemo::host {

class PrintService {
 public:
  virtual ~PrintService() = default;
  // Prints sheet `sheetIndex` (1-based), or every sheet when none, `copies` times.
  virtual void PrintWorkbook(const std::string& path, std::optional<int> sheetIndex, int copies) = 0;
  // Shows sheet `sheetIndex` (1-based) and returns when the preview is closed.
  virtual void Preview(const std::string& path, int sheetIndex) = 0;
};

// Process-wide; nullptr uninstalls. Returns the service that was installed before.
std::shared_ptr<PrintService> InstallPrintService(std::shared_ptr<PrintService> service);
std::shared_ptr<PrintService> InstalledPrintService();

}  // namespace vemo::host
