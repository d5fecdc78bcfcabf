// The output workers of the template engines: what OpenExcel, PrintPreview
// and PrintTo do with the saved workbook FileAllName. Each answers true or
// false and never throws. PrintPreview and PrintTo start their own
// spreadsheet application through GetSpreadsheetApp and end it before
// returning: Quit after success; after an error the instance is ended by its
// window handle instead.
//
// `useHooks` / `hookProcess`: the bill and report engines load the printer
// hook libraries (printer_hooks.h); the waybill engine does not.
#pragma once
#include <cstdint>
#include <string>

namespace vemo::engine {

// OpenExcel. With hookProcess (bill engine): loads printer-inject.dll (result
// not tested), launches the file's associated application and hands its
// process to PrinterInjectByProcHandle; true when launched and hooked (a
// missing hook library makes it false, the document staying open). Without
// (waybill engine): no library; true when the opener handed the document over.
bool OpenWorkbookForUser(const std::string& file, bool hookProcess);

// PrintPreview: the first worksheet of `file` previewed in a new application
// instance (made visible), closed without saving; true when the preview ran
// to its end.
bool PreviewWorkbookFile(const std::string& file, bool useHooks);

// PrintTo: `file` printed on the default printer, one copy: the whole
// workbook (application invisible) when it has several worksheets, else the
// one worksheet with the application made visible.
bool PrintWorkbookFile(const std::string& file, bool useHooks);

// The error path's clean-up: ends the application instance of `hwnd`
// (nothing for a handle below 1). Always false, which callers ignore.
bool EndApplicationAfterError(std::int32_t hwnd);

}  // namespace vemo::engine
