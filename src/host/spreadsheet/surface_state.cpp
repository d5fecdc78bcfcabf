#include "host/spreadsheet/surface_state.h"

#include "foundation/host_error.h"
#include "host/spreadsheet/line_insertion.h"

namespace vemo::host {

void SheetCore::Check() const {
  if (!sheet)
    throw HostError(HostError::kObjectRequired,
                    "the worksheet is no longer available: it was deleted or its workbook was closed");
  ++book->touches;
}

wb::Sheet& SheetCore::Model() const {
  Check();
  book->MakePendingCopies();
  return *sheet;
}

wb::Workbook& BookCore::Model() const {
  if (!model)
    throw HostError(HostError::kObjectRequired,
                    "the workbook \"" + path.filename().string() + "\" was closed; open it again to work on it");
  ++touches;
  MakePendingCopies();
  return *model;
}

void BookCore::MakePendingCopies() const {
  if (!pendingCopies) return;
  PendingRowCopies copies = *pendingCopies;
  pendingCopies.reset();  // taken first: a failed insertion is not tried again
  if (copies.sheet->sheet) InsertModelRows(*copies.sheet->sheet, copies.at, copies.count, copies.at);
}

void BookCore::Discard() {
  for (auto& sheet : sheets) {
    sheet->sheet = nullptr;
    sheet->book = nullptr;
  }
  sheets.clear();
  pendingCopies.reset();
  model.reset();
}

std::shared_ptr<SheetCore> BookCore::SheetAt(int index) const {
  Model();
  if (index < 0 || index >= static_cast<int>(sheets.size()))
    throw HostError(HostError::kKeyNotFound, "there is no sheet number " + std::to_string(index + 1) +
                                                 "; the workbook has " + std::to_string(sheets.size()) + " sheet(s)");
  return sheets[static_cast<std::size_t>(index)];
}

int BookCore::IndexOf(const SheetCore& sheet) const {
  for (std::size_t i = 0; i < sheets.size(); ++i)
    if (sheets[i].get() == &sheet) return static_cast<int>(i);
  return -1;
}

}  // namespace vemo::host
