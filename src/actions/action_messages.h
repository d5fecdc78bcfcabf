// Every text the export actions show or log, in one place.
#pragma once
#include <string_view>

namespace vemo::actions::text {

// Message service (one text, no answer).
inline constexpr std::string_view kNoSpreadsheetBeforeAction = "启动Excel失败，请先安装。";
inline constexpr std::string_view kNoOutlook = "启动Outlook失败，请先安装。";
inline constexpr std::string_view kNoSpreadsheetForPrint = "启动Excel失败，请安装2007或以上版本Excel！";
inline constexpr std::string_view kNoXlsxSupport = "当前系统Excel不支持xlsx格式，请安装2007或以上版本的Excel！";
inline constexpr std::string_view kNoSpreadsheetForCheck = "启动Excel失败，请先安装";

// Message boxes.
inline constexpr std::string_view kTemplateMissing = "未设置打印模板或设置错误，请先确认设置Excel打印模板！";
inline constexpr std::string_view kExportDonePrefix = "引出文件成功，耗时：";
inline constexpr std::string_view kExportDoneSeconds = "秒。";
inline constexpr std::string_view kExportOpenQuestion = "是否打开导出的文件？";
inline constexpr std::string_view kOpenExportedFile = "是否打开导出文件？";
inline constexpr std::string_view kErrorTitle = "错误";
inline constexpr std::string_view kBatchDataError = "单据打印初始化数据错误，不能打印！";
inline constexpr std::string_view kMixedBillTypes = "不支持不同类型单据的连续打印！";
inline constexpr std::string_view kNoTemporaryFolder =
    "无法确定临时文件夹，工作文件无法创建。请检查临时文件夹（TMPDIR）是否存在且可写。";

// Item labels.
inline constexpr std::string_view kLabelTemplateMissing = "商品标签模板文件不存在，请重试！";
inline constexpr std::string_view kLabelNoSpreadsheet = "系统没有检测到EXCEL，请确认是否已经安装！";

// Template sets.
inline constexpr std::string_view kLoadDataError = "加载数据出错！";
inline constexpr std::string_view kNoTemplateInfo = "未设置打印模板信息";

// Export dialogs.
inline constexpr std::string_view kBillExportTitle = "引出文件";
inline constexpr std::string_view kBillFilterXlsx = "Excel文件 (*.xlsx)|*.xlsx";
inline constexpr std::string_view kBillFilterXls = "Excel文件 (*.xls)|*.xls";
inline constexpr std::string_view kPrintFileExportTitle = "引出打印文件";
inline constexpr std::string_view kPrintFileFilterXlsx = "打印文件 Excel (*.xlsx)|*.xlsx";
inline constexpr std::string_view kPrintFileFilterXls = "打印文件 Excel 97-2003 (*.xls)|*.xls";

// Behaviour log.
inline constexpr std::string_view kLogCodeBill = "S1S003E001";
inline constexpr std::string_view kLogCodeLabel = "S1S003F001";
inline constexpr std::string_view kLogCodeWaybill = "S1S003E002";
inline constexpr std::string_view kLogTextLabel = "处理商品标签打印导出Excel功能";
inline constexpr std::string_view kLogTextBillPrefix = "处理单据(";
inline constexpr std::string_view kLogTextBillSuffix = ")打印导出Excel功能";

}  // namespace vemo::actions::text
