// The template query and update components, through the creation service,
// with the argument orders and answer shapes the setup dialogs rely on.
#include <gtest/gtest.h>

#include "foundation/creation_service.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host_fixture.h"
#include "support/error_text.h"

namespace vemo::host {
namespace {

using test::TemplateGrid;
using Names = std::vector<std::string>;

class PrintSetupTest : public test::SampleAccountTest {
 protected:
  std::shared_ptr<IPrintSetupQuery> query = CreateObjectAs<IPrintSetupQuery>(progid::kPrintSetupQuery);
  std::shared_ptr<IPrintSetupQuery> queryRpt = CreateObjectAs<IPrintSetupQuery>(progid::kPrintSetupQueryRpt);
  std::shared_ptr<IPrintSetupQueryLM> queryLM = CreateObjectAs<IPrintSetupQueryLM>(progid::kPrintSetupQueryLM);
  std::shared_ptr<IPrintSetupUpdate> update = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdate);
  std::shared_ptr<IPrintSetupUpdate> updateRpt = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdateRpt);
  std::shared_ptr<IPrintSetupUpdateLM> updateLM = CreateObjectAs<IPrintSetupUpdateLM>(progid::kPrintSetupUpdateLM);

  // The bill type's rows as "id name sel sub".
  Names Rows(std::int32_t billType) { return test::NoteInfoRows(query->GetNoteInfo(Props(), billType)); }
  VectorRef Insert(std::int32_t billType, const std::string& name, Bytes bytes = {1}) {
    return update->InsertNoteRow(Props(), billType, name, std::move(bytes));
  }
};

TEST_F(PrintSetupTest, InsertAnswersIdThenOwnerAndIdsCountPerBillType) {
  auto first = Insert(1020002, "发票A.xls");
  ASSERT_EQ(first->Size(), 2);
  EXPECT_EQ(first->Item(1), Variant(1));        // the new FBillID
  EXPECT_EQ(first->Item(2), Variant(1020002));  // the bill type
  EXPECT_EQ(Insert(1020002, "发票B.xlsx")->Item(1), Variant(2));
  EXPECT_EQ(Insert(1030002, "采购.xls")->Item(1), Variant(1));
  EXPECT_EQ(Rows(1020002), (Names{"1 发票A.xls 0 ", "2 发票B.xlsx 0 "}));
  EXPECT_EQ(Rows(1030002), (Names{"1 采购.xls 0 "}));
  EXPECT_EQ(query->GetNoteInfo(Props(), 1020002)->Item("Option"), Variant(""));
}

TEST_F(PrintSetupTest, DuplicateNamesAreRefusedWithoutRegardToCase) {
  Insert(1020002, "Invoice.XLS");
  vemo::test::ExpectErrorSaying<HostError>([&] { Insert(1020002, "invoice.xls"); },
                                           "已经注册了名称为【invoice.xls】的打印模板文件，不能重复注册");
  EXPECT_NO_THROW(Insert(1020003, "invoice.xls")) << "other bill types are separate";
  EXPECT_EQ(Rows(1020002).size(), 1u);
}

TEST_F(PrintSetupTest, PrintDataAnswersTheSubTypesSelectedTemplateElseTheOneWithout) {
  Insert(1020002, "普通.xls", {1});
  Insert(1020002, "增值税.xls", {2, 2});
  Insert(1020002, "增值税旧.xls", {3});
  update->UpdateUserNoteData(Props(), 1020002,
                             *TemplateGrid({{"1020002|1", "普通.xls", 1, ""},
                                            {"1020002|2", "增值税.xls", 1, "增值税发票"},
                                            {"1020002|3", "增值税旧.xls", 0, "增值税发票"}}));
  // A sub-type without a selected template of its own gets the one without a sub-type.
  for (const auto& [subType, key, bytes] : {std::tuple<const char*, const char*, Bytes>{"增值税发票", "1020002|2", {2, 2}},
                                            {"", "1020002|1", {1}},
                                            {"收据", "1020002|1", {1}}}) {
    auto set = query->GetNotePrintData(Props(), "1020002", subType);
    ASSERT_EQ(set->Count(), 1) << subType;
    EXPECT_EQ(set->Key(1), key);
    EXPECT_EQ(set->ItemAt(1).AsObject<HostVector>()->Item(2), Variant(bytes)) << subType;
  }
  EXPECT_EQ(query->GetNotePrintData(Props(), "1030002", "")->Count(), 0);
  EXPECT_EQ(query->GetNotePrintData(Props(), "1020002", "")->ItemAt(1).AsObject<HostVector>()->Item(1).ToText(), "普通.xls");
  EXPECT_THROW(query->GetNotePrintData(Props(), "abc", ""), HostError);
}

