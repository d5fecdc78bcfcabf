// The texts the setup dialogs show, as the users know them.
#pragma once

namespace vemo::setup::msg {

inline constexpr const char* kNoSpreadsheetApp = "系统没有检测到EXCEL，请确认是否已经安装!";
inline constexpr const char* kCannotImportWithoutApp = "无法引入模板文件，请先安装Excel应用程序。";
inline constexpr const char* kInvalidTemplate = "打印模板文件格式无效，请重新引入文件！";
inline constexpr const char* kChooseTemplate = "请选择打印模板文件";
inline constexpr const char* kChooseSelectedTemplate = "请选择有选择标志的打印模板文件";
inline constexpr const char* kAskDelete = "是否删除打印模板文件？";
inline constexpr const char* kNeedDefaultCourier = "必须存在一个默认快递公司，请重新选择！";

inline constexpr const char* kTemplateDialogCaption = "打印模板设置";
inline constexpr const char* kCourierDialogCaption = "物流公司设置";
inline constexpr const char* kImportDialogTitle = "引入打印模板文件";
inline constexpr const char* kExportDialogTitle = "引出打印模板文件";
inline constexpr const char* kImportFilter = "打印模板文件 Excel 97-2003 (*.xls)|*.xls|打印模板文件 Excel (*.xlsx)|*.xlsx";
inline constexpr const char* kXlsFilter = "打印模板文件 Excel 97-2003 (*.xls)|*.xls";
inline constexpr const char* kXlsxFilter = "打印模板文件 Excel (*.xlsx)|*.xlsx";

// The captions of the dialogs' controls ("&" marks the accelerator).
inline constexpr const char* kTypeLabel = "单据类型：";
inline constexpr const char* kImportButton = "导入(&I)";
inline constexpr const char* kDeleteButton = "删除(&D)";
inline constexpr const char* kApplyButton = "应用(&A)";
inline constexpr const char* kOkButton = "确定(&O)";
inline constexpr const char* kCancelButton = "取消(&C)";
inline constexpr const char* kExportButton = "导出(&E)";
inline constexpr const char* kCouriersButton = "物流公司";
inline constexpr const char* kRestorePresetsButton = "恢复预设信息";

}  // namespace vemo::setup::msg
