// The renderer's door when it is loaded as a module (libvemo-render.so): one
// C function, so that no exception and no C++ type crosses between the
// program and the module. The program loads the module only when it renders
// pages itself; cairo, Pango, GLib and their own libraries then cost nothing
// to the processes that never render.
#include <cstddef>
#include <cstring>
#include <exception>
#include <string>

#include "render/render_declined.h"
#include "workbook/workbook_values.h"
#include "render/render_module.h"
#include "render/workbook_renderer.h"
#include "workbook/workbook_error.h"

namespace {

int Answer(int code, const std::string& text, char* message, std::size_t size) {
  if (message && size > 0) {
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(message, text.data(), n);
    message[n] = '\0';
  }
  return code;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int vemo_render_workbook_to_pdf(const char* workbook, const char* pdf,
                                                                                   char* message, std::size_t size) {
  using namespace vemo::render;
  try {
    RenderWorkbookToPdf(workbook, pdf);
    return Answer(kRenderDrawn, "", message, size);
  } catch (const RenderDeclined& declined) {
    return Answer(kRenderDeclined, declined.what(), message, size);
  } catch (const vemo::wb::CannotCompute& e) {  // a formula: declined, like what is not drawn
    return Answer(kRenderDeclined, e.what(), message, size);
  } catch (const vemo::wb::WorkbookError& e) {
    return Answer(kRenderUnreadable, e.what(), message, size);
  } catch (const std::exception& e) {
    return Answer(kRenderFailed, e.what(), message, size);
  } catch (...) {
    return Answer(kRenderFailed, "the renderer failed for an unknown reason", message, size);
  }
}
