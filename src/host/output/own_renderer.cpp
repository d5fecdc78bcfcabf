#include "host/output/own_renderer.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "host/output/office_renderer.h"
#include "host/output/output_error.h"
#include "render/render_declined.h"
#include "render/workbook_renderer.h"
#include "workbook/workbook_error.h"

namespace vemo::host {

OwnRenderer::OwnRenderer(std::shared_ptr<PageRenderer> fallback)
    : fallback_(fallback ? std::move(fallback) : std::make_shared<OfficeRenderer>()) {}

void OwnRenderer::RenderToPdf(const std::filesystem::path& workbook, const std::filesystem::path& pdf) {
  lastDeclined_.clear();
  try {
    render::RenderWorkbookToPdf(workbook, pdf);
    return;
  } catch (const render::RenderDeclined& declined) {
    lastDeclined_ = declined.what();
  } catch (const wb::WorkbookError& e) {
    throw OutputError("cannot render " + workbook.filename().string() + ": " + e.what());
  } catch (const std::runtime_error& e) {
    throw OutputError(e.what());
  }
  std::cerr << "vemoprint: " << workbook.filename().string() << " has " << lastDeclined_
            << ", which our renderer does not draw; LibreOffice renders it\n";
  fallback_->RenderToPdf(workbook, pdf);
}

std::shared_ptr<PageRenderer> RendererForEnvironment() {
  const char* value = std::getenv("VEMO_RENDERER");
  const std::string_view choice = value ? value : "";
  if (choice.empty() || choice == "office") return std::make_shared<OfficeRenderer>();
  if (choice == "own") return std::make_shared<OwnRenderer>();
  throw OutputError("VEMO_RENDERER is \"" + std::string(choice) +
                    "\"; set it to \"own\" (our renderer) or \"office\" (LibreOffice), or unset it");
}

}  // namespace vemo::host
