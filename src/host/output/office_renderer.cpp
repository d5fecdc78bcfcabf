#include "host/output/office_renderer.h"

#include <cstdlib>
#include <fstream>

#include "context/long_work.h"
#include "host/output/child_process.h"
#include "host/output/output_error.h"
#include "host/output/scratch_folder.h"

namespace vemo::host {
namespace fs = std::filesystem;

namespace {

// A profile that has "already run" a version at or above the installed one
// skips the first-start graphics self-test (about 2 s of every start).
constexpr const char* kProfileSeed =
    R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Setup/Product"><prop oor:name="ooSetupLastVersion" oor:op="fuse"><value>99.9</value></prop></item>
</oor:items>
)";

bool LooksLikePdf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[5] = {};
  in.read(head, 5);
  return in.gcount() == 5 && std::string(head, 5) == "%PDF-";
}

std::string LastLines(const std::string& text) {
  constexpr std::size_t kShown = 600;
  return text.size() <= kShown ? text : "..." + text.substr(text.size() - kShown);
}

}  // namespace

OfficeRendererOptions OfficeRendererOptions::FromEnvironment() {
  OfficeRendererOptions options;
  if (const char* program = std::getenv("VEMO_SOFFICE"); program && *program) options.program = program;
  if (const char* ms = std::getenv("VEMO_RENDER_TIMEOUT_MS"); ms && *ms) {
    char* end = nullptr;
    long long value = std::strtoll(ms, &end, 10);
    if (end && *end == '\0' && value > 0) options.timeout = std::chrono::milliseconds(value);
  }
  return options;
}

void SeedOfficeProfile(const fs::path& profileFolder) {
  fs::create_directories(profileFolder / "user");
  std::ofstream out(profileFolder / "user" / "registrymodifications.xcu", std::ios::binary);
  out << kProfileSeed;
  if (!out) throw OutputError("cannot write the renderer profile in " + profileFolder.string());
}

OfficeRenderer::OfficeRenderer(OfficeRendererOptions options) : options_(std::move(options)) {}

void OfficeRenderer::RenderToPdf(const fs::path& workbook, const fs::path& pdf) {
  std::error_code ec;
  fs::remove(pdf, ec);
  if (!fs::is_regular_file(workbook, ec))
    throw OutputError("cannot render " + workbook.string() + ": the file does not exist");

  ScratchFolder scratch("render");
  const fs::path profile = scratch.path() / "profile";
  const fs::path outFolder = scratch.path() / "out";
  fs::create_directories(outFolder);
  SeedOfficeProfile(profile);

  const std::vector<std::string> argv = {
      options_.program, "-env:UserInstallation=file://" + profile.string(),
      "--headless", "--invisible", "--norestore", "--nolockcheck", "--nodefault", "--nofirststartwizard",
      "--convert-to", "pdf", "--outdir", outFolder.string(), fs::absolute(workbook).string()};
  // A render of a long workbook takes minutes: the user sees the time pass.
  // The steps are seconds; the total is unknown, so it shows from the start.
  context::LongWork progress("rendering " + workbook.filename().string() + " with LibreOffice", 0);
  long long shownSeconds = 0;
  ChildResult run = RunChild(argv, options_.timeout, scratch.path().string(), [&](std::chrono::milliseconds passed) {
    const long long seconds = passed.count() / 1000;
    if (seconds <= shownSeconds) return;
    shownSeconds = seconds;
    progress.Status(static_cast<std::size_t>(seconds),
                    std::to_string(seconds) + " s (stopped after " + std::to_string(options_.timeout.count() / 1000) +
                        " s; VEMO_RENDER_TIMEOUT_MS sets that)");
  });
  if (run.timedOut)
    throw OutputError("rendering " + workbook.filename().string() + " took longer than " +
                      std::to_string(options_.timeout.count()) +
                      " ms and was stopped; set VEMO_RENDER_TIMEOUT_MS to allow more time");

  // The converter answers 0 even when the workbook did not load: the file decides.
  const fs::path produced = outFolder / workbook.filename().replace_extension(".pdf");
  if (run.exitCode != 0 || !fs::is_regular_file(produced, ec) || !LooksLikePdf(produced))
    throw OutputError("rendering " + workbook.filename().string() + " to PDF failed (exit code " +
                      std::to_string(run.exitCode) + "): " + LastLines(run.output));
  fs::create_directories(pdf.parent_path().empty() ? fs::path(".") : pdf.parent_path(), ec);
  fs::copy_file(produced, pdf, fs::copy_options::overwrite_existing, ec);
  if (ec) throw OutputError("cannot write " + pdf.string() + ": " + ec.message());
}

}  // namespace vemo::host
