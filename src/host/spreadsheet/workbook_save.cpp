#include "host/spreadsheet/workbook_save.h"

#include <sys/stat.h>

#include "foundation/host_error.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"
#include "workbook/surface_support.h"
#include "workbook/workbook_error.h"

namespace vemo::host {
namespace {

std::string LowerExtension(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

std::optional<SavedFile> FileState(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return SavedFile{.device = static_cast<std::uint64_t>(st.st_dev),
                   .inode = static_cast<std::uint64_t>(st.st_ino),
                   .size = static_cast<std::uint64_t>(st.st_size),
                   .modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace

bool SavedAndUnchanged(const BookCore& book, const std::filesystem::path& path) {
  if (!book.IsOpen() || !book.lastSave || book.touches != book.lastSave->touches) return false;
  const std::optional<SavedFile> now = FileState(path);
  const SavedFile& saved = *book.lastSave;
  return now && now->device == saved.device && now->inode == saved.inode && now->size == saved.size &&
         now->modifiedNs == saved.modifiedNs;
}

void SaveBook(BookCore& book, const std::filesystem::path& path, std::optional<int> fileFormat) {
  wb::Workbook& model = book.Model();
  if (fileFormat && *fileFormat != kFileFormatXlsx && *fileFormat != kFileFormatXls)
    throw HostError("file format " + std::to_string(*fileFormat) +
                    " is not supported; use 51 (.xlsx), 56 (.xls) or leave the format out");
  // Without a format the name decides; a name of neither kind keeps the
  // workbook's own format.
  const std::string ext = LowerExtension(path);
  const bool xls = fileFormat ? *fileFormat == kFileFormatXls
                              : ext == ".xls" || (ext != ".xlsx" && ext != ".xlsm" &&
                                                  model.sourceFormat() == wb::Workbook::Format::Xls);
  if (book.edited) wb::RequestFullCalcOnLoad(model);
  book.lastSave.reset();
  try {
    model.Save(path, xls ? wb::Workbook::Format::Xls : wb::Workbook::Format::Xlsx);
  } catch (const std::exception& e) {
    throw HostError("cannot save the workbook as \"" + path.string() + "\": " + e.what());
  }
  book.lastSave = FileState(path);
  if (book.lastSave) book.lastSave->touches = book.touches;
}

}  // namespace vemo::host
