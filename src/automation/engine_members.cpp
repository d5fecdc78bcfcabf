// Member tables of the report and waybill engines, in the order of their
// dispatch interfaces.
#include "automation/member_args.h"
#include "engine/excel_operater.h"

namespace vemo::automation {
namespace {

// FileAllName, DataSrv, Data, TableInfo and the calls every engine has.
template <class T>
void AddEngineInputs(Members<T>& m) {
  m.Set("DataSrv", [](T& e, const Variant& v) { e.SetDataSrv(DataServiceArg(v)); })
      .Set("Data", [](T& e, const Variant& v) { e.SetData(ObjectArg(v)); })
      .Set("TableInfo", [](T& e, const Variant& v) { e.SetTableInfo(ObjectArg(v)); })
      .Get("FileAllName", [](T& e) { return Variant(e.FileAllName()); })
      .Set("FileAllName", [](T& e, const Variant& v) { e.SetFileAllName(v.ToText()); });
}

template <class T>
void AddEngineCalls(Members<T>& m) {
  m.Call("OpenExcel", 0, 0, [](T& e, Arguments) { return Variant(e.OpenExcel()); })
      .Call("PrintPreview", 0, 0, [](T& e, Arguments) { return Variant(e.PrintPreview()); })
      .Call("PrintTo", 0, 0, [](T& e, Arguments) { return Variant(e.PrintTo()); })
      .Call("ExportSingleRecordDataToExcel", 0, 0, [](T& e, Arguments) { return Variant(e.ExportSingleRecordDataToExcel()); })
      .Call("ValidateTemplate", 2, 2,
            [](T& e, Arguments x) { return Variant(e.ValidateTemplate(x[0].ToText(), x[1].ToInt32())); });
}

}  // namespace

void RegisterEngineMembers() {
  using Report = Hosted<engine::ExcelOperaterRpt>;
  MemberTable report("ExcelOperaterRpt");
  Members<Report> r(report);
  r.Set("RptHeadData", [](Report& e, const Variant& v) { e.SetRptHeadData(ObjectArg(v)); })
      .Set("RptEntryData", [](Report& e, const Variant& v) { e.SetRptEntryData(RowsArg(v)); })
      .Set("DataSourceType", [](Report& e, const Variant& v) { e.SetDataSourceType(v.ToInt32()); })
      .Get("PrintData", [](Report& e) { return Variant(e.PrintData()); })
      .Set("PrintData", [](Report& e, const Variant& v) { e.SetPrintData(ObjectArg(v)); })
      .Set("ItemInfoDict", [](Report& e, const Variant& v) { e.SetItemInfoDict(ObjectArg(v)); })
      .Set("PrintHandlerType", [](Report& e, const Variant& v) { e.SetPrintHandlerType(v.ToText()); });
  AddEngineInputs(r);
  AddEngineCalls(r);
  r.Call("GetPictureFile", 1, 1, [](Report& e, Arguments x) { return Variant(e.GetPictureFile(x[0].ToText())); })
      .Call("CreateBarCode", 1, 2,
            [](Report& e, Arguments x) { return Variant(e.CreateBarCode(x[0].ToText(), TextArg(Arg(x, 1)))); })
      .Call("GetQRCodePictureInfo", 1, 3, [](Report& e, Arguments x) {
        return Variant(e.GetQRCodePictureInfo(x[0].ToText(), TextArg(Arg(x, 1)), TextArg(Arg(x, 2))));
      });
  RegisterMembers(typeid(Report), std::move(report));

  using Waybill = Hosted<engine::ExcelOperaterLM>;
  MemberTable waybill("ExcelOperaterLM");
  Members<Waybill> w(waybill);
  w.Get("dataFrom", [](Waybill& e) { return Variant(e.dataFrom()); })
      .Set("dataFrom", [](Waybill& e, const Variant& v) { e.SetDataFrom(v.ToInt32()); });
  AddEngineInputs(w);
  AddEngineCalls(w);
  w.Call("IsAccessCheckOK", 2, 2,
         [](Waybill& e, Arguments x) { return Variant(e.IsAccessCheckOK(x[0].ToInt32(), x[1].ToText())); });
  RegisterMembers(typeid(Waybill), std::move(waybill));
}

}  // namespace vemo::automation
