#include "host/components/bill_data_service.h"

#include "host/database/account_location.h"
#include "host/database/read_only_query.h"

namespace vemo::host {

BillDataService::BillDataService(DictionaryRef classtype, VectorRef classTypeEntry, std::int32_t classTypeID,
                                 std::string props)
    : classtype_(std::move(classtype)),
      classTypeEntry_(std::move(classTypeEntry)),
      classTypeID_(classTypeID),
      props_(std::move(props)) {}

std::shared_ptr<BillDataService> BillDataService::FromRequest(const HostDictionary& dataSrv, std::string props) {
  auto classtype = dataSrv.Value("classtype").AsObject<HostDictionary>();
  if (!classtype) throw HostError("the request's DataSrv has no \"classtype\" object {FID, FBillTypeID, FName}");
  auto entries = dataSrv.Value("ClassTypeEntry").AsObject<HostVector>();
  if (!entries) throw HostError("the request's DataSrv has no \"ClassTypeEntry\" list of {FEntryType} per page");
  Variant id = dataSrv.Lookup("classTypeID") ? dataSrv.Value("classTypeID") : classtype->Value("FID");
  if (id.IsEmpty() || id.IsNull())
    throw HostError("the request's DataSrv has no \"classTypeID\" (nor a classtype FID)");
  return std::make_shared<BillDataService>(std::move(classtype), std::move(entries), id.ToInt32(), std::move(props));
}

RecordsetRef BillDataService::GetData(std::string_view sql) const {
  return RunReadOnlyQuery(AccountDatabase(props_), sql);
}

}  // namespace vemo::host
