// The spreadsheet application surface the template engine drives: the
// members of a spreadsheet application's automation interface the engine
// calls, with their argument conventions (a missing optional = "not passed").
// Every object is a HostObject created through "ET.Application"; a test can
// register its own application (for example one reporting Version "11.0").
//
// Failures raise HostError; a statement the engine runs "errors ignored"
// simply catches it.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "foundation/host_object.h"
#include "foundation/variant.h"

namespace vemo::host {

class IApplication;
class IWorkbooks;
class IWorkbook;
class IWorksheets;
class IWorksheet;
class IRange;

// Constants of the automation interface the engine passes.
inline constexpr int kShiftDown = -4121;      // Insert: move cells down
inline constexpr int kShiftToRight = -4161;   // Insert: move cells right
inline constexpr int kLookInFormulas = -4123;
inline constexpr int kLookInValues = -4163;
inline constexpr int kLookAtPart = 2;
inline constexpr int kLookAtWhole = 1;
inline constexpr int kSearchByRows = 1;
inline constexpr int kSearchNext = 1;
inline constexpr int kFileFormatXls = 56;     // 97-2003 workbook
inline constexpr int kFileFormatXlsx = 51;    // Open XML workbook
inline constexpr int kReferenceA1 = 1;

class IApplication : public HostObject {
 public:
  // The application itself (the automation member `Application`).
  virtual std::shared_ptr<IApplication> Application() = 0;
  virtual std::shared_ptr<IWorkbooks> Workbooks() = 0;
  virtual bool DisplayAlerts() const = 0;
  virtual void SetDisplayAlerts(bool on) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool on) = 0;
  // Text whose leading number is the major version ("12.0").
  virtual std::string Version() const = 0;
  // 32-bit handle naming this instance; TerminateApplicationByHandle ends it.
  virtual std::int32_t Hwnd() const = 0;
  // Ends the instance: open workbooks are discarded without saving.
  virtual void Quit() = 0;
};

class IWorkbooks : public HostObject {
 public:
  virtual std::shared_ptr<IWorkbook> Open(const std::string& path) = 0;
  virtual int Count() const = 0;
  virtual std::shared_ptr<IWorkbook> Item(int index) = 0;  // 1-based
};

struct PrintOutOptions {
  std::optional<int> from, to;  // pages; none = all
  std::optional<int> copies;    // none = 1
  std::optional<bool> preview;  // none = false
};

// SaveAs arguments: the path given positionally is the same as FileName.
struct SaveAsOptions {
  std::optional<std::string> fileName;
  std::optional<int> fileFormat;  // 56 = .xls, 51 = .xlsx
};

class IWorkbook : public HostObject {
 public:
  virtual std::shared_ptr<IApplication> Application() = 0;
  virtual std::shared_ptr<IWorksheets> Worksheets() = 0;
  // Same collection as Worksheets: this surface has no chart sheets of its own.
  virtual std::shared_ptr<IWorksheets> Sheets() = 0;
  virtual std::string FullName() const = 0;
  virtual void SaveAs(const SaveAsOptions& options) = 0;
  void SaveAs(const std::string& path) { SaveAs(SaveAsOptions{path, std::nullopt}); }
  virtual void Save() = 0;
  // SaveChanges none/false discards edits; true saves to fileName (or the
  // workbook's own path when none is given).
  virtual void Close(std::optional<bool> saveChanges = std::nullopt,
                     std::optional<std::string> fileName = std::nullopt) = 0;
  virtual void PrintOut(const PrintOutOptions& options = {}) = 0;
};

class IWorksheets : public HostObject {
 public:
  virtual int Count() const = 0;
  virtual std::shared_ptr<IWorksheet> Item(int index) = 0;  // 1-based
};

