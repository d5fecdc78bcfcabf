#include "host/store/template_store.h"

#include <fstream>
#include <iterator>

#include "context/pending_file.h"
#include "foundation/creation_service.h"
#include "foundation/utf8_text.h"
#include "host/components/bitmap_file.h"
#include "host/components/class_info.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"

namespace vemo::host {

std::string KeyField(std::string_view key, std::string_view separator, int index) {
  std::size_t start = 0;
  for (int i = 0; i < index; ++i) {
    std::size_t at = key.find(separator, start);
    if (at == std::string_view::npos) return {};
    start = at + separator.size();
  }
  std::size_t end = key.find(separator, start);
  return std::string(key.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

bool IsXlsxName(std::string_view name) {
  bool xlsx = false;
  if (ToUpperAscii(RightChars(name, 3)) == "XLS") xlsx = false;
  if (ToUpperAscii(RightChars(name, 4)) == "XLSX") xlsx = true;
  return xlsx;
}

namespace {

bool SelectedNameIsXlsx(std::string_view props, const std::string& sql) {
  try {
    auto info = CreateObjectAs<IClassInfo>(progid::kClassInfo);
    auto rows = info->GetData(props, sql);
    if (!rows || rows->Eof()) return false;
    return IsXlsxName(rows->Field("FName").ToText());
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool IsBillTemplateXlsx(std::string_view props, std::int32_t billType, std::int32_t labelMode) {
  if (labelMode == 1) return true;
  return SelectedNameIsXlsx(props, "select * from T_PrintExport where FSel=1 and FBillType=" + std::to_string(billType));
}

bool IsLogisticTemplateXlsx(std::string_view props, std::int32_t logisticId, std::int32_t dataFrom) {
  return SelectedNameIsXlsx(props, "select * from T_PrintExportLM where FSel=1 and FDataFrom = " +
                                       std::to_string(dataFrom) + " and FBillType=" + std::to_string(logisticId));
}

bool IsReportTemplateXlsx(std::string_view props, std::int32_t rptId, std::int32_t labelMode) {
  if (labelMode == 1) return true;
  return SelectedNameIsXlsx(props, "select * from T_RptExcelPrintExport where FSel=1 and FRptId=" + std::to_string(rptId));
}

Variant ReadTemplateFile(const std::string& path) {
  try {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return {};
    return Variant(std::move(bytes));
  } catch (const std::exception&) {
    return {};
  }
}

DictionaryRef QueryTemplateSet(std::string_view props, DocumentKind family, std::string_view key, std::int32_t dataFrom) {
  std::string owner = KeyField(key, "|", 0);
  std::string subType = KeyField(key, "|", 2);
  DictionaryRef set;
  std::string source;
  switch (family) {
    case DocumentKind::Bill:
      set = CreateObjectAs<IPrintSetupQuery>(progid::kPrintSetupQuery)->GetNotePrintData(props, owner, subType);
      source = "VemoPrintExport.ExportAction.GetCurrNoteInfo";
      break;
    case DocumentKind::Report:
      set = CreateObjectAs<IPrintSetupQuery>(progid::kPrintSetupQueryRpt)->GetRptNotePrintData(props, owner, subType);
      source = "VemoPrintExport.ExportActionRpt.GetCurrNoteInfo";
      break;
    case DocumentKind::Waybill:
      set = CreateObjectAs<IPrintSetupQueryLM>(progid::kPrintSetupQueryLM)->GetNotePrintData(props, owner, dataFrom, subType);
      source = "VemoPrintExport.ExportActionLM.GetCurrNoteInfo";
      break;
  }
  if (!set || set->Count() == 0) throw SourcedHostError(HostError::kKeyNotFound, source, "未设置打印模板信息");
  return set;
}

bool SaveTemplateToFile(std::string_view props, DocumentKind family, const std::string& targetPath, std::string& key,
                        std::int32_t dataFrom) {
  try {
    auto set = QueryTemplateSet(props, family, key, dataFrom);
    for (int i = 1; i <= set->Count(); ++i) {
      key = set->Key(i);
      auto entry = set->ItemAt(i).AsObject<HostVector>();
      if (!entry) throw HostError(HostError::kTypeMismatch, "the template set entry " + key + " is not a list");
      const Variant& contents = entry->Item(2);
      if (contents.Type() != VariantType::Bytes)
        throw HostError(HostError::kTypeMismatch, "the template " + key +
                                                      " has no stored contents (its file could not be read when it was registered); register it again");
      // Whole or not at all: the target keeps its contents if the disk fills.
      context::PendingFile out(targetPath);
      WriteFileBytes(out.Path(), contents.ToBytes());
      out.Commit();
    }
    return true;
  } catch (const SourcedHostError& e) {
    throw SourcedHostError(e.Number(), e.Source(), "加载数据出错！" + e.Description());
  } catch (const HostError& e) {
    throw SourcedHostError(e.Number(), "", "加载数据出错！" + e.Description());
  } catch (const std::exception& e) {
    throw SourcedHostError(HostError::kGeneric, "", std::string("加载数据出错！") + e.what());
  }
}

}  // namespace vemo::host
