// Which sub-type's template a bill prints with, for tools that show it
// (vemoprint check) without running an action.
#pragma once
#include <string>

#include "foundation/host_object.h"

namespace vemo::actions {

// The display text of the bill's invoice type (1020002, 1030002) or bill
// type (1050001 to 1050005, 1040007) head field; "" for other bill types or
// a bill that does not carry the field.
std::string BillTemplateSubType(const ObjectRef& dataSrv, const ObjectRef& data, const ObjectRef& tableInfo);

}  // namespace vemo::actions
