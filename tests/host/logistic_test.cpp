#include <gtest/gtest.h>

#include "foundation/creation_service.h"
#include "host/components/logistic_manage.h"
#include "host/components/prog_ids.h"
#include "host_fixture.h"

namespace vemo::host {
namespace {

class LogisticTest : public test::SampleAccountTest {
 protected:
  std::shared_ptr<ILogisticInfo> info = CreateObjectAs<ILogisticInfo>(progid::kLogisticInfo);
  std::shared_ptr<ILogisticUpdate> update = CreateObjectAs<ILogisticUpdate>(progid::kLogisticUpdate);

  // The list as the settings form sends it: texts, "1"/"0" flags.
  VectorRef AsSent(const VectorRef& read) {
    auto sent = HostVector::Create();
    for (int i = 1; i <= read->Size(); ++i) {
      auto company = read->Item(i).AsObject<HostDictionary>();
      auto row = HostDictionary::Create();
      for (const char* key : {"FID", "FCode", "FName", "FKdd100Code", "FKdd100WebAddress"}) row->Add(key, company->Item(key).ToText());
      row->Add("FIsDefault", company->Item("FIsDefault").ToBool() ? "1" : "0");
      row->Add("FIsShow", company->Item("FIsShow").ToBool() ? "1" : "0");
      sent->Add(row);
    }
    return sent;
  }
  static DictionaryRef Row(std::initializer_list<std::pair<const char*, const char*>> fields) {
    auto row = HostDictionary::Create();
    for (const auto& [key, value] : fields) row->Add(key, value);
    return row;
  }
  static DictionaryRef Company(const VectorRef& list, int index) { return list->Item(index).AsObject<HostDictionary>(); }
  // Stores the list as the form does: "" when accepted, else what the refusal says.
  std::string Save(const VectorRef& list, const std::string& props = "") {
    std::int32_t code = -1;
    std::string text = "stale";
    update->UpdateOrAddLogisticData(props.empty() ? Props() : props, *list, code, text);
    if (code == 0) return text.empty() ? "" : "accepted, saying " + text;
    return text.empty() ? "refused without a reason" : text;
  }
  std::string DefaultName() {
    auto list = info->GetLogisticInfoList(Props(), true);
    std::string name;
    for (int i = 1; i <= list->Size(); ++i)
      if (Company(list, i)->Item("FIsDefault").ToBool()) name += Company(list, i)->Item("FName").ToText() + ";";
    return name;
  }
};

TEST_F(LogisticTest, TheListHasTheRecordKeysAndBooleanFlags) {
  auto all = info->GetLogisticInfoList(Props(), true);
  ASSERT_EQ(all->Size(), 6);
  auto first = Company(all, 1);
  EXPECT_EQ(first->Item("FID"), Variant(1));
  EXPECT_EQ(first->Item("FIsDefault"), Variant(true));
  EXPECT_EQ(first->Item("FIsShow"), Variant(true));
  EXPECT_EQ(first->Item("FName").ToText() + " " + first->Item("FKdd100Code").ToText(), "顺丰速运 shunfeng");
  EXPECT_TRUE(first->Lookup("FKdd100WebAddress"));
  EXPECT_EQ(info->GetLogisticInfoList(Props())->Size(), 5) << "the hidden company is not offered for selection";
}

TEST_F(LogisticTest, NewRowsGetIdsAndTheDefaultMovesAndIsAlwaysShown) {
  auto list = AsSent(info->GetLogisticInfoList(Props(), true));
  Company(list, 1)->Set("FIsDefault", "0");
  Company(list, 3)->Set("FIsDefault", "1");
  Company(list, 3)->Set("FIsShow", "0");
  list->Add(Row({{"FID", "0"}, {"FCode", "JD"}, {"FName", "京东物流"}, {"FIsDefault", "0"}, {"FIsShow", "1"}}));
  list->Add(Row({{"FID", "0"}}));  // the grid's empty last row
  ASSERT_EQ(Save(list), "");
  auto stored = info->GetLogisticInfoList(Props(), true);
  ASSERT_EQ(stored->Size(), 7);
  EXPECT_EQ(Company(stored, 7)->Item("FName").ToText(), "京东物流");
  EXPECT_EQ(Company(stored, 7)->Item("FID"), Variant(7));
  EXPECT_EQ(DefaultName(), "圆通速递;");
  EXPECT_EQ(Company(stored, 3)->Item("FIsShow"), Variant(true)) << "the default company is always shown";
}

TEST_F(LogisticTest, RefusalsComeAsCodesAndStoreNothing) {
  auto list = AsSent(info->GetLogisticInfoList(Props(), true));
  Company(list, 2)->Set("FName", "改名");
  // No default, two defaults, an unknown id: the rows before the fault
  // must not be stored either.
  Company(list, 1)->Set("FIsDefault", "0");
  EXPECT_EQ(Save(list), "必须存在一个默认快递公司，请重新选择！");
  Company(list, 1)->Set("FIsDefault", "1");
  Company(list, 2)->Set("FIsDefault", "1");
  EXPECT_NE(Save(list), "") << "two defaults";
  Company(list, 2)->Set("FIsDefault", "0");
  Company(list, 4)->Set("FID", "99");
  EXPECT_NE(Save(list), "") << "an unknown id";
  EXPECT_EQ(Company(info->GetLogisticInfoList(Props(), true), 2)->Item("FName").ToText(), "中通快递");
  EXPECT_EQ(DefaultName(), "顺丰速运;");
  EXPECT_NE(Save(list, MakePropsString("NoSuchAccount", "x")), "") << "a database failure is a code too";
}

TEST_F(LogisticTest, RestoringPresetsKeepsAddedCompanies) {
  auto list = AsSent(info->GetLogisticInfoList(Props(), true));
  Company(list, 1)->Set("FIsDefault", "0");
  Company(list, 1)->Set("FName", "顺丰（改）");
  Company(list, 2)->Set("FIsDefault", "1");
  list->Add(Row({{"FID", "0"}, {"FName", "德邦快递"}, {"FIsDefault", "0"}, {"FIsShow", "1"}}));
  ASSERT_EQ(Save(list), "");
  std::int32_t code = -1;
  std::string text;
  update->UpdateInitDataFromBak(Props(), code, text);
  ASSERT_EQ(code, 0) << text;
  auto stored = info->GetLogisticInfoList(Props(), true);
  ASSERT_EQ(stored->Size(), 7);
  EXPECT_EQ(Company(stored, 1)->Item("FName").ToText(), "顺丰速运");
  EXPECT_EQ(Company(stored, 7)->Item("FName").ToText(), "德邦快递");
  EXPECT_EQ(DefaultName(), "顺丰速运;");
}

}  // namespace
}  // namespace vemo::host
