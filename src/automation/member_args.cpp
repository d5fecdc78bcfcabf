#include "automation/member_args.h"

#include "context/login.h"
#include "foundation/json_convert.h"
#include "host/components/bill_data_service.h"

namespace vemo::automation {

ObjectRef ObjectArg(const Variant& value) {
  if (value.IsObject() || value.IsEmpty() || value.IsNull()) return value.ToObject();
  throw HostError(HostError::kTypeMismatch,
                  "type mismatch: an object is expected here, not the value \"" + value.ToText() + "\"");
}

ObjectRef DataServiceArg(const Variant& value) {
  auto parts = value.AsObject<HostDictionary>();
  if (parts && parts->Lookup("classtype")) return host::BillDataService::FromRequest(*parts, context::GetPropsString());
  return ObjectArg(value);
}

RecordsetRef RowsArg(const Variant& value) {
  if (value.IsEmpty() || value.IsNull() || (value.IsObject() && !value.ToObject())) return nullptr;
  if (auto rows = value.AsObject<Recordset>()) return rows;
  ObjectArg(value);  // rows come as an object (a vector or the fields-and-rows dictionary), never a number
  return RecordsetFromValues(value);
}

}  // namespace vemo::automation
