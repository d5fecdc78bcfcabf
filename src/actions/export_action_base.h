// The members ExportAction and ExportActionRpt share: write-only inputs,
// the single actions, continuous printing and item labels. The two classes
// differ only in the family they are built with (action_family.h).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "actions/action_types.h"
#include "foundation/document_kind.h"
#include "foundation/host_object.h"
#include "foundation/recordset.h"

namespace vemo::actions {

namespace detail {
class ActionCore;
}  // namespace detail

class ExportActionBase : public HostObject {
 public:
  ~ExportActionBase() override;
  ExportActionBase(const ExportActionBase&) = delete;
  ExportActionBase& operator=(const ExportActionBase&) = delete;

  void SetRptHeadData(const ObjectRef& headValues);
  void SetRptEntryData(const RecordsetRef& rows);
  void SetRptID(std::int32_t rptId);
  void SetDataSourceType(std::int32_t type);  // 0 bill (default), 1 report
  void SetDataSrv(const ObjectRef& dataService);
  void SetData(const ObjectRef& billValues);
  void SetTableInfo(const ObjectRef& fieldDictionary);

  // Sends nothing: mail is not supported; always false.
  bool ToEmailAction(const std::string& tempFileName);
  // Opens the item label workbook for editing (the argument is not used).
  bool OpenExcel(const std::string& excelFileName);
  // Prints, previews or exports one item label; false at once without values.
  bool PrintItemInfo(bool isPreview, bool isExportExcelFile = false, const ObjectRef& itemInfoDict = nullptr);
  // An exported label stores the pictures it shows instead of linking to the
  // files of c:\ItemPhotos\, so it shows this item wherever it is opened.
  // The session setting "EmbedLabelPictures" (non-zero) asks the same.
  void SetEmbedLabelPictures(bool embed);
  // Label mode only: the empty placeholders over the four label pictures,
  // then the item's own pictures over them.
  void CopyItemInfoFile();
  void HandlerItemInfoFilePicture();
  // 1 mail, 2 export to a file, 3 print, 4 preview; 5 to 8 do nothing (true).
  bool DoAction(ActionTypeEnum actionType);
  bool DoAction(int actionType);
  // Continuous printing: PrintInitial(bills of one transaction type), then
  // PrintRpt or SingleRecordExportToFileAction4Rpt, as often as needed.
  bool PrintInitial(const ObjectRef& printData);
  bool PrintRpt(bool isPreview);
  bool SingleRecordExportToFileAction4Rpt();
  // A spreadsheet application is there and the selected template is set up.
  bool PreCheck();

  // For tests and diagnostics of this folder.
  detail::ActionCore& Core() { return *core_; }

 protected:
  explicit ExportActionBase(DocumentKind kind);
  std::unique_ptr<detail::ActionCore> core_;
};

}  // namespace vemo::actions
