#include "engine/workbook_lifecycle.h"

#include "context/desktop.h"
#include "engine/ignore_errors.h"
#include "foundation/utf8_text.h"
#include "host/spreadsheet/spreadsheet_application.h"

namespace vemo::engine {
namespace {

bool NameEndsWith(const std::string& name, std::string_view upperExtension) {
  return ToUpperAscii(RightChars(name, upperExtension.size())) == upperExtension;
}

}  // namespace

bool SaveWorkbookFile(const EngineState& state, std::shared_ptr<host::IWorkbook>& book,
                      std::shared_ptr<host::IRange>& usedRange, std::shared_ptr<host::IWorksheet>& sheet) {
  const std::string& name = state.fileName;
  const bool isXls = NameEndsWith(name, ".XLS");
  const bool isXlsx = NameEndsWith(name, ".XLSX");
  bool old = false;
  if (state.variant.saveChecksVersion)
    IgnoreErrors([&] { old = LeadingNumber(sheet->Application()->Version()) < 12.0; });
  if (old) {
    if (isXls) {
      IgnoreErrors([&] { book->SaveAs(host::SaveAsOptions{.fileName = name, .fileFormat = std::nullopt}); });
    } else if (isXlsx) {
      context::ShowHostMessage(kNoXlsxMessage);
      return false;
    }
  } else if (isXls) {
    IgnoreErrors([&] { book->SaveAs(host::SaveAsOptions{.fileName = name, .fileFormat = host::kFileFormatXls}); });
  } else if (isXlsx) {
    IgnoreErrors([&] { book->SaveAs(host::SaveAsOptions{.fileName = name, .fileFormat = std::nullopt}); });
  }
  usedRange.reset();
  sheet.reset();
  // The close saves again whatever SaveAs could not write, so its failure
  // is the one that leaves the file unfilled: that fails the fill, with the
  // reason, rather than pass the unfilled template off as the result.
  bool closed = false;
  try {
    book->Close(true, name);
    closed = true;
  } catch (...) {
    ReportCurrentError("saving the filled workbook " + name);
  }
  book.reset();
  return closed;
}

bool TerminateSpreadsheetProcess(std::int32_t hwnd) {
  if (hwnd < 1) return false;
  IgnoreErrors([&] { host::TerminateApplicationByHandle(hwnd); });
  return false;
}

}  // namespace vemo::engine
