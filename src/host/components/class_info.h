// VemoMClass.ClassInfo: the host's class data service.
#pragma once
#include <string_view>

#include "foundation/host_collections.h"
#include "foundation/recordset.h"

namespace vemo::host {

class IClassInfo : public HostObject {
 public:
  // Runs one read-only statement in the host's SQL dialect on the account's
  // database. Anything but reading is refused with HostError.
  virtual RecordsetRef GetData(std::string_view props, std::string_view sql) = 0;

  // The bytes of one picture field. Keys (all text or numbers):
  //   TableName, FieldName      the table and its picture column
  //   PrimaryKeyField, PrimaryKeyValue   the record: column = value
  //   IndexKeyField, IndexKeyValue       optional second condition (an entry
  //                                      row), used when IndexKeyField is set
  //   Page                      the bill page the field sits on; informative
  // Names must be plain identifiers. No matching record, or a null field,
  // gives an empty byte array. Argument order as the system calls it: the
  // key set first, the props string second.
  virtual Bytes GetPictureData(const HostDictionary& keys, std::string_view props) = 0;
};

}  // namespace vemo::host
