// Member tables of the setup entry classes. Their errors reach the host as
// raised (late binding passes HostError on unchanged).
#include "automation/member_args.h"
#include "setup/export_action_setup.h"

namespace vemo::automation {
namespace {

template <class T>
void AddSetupProperties(Members<T>& m) {
  m.Set("DataSourceType", [](T& s, const Variant& v) { s.SetDataSourceType(v.ToInt32()); })
      .Set("RptName", [](T& s, const Variant& v) { s.SetRptName(v.ToText()); })
      .Set("RptID", [](T& s, const Variant& v) { s.SetRptID(v.ToInt32()); })
      .Set("TemplateID", [](T& s, const Variant& v) { s.SetTemplateID(v.ToText()); })
      .Set("ParentHwnd", [](T& s, const Variant& v) { s.SetParentHwnd(v.ToInt32()); })
      .Set("DataSrv", [](T& s, const Variant& v) { s.SetDataSrv(DataServiceArg(v)); })
      .Call("GetCurrNote", 0, 0, [](T& s, Arguments) { return Variant(s.GetCurrNote()); })
      .Call("RptExcelPrintSetup", 0, 0, [](T& s, Arguments) { return s.RptExcelPrintSetup(), Variant(); });
}

}  // namespace

void RegisterSetupMembers() {
  using Bill = Hosted<setup::ExportActionSetup>;
  MemberTable bill("ExportActionSetup");
  Members<Bill> billMembers(bill);
  AddSetupProperties(billMembers);
  billMembers.Call("NotePrintSetup", 0, 1, [](Bill& s, Arguments x) { return s.NotePrintSetup(BoolArg(Arg(x, 0))), Variant(); });
  RegisterMembers(typeid(Bill), std::move(bill));

  using Report = Hosted<setup::ExportActionSetupRpt>;
  MemberTable report("ExportActionSetupRpt");
  Members<Report> reportMembers(report);
  AddSetupProperties(reportMembers);
  RegisterMembers(typeid(Report), std::move(report));

  using Waybill = Hosted<setup::ExportActionSetupLM>;
  MemberTable waybill("ExportActionSetupLM");
  Members<Waybill>(waybill)
      .Get("dataFrom", [](Waybill& s) { return Variant(s.dataFrom()); })
      .Set("dataFrom", [](Waybill& s, const Variant& v) { s.SetDataFrom(v.ToInt32()); })
      .Call("NotePrintSetup", 0, 1, [](Waybill& s, Arguments x) { return s.NotePrintSetup(BoolArg(Arg(x, 0))), Variant(); });
  RegisterMembers(typeid(Waybill), std::move(waybill));
}

}  // namespace vemo::automation
