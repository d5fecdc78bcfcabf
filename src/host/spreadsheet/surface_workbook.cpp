// Workbook, Sheets and Worksheet members of the surface.
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "context/pending_file.h"
#include "foundation/host_error.h"
#include "host/spreadsheet/print_service.h"
#include "host/spreadsheet/surface_objects.h"
#include "host/spreadsheet/workbook_save.h"
#include "workbook/reference.h"

namespace vemo::host {
namespace {

std::shared_ptr<PrintService> RequirePrintService() {
  auto service = InstalledPrintService();
  if (!service)
    throw HostError("no print service is installed: printing and print preview need the export side's print service");
  return service;
}

// Prints or previews a saved copy of the workbook as it is now (edits
// included), removing the copy afterwards. The copy keeps the format the
// workbook was read from: an .xls saved as .xlsx would leave out what only
// its records carry (pictures, notes) before the renderer
// could see it.
template <class F>
void WithSavedCopy(BookCore& book, std::int32_t hwnd, F&& use) {
  static std::atomic<int> counter{0};
  // Handles and the counter start alike in every process: the process id
  // keeps two processes printing at once off each other's copy.
  const auto folder = std::filesystem::temp_directory_path();
  context::RemoveLeftoversOfEndedProcesses(folder, "vemo-print-");  // copies a crashed print left
  const bool xls = book.Model().sourceFormat() == wb::Workbook::Format::Xls;
  auto path = folder / ("vemo-print-" + std::to_string(::getpid()) + "-" + std::to_string(hwnd) + "-" +
                        std::to_string(++counter) + (xls ? ".xls" : ".xlsx"));
  SaveBook(book, path, xls ? kFileFormatXls : kFileFormatXlsx);
  try {
    use(path.string());
  } catch (...) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
    throw;
  }
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

}  // namespace

// ---- Workbook ----

std::shared_ptr<IWorksheets> SurfaceWorkbook::Worksheets() {
  book_->Model();
  return std::make_shared<SurfaceWorksheets>(app_, book_);
}

std::string SurfaceWorkbook::FullName() const {
  book_->Model();
  return book_->path.string();
}

void SurfaceWorkbook::SaveAs(const SaveAsOptions& options) {
  if (!options.fileName || options.fileName->empty())
    throw HostError(HostError::kKeyNotFound, "SaveAs needs a file name");
  SaveBook(*book_, *options.fileName, options.fileFormat);
  book_->path = *options.fileName;
}

void SurfaceWorkbook::Save() { SaveBook(*book_, book_->path, std::nullopt); }

void SurfaceWorkbook::Close(std::optional<bool> saveChanges, std::optional<std::string> fileName) {
  const std::filesystem::path target =
      fileName && !fileName->empty() ? std::filesystem::path(*fileName) : book_->path;
  // Asked before Model() below counts as reaching the workbook. A workbook
  // saved to this file with nothing done since is not written again, as the
  // spreadsheet application ignores SaveChanges for an unchanged workbook.
  const bool alreadySaved = saveChanges.value_or(false) && SavedAndUnchanged(*book_, target);
  book_->Model();
  if (saveChanges.value_or(false) && !alreadySaved) SaveBook(*book_, target, std::nullopt);
  app_->Forget(*book_);
  book_->Discard();
}

void SurfaceWorkbook::PrintOut(const PrintOutOptions& options) {
  book_->Model();
  if (options.from || options.to)
    throw HostError("printing a page range (From/To) is not supported; print the whole workbook");
  auto service = RequirePrintService();
  int copies = options.copies.value_or(1);
  bool preview = options.preview.value_or(false);
  WithSavedCopy(*book_, app_->Hwnd(), [&](const std::string& path) {
    if (preview) service->Preview(path, 1);
    else service->PrintWorkbook(path, std::nullopt, copies);
  });
}

// ---- Sheets ----

int SurfaceWorksheets::Count() const { return static_cast<int>(book_->Model().SheetCount()); }

std::shared_ptr<IWorksheet> SurfaceWorksheets::Item(int index) {
  return std::make_shared<SurfaceWorksheet>(app_, book_, book_->SheetAt(index - 1));
}

// ---- Worksheet ----

std::string SurfaceWorksheet::Name() const { return sheet_->Model().name(); }

int SurfaceWorksheet::Index() const {
  sheet_->Model();
  return book_->IndexOf(*sheet_) + 1;
}

std::shared_ptr<IRange> SurfaceWorksheet::MakeRange(const Area& area) {
  sheet_->Check();
  return std::make_shared<SurfaceRange>(app_, book_, sheet_, sheet_->areas.Track(area));
}

std::shared_ptr<IRange> SurfaceWorksheet::UsedRange() {
  auto used = sheet_->Model().UsedRange();
  if (!used) return MakeRange(Area{});
  return MakeRange(Area{used->first.row, used->first.col, used->last.row, used->last.col});
}

std::shared_ptr<IRange> SurfaceWorksheet::Cells(int row, int column) {
  if (row < 1 || row > kSheetRows || column < 1 || column > kSheetColumns)
    throw HostError(HostError::kKeyNotFound, "cell (" + std::to_string(row) + ", " + std::to_string(column) +
                                                 ") lies outside the sheet");
  return MakeRange(Area{row, column, row, column});
}

std::shared_ptr<IRange> SurfaceWorksheet::Range(const std::string& a1) {
  auto area = wb::ParseAreaRef(a1);
  if (!area || area->kind == wb::AreaRef::Kind::Error)
    throw HostError(HostError::kKeyNotFound, "\"" + a1 + "\" is not a cell or range address (write it like B3 or A1:C9)");
  return MakeRange(Area{area->Top(), area->Left(), area->Bottom(), area->Right()});
}

std::shared_ptr<IRange> SurfaceWorksheet::Rows(int row) {
  if (row < 1 || row > kSheetRows)
    throw HostError(HostError::kKeyNotFound, "row " + std::to_string(row) + " lies outside the sheet");
  return MakeRange(Area{row, 1, row, kSheetColumns});
}

std::shared_ptr<IRange> SurfaceWorksheet::Columns(int column) {
  if (column < 1 || column > kSheetColumns)
    throw HostError(HostError::kKeyNotFound, "column " + std::to_string(column) + " lies outside the sheet");
  return MakeRange(Area{1, column, kSheetRows, column});
}

void SurfaceWorksheet::Delete() {
  wb::Workbook& model = book_->Model();
  sheet_->Model();
  int index = book_->IndexOf(*sheet_);
  if (model.SheetCount() <= 1)
    throw HostError("a workbook must keep at least one sheet; \"" + sheet_->sheet->name() + "\" cannot be deleted");
  try {
    model.DeleteSheet(static_cast<std::size_t>(index));
  } catch (const std::exception& e) {
    throw HostError("cannot delete the sheet: " + std::string(e.what()));
  }
  sheet_->sheet = nullptr;
  sheet_->book = nullptr;
  book_->sheets.erase(book_->sheets.begin() + index);
  book_->edited = true;
}

void SurfaceWorksheet::PrintOut(const PrintOutOptions& options) {
  sheet_->Model();
  if (options.from || options.to)
    throw HostError("printing a page range (From/To) is not supported; print the whole sheet");
  auto service = RequirePrintService();
  int index = Index();
  bool preview = options.preview.value_or(false);
  WithSavedCopy(*book_, app_->Hwnd(), [&](const std::string& path) {
    if (preview) service->Preview(path, index);
    else service->PrintWorkbook(path, index, options.copies.value_or(1));
  });
}

void SurfaceWorksheet::PrintPreview(std::optional<bool>) {
  sheet_->Model();
  auto service = RequirePrintService();
  int index = Index();
  WithSavedCopy(*book_, app_->Hwnd(), [&](const std::string& path) { service->Preview(path, index); });
}

}  // namespace vemo::host
