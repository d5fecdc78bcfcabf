// The courier company settings dialog (frmLogistic): the list of courier
// companies in a grid of seven columns, one row per company and an empty
// last row for a new one; exactly one company is the default, and the
// default company is always shown.
//
// Grid reactions run only while the armed flag is on: the first user input
// arms it, and the form disarms it while it fills the grid or applies the
// default rule, so its own changes never trigger reactions.
#pragma once
#include <string>

#include "setup/grid_form.h"

namespace vemo::setup {

// The courier grid's columns.
inline constexpr int kColCourierId = 1;
inline constexpr int kColCourierCode = 2;
inline constexpr int kColCourierName = 3;
inline constexpr int kColCourierDefault = 4;
inline constexpr int kColCourierShown = 5;
inline constexpr int kColKdd100Code = 6;
inline constexpr int kColKdd100Web = 7;

class frmLogistic : public GridForm {
 public:
  enum Button { kOk = 0, kApply = 1, kCancel = 2, kRestorePresets = 3 };
  static constexpr const char* kRestoreToolTip = "恢复预设信息,包括编码,名称,快递100编码,快递100网址";

  std::string Caption() const override;
  // Disarms, lays the grid out and loads the list.
  void Load() override;

  bool Armed() const { return armed_; }

  // Reads the list anew (errors ignored: the grid keeps what was filled, at
  // least one empty row).
  void LoadList();
  // For `row` whose default box is checked: shows it and clears every other
  // company's default box.
  void ApplyDefaultRule(int row);
  // Sends the list; refuses one without a default company. True when stored.
  bool SaveCompanies();
  // The preset companies back (no question asked), then the list reloaded.
  void RestorePresets();
  void ClickButton(int index);

  void OnGridUserInput() override { armed_ = true; }
  void OnCheckClicked(int row, int col) override;
  void OnCellChanged(int row, int col) override;

 private:
  void PrepareRow(int row);

  bool armed_ = false;
};

}  // namespace vemo::setup