TEST_F(PrintSetupTest, UpdateAppliesTheWholeGridOrNothing) {
  Insert(1040007, "a.xls");
  Insert(1040007, "b.xls");
  update->UpdateUserNoteData(Props(), 1040007,
                             *TemplateGrid({{"1040007|1", "a.xls", "1", "同价调拨"}, {"1040007|2", "b.xls", -1, "异价调拨"}}));
  const Names stored{"1 a.xls 1 同价调拨", "2 b.xls 1 异价调拨"};
  EXPECT_EQ(Rows(1040007), stored);
  // The second row names a row that does not exist: the first row's change
  // must not be kept either. Then a row of another bill type, a key that is
  // no key, no grid at all.
  for (const DictionaryRef& grid : {TemplateGrid({{"1040007|1", "a.xls", 0, ""}, {"1040007|9", "z.xls", 1, ""}}),
                                    TemplateGrid({{"1020002|1", "a.xls", 0, ""}}), TemplateGrid({{"garbage", "a.xls", 0, ""}}),
                                    HostDictionary::Create()})
    EXPECT_THROW(update->UpdateUserNoteData(Props(), 1040007, *grid), HostError);
  EXPECT_EQ(Rows(1040007), stored);
}

TEST_F(PrintSetupTest, DeleteRemovesOnlyThatRowOfThatBillType) {
  Insert(1050001, "收款1.xls");
  Insert(1050001, "收款2.xls");
  Insert(1050002, "付款1.xls");
  update->DeleteNoteRow(Props(), 1050001, 1.0);
  EXPECT_EQ(Rows(1050001), (Names{"2 收款2.xls 0 "}));
  EXPECT_EQ(Rows(1050002).size(), 1u);
  EXPECT_THROW(update->DeleteNoteRow(Props(), 1050001, 1.5), HostError);
  // Ids are never reused while a higher one exists.
  EXPECT_EQ(Insert(1050001, "收款3.xls")->Item(1), Variant(3));
}

TEST_F(PrintSetupTest, ReportRowsCarryFNoteIdAndFTypeSub) {
  auto answer = updateRpt->InsertRptNoteRow(Props(), 10506, "往来对账.xlsx", Bytes{9});
  EXPECT_EQ(answer->Item(1), Variant(1));
  EXPECT_EQ(answer->Item(2), Variant(10506));
  updateRpt->UpdateUserRptNoteData(Props(), 10506, *TemplateGrid({{"10506|1", "往来对账.xlsx", 1, "客户"}}));
  auto row = queryRpt->GetRptNoteInfo(Props(), 10506)->Item("Data").AsObject<HostVector>()->Item(1).AsObject<HostDictionary>();
  EXPECT_EQ(row->Item("FNoteId"), Variant(1));
  EXPECT_FALSE(row->Lookup("FBillID"));
  EXPECT_EQ(row->Item("FTypeSub").ToText() + "|" + row->Item("FBillTypeSub").ToText(), "客户|客户");
  EXPECT_EQ(queryRpt->GetRptNotePrintData(Props(), "10506", "客户")->Count(), 1);
  EXPECT_EQ(queryRpt->GetRptNotePrintData(Props(), "10506", "供应商")->Count(), 0);
  EXPECT_EQ(Rows(10506).size(), 0u) << "reports and bills are separate tables even for equal numbers";
  updateRpt->DeleteRptNoteRow(Props(), 10506, 1);
  EXPECT_EQ(queryRpt->GetRptNoteInfo(Props(), 10506)->Item("Data").AsObject<HostVector>()->Size(), 0);
}

