#include "request_file.h"

#include <exception>
#include <vector>

#include "command_registry.h"
#include "context/login.h"
#include "foundation/json_convert.h"
#include "host/components/bill_data_service.h"

namespace vemo::app {
namespace {

// Every request read in this process, never freed: a command reads one
// request and ends soon after, and taking a 100,000-line bill's 700,000
// dictionaries apart one by one at the end would only cost the clerk time
// the system gets back anyway when the process ends.
void KeepForTheProcess(const DictionaryRef& values) {
  static auto* kept = new std::vector<DictionaryRef>;
  kept->push_back(values);
}

// The members that hold an object or a list: a value of another type would
// be dropped unseen, and the action would then fail for no visible reason.
void CheckStructuredMembers(const HostDictionary& all, const std::string& path) {
  for (const char* key : {"DataSrv", "Data", "TableInfo", "RptHeadData", "RptEntryData", "ItemInfoDict", "PrintData"}) {
    if (!all.Lookup(key)) continue;
    const Variant& value = all.Value(key);
    if (!value.IsObject() && !value.IsNull())
      throw UsageError("\"" + std::string(key) + "\" in the request file \"" + path +
                       "\" must be a JSON object or list; see docs/request-file.md for its shape");
  }
}

}  // namespace

Request LoadRequest(const std::string& path) {
  Request request;
  try {
    request.all = ReadJsonFile(path).AsObject<HostDictionary>();
    if (!request.all) throw UsageError("the request file \"" + path + "\" must hold one JSON object");
    KeepForTheProcess(request.all);
    const HostDictionary& all = *request.all;
    CheckStructuredMembers(all, path);
    auto number = [&](const char* key) { return all.Lookup(key) ? all.Value(key).ToInt32() : 0; };
    if (auto dataSrv = all.Value("DataSrv").AsObject<HostDictionary>())
      request.dataSrv = host::BillDataService::FromRequest(*dataSrv, context::GetPropsString());
    request.data = all.Value("Data").ToObject();
    request.tableInfo = all.Value("TableInfo").ToObject();
    request.dataSourceType = number("DataSourceType");
    request.rptId = number("RptID");
    request.rptHeadData = all.Value("RptHeadData").AsObject<HostDictionary>();
    if (all.Lookup("RptEntryData")) request.rptEntryData = RecordsetFromValues(all.Value("RptEntryData"));
    request.itemInfoDict = all.Value("ItemInfoDict").AsObject<HostDictionary>();
    request.dataFrom = number("dataFrom");
    request.printData = all.Value("PrintData").ToObject();
  } catch (const UsageError&) {
    throw;
  } catch (const std::exception& error) {
    throw UsageError("cannot use the request file \"" + path + "\": " + error.what());
  }
  return request;
}

}  // namespace vemo::app
