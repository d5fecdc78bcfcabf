// PrintInitial: the bills of a continuous print, counted by transaction type.
#include "actions/action_core.h"
#include "actions/action_messages.h"
#include "context/desktop.h"

namespace vemo::actions::detail {
namespace {

void Inform(std::string_view message) {
  context::CurrentDesktop().MessageBox(std::string(message), context::vbInformation, std::string(context::kMessageTitle));
}

// One {FTranType, FDataCount} per distinct transaction type, in order of
// first appearance.
VectorRef CountTransactionTypes(const HostVector& bills) {
  auto counts = HostVector::Create();
  for (int i = bills.LowerBound(); i <= bills.UpperBound(); ++i) {
    auto bill = bills.Item(i).AsObject<HostDictionary>();
    if (!bill) throw HostError(HostError::kTypeMismatch, "bill " + std::to_string(i) + " of the print data is not a dictionary");
    const std::int32_t type = bill->Item("FTranType").ToInt32();
    DictionaryRef entry;
    for (const Variant& item : counts->Items()) {
      auto candidate = item.AsObject<HostDictionary>();
      if (candidate->Item("FTranType").ToInt32() == type) entry = candidate;
    }
    if (entry) {
      entry->Set("FDataCount", entry->Item("FDataCount").ToInt32() + 1);
    } else {
      entry = HostDictionary::Create();
      entry->Add("FTranType", type);
      entry->Add("FDataCount", 1);
      counts->Add(entry);
    }
  }
  return counts;
}

}  // namespace

bool ActionCore::PrintInitial(const ObjectRef& printData) {
  try {
    in_.printData = std::dynamic_pointer_cast<HostVector>(printData);
    if (!in_.printData) {
      Inform(text::kBatchDataError);
      return false;
    }
    in_.typeCounts = CountTransactionTypes(*in_.printData);
    in_.batchEngine = CreateEngineJob(family_.kind);
    in_.batchEngine->SetPrintData(in_.printData);
    if (in_.typeCounts->Size() >= 2) {
      Inform(text::kMixedBillTypes);
      return false;
    }
    return true;
  } catch (const std::exception&) {
    Inform(text::kBatchDataError);
    return false;
  }
}

}  // namespace vemo::actions::detail