TEST_F(PrintSetupTest, CurrNoteDescribesTheSelectedTemplatePerSubType) {
  Insert(1020002, "a.xls");
  Insert(1020002, "b.xls");
  update->UpdateUserNoteData(Props(), 1020002, *TemplateGrid({{"1020002|1", "a.xls", 0, ""}, {"1020002|2", "b.xls", 1, "收据"}}));
  auto current = query->GetCurrNote(Props(), 1020002);
  ASSERT_EQ(current->Count(), 1);
  EXPECT_EQ(current->Key(1), "收据");
  EXPECT_EQ(current->ItemAt(1).AsObject<HostDictionary>()->Item("FName").ToText(), "b.xls");
  EXPECT_EQ(queryRpt->GetCurrNote(Props(), 1020002)->Count(), 0) << "the report query describes reports";
}

TEST_F(PrintSetupTest, LogisticsRowsBelongToACourierAndADataSource) {
  auto a = updateLM->InsertNoteRow(Props(), 1, "顺丰面单.xls", Bytes{1}, 0);
  EXPECT_EQ(a->Item(1), Variant(1));
  EXPECT_EQ(a->Item(2), Variant(1));
  EXPECT_EQ(updateLM->InsertNoteRow(Props(), 1, "顺丰面单2.xlsx", Bytes{2}, 1)->Item(1), Variant(2))
      << "ids count per courier company, across data sources";
  auto rows = [&](int source) { return test::NoteInfoRows(queryLM->GetNoteInfo(Props(), 1, source)); };
  EXPECT_EQ(rows(0), (Names{"1 顺丰面单.xls 0 "}));
  EXPECT_EQ(rows(1), (Names{"2 顺丰面单2.xlsx 0 "}));
  updateLM->UpdateUserNoteData(Props(), 1, *TemplateGrid({{"1|2", "顺丰面单2.xlsx", 1, ""}}), 1);
  EXPECT_EQ(queryLM->GetNotePrintData(Props(), "1", 1, "")->Count(), 1);
  EXPECT_EQ(queryLM->GetNotePrintData(Props(), "1", 0, "")->Count(), 0);
  updateLM->DeleteNoteRow(Props(), 1, 2, 0);
  EXPECT_EQ(rows(1).size(), 1u) << "row 2 is of data source 1";
  updateLM->DeleteNoteRow(Props(), 1, 2, 1);
  EXPECT_EQ(rows(1).size(), 0u);
}

TEST_F(PrintSetupTest, EmptyContentsAreStoredAsNoneAndAMissingAccountIsNoNewFile) {
  update->InsertNoteRow(Props(), 1020001, "unreadable.xls", Variant());
  update->UpdateUserNoteData(Props(), 1020001, *TemplateGrid({{"1020001|1", "unreadable.xls", 1, ""}}));
  auto set = query->GetNotePrintData(Props(), "1020001", "");
  ASSERT_EQ(set->Count(), 1);
  EXPECT_TRUE(set->ItemAt(1).AsObject<HostVector>()->Item(2).IsEmpty());
  EXPECT_THROW(update->InsertNoteRow(Props(), 1020001, "text.xls", Variant("not bytes")), HostError);
  EXPECT_THROW(query->GetNoteInfo(MakePropsString("NoSuchAccount", "x"), 1020002), HostError);
  EXPECT_FALSE(std::filesystem::exists(DatabasePath("NoSuchAccount")));
}

}  // namespace
}  // namespace vemo::host
