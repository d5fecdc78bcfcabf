// The page renderer in this process (src/render/), with LibreOffice behind
// it: a workbook our renderer declines (a chart, a conditional format that
// applies, ...) goes to the office renderer, and the log says why.
#pragma once
#include <memory>
#include <string>

#include "host/output/page_renderer.h"

namespace vemo::host {

class OwnRenderer : public PageRenderer {
 public:
  // `fallback` null takes an OfficeRenderer.
  explicit OwnRenderer(std::shared_ptr<PageRenderer> fallback = nullptr);
  void RenderToPdf(const std::filesystem::path& workbook, const std::filesystem::path& pdf) override;
  // Why the last call went to the fallback; empty when ours drew it.
  const std::string& lastDeclined() const { return lastDeclined_; }

 private:
  std::shared_ptr<PageRenderer> fallback_;
  std::string lastDeclined_;
};

// The renderer $VEMO_RENDERER asks for: unset or "own", ours with
// LibreOffice behind it; "office", LibreOffice alone (for comparison, and
// as the way round a page ours draws wrongly). Any other value is refused
// with an OutputError naming the choices.
std::shared_ptr<PageRenderer> RendererForEnvironment();

}  // namespace vemo::host
