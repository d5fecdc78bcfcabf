// What the renderer module (libvemo-render.so) answers: its one function
// draws a workbook into a PDF and says how it went, with a message.
#pragma once
#include <cstddef>

namespace vemo::render {

inline constexpr int kRenderDrawn = 0;       // the PDF is written
inline constexpr int kRenderDeclined = 1;    // the message says what it does not draw
inline constexpr int kRenderUnreadable = 2;  // the workbook could not be read
inline constexpr int kRenderFailed = 3;      // the PDF could not be written

// The module's entry, looked up by this name.
inline constexpr const char* kRenderEntry = "vemo_render_workbook_to_pdf";
using RenderEntry = int (*)(const char* workbook, const char* pdf, char* message, std::size_t size);

}  // namespace vemo::render