class IWorksheet : public HostObject {
 public:
  virtual std::shared_ptr<IApplication> Application() = 0;
  virtual std::string Name() const = 0;
  virtual int Index() const = 0;  // 1-based position in the workbook
  // The smallest range holding every cell with content or format; A1 on an empty sheet.
  virtual std::shared_ptr<IRange> UsedRange() = 0;
  virtual std::shared_ptr<IRange> Cells(int row, int column) = 0;
  virtual std::shared_ptr<IRange> Range(const std::string& a1) = 0;  // "B3", "A1:C9", "3:5"
  virtual std::shared_ptr<IRange> Rows(int row) = 0;                  // whole row
  virtual std::shared_ptr<IRange> Columns(int column) = 0;            // whole column
  // Removes the sheet (no prompt: this surface never asks).
  virtual void Delete() = 0;
  virtual void PrintOut(const PrintOutOptions& options = {}) = 0;
  // Returns when the preview is closed.
  virtual void PrintPreview(std::optional<bool> enableChanges = std::nullopt) = 0;
};

struct FindOptions {
  std::string what;
  std::shared_ptr<IRange> after;   // none: search from the range's first cell inclusive
  int lookIn = kLookInFormulas;
  int lookAt = kLookAtPart;
  int searchOrder = kSearchByRows;
  int searchDirection = kSearchNext;
  bool matchCase = false;
  bool matchByte = true;
};

// A live rectangle of cells, whole rows or whole columns. It follows
// insertions as a spreadsheet application's range does: it grows when lines
// are inserted inside it and moves when they are inserted before it.
class IRange : public HostObject {
 public:
  virtual std::shared_ptr<IApplication> Application() = 0;
  virtual std::shared_ptr<IWorksheet> Worksheet() = 0;
  // Absolute A1 text: "$B$3", "$A$1:$C$9", "$3:$5", "$B:$B".
  virtual std::string Address() const = 0;
  virtual int Row() const = 0;     // first row
  virtual int Column() const = 0;  // first column
  virtual int RowCount() const = 0;
  virtual int ColumnCount() const = 0;
  // The cell at (row, column) counted from the range's first cell as (1, 1);
  // it may lie outside the range.
  virtual std::shared_ptr<IRange> Cells(int row, int column) = 0;
  // Same first cell, `rows` rows and (when given) `columns` columns; raises
  // for a size below 1.
  virtual std::shared_ptr<IRange> Resize(int rows, std::optional<int> columns = std::nullopt) = 0;

  // First cell's content.
  virtual std::string Text() const = 0;          // displayed text
  virtual Variant Value() const = 0;
  virtual void SetValue(const Variant& value) = 0;  // every cell of the range
  virtual std::string Formula() const = 0;       // "=A1*2" or the constant as entered
  virtual void SetFormula(const std::string& formula) = 0;
  virtual std::string NumberFormat() const = 0;
  virtual void SetNumberFormat(const std::string& code) = 0;
  virtual std::string NumberFormatLocal() const = 0;  // "G/通用格式" for General
  virtual void SetNumberFormatLocal(const std::string& code) = 0;
  virtual bool HasFormula() const = 0;
  virtual void SetHasFormula(bool value) = 0;  // read-only: always raises
  virtual void Calculate() = 0;

  // Search the range's cells by rows; nullptr when nothing matches.
  virtual std::shared_ptr<IRange> Find(const FindOptions& options) = 0;
  std::shared_ptr<IRange> Find(const std::string& what) {
    FindOptions options;
    options.what = what;
    return Find(options);
  }
  // The next match after `after` in row order, wrapping to the first; uses
  // the options of the last Find on this range.
  virtual std::shared_ptr<IRange> FindNext(const std::shared_ptr<IRange>& after) = 0;

  // Rows and columns.
  virtual void Copy() = 0;  // to the application's clipboard
  // Inserts lines before the range: whole rows shift down (kShiftDown),
  // whole columns right (kShiftToRight). copyOrigin 0 = format from above/left.
  virtual void Insert(std::optional<int> shift = std::nullopt, std::optional<int> copyOrigin = std::nullopt) = 0;
  virtual double RowHeight() const = 0;
  virtual void SetRowHeight(double points) = 0;
  virtual double ColumnWidth() const = 0;
  virtual void SetColumnWidth(double characters) = 0;
};

}  // namespace vemo::host
