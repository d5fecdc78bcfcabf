// The one implementation behind ExportAction, ExportActionRpt and
// ExportActionLM. Public members answer true/false and never throw; the
// private routines may raise and are trapped by the member that runs them.
#pragma once
#include <memory>
#include <string>

#include "actions/action_family.h"
#include "actions/action_inputs.h"
#include "actions/action_types.h"
#include "context/pending_file.h"

namespace vemo::actions::detail {

// The action PrintBill and PrintItemInfo run: export to a file when asked,
// else preview or print.
inline int SingleActionFor(bool isPreview, bool isExportExcelFile) {
  const ActionTypeEnum action = isExportExcelFile ? ActionTypeEnum::SingleExpToFile
                                : isPreview       ? ActionTypeEnum::SinglePrintView
                                                  : ActionTypeEnum::SinglePrint;
  return static_cast<int>(action);
}

class ActionCore {
 public:
  explicit ActionCore(DocumentKind kind);
  ~ActionCore();

  ActionInputs& Inputs() { return in_; }
  const ActionInputs& Inputs() const { return in_; }
  // Keeps the data service; with `readClassType` also its class type id,
  // class type and entry descriptions.
  void SetDataSrv(const ObjectRef& dataSrv, bool readClassType);

  bool DoAction(int actionType);
  bool PrintRpt(bool isPreview);
  bool SingleRecordExportToFileAction4Rpt();
  bool PreCheck();
  bool PrintInitial(const ObjectRef& printData);
  // Mails the filled workbook: to the bill's partner through the SMTP server
  // of the machine configuration, else attached to a new message in the
  // user's mail program. False (the cause reported) when neither works.
  bool ToEmailAction(const std::string& tempFileName);

  // Item labels.
  bool PrintItemInfo(bool isPreview, bool isExportExcelFile, const ObjectRef& itemInfoDict);
  void CopyItemInfoFile();
  void HandlerItemInfoFilePicture();
  bool OpenExcel();
  // Exported labels: stores the pictures the filled label `workbook` links to
  // in it, when asked (SetEmbedLabelPictures or the EmbedLabelPictures setting).
  void StoreLabelPicturesIfAsked(const std::string& workbook);

  // The file the user chose in the export dialog, "" when cancelled.
  std::string AskExportFileName();

 private:
  bool CheckActionPrerequisites(int actionType);
  bool RunAction(int actionType);
  void WriteBehaviorLog();

  bool PrintOrPreviewBill(PrintTypeEnum mode);
  bool EmailBill();
  bool ExportBillToFile();
  bool ExportStraightToFile();
  // Fills `out`'s hidden file with `engine` and puts it in place of the
  // chosen export file, then asks whether to open it; any answer but No
  // opens it. `quietForOuterLogin` asks through ShowMsgBox, otherwise
  // through a plain message box.
  bool FillAndOfferToOpen(EngineJob& engine, context::PendingFile& out, bool quietForOuterLogin);

  // Writes the selected template into `file` and checks it; on failure the
  // user is told to set up a template.
  bool PrepareTemplateFile(const std::string& file);
  bool WriteTemplateFile(const std::string& file);
  DictionaryRef GetCurrNoteInfo();

  // A new engine of the family on `file`, with the bill or label data.
  std::unique_ptr<EngineJob> NewFillEngine(const std::string& file);
  // The batch engine set up for a report-style fill of `file`.
  void SetUpBatchEngine(const std::string& file);

  const ActionFamily& family_;
  ActionInputs in_;
};

}  // namespace vemo::actions::detail
