// Turning a saved workbook into pages: the output layer renders a workbook
// to PDF, then prints or previews the PDF.
#pragma once
#include <filesystem>

namespace vemo::host {

class PageRenderer {
 public:
  virtual ~PageRenderer() = default;
  // Writes every sheet of `workbook` as pages into `pdf` (replacing it).
  // Throws OutputError saying what failed; `pdf` then does not exist.
  virtual void RenderToPdf(const std::filesystem::path& workbook, const std::filesystem::path& pdf) = 0;
};

}  // namespace vemo::host
