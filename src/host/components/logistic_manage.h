// VemoMLogisticManage.clsInfo and clsUpdate: the courier company list.
// A company is a HostDictionary {FID, FCode, FName, FIsDefault, FIsShow,
// FKdd100Code, FKdd100WebAddress}; the list read has Booleans for the two
// flags, the list sent may carry "1"/"0" texts (or Booleans or numbers).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/host_collections.h"

namespace vemo::host {

class ILogisticInfo : public HostObject {
 public:
  // Companies in id order. includeHidden True: every company (the settings
  // form); False: only those shown for selection.
  virtual VectorRef GetLogisticInfoList(std::string_view props, bool includeHidden) = 0;
  VectorRef GetLogisticInfoList(std::string_view props) { return GetLogisticInfoList(props, false); }
};

class ILogisticUpdate : public HostObject {
 public:
  // Stores the list: rows with FID "0" (or empty) are added with new ids,
  // others update the company of that id; companies absent from the list are
  // kept. Exactly one company must be the default; it is always shown.
  // Never raises: errorCode 0 on success, else errorCode and errorText say
  // why, and nothing was stored.
  virtual void UpdateOrAddLogisticData(std::string_view props, const HostVector& companies, std::int32_t& errorCode,
                                       std::string& errorText) = 0;
  // Resets the preset companies (code, name, flags, Kuaidi100 code and
  // address) to their preset values, re-adding deleted ones; companies the
  // user added are kept (not default). Never raises.
  virtual void UpdateInitDataFromBak(std::string_view props, std::int32_t& errorCode, std::string& errorText) = 0;
};

}  // namespace vemo::host
