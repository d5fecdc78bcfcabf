#include "host/output/own_renderer.h"

#include <dlfcn.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "context/desktop.h"
#include "context/long_work.h"
#include "host/output/office_renderer.h"
#include "host/output/output_error.h"
#include "render/render_module.h"

namespace vemo::host {
namespace {

namespace fs = std::filesystem;

// Where the renderer module may lie: $VEMO_RENDER_LIBRARY; else beside the
// file our code was loaded from (the program, or the C interface library a
// host loaded) or a folder above it (the build folder, whose programs lie in
// sub-folders), or in lib/vemoprint/ of the installation.
std::vector<fs::path> ModuleCandidates() {
  if (const char* chosen = std::getenv("VEMO_RENDER_LIBRARY"); chosen && *chosen) return {chosen};
  Dl_info info{};
  std::error_code ec;
  if (!dladdr(reinterpret_cast<void*>(&RendererForEnvironment), &info) || !info.dli_fname) return {"libvemo-render.so"};
  const fs::path folder = fs::weakly_canonical(fs::absolute(info.dli_fname, ec), ec).parent_path();
  std::vector<fs::path> candidates;
  for (const fs::path& place : {folder, folder.parent_path(), folder.parent_path().parent_path(),
                                folder.parent_path() / "lib/vemoprint", folder.parent_path() / "vemoprint"})
    candidates.push_back(place / "libvemo-render.so");
  return candidates;
}

// The module's entry, loaded once; null with `why` set when it cannot be.
render::RenderEntry LoadRenderModule(std::string& why) {
  static std::string failure;
  static const render::RenderEntry entry = [] () -> render::RenderEntry {
    std::error_code ec;
    for (const auto& candidate : ModuleCandidates()) {
      if (candidate.has_parent_path() && !fs::exists(candidate, ec)) continue;
      void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (!module) {
        failure = dlerror();
        return nullptr;
      }
      if (auto* found = reinterpret_cast<render::RenderEntry>(dlsym(module, render::kRenderEntry))) return found;
      failure = candidate.string() + " has no " + render::kRenderEntry;
      return nullptr;
    }
    const char* chosen = std::getenv("VEMO_RENDER_LIBRARY");
    failure = chosen && *chosen ? std::string("VEMO_RENDER_LIBRARY names ") + chosen + ", which does not exist; unset it"
                                : "libvemo-render.so was not found beside the program or in lib/vemoprint/ (set VEMO_RENDER_LIBRARY)";
    return nullptr;
  }();
  why = failure;
  return entry;
}

}  // namespace

OwnRenderer::OwnRenderer(std::shared_ptr<PageRenderer> fallback)
    : fallback_(fallback ? std::move(fallback) : std::make_shared<OfficeRenderer>()) {}

void OwnRenderer::RenderToPdf(const std::filesystem::path& workbook, const std::filesystem::path& pdf) {
  lastDeclined_.clear();
  std::string why;
  const auto render = LoadRenderModule(why);
  if (!render) {
    lastDeclined_ = "no renderer module: " + why;
    context::ReportCause("our renderer cannot be loaded (" + why + "); LibreOffice renders " +
                         workbook.filename().string());
    fallback_->RenderToPdf(workbook, pdf);
    return;
  }
  std::vector<char> message(4096, '\0');
  // A long workbook takes seconds to draw (a 30,000-line report about 20):
  // the user sees them pass, as with LibreOffice.
  const int drawn = context::ShowSecondsWhile("rendering " + workbook.filename().string(), [&] {
    return render(workbook.c_str(), pdf.c_str(), message.data(), message.size());
  });
  switch (drawn) {
    case render::kRenderDrawn:
      return;
    case render::kRenderDeclined:
      lastDeclined_ = message.data();
      break;
    case render::kRenderUnreadable:
      throw OutputError("cannot render " + workbook.filename().string() + ": " + message.data());
    default:
      throw OutputError(message.data());
  }
  context::ReportCause(workbook.filename().string() + " has " + lastDeclined_ +
                       ", which our renderer does not draw; LibreOffice renders it");
  fallback_->RenderToPdf(workbook, pdf);
}

std::shared_ptr<PageRenderer> RendererForEnvironment() {
  const char* value = std::getenv("VEMO_RENDERER");
  const std::string_view choice = value ? value : "";
  if (choice == "office") return std::make_shared<OfficeRenderer>();
  if (choice.empty() || choice == "own") return std::make_shared<OwnRenderer>();
  throw OutputError("VEMO_RENDERER is \"" + std::string(choice) +
                    "\"; set it to \"own\" (our renderer) or \"office\" (LibreOffice), or unset it");
}

}  // namespace vemo::host
