// The state behind the surface objects. Surface objects (workbook, sheet and
// range wrappers) are cheap handles; they share these cores, so a handle held
// after its workbook was closed or its application ended raises a clear
// error instead of touching freed memory.
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/spreadsheet/live_area.h"
#include "workbook/workbook.h"

namespace vemo::host {

class SurfaceApplication;
struct BookCore;

struct SheetCore {
  BookCore* book = nullptr;  // owner; valid while `sheet` is set
  wb::Sheet* sheet = nullptr;  // null once deleted or its workbook closed
  LiveAreas areas;

  // The model sheet, with any deferred row copies made; raises HostError when it is gone.
  wb::Sheet& Model() const;
  // Raises HostError when the sheet is gone, without making deferred row
  // copies: for what reads only the live areas or defers a row copy.
  void Check() const;
};

// Copies of one row not yet made in the model. Copying row r and inserting
// it above r, again and again (as a fill inserts its lines one at a time),
// gives the rows one insertion of all the copies gives, at the cost of one
// pass over the sheet instead of one per row; they are made at the next
// access to the model.
struct PendingRowCopies {
  SheetCore* sheet = nullptr;
  int at = 0;
  int count = 0;
};

// The file a workbook was last written to, as the file system saw it right
// after the write, and how many times the model had been reached by then.
struct SavedFile {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modifiedNs = 0;
  std::uint64_t touches = 0;
};

struct BookCore {
  std::weak_ptr<SurfaceApplication> app;
  std::unique_ptr<wb::Workbook> model;  // null once closed
  std::filesystem::path path;           // where it was opened or last saved
  std::vector<std::shared_ptr<SheetCore>> sheets;  // in workbook order
  // Cells were written or lines inserted: formulas elsewhere may hold stale
  // cached values, so the saved file asks readers to recalculate.
  bool edited = false;
  // Every Model() call of the book or of one of its sheets: any read or edit
  // of the workbook goes through one, so an unchanged count since a save
  // means nothing has been done to the workbook since.
  mutable std::uint64_t touches = 0;
  std::optional<SavedFile> lastSave;
  mutable std::optional<PendingRowCopies> pendingCopies;

  bool IsOpen() const { return model != nullptr; }
  // The model workbook, with any deferred row copies made; raises HostError
  // when the workbook was closed.
  wb::Workbook& Model() const;
  void MakePendingCopies() const;
  // Drops the model without saving; every handle on it raises from now on.
  void Discard();
  // The core of the sheet at 0-based `index` (raises when out of range).
  std::shared_ptr<SheetCore> SheetAt(int index) const;
  int IndexOf(const SheetCore& sheet) const;  // 0-based, -1 when not here
};

}  // namespace vemo::host
