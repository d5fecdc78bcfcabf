// Member tables of the export actions, in the order of their dispatch
// interfaces. Properties are write-only except the waybill's dataFrom.
#include "actions/export_action.h"
#include "actions/export_action_lm.h"
#include "actions/export_action_rpt.h"
#include "automation/member_args.h"

namespace vemo::automation {
namespace {

// The members ExportAction and ExportActionRpt share, and PrintBill, which
// only the bill class has.
template <class T>
MemberTable BaseActionTable(const char* className) {
  MemberTable table(className);
  Members<T> m(table);
  m.Set("RptHeadData", [](T& a, const Variant& v) { a.SetRptHeadData(ObjectArg(v)); })
      .Set("RptEntryData", [](T& a, const Variant& v) { a.SetRptEntryData(RowsArg(v)); })
      .Set("RptID", [](T& a, const Variant& v) { a.SetRptID(v.ToInt32()); })
      .Set("DataSourceType", [](T& a, const Variant& v) { a.SetDataSourceType(v.ToInt32()); })
      .Set("DataSrv", [](T& a, const Variant& v) { a.SetDataSrv(DataServiceArg(v)); })
      .Set("Data", [](T& a, const Variant& v) { a.SetData(ObjectArg(v)); })
      .Set("TableInfo", [](T& a, const Variant& v) { a.SetTableInfo(ObjectArg(v)); })
      .Call("ToEmailAction", 1, 1, [](T& a, Arguments x) { return Variant(a.ToEmailAction(x[0].ToText())); })
      // Ours, not the host's: exported labels store their pictures.
      .Set("EmbedLabelPictures", [](T& a, const Variant& v) { a.SetEmbedLabelPictures(v.ToBool()); });
  if constexpr (requires(T& a) { a.PrintBill(false, false); })
    m.Call("PrintBill", 1, 2, [](T& a, Arguments x) { return Variant(a.PrintBill(x[0].ToBool(), BoolArg(Arg(x, 1)))); });
  m.Call("OpenExcel", 0, 1, [](T& a, Arguments x) { return Variant(a.OpenExcel(TextArg(Arg(x, 0)))); })
      .Call("PrintItemInfo", 1, 3,
            [](T& a, Arguments x) {
              return Variant(a.PrintItemInfo(x[0].ToBool(), BoolArg(Arg(x, 1)), ObjectArg(Arg(x, 2))));
            })
      .Call("CopyItemInfoFile", 0, 0, [](T& a, Arguments) { return a.CopyItemInfoFile(), Variant(); })
      .Call("HandlerItemInfoFilePicture", 0, 0, [](T& a, Arguments) { return a.HandlerItemInfoFilePicture(), Variant(); })
      .Call("DoAction", 1, 1, [](T& a, Arguments x) { return Variant(a.DoAction(x[0].ToInt32())); })
      .Call("PrintRpt", 1, 1, [](T& a, Arguments x) { return Variant(a.PrintRpt(x[0].ToBool())); })
      .Call("SingleRecordExportToFileAction4Rpt", 0, 0,
            [](T& a, Arguments) { return Variant(a.SingleRecordExportToFileAction4Rpt()); })
      .Call("PreCheck", 0, 0, [](T& a, Arguments) { return Variant(a.PreCheck()); })
      .Call("PrintInitial", 1, 1, [](T& a, Arguments x) { return Variant(a.PrintInitial(ObjectArg(x[0]))); });
  return table;
}

MemberTable WaybillActionTable() {
  using T = actions::ExportActionLM;
  MemberTable table("ExportActionLM");
  Members<T>(table)
      .Get("dataFrom", [](T& a) { return Variant(a.dataFrom()); })
      .Set("dataFrom", [](T& a, const Variant& v) { a.SetDataFrom(v.ToInt32()); })
      .Set("DataSrv", [](T& a, const Variant& v) { a.SetDataSrv(DataServiceArg(v)); })
      .Set("Data", [](T& a, const Variant& v) { a.SetData(ObjectArg(v)); })
      .Set("TableInfo", [](T& a, const Variant& v) { a.SetTableInfo(ObjectArg(v)); })
      .Call("ToEmailAction", 1, 1, [](T& a, Arguments x) { return Variant(a.ToEmailAction(x[0].ToText())); })
      .Call("PrintBill", 1, 2, [](T& a, Arguments x) { return Variant(a.PrintBill(x[0].ToBool(), BoolArg(Arg(x, 1)))); })
      .Call("DoAction", 1, 1, [](T& a, Arguments x) { return Variant(a.DoAction(x[0].ToInt32())); });
  return table;
}

}  // namespace

void RegisterActionMembers() {
  RegisterMembers(typeid(actions::ExportAction), BaseActionTable<actions::ExportAction>("ExportAction"));
  RegisterMembers(typeid(actions::ExportActionRpt), BaseActionTable<actions::ExportActionRpt>("ExportActionRpt"));
  RegisterMembers(typeid(actions::ExportActionLM), WaybillActionTable());
}

}  // namespace vemo::automation
