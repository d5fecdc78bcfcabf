// The waybill template dialog (frmNoteSetLM): templates per courier company
// and data source, with a courier company lookup above the grid. The type
// column is always locked and not shown.
//
// The lookup is played through the three On* notifications below (a window
// system's lookup control calls them; tests and the command line call them
// directly). Its entries are "FName|FID" texts; the current courier company
// id is the number after the "|" of the current text, 0 when it is empty.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "setup/note_set_form.h"

namespace vemo::setup {

class frmNoteSetLM : public NoteSetForm {
 public:
  frmNoteSetLM() : NoteSetForm(DocumentKind::Waybill) {}
  // Button 0 of the dialog, beside the template buttons.
  static constexpr int kCouriers = 0;

  std::int32_t dataFrom() const { return dataFrom_; }
  void SetDataFrom(std::int32_t value) { dataFrom_ = value; }

  // The lookup.
  const std::vector<std::string>& CourierEntries() const { return courierEntries_; }
  const std::string& CourierText() const { return courierText_; }
  std::int32_t CurrentCourierId() const;
  // On entering the lookup: remembers its text.
  void OnCourierEnter(int index);
  // The committed choice: saves the grid for the remembered courier (only
  // if a template was imported since the rows were loaded), then loads the
  // new courier's rows; a failed save puts the remembered text back.
  void OnCourierCommit(int index, const std::string& text);
  // Any other change of the text: loads the new courier's rows, unsaved
  // changes of the previous one are dropped.
  void OnCourierChange(int index, const std::string& text);

  // Set when a template is imported, cleared whenever the rows are loaded.
  bool Modified() const { return modified_; }

  // courier > 0: sends the grid for that courier only when a template was
  // imported since the rows were loaded; courier 0: sends it for the current
  // courier company. True unless sending failed.
  bool SaveGrid(std::int32_t courier);
  bool SaveGrid() override { return SaveGrid(0); }

  // Button 0 and the template buttons.
  void ClickButton(int index) override;

 protected:
  void BeforeLayout() override;
  std::string BuildSubTypeList() const override { return ""; }
  std::string BuildTypeText() const override { return ""; }
  void LoadRows() override;
  std::optional<DocumentKind> TableKind() const override { return DocumentKind::Waybill; }
  TemplateOwner Owner() const override;
  void AfterImport(bool registered) override;
  std::string TemplateSubFolder() const override;
  bool SelectedTemplateIsXlsx() const override;

 private:
  void FillCourierLookup();
  // Loads the rows of the current courier; an error is shown.
  void ReloadRows();

  std::int32_t dataFrom_ = 0;
  std::vector<std::string> courierEntries_;
  std::string courierText_;
  std::string rememberedText_;
  bool modified_ = false;
};

}  // namespace vemo::setup
