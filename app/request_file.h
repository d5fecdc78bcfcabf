// A request file (docs/request-file.md) read into the values the host hands
// the print/export component: the bill's data service, data and field
// dictionary, report head values and rows, item values, waybill source.
#pragma once
#include <cstdint>
#include <string>

#include "foundation/host_collections.h"
#include "foundation/recordset.h"

namespace vemo::app {

struct Request {
  ObjectRef dataSrv;  // host::BillDataService, or nullptr when absent
  ObjectRef data;     // HostDictionary
  ObjectRef tableInfo;
  std::int32_t dataSourceType = 0;
  std::int32_t rptId = 0;
  DictionaryRef rptHeadData;
  RecordsetRef rptEntryData;
  DictionaryRef itemInfoDict;
  std::int32_t dataFrom = 0;
  ObjectRef printData;
  DictionaryRef all;  // every key of the file, for commands that need more
};

// Raises UsageError with the file and the reason when it cannot be read.
Request LoadRequest(const std::string& path);

}  // namespace vemo::app
