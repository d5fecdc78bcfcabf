// What differs between the bill, report and waybill export classes. The
// algorithms live once in ActionCore; each class brings one family object
// that answers these questions.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "actions/action_inputs.h"
#include "actions/engine_job.h"
#include "foundation/host_collections.h"

namespace vemo::actions::detail {

// What DoAction(SingleExpToFile) does.
enum class FileExportStyle {
  None,              // nothing; the action answers True
  TimedWorkingCopy,  // fill a unique working copy, copy it over the chosen file, report the time
  StraightToFile,    // fill the chosen file itself, then ask whether to open it
};

struct ExportDialogTexts {
  std::string_view title;
  std::string_view filterXlsx;
  std::string_view filterXls;
  std::string folder;  // below the application folder, e.g. "ExcelPrint" or "ExcelPrint\LogicExcelRef"
};

class ActionFamily {
 public:
  virtual ~ActionFamily() = default;

  virtual EngineKind Engine() const = 0;
  virtual FileExportStyle FileExport() const = 0;
  // Print and preview first make sure a spreadsheet application that can
  // write the template's format is there.
  virtual bool ChecksSpreadsheetOnPrint() const = 0;
  virtual std::string_view LogCode() const = 0;

  // Whether the selected template is .xlsx: for the working file of print,
  // preview and mail, and for the export dialog and PreCheck.
  virtual bool WorkingTemplateIsXlsx(const ActionInputs& in) const = 0;
  virtual bool ExportTemplateIsXlsx(const ActionInputs& in) const = 0;
  virtual ExportDialogTexts ExportDialog(const ActionInputs& in) const = 0;

  // The selected template set from the family's query component (null or
  // empty when nothing is set up; may raise).
  virtual DictionaryRef QueryTemplateSet(const ActionInputs& in) const = 0;
  // Checks the written template with a fresh engine of the family.
  virtual bool ValidateTemplate(EngineJob& engine, const std::string& file, const ActionInputs& in) const = 0;
  // Hands the bill (not label) data to an engine whose FileAllName is set.
  virtual void HandOverBillData(EngineJob& engine, const ActionInputs& in) const = 0;
};

std::unique_ptr<ActionFamily> MakeBillFamily();
std::unique_ptr<ActionFamily> MakeReportFamily();
std::unique_ptr<ActionFamily> MakeWaybillFamily();

}  // namespace vemo::actions::detail
