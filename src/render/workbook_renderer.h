// The renderer's entry: a workbook file laid out and drawn to a PDF in this
// process. Every visible worksheet is printed, each with its own page setup.
#pragma once
#include <filesystem>

namespace vemo::render {

// Writes the pages of `workbook` (.xlsx or .xls) into `pdf`, replacing it. Throws
// RenderDeclined when the workbook holds something this renderer does not
// draw (the reason says what and where), WorkbookError for an unreadable
// workbook, std::runtime_error when the PDF cannot be written; `pdf` then
// does not exist.
void RenderWorkbookToPdf(const std::filesystem::path& workbook, const std::filesystem::path& pdf);

}  // namespace vemo::render
