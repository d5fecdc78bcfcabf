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
  static DictionaryRef Company(const VectorRef& list, int index) { return list->Item(index).AsObject<HostDictionary>(); }
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
  EXPECT_EQ(first->Item("FName").ToText(), "顺丰速运");
  EXPECT_EQ(first->Item("FIsDefault"), Variant(true));
  EXPECT_EQ(first->Item("FIsShow"), Variant(true));
  EXPECT_EQ(first->Item("FKdd100Code").ToText(), "shunfeng");
  EXPECT_TRUE(first->Lookup("FKdd100WebAddress"));
  EXPECT_EQ(info->GetLogisticInfoList(Props())->Size(), 5) << "the hidden company is not offered for selection";
}

TEST_F(LogisticTest, NewRowsGetIdsAndTheDefaultMoves) {
  auto list = AsSent(info->GetLogisticInfoList(Props(), true));
  Company(list, 1)->Set("FIsDefault", "0");
  Company(list, 3)->Set("FIsDefault", "1");
  auto added = HostDictionary::Create();
  added->Add("FID", "0");
  added->Add("FCode", "JD");
  added->Add("FName", "京东物流");
  added->Add("FIsDefault", "0");
  added->Add("FIsShow", "1");
  added->Add("FKdd100Code", "jd");
  added->Add("FKdd100WebAddress", "");
  list->Add(added);
  auto blank = HostDictionary::Create();  // the grid's empty last row
  blank->Add("FID", "0");
  list->Add(blank);
  std::int32_t code = -1;
  std::string text = "stale";
  update->UpdateOrAddLogisticData(Props(), *list, code, text);
  ASSERT_EQ(code, 0) << text;
  EXPECT_EQ(text, "");
  auto stored = info->GetLogisticInfoList(Props(), true);
  ASSERT_EQ(stored->Size(), 7);
  EXPECT_EQ(Company(stored, 7)->Item("FName").ToText(), "京东物流");
  EXPECT_EQ(Company(stored, 7)->Item("FID"), Variant(7));
  EXPECT_EQ(DefaultName(), "圆通速递;");
}

TEST_F(LogisticTest, RefusalsComeAsCodesAndStoreNothing) {
  auto list = AsSent(info->GetLogisticInfoList(Props(), true));
  Company(list, 1)->Set("FIsDefault", "0");
  Company(list, 2)->Set("FName", "改名");
  std::int32_t code = 0;
  std::string text;
  update->UpdateOrAddLogisticData(Props(), *list, code, text);
  EXPECT_NE(code, 0);
  EXPECT_EQ(text, "必须存在一个默认快递公司，请重新选择！");
  Company(list, 1)->Set("FIsDefault", "1");
  Company(list, 2)->Set("FIsDefault", "1");
  update->UpdateOrAddLogisticData(Props(), *list, code, text);
  EXPECT_NE(code, 0);
  Company(list, 2)->Set("FIsDefault", "0");
  Company(list, 4)->Set("FID", "99");
  update->UpdateOrAddLogisticData(Props(), *list, code, text);
  EXPECT_NE(code, 0) << "an unknown id";
  EXPECT_EQ(Company(info->GetLogisticInfoList(Props(), true), 2)->Item("FName").ToText(), "中通快递")
      << "the first rows of a refused list must not be stored";
  EXPECT_EQ(DefaultName(), "顺丰速运;");
  update->UpdateOrAddLogisticData(MakePropsString("NoSuchAccount", "x"), *list, code, text);
  EXPECT_NE(code, 0) << "a database failure is a code too";
}

TEST_F(LogisticTest, TheDefaultCompanyIsAlwaysShown) {
  auto list = AsSent(info->GetLogisticInfoList(Props(), true));
  Company(list, 1)->Set("FIsShow", "0");
  std::int32_t code = -1;
  std::string text;
  update->UpdateOrAddLogisticData(Props(), *list, code, text);
  ASSERT_EQ(code, 0);
  EXPECT_EQ(Company(info->GetLogisticInfoList(Props(), true), 1)->Item("FIsShow"), Variant(true));
}

TEST_F(LogisticTest, RestoringPresetsKeepsAddedCompanies) {
  auto list = AsSent(info->GetLogisticInfoList(Props(), true));
  Company(list, 1)->Set("FIsDefault", "0");
  Company(list, 1)->Set("FName", "顺丰（改）");
  Company(list, 2)->Set("FIsDefault", "1");
  auto added = HostDictionary::Create();
  added->Add("FID", "0");
  added->Add("FName", "德邦快递");
  added->Add("FIsDefault", "0");
  added->Add("FIsShow", "1");
  list->Add(added);
  std::int32_t code = -1;
  std::string text;
  update->UpdateOrAddLogisticData(Props(), *list, code, text);
  ASSERT_EQ(code, 0) << text;
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
