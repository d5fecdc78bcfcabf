// The print service the spreadsheet surface hands its saved workbooks to:
// each call prepares a copy (the one sheet asked for, picture links mapped),
// renders it to PDF and then prints it on the default CUPS destination or
// shows it as a preview. Temporary files are removed before returning.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "host/output/page_renderer.h"
#include "host/output/preview_presenter.h"
#include "host/output/printer.h"
#include "host/spreadsheet/print_service.h"

namespace vemo::host {

class OutputPrintService : public PrintService {
 public:
  // Any part left null takes the default: RendererForEnvironment(), CupsPrinter,
  // PresenterForEnvironment() (chosen at each preview).
  OutputPrintService(std::shared_ptr<PageRenderer> renderer = nullptr, std::shared_ptr<Printer> printer = nullptr,
                     std::shared_ptr<PreviewPresenter> presenter = nullptr);

  void PrintWorkbook(const std::string& path, std::optional<int> sheetIndex, int copies) override;
  void Preview(const std::string& path, int sheetIndex) override;

 private:
  std::shared_ptr<PageRenderer> renderer_;
  std::shared_ptr<Printer> printer_;
  std::shared_ptr<PreviewPresenter> presenter_;
};

// Installs an OutputPrintService with the defaults (the application does
// this at start). Answers the service installed before.
std::shared_ptr<PrintService> InstallOutputPrintService();

}  // namespace vemo::host
