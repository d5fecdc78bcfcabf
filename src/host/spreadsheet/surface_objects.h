// The surface's object handles over the shared cores (surface_state.h).
#pragma once
#include <memory>

#include "host/spreadsheet/spreadsheet_application.h"
#include "host/spreadsheet/spreadsheet_interfaces.h"
#include "host/spreadsheet/surface_state.h"

namespace vemo::host {

class SurfaceWorkbooks : public IWorkbooks {
 public:
  explicit SurfaceWorkbooks(std::shared_ptr<SurfaceApplication> app) : app_(std::move(app)) {}
  std::string TypeName() const override { return "Workbooks"; }
  std::shared_ptr<IWorkbook> Open(const std::string& path) override;
  int Count() const override;
  std::shared_ptr<IWorkbook> Item(int index) override;

 private:
  std::shared_ptr<SurfaceApplication> app_;
};

class SurfaceWorkbook : public IWorkbook {
 public:
  SurfaceWorkbook(std::shared_ptr<SurfaceApplication> app, std::shared_ptr<BookCore> book)
      : app_(std::move(app)), book_(std::move(book)) {}
  std::string TypeName() const override { return "Workbook"; }
  std::shared_ptr<IApplication> Application() override { return app_; }
  std::shared_ptr<IWorksheets> Worksheets() override;
  std::shared_ptr<IWorksheets> Sheets() override { return Worksheets(); }
  std::string FullName() const override;
  void SaveAs(const SaveAsOptions& options) override;
  using IWorkbook::SaveAs;
  void Save() override;
  void Close(std::optional<bool> saveChanges, std::optional<std::string> fileName) override;
  void PrintOut(const PrintOutOptions& options) override;

 private:
  std::shared_ptr<SurfaceApplication> app_;
  std::shared_ptr<BookCore> book_;
};

class SurfaceWorksheets : public IWorksheets {
 public:
  SurfaceWorksheets(std::shared_ptr<SurfaceApplication> app, std::shared_ptr<BookCore> book)
      : app_(std::move(app)), book_(std::move(book)) {}
  std::string TypeName() const override { return "Sheets"; }
  int Count() const override;
  std::shared_ptr<IWorksheet> Item(int index) override;

 private:
  std::shared_ptr<SurfaceApplication> app_;
  std::shared_ptr<BookCore> book_;
};

class SurfaceWorksheet : public IWorksheet {
 public:
  SurfaceWorksheet(std::shared_ptr<SurfaceApplication> app, std::shared_ptr<BookCore> book,
                   std::shared_ptr<SheetCore> sheet)
      : app_(std::move(app)), book_(std::move(book)), sheet_(std::move(sheet)) {}
  std::string TypeName() const override { return "Worksheet"; }
  std::shared_ptr<IApplication> Application() override { return app_; }
  std::string Name() const override;
  int Index() const override;
  std::shared_ptr<IRange> UsedRange() override;
  std::shared_ptr<IRange> Cells(int row, int column) override;
  std::shared_ptr<IRange> Range(const std::string& a1) override;
  std::shared_ptr<IRange> Rows(int row) override;
  std::shared_ptr<IRange> Columns(int column) override;
  void Delete() override;
  void PrintOut(const PrintOutOptions& options) override;
  void PrintPreview(std::optional<bool> enableChanges) override;

  std::shared_ptr<IRange> MakeRange(const Area& area);

 private:
  std::shared_ptr<SurfaceApplication> app_;
  std::shared_ptr<BookCore> book_;
  std::shared_ptr<SheetCore> sheet_;
};

class SurfaceRange : public IRange {
 public:
  SurfaceRange(std::shared_ptr<SurfaceApplication> app, std::shared_ptr<BookCore> book,
               std::shared_ptr<SheetCore> sheet, std::shared_ptr<Area> area)
      : app_(std::move(app)), book_(std::move(book)), sheet_(std::move(sheet)), area_(std::move(area)) {}
  std::string TypeName() const override { return "Range"; }
  std::shared_ptr<IApplication> Application() override { return app_; }
  std::shared_ptr<IWorksheet> Worksheet() override;
  std::string Address() const override;
  int Row() const override;
  int Column() const override;
  int RowCount() const override;
  int ColumnCount() const override;
  std::shared_ptr<IRange> Cells(int row, int column) override;
  std::shared_ptr<IRange> Resize(int rows, std::optional<int> columns) override;

  std::string Text() const override;
  Variant Value() const override;
  void SetValue(const Variant& value) override;
  std::string Formula() const override;
  void SetFormula(const std::string& formula) override;
  std::string NumberFormat() const override;
  void SetNumberFormat(const std::string& code) override;
  std::string NumberFormatLocal() const override;
  void SetNumberFormatLocal(const std::string& code) override;
  bool HasFormula() const override;
  void SetHasFormula(bool value) override;
  void Calculate() override;

  std::shared_ptr<IRange> Find(const FindOptions& options) override;
  using IRange::Find;
  std::shared_ptr<IRange> FindNext(const std::shared_ptr<IRange>& after) override;

  void Copy() override;
  void Insert(std::optional<int> shift, std::optional<int> copyOrigin) override;
  double RowHeight() const override;
  void SetRowHeight(double points) override;
  double ColumnWidth() const override;
  void SetColumnWidth(double characters) override;

  // The current area (after any insertion); raises when the sheet is gone.
  const Area& CurrentArea() const;
  const std::shared_ptr<SheetCore>& SheetState() const { return sheet_; }

 private:
  wb::Sheet& Model() const;
  std::shared_ptr<IRange> MakeRange(const Area& area) const;
  // Calls f(row, col) for every cell of the range; refuses huge ranges.
  template <class F>
  void ForEachCell(F&& f) const;
  void MarkEdited() const;
  // Counts a row copied and inserted above itself as pending; false when it must be made now.
  bool DeferRowCopy(const Area& a, std::optional<int> source) const;

  std::shared_ptr<SurfaceApplication> app_;
  std::shared_ptr<BookCore> book_;
  std::shared_ptr<SheetCore> sheet_;
  std::shared_ptr<Area> area_;
};

}  // namespace vemo::host
