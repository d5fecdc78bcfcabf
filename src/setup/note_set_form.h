// The template setup dialog's logic, shared by the bill, report and waybill
// dialogs (frmNoteSet, frmNoteSetRpt, frmNoteSetLM): the template grid, the
// selection rule, registration, import, saving, deletion and export. What
// differs between the three dialogs is one row of the dialog table below
// (engine, update component, widths, messages); what differs between the
// template tables they edit (row keys, registration, saving, deletion) is
// one row of template_tables.h. The dialogs themselves only say which table
// and owner they work on now, how they load rows and what their type column
// offers; the steps exist once, here.
//
// The dialog talks to the grid (SetupGrid), the desktop (message boxes, the
// message service, file dialogs) and the host components through the
// creation service, nothing else.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/host_collections.h"
#include "host/store/template_store.h"
#include "setup/grid_form.h"
#include "setup/template_tables.h"
#include "setup/template_validator.h"

namespace vemo::setup {

// The template grid's columns.
inline constexpr int kColKey = 1;
inline constexpr int kColName = 2;
inline constexpr int kColFlag = 3;
inline constexpr int kColType = 4;

// File dialog flags of the host's common dialog.
inline constexpr int kDialogOverwritePrompt = 2;
inline constexpr int kDialogPathMustExist = 2048;
inline constexpr int kDialogFileMustExist = 4096;

// "已经注册了名称为【name】的打印模板文件，不能重复注册"
std::string DuplicateTemplateMessage(const std::string& name);

// What differs between the bill, report and waybill dialogs themselves; the
// three rows stand side by side in note_set_form.cpp.
struct NoteSetDialog {
  DocumentKind engine;            // the engine that checks imported templates
  std::string_view updateProgId;  // the update component
  int nameColumnWidth;
  int typeColumnWidth;            // 0: the type column is not shown
  const char* noActiveRowExportMessage;
};

class NoteSetForm : public GridForm {
 public:
  // The command buttons, by their index in the dialog's button array.
  enum Button { kImport = 2, kDelete = 3, kApply = 4, kOk = 5, kCancel = 6, kExport = 7 };


  // Properties every variant has.
  std::int32_t billType() const { return billType_; }
  void SetBillType(std::int32_t value) { billType_ = value; }
  const std::string& NoteTypeName() const { return noteTypeName_; }
  void SetNoteTypeName(std::string value) { noteTypeName_ = std::move(value); }

  // The check of imported templates; without one the provided engine check
  // (template_validator.h) is used.
  void SetValidator(TemplateValidator validator) { validator_ = std::move(validator); }

  // SetupForm
  std::string Caption() const override;
  // Lays the grid out, builds the sub-type list, shows the type text, loads
  // the rows, and closes the form when no spreadsheet application is installed.
  void Load() override;
  // The drop-down items of the type column ("" when there are no sub-types).
  const std::string& SubTypeList() const { return subTypeList_; }
  // What the type text box shows.
  const std::string& TypeText() const { return typeText_; }

  // Keeps one selected template per sub-type. exclusive false (a user
  // change of `row`): a checked row clears the check of every other row of
  // the same sub-type text. exclusive true (a new registration): `row` is
  // checked when no row of its sub-type text is.
  void ApplySelectionRule(int row, bool exclusive);
  // The new row number; -1 for an empty path; 0 with `message` set when the
  // name is registered already (any case) or registration failed.
  int RegisterTemplate(const std::string& path, std::string& message);
  // The open dialog, then ImportTemplateFile. True when a row was registered.
  bool ImportTemplate();
  // The import steps after the dialog: application check, the engine's
  // check, registration; each refusal is shown. True when a row was registered.
  bool ImportTemplateFile(const std::string& chosenName);
  // Sends the whole grid (flags, names, sub-types); an error is shown.
  virtual bool SaveGrid();
  // Asks, then deletes the active row's template and row. True when deleted.
  bool DeleteTemplate();
  // Writes the template printing uses for the active row's sub-type to the
  // file the user chooses. True when written.
  bool ExportTemplate();
  // The save dialog for an export: "" when cancelled or anything failed.
  std::string AskTemplateSaveName();

  virtual void ClickButton(int index);

  // GridListener: a flag click or a cell change runs the selection rule.
  void OnCheckClicked(int row, int col) override;
  void OnCellChanged(int row, int col) override;

 protected:
  explicit NoteSetForm(DocumentKind dialog);
  const NoteSetDialog& Dialog() const { return dialog_; }

  // Fills the grid from a NoteInfo's "Data" rows.
  void FillGrid(const DictionaryRef& noteInfo);
  // Builds the update set of every row holding data and hands it to `send`;
  // an error is shown with the critical icon.
  bool SendGridRows(const std::function<void(const HostDictionary&)>& send);
  void ShowCritical(const std::string& text);

  // Hooks of the variants.
  virtual void BeforeLayout() {}
  virtual std::string BuildSubTypeList() const = 0;
  virtual std::string BuildTypeText() const = 0;
  // Fills the grid with the rows of the store.
  virtual void LoadRows() = 0;
  virtual std::string RowSubTypeOf(const HostDictionary& row) const;
  // The template table the dialog edits now (template_tables.h); nullopt
  // for a mode that edits none (no key, no component call).
  virtual std::optional<DocumentKind> TableKind() const = 0;
  virtual TemplateOwner Owner() const = 0;
  virtual std::int32_t EngineDataSourceType() const { return 0; }
  virtual void AfterImport(bool registered) {}
  // "ExcelPrint\\" or a folder below it, for both file dialogs.
  virtual std::string TemplateSubFolder() const { return "ExcelPrint\\"; }
  // Whether the selected template is an .xlsx file (the save filter); may raise.
  virtual bool SelectedTemplateIsXlsx() const = 0;

  bool filling_ = false;  // the form itself is changing the grid

  // What the template table of TableKind() does for this dialog.
  std::string RowKeyOf(const HostDictionary& row) const;
  // Registers the file and answers the new row key; nullopt when the mode
  // registers nothing.
  std::optional<std::string> InsertTemplate(const std::string& name, const Variant& contents);
  void SendUpdateSet(const HostDictionary& set);
  void DeleteStored(double rowId);
  // The id the template must name; nullopt when the mode has none.
  std::optional<std::int32_t> ValidationId() const;

 private:
  void LayoutGrid();
  void FillRowCells(int row, const std::string& key, const std::string& name, const std::string& flag,
                    const std::string& subType);
  void SetTypeCell(int row);
  TemplateValidator ChosenValidator() const;

  std::int32_t billType_ = 0;
  std::string noteTypeName_;
  std::string subTypeList_;
  std::string typeText_;
  TemplateValidator validator_;
  const NoteSetDialog& dialog_;
};

}  // namespace vemo::setup
