// The bill's data service (DataSrv) built from a request file: the bill
// type's metadata and GetData over the session's company database, read-only
// like VemoMClass.ClassInfo.
//
//   "DataSrv": { "classtype": {"FID": 1020002, "FBillTypeID": 20, "FName": "销售发票"},
//                "ClassTypeEntry": [ {"FEntryType": 0}, {"FEntryType": 1} ],
//                "classTypeID": 1020002 }
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/host_collections.h"
#include "foundation/recordset.h"

namespace vemo::host {

class BillDataService : public HostObject {
 public:
  BillDataService(DictionaryRef classtype, VectorRef classTypeEntry, std::int32_t classTypeID, std::string props);

  // From the "DataSrv" object of a request file (already converted with
  // FromJson). Missing parts raise HostError naming the key. classTypeID
  // defaults to classtype's FID when absent.
  static std::shared_ptr<BillDataService> FromRequest(const HostDictionary& dataSrv, std::string props);

  std::string TypeName() const override { return "BillDataService"; }

  const DictionaryRef& classtype() const { return classtype_; }
  const VectorRef& ClassTypeEntry() const { return classTypeEntry_; }
  std::int32_t classTypeID() const { return classTypeID_; }
  const std::string& PropsString() const { return props_; }

  // One read-only statement in the host's SQL dialect.
  RecordsetRef GetData(std::string_view sql) const;

 private:
  DictionaryRef classtype_;
  VectorRef classTypeEntry_;
  std::int32_t classTypeID_;
  std::string props_;
};

}  // namespace vemo::host
