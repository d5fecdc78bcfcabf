// Member tables of the host value objects, so a host that binds late can
// fill the dictionaries, vectors and record sets it hands the actions, and
// read the ones it gets back (GetCurrNote, PrintData).
#include "automation/member_args.h"

namespace vemo::automation {

void RegisterValueMembers() {
  MemberTable dictionary("HostDictionary");
  Members<HostDictionary>(dictionary)
      .Call("Add", 2, 2, [](HostDictionary& d, Arguments x) { return d.Add(x[0].ToText(), x[1]), Variant(); })
      .Call("Item", 1, 1, [](HostDictionary& d, Arguments x) { return d.Value(x[0].ToText()); })
      .Call("Exists", 1, 1, [](HostDictionary& d, Arguments x) { return Variant(d.Lookup(x[0].ToText())); })
      .Get("Count", [](HostDictionary& d) { return Variant(d.Count()); });
  RegisterMembers(typeid(HostDictionary), std::move(dictionary));

  MemberTable vector("HostVector");
  Members<HostVector>(vector)
      .Call("Add", 1, 1, [](HostVector& v, Arguments x) { return v.Add(x[0]), Variant(); })
      .Call("Item", 1, 1, [](HostVector& v, Arguments x) { return v.Item(x[0].ToInt32()); })
      .Get("Count", [](HostVector& v) { return Variant(v.Size()); });
  RegisterMembers(typeid(HostVector), std::move(vector));

  MemberTable rows("Recordset");
  Members<Recordset>(rows)
      .Get("RecordCount", [](Recordset& r) { return Variant(r.RecordCount()); })
      .Get("EOF", [](Recordset& r) { return Variant(r.Eof()); })
      .Call("MoveFirst", 0, 0, [](Recordset& r, Arguments) { return r.MoveFirst(), Variant(); })
      .Call("MoveNext", 0, 0, [](Recordset& r, Arguments) { return r.MoveNext(), Variant(); })
      .Call("Fields", 1, 1, [](Recordset& r, Arguments x) { return r.Field(x[0].ToText()); });
  RegisterMembers(typeid(Recordset), std::move(rows));
}

}  // namespace vemo::automation
