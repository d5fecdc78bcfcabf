#include "setup/note_set_form.h"

#include "context/desktop.h"
#include "context/file_utils.h"
#include "context/message_box.h"
#include "context/settings.h"
#include "context/spreadsheet_detection.h"
#include "foundation/host_error.h"
#include "foundation/utf8_text.h"
#include "host/components/prog_ids.h"
#include "setup/error_text.h"
#include "setup/setup_messages.h"

namespace vemo::setup {

using context::vbCritical;
using context::vbExclamation;
using context::vbInformation;
using context::vbNo;
using context::vbQuestion;
using context::vbYesNo;

std::string DuplicateTemplateMessage(const std::string& name) {
  return "已经注册了名称为【" + name + "】的打印模板文件，不能重复注册";
}

namespace {

// The name part of a path written with either separator.
std::string NamePart(const std::string& path) {
  std::size_t at = path.find_last_of("/\\");
  return at == std::string::npos ? path : path.substr(at + 1);
}

// The numeric value of a flag as the grid's check box text.
std::string FlagText(const Variant& value) {
  if (value.IsNumeric()) return NumberToText(value.ToNumber());
  return NumberToText(LeadingNumber(value.ToText()));
}

bool Checked(const SetupGrid& grid, int row) { return CellNumber(grid, row, kColFlag) != 0; }

}  // namespace

namespace {

// The bill (frmNoteSet), report (frmNoteSetRpt) and waybill (frmNoteSetLM)
// dialogs side by side, in DocumentKind's order.
const NoteSetDialog kDialogs[] = {
    {DocumentKind::Bill, host::progid::kPrintSetupUpdate, 2000, 1500, msg::kChooseTemplate},
    {DocumentKind::Report, host::progid::kPrintSetupUpdateRpt, 2000, 1500, msg::kChooseTemplate},
    {DocumentKind::Waybill, host::progid::kPrintSetupUpdateLM, 3500, 0, msg::kChooseSelectedTemplate},
};

}  // namespace

NoteSetForm::NoteSetForm(DocumentKind dialog) : dialog_(kDialogs[static_cast<int>(dialog)]) {}

std::string NoteSetForm::Caption() const { return msg::kTemplateDialogCaption; }

void NoteSetForm::Load() {
  Reopen();
  BeforeLayout();
  LayoutGrid();
  subTypeList_ = BuildSubTypeList();
  typeText_ = BuildTypeText();
  LoadRows();
  if (!context::IsSpreadsheetAppAvailable()) {
    // Shown even to outer logins: the dialog cannot work at all.
    context::CurrentDesktop().MessageBox(msg::kNoSpreadsheetApp, vbInformation, std::string(context::kMessageTitle));
    Close();
  }
}

void NoteSetForm::LayoutGrid() {
  ScopedFlag filling(filling_, true);
  LayOutColumns(Grid(), {{"FKey", "", 1000, true},
                         {"FName", "文件名称", dialog_.nameColumnWidth, false},
                         {"FFlag", "标志", 800, false},
                         {"FType", "类型", dialog_.typeColumnWidth, false}});
}

void NoteSetForm::SetTypeCell(int row) {
  SetupGrid& grid = Grid();
  if (subTypeList_.empty()) {
    grid.SetCellType(row, kColType, CellType::Text);
    grid.SetCellLocked(row, kColType, true);
  } else {
    grid.SetCellType(row, kColType, CellType::DropDownList, subTypeList_);
    grid.SetCellLocked(row, kColType, false);
  }
}

void NoteSetForm::FillRowCells(int row, const std::string& key, const std::string& name, const std::string& flag,
                               const std::string& subType) {
  SetupGrid& grid = Grid();
  grid.SetCellText(row, kColKey, key);
  grid.SetCellText(row, kColName, name);
  grid.SetCellLocked(row, kColName, true);
  grid.SetCellType(row, kColFlag, CellType::CheckBox);
  grid.SetCellCentered(row, kColFlag, true);
  grid.SetCellText(row, kColFlag, flag);
  grid.SetCellText(row, kColType, subType);
  SetTypeCell(row);
}

std::string NoteSetForm::RowSubTypeOf(const HostDictionary& row) const { return row.Value("FBillTypeSub").ToText(); }

void NoteSetForm::FillGrid(const DictionaryRef& noteInfo) {
  ScopedFlag filling(filling_, true);
  SetupGrid& grid = Grid();
  VectorRef data = noteInfo ? noteInfo->Value("Data").AsObject<HostVector>() : nullptr;
  // "Option" travels with the rows and is not used.
  int count = data ? data->Size() : 0;
  grid.SetRowCount(count);
  for (int i = 1; i <= count; ++i) {
    auto row = data->Item(i).AsObject<HostDictionary>();
    if (!row) throw HostError(HostError::kTypeMismatch, "row " + std::to_string(i) + " of the template list is not a dictionary");
    FillRowCells(i, RowKeyOf(*row), row->Value("FName").ToText(), FlagText(row->Value("FSel")), RowSubTypeOf(*row));
  }
}

void NoteSetForm::ApplySelectionRule(int row, bool exclusive) {
  SetupGrid& grid = Grid();
  const std::string subType = grid.CellText(row, kColType);
  const int last = grid.RowCount();
  if (exclusive) {
    for (int other = 1; other <= last; ++other)
      if (grid.CellText(other, kColType) == subType && Checked(grid, other)) return;
    ScopedFlag filling(filling_, true);
    grid.SetCellText(row, kColFlag, "1");
    return;
  }
  if (!Checked(grid, row)) return;
  ScopedFlag filling(filling_, true);
  for (int other = 1; other <= last; ++other)
    if (other != row && grid.CellText(other, kColType) == subType && Checked(grid, other))
      grid.SetCellText(other, kColFlag, "0");
}

int NoteSetForm::RegisterTemplate(const std::string& path, std::string& message) {
  message.clear();
  if (path.empty()) return -1;
  try {
    const std::string name = NamePart(path);
    const Variant contents = host::ReadTemplateFile(path);
    SetupGrid& grid = Grid();
    const std::string upperName = ToUpperAscii(name);
    for (int row = 1; row <= LastRowHoldingData(grid); ++row) {
      if (ToUpperAscii(grid.CellText(row, kColName)) == upperName) {
        message = DuplicateTemplateMessage(name);
        return 0;
      }
    }
    ScopedFlag filling(filling_, true);
    const int row = grid.RowCount() + 1;
    grid.SetRowCount(row);
    std::optional<std::string> key = InsertTemplate(name, contents);
    grid.SetCellText(row, kColKey, key.value_or(""));
    grid.SetCellText(row, kColName, name);
    grid.SetCellLocked(row, kColName, true);
    grid.SetCellType(row, kColFlag, CellType::CheckBox);
    grid.SetCellCentered(row, kColFlag, true);
    grid.SetCellText(row, kColFlag, "0");
    ApplySelectionRule(row, true);  // while the type column is still empty
    SetTypeCell(row);
    return row;
  } catch (const std::exception& e) {
    message = ErrorText(e);
    return 0;
  }
}

TemplateValidator NoteSetForm::ChosenValidator() const {
  if (validator_) return validator_;
  TemplateValidator provided = ProvidedTemplateValidator(dialog_.engine, EngineDataSourceType());
  if (!provided)
    throw HostError(HostError::kCannotCreateObject,
                    "templates cannot be checked: this program has no template engine installed for the setup dialogs");
  return provided;
}

bool NoteSetForm::ImportTemplate() {
  try {
    context::FileDialogRequest request;
    request.title = msg::kImportDialogTitle;
    request.filter = msg::kImportFilter;
    request.fileName = "";
    request.flags = kDialogFileMustExist | kDialogPathMustExist;
    std::string folder = context::GetInstallPath(3) + TemplateSubFolder();
    if (context::FolderExists(folder)) request.initialFolder = folder;
    std::optional<std::string> chosen = context::CurrentDesktop().OpenFileDialog(request);
    if (!chosen) return false;  // cancelling is not an error
    return ImportTemplateFile(*chosen);
  } catch (const std::exception& e) {
    context::ShowMsgBox(ErrorText(e), vbExclamation);
    return false;
  }
}

bool NoteSetForm::ImportTemplateFile(const std::string& chosenName) {
  const std::string path = Trim(chosenName);
  if (path.empty()) return false;
  try {
    if (!context::GetSpreadsheetApp()) {
      context::ShowMsgBox(msg::kCannotImportWithoutApp, vbExclamation);
      return false;
    }
    std::optional<std::int32_t> id = ValidationId();
    if (!id || !ChosenValidator()(path, *id)) {
      context::ShowMsgBox(msg::kInvalidTemplate, vbExclamation);
      return false;
    }
    std::string message;
    int row = RegisterTemplate(path, message);
    if (!message.empty()) context::ShowMsgBox(message, vbExclamation);
    return row > 0;
  } catch (const std::exception& e) {
    context::ShowMsgBox(ErrorText(e), vbExclamation);
    return false;
  }
}

void NoteSetForm::ShowCritical(const std::string& text) { context::ShowMsgBox(text, vbCritical); }

bool NoteSetForm::SendGridRows(const std::function<void(const HostDictionary&)>& send) {
  try {
    SetupGrid& grid = Grid();
    auto data = HostVector::Create();
    for (int row = 1; row <= LastRowHoldingData(grid); ++row) {
      auto entry = HostDictionary::Create();
      entry->Add("FKey", grid.CellText(row, kColKey));
      entry->Add("FName", grid.CellText(row, kColName));
      entry->Add("FSel", CellNumber(grid, row, kColFlag));
      entry->Add("FType", grid.CellText(row, kColType));
      data->Add(entry);
    }
    auto set = HostDictionary::Create();
    set->Add("Option", "");
    set->Add("Data", data);
    send(*set);
    return true;
  } catch (const std::exception& e) {
    ShowCritical(ErrorText(e));
    return false;
  }
}

bool NoteSetForm::SaveGrid() {
  return SendGridRows([this](const HostDictionary& set) { SendUpdateSet(set); });
}

bool NoteSetForm::DeleteTemplate() {
  SetupGrid& grid = Grid();
  const int row = grid.ActiveRow();
  if (row == 0) {
    context::ShowHostMessage(msg::kChooseTemplate);
    return false;
  }
  // An outer login sees no box and answers 0: only an explicit No stops.
  if (context::ShowMsgBox(msg::kAskDelete, vbYesNo | vbQuestion) == vbNo) return false;
  try {
    const double id = LeadingNumber(host::KeyField(grid.CellText(row, kColKey), "|", 1));
    DeleteStored(id);
    ScopedFlag filling(filling_, true);
    RedrawSuspended quiet(grid);
    grid.DeleteRow(row);
    return true;
  } catch (const std::exception& e) {
    ShowCritical(ErrorText(e));
    return false;
  }
}


std::string NoteSetForm::RowKeyOf(const HostDictionary& row) const {
  const auto kind = TableKind();
  if (!kind) return "";
  return std::to_string(Owner().owner) + "|" + row.Value(TemplateTableOf(*kind).rowIdField).ToText();
}

std::optional<std::string> NoteSetForm::InsertTemplate(const std::string& name, const Variant& contents) {
  const auto kind = TableKind();
  if (!kind) return std::nullopt;
  return TemplateTableOf(*kind).insert(Owner(), name, contents);
}

void NoteSetForm::SendUpdateSet(const HostDictionary& set) {
  if (const auto kind = TableKind()) TemplateTableOf(*kind).send(Owner(), set);
}

void NoteSetForm::DeleteStored(double rowId) {
  if (const auto kind = TableKind()) TemplateTableOf(*kind).remove(Owner(), rowId);
}

std::optional<std::int32_t> NoteSetForm::ValidationId() const {
  const auto kind = TableKind();
  if (!kind) return std::nullopt;
  return TemplateTableOf(*kind).validatesByOwner ? Owner().owner : billType();
}

bool NoteSetForm::ExportTemplate() {
  SetupGrid& grid = Grid();
  const int row = grid.ActiveRow();
  if (row == 0) {
    context::ShowHostMessage(dialog_.noActiveRowExportMessage);
    return false;
  }
  try {
    std::string key = grid.CellText(row, kColKey) + "|" + grid.CellText(row, kColType);
    const std::string target = AskTemplateSaveName();
    if (target.empty()) return false;
    host::SaveTemplateToFile(Props(), TableKind().value_or(DocumentKind::Bill), target, key, Owner().dataFrom);
    return true;
  } catch (const std::exception& e) {
    ShowCritical(ErrorText(e));
    return false;
  }
}

std::string NoteSetForm::AskTemplateSaveName() {
  try {
    const bool xlsx = SelectedTemplateIsXlsx();
    context::FileDialogRequest request;
    request.title = msg::kExportDialogTitle;
    request.filter = xlsx ? msg::kXlsxFilter : msg::kXlsFilter;
    request.filterIndex = 1;
    std::string folder = context::GetAppPath();
    context::AddTrailingBackslash(folder);
    request.fileName = folder + TemplateSubFolder() + (xlsx ? "*.xlsx" : "*.xls");
    request.flags = kDialogOverwritePrompt | kDialogPathMustExist;
    return context::CurrentDesktop().SaveFileDialog(request).value_or("");
  } catch (const std::exception&) {
    return "";  // the routine answers "" for a cancelled dialog and for any failure
  }
}

void NoteSetForm::ClickButton(int index) {
  switch (index) {
    case kImport: {
      bool registered = ImportTemplate();
      AfterImport(registered);
      SaveGrid();  // whatever the import did
      break;
    }
    case kDelete: DeleteTemplate(); break;
    case kApply: SaveGrid(); break;
    case kOk:
      SaveGrid();
      Close();
      break;
    case kCancel: Close(); break;
    case kExport: ExportTemplate(); break;
    default: break;
  }
}

void NoteSetForm::OnCheckClicked(int row, int col) {
  if (filling_ || col != kColFlag) return;
  ApplySelectionRule(row, false);
}

void NoteSetForm::OnCellChanged(int row, int col) {
  if (filling_) return;
  ApplySelectionRule(row, false);
}

}  // namespace vemo::setup
