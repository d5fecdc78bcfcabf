// What differs between the bill, report and waybill export classes. The
// algorithms live once in ActionCore; each class is built with its kind and
// ActionCore reads that kind's row of the family table.
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

// One row of the family table (action_families.cpp): everything the bill,
// report and waybill export actions do differently.
struct ActionFamily {
  DocumentKind kind;  // also the engine the family fills with
  FileExportStyle fileExport;
  // Print and preview first make sure a spreadsheet application that can
  // write the template's format is there.
  bool checksSpreadsheetOnPrint;
  std::string_view logCode;
  // The export dialog: title, filters, folder below the application folder
  // (e.g. "ExcelPrint" or "ExcelPrint\LogicExcelRef").
  std::string_view exportTitle;
  std::string_view filterXlsx;
  std::string_view filterXls;
  std::string (*exportFolder)(const ActionInputs& in);

  // Whether the selected template is .xlsx: for the working file of print,
  // preview and mail, and for the export dialog and PreCheck.
  bool (*workingTemplateIsXlsx)(const ActionInputs& in);
  bool (*exportTemplateIsXlsx)(const ActionInputs& in);
  // The selected template set from the family's query component (null or
  // empty when nothing is set up; may raise).
  DictionaryRef (*queryTemplateSet)(const ActionInputs& in);
  // Checks the written template with a fresh engine of the family.
  bool (*validateTemplate)(EngineJob& engine, const std::string& file, const ActionInputs& in);
  // Hands the bill (not label) data to an engine whose FileAllName is set.
  void (*handOverBillData)(EngineJob& engine, const ActionInputs& in);
};

const ActionFamily& FamilyOf(DocumentKind kind);

}  // namespace vemo::actions::detail
