// The page renderer over LibreOffice in headless mode (the nogui build can
// convert but not print). Every call starts its own soffice process with a
// private user profile, seeded so the start-up self-test is skipped, and ends
// it before returning: on overrun the whole process group is killed, and the
// call fails. Nothing keeps running between calls.
#pragma once
#include <chrono>
#include <string>

#include "host/output/page_renderer.h"

namespace vemo::host {

struct OfficeRendererOptions {
  // The program; $VEMO_SOFFICE overrides the default.
  std::string program = "soffice";
  // Longest time one conversion may take; $VEMO_RENDER_TIMEOUT_MS overrides the default.
  std::chrono::milliseconds timeout{60000};

  // The defaults with the environment overrides applied.
  static OfficeRendererOptions FromEnvironment();
};

class OfficeRenderer : public PageRenderer {
 public:
  explicit OfficeRenderer(OfficeRendererOptions options = OfficeRendererOptions::FromEnvironment());
  void RenderToPdf(const std::filesystem::path& workbook, const std::filesystem::path& pdf) override;

 private:
  OfficeRendererOptions options_;
};

// Writes the profile seed into `profileFolder` (user/registrymodifications.xcu
// marking the profile as already set up for any installed version).
void SeedOfficeProfile(const std::filesystem::path& profileFolder);

}  // namespace vemo::host
