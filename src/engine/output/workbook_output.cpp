#include "engine/output/workbook_output.h"

#include <memory>
#include <stdexcept>

#include "context/desktop.h"
#include "context/spreadsheet_detection.h"
#include "engine/ignore_errors.h"
#include "engine/workbook_lifecycle.h"
#include "engine/output/document_opener.h"
#include "engine/output/printer_hooks.h"
#include "host/spreadsheet/spreadsheet_application.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"

namespace vemo::engine {
namespace {

// A new application instance; raises as automation on Nothing would.
std::shared_ptr<host::IApplication> NewApplication() {
  auto app = std::dynamic_pointer_cast<host::IApplication>(context::GetSpreadsheetApp());
  if (!app) throw std::runtime_error("no spreadsheet application can be created");
  return app;
}

void EndAfterError(const std::shared_ptr<host::IApplication>& app) {
  if (!app) return;
  try {
    TerminateSpreadsheetProcess(app->Hwnd());
  } catch (...) {
  }
}

}  // namespace

bool OpenWorkbookForUser(const std::string& file, bool hookProcess) {
  if (file.empty()) return false;
  if (!hookProcess) return OpenDocumentWithoutHandle(file);
  try {
    LoadPrinterHook(kPrinterInjectLibrary);  // result not tested: the call below is bound by name
    const pid_t process = LaunchDocumentOpener(file);
    if (process <= 0) return false;
    PrinterInjectByProcHandle(static_cast<std::int32_t>(process));
    return true;
  } catch (...) {
    ReportCurrentError("opening " + file);
    return false;  // the document may stay open; nothing is closed
  }
}

bool PreviewWorkbookFile(const std::string& file, bool useHooks) {
  if (file.empty()) return false;
  std::shared_ptr<host::IApplication> app;
  try {
    void* inject = useHooks ? LoadPrinterHook(kPrinterInjectLibrary) : nullptr;
    app = NewApplication();
    auto book = app->Workbooks()->Open(file);
    auto sheet = book->Worksheets()->Item(1);
    if (inject) PrinterInjectByHwnd(app->Hwnd());
    app->SetVisible(true);
    sheet->PrintPreview(true);
    book->Close(false);
    app->Quit();
    return true;
  } catch (...) {
    ReportCurrentError("the print preview failed");
    EndAfterError(app);  // Quit is not called on this path
    return false;
  }
}

bool PrintWorkbookFile(const std::string& file, bool useHooks) {
  if (file.empty()) return false;
  std::shared_ptr<host::IApplication> app;
  try {
    if (useHooks) LoadPrinterHook(kPrinterFilterLibrary);  // result not tested
    app = NewApplication();
    auto book = app->Workbooks()->Open(file);
    if (book->Worksheets()->Count() > 1) {
      host::PrintOutOptions options;
      options.copies = 1;
      options.preview = false;
      book->PrintOut(options);
    } else {
      auto sheet = book->Worksheets()->Item(1);
      app->SetVisible(true);
      sheet->PrintOut();
    }
    book->Close(false);
    app->Quit();
    return true;
  } catch (...) {
    ReportCurrentError("printing failed");
    EndAfterError(app);
    return false;
  }
}

}  // namespace vemo::engine
