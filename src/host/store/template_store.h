// The setup side of the template store: which format the selected template
// has, moving template files between disk and byte arrays, and exporting a
// registered template. Every database access goes through the host
// components created by programmatic identifier, so a host's own components
// serve these functions unchanged.
//
// Each function takes the login's props string first, as every host
// component does (the session's, `GetPropsString` of context/login.h).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/document_kind.h"
#include "foundation/host_collections.h"
#include "foundation/host_error.h"

namespace vemo::host {

// A host error that also names where it was raised (the automation
// layer's "source").
class SourcedHostError : public HostError {
 public:
  SourcedHostError(int number, std::string source, std::string description)
      : HostError(number, std::move(description)), source_(std::move(source)) {}
  const std::string& Source() const { return source_; }

 private:
  std::string source_;
};

// Field `index` (from 0) of a key split at `separator`; "" beyond the last.
std::string KeyField(std::string_view key, std::string_view separator, int index);

// Whether a registered name is an .xlsx file: last three characters "XLS"
// give False, last four "XLSX" True (tested in that order, the later wins,
// both after upper-casing); any other name False.
bool IsXlsxName(std::string_view name);

// True with labelMode 1 (no database access); otherwise whether the
// selected bill template of billType is named .xlsx. Any failure: False.
bool IsBillTemplateXlsx(std::string_view props, std::int32_t billType, std::int32_t labelMode);
bool IsLogisticTemplateXlsx(std::string_view props, std::int32_t logisticId, std::int32_t dataFrom);
// True with labelMode 1 (the label template is .xlsx); otherwise whether the
// selected report template of rptId is named .xlsx. Any failure: False.
bool IsReportTemplateXlsx(std::string_view props, std::int32_t rptId, std::int32_t labelMode);

// The whole file as a byte array; Empty on any failure.
Variant ReadTemplateFile(const std::string& path);

// The TemplateSet for an export key (owner|id|sub-type) from the family's
// query component. Raises SourcedHostError 5 "未设置打印模板信息" with the
// family's source when nothing is set up.
DictionaryRef QueryTemplateSet(std::string_view props, DocumentKind family, std::string_view key, std::int32_t dataFrom);

// Writes each template of the key's set to targetPath (create or
// overwrite), setting key to the entry's key; True after the last one. Any
// failure raises with the same number and source and "加载数据出错！" in
// front of the description.
bool SaveTemplateToFile(std::string_view props, DocumentKind family, const std::string& targetPath, std::string& key,
                        std::int32_t dataFrom = 0);

}  // namespace vemo::host
