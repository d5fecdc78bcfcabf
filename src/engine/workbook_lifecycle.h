// Saving a filled workbook in the format its name asks for, and ending an
// application instance an error left behind.
#pragma once
#include <cstdint>
#include <memory>

#include "engine/engine_state.h"

namespace vemo::engine {

// The message shown when an application older than version 12 is asked for
// an .xlsx file.
inline constexpr const char* kNoXlsxMessage = "系统不能引出xlsx格式的文件，请安装Excel2007或以上版本软件！";

// Saves the workbook under the engine's file name (".xls" as the 97-2003
// format, ".xlsx" in the default format, any other name in the workbook's
// own format), closes it and releases the three references. False for an
// .xlsx name on an old application (bill and report engines only).
bool SaveWorkbookFile(const EngineState& state, std::shared_ptr<host::IWorkbook>& book,
                      std::shared_ptr<host::IRange>& usedRange, std::shared_ptr<host::IWorksheet>& sheet);

// Ends the application instance owning `hwnd` without saving. Always false.
bool TerminateSpreadsheetProcess(std::int32_t hwnd);

}  // namespace vemo::engine
