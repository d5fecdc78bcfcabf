// ExportActionLM: prints, previews, exports or mails a courier waybill
// through the template registered for the courier company. The waybill
// comes from the logistics screen (dataFrom 0, only Data) or from a bill
// that names a courier company (dataFrom 1: set dataFrom before DataSrv,
// which is ignored otherwise).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "actions/action_types.h"
#include "foundation/host_object.h"

namespace vemo::actions {

namespace detail {
class ActionCore;
}

// The class type ids a waybill is logged and validated with.
inline constexpr std::int32_t kWaybillFromScreen = 2000001;
inline constexpr std::int32_t kWaybillFromBill = 2000002;

class ExportActionLM : public HostObject {
 public:
  ExportActionLM();
  ~ExportActionLM() override;
  ExportActionLM(const ExportActionLM&) = delete;
  ExportActionLM& operator=(const ExportActionLM&) = delete;
  std::string TypeName() const override { return "ExportActionLM"; }

  std::int32_t dataFrom() const;
  // 1 also makes the class type id 2000002 (other values do not change it back).
  void SetDataFrom(std::int32_t value);
  void SetDataSrv(const ObjectRef& dataService);
  void SetData(const ObjectRef& waybillValues);
  void SetTableInfo(const ObjectRef& fieldDictionary);

  bool ToEmailAction(const std::string& tempFileName);
  bool PrintBill(bool isPreview, bool isExportExcelFile = false);
  bool DoAction(ActionTypeEnum actionType);
  bool DoAction(int actionType);

  detail::ActionCore& Core() { return *core_; }

 private:
  std::unique_ptr<detail::ActionCore> core_;
};

}  // namespace vemo::actions
