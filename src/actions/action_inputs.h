// What the host hands an export action through its write-only properties,
// and the continuous-print state PrintInitial keeps.
#pragma once
#include <cstdint>
#include <memory>

#include "actions/engine_job.h"
#include "foundation/host_collections.h"
#include "foundation/recordset.h"

namespace vemo::actions::detail {

struct ActionInputs {
  ObjectRef dataSrv;                // the bill's data service (host::BillDataService)
  std::int32_t classTypeId = 0;     // DataSrv.classtype("FID"); fixed per family for waybills
  DictionaryRef classType;          // DataSrv.classtype
  VectorRef classTypeEntry;         // DataSrv.ClassTypeEntry
  ObjectRef data;                   // the bill's values (a HostDictionary)
  ObjectRef tableInfo;              // the field dictionary
  ObjectRef rptHeadData;            // report head values
  RecordsetRef rptEntryData;        // report rows
  std::int32_t rptId = 0;
  std::int32_t dataSourceType = 0;  // 0 bill, 1 report
  std::int32_t labelMode = 0;       // 1 while item labels are printed
  DictionaryRef itemInfo;           // item label values
  bool embedLabelPictures = false;  // exported labels store their pictures (also the EmbedLabelPictures setting)
  std::int32_t dataFrom = 0;        // waybills: 1 = from a bill

  // Continuous printing (PrintInitial).
  VectorRef printData;
  VectorRef typeCounts;
  std::unique_ptr<EngineJob> batchEngine;
};

// DataSrv.classTypeID; raises HostError when no data service is set.
std::int32_t DataSrvClassTypeID(const ActionInputs& inputs);
// The value ({FFLD, FDSP, FFND}) of the bill head field a template names
// `key` ("FBillNo"), found through the field dictionary's Map and read on
// the field's page; nullptr when the bill does not carry it.
DictionaryRef HeadCell(const ActionInputs& inputs, std::string_view key);

}  // namespace vemo::actions::detail
