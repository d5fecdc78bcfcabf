#include "host/spreadsheet/workbook_save.h"

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

}  // namespace

void SaveBook(BookCore& book, const std::filesystem::path& path, std::optional<int> fileFormat) {
  wb::Workbook& model = book.Model();
  if (fileFormat == kFileFormatXls || (!fileFormat && LowerExtension(path) == ".xls"))
    throw HostError("saving \"" + path.string() +
                    "\" in the 97-2003 (.xls) format is not supported yet; save it as .xlsx instead");
  if (fileFormat && *fileFormat != kFileFormatXlsx)
    throw HostError("file format " + std::to_string(*fileFormat) +
                    " is not supported; use 51 (.xlsx) or leave the format out");
  if (book.edited) wb::RequestFullCalcOnLoad(model);
  try {
    model.Save(path);
  } catch (const std::exception& e) {
    throw HostError("cannot save the workbook as \"" + path.string() + "\": " + e.what());
  }
}

}  // namespace vemo::host
