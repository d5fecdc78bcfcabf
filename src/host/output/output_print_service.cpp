#include "host/output/output_print_service.h"

#include "host/output/cups_printer.h"
#include "host/output/own_renderer.h"
#include "host/output/render_copy.h"
#include "host/output/scratch_folder.h"

namespace vemo::host {
namespace fs = std::filesystem;
namespace {

// The renderer names the PDF after the workbook, so the copy keeps its stem.
fs::path RenderedCopy(const ScratchFolder& scratch, const std::string& path, std::optional<int> sheet,
                      PageRenderer& renderer) {
  const fs::path source(path);
  const fs::path copy = scratch.path() / ("document" + source.extension().string());
  PrepareRenderCopy(source, sheet, copy);
  const fs::path pdf = scratch.path() / "document.pdf";
  renderer.RenderToPdf(copy, pdf);
  return pdf;
}

}  // namespace

OutputPrintService::OutputPrintService(std::shared_ptr<PageRenderer> renderer, std::shared_ptr<Printer> printer,
                                       std::shared_ptr<PreviewPresenter> presenter)
    : renderer_(renderer ? std::move(renderer) : RendererForEnvironment()),
      printer_(printer ? std::move(printer) : std::make_shared<CupsPrinter>()),
      presenter_(std::move(presenter)) {}

void OutputPrintService::PrintWorkbook(const std::string& path, std::optional<int> sheetIndex, int copies) {
  printer_->CheckReady();  // no printer: say so before spending a render
  ScratchFolder scratch("print");
  const fs::path pdf = RenderedCopy(scratch, path, sheetIndex, *renderer_);
  printer_->Print(PrintJob{pdf, fs::path(path).stem().string(), copies});
}

void OutputPrintService::Preview(const std::string& path, int sheetIndex) {
  ScratchFolder scratch("preview");
  const fs::path pdf = RenderedCopy(scratch, path, sheetIndex, *renderer_);
  std::string name = fs::path(path).stem().string();
  if (sheetIndex > 1) name += "-sheet" + std::to_string(sheetIndex);
  if (presenter_) {
    presenter_->Present(pdf, name);
  } else {
    PresenterForEnvironment()->Present(pdf, name);
  }
}

std::shared_ptr<PrintService> InstallOutputPrintService() {
  return InstallPrintService(std::make_shared<OutputPrintService>());
}

}  // namespace vemo::host
