// The template query and update components, through the creation service,
// with the argument orders and answer shapes the setup dialogs rely on.
#include <gtest/gtest.h>

#include "foundation/creation_service.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host_fixture.h"

namespace vemo::host {
namespace {

Bytes Blob(std::initializer_list<std::uint8_t> bytes) { return Bytes(bytes); }

using test::TemplateGrid;

class PrintSetupTest : public test::SampleAccountTest {
 protected:
  std::shared_ptr<IPrintSetupQuery> query = CreateObjectAs<IPrintSetupQuery>(progid::kPrintSetupQuery);
  std::shared_ptr<IPrintSetupQuery> queryRpt = CreateObjectAs<IPrintSetupQuery>(progid::kPrintSetupQueryRpt);
  std::shared_ptr<IPrintSetupQueryLM> queryLM = CreateObjectAs<IPrintSetupQueryLM>(progid::kPrintSetupQueryLM);
  std::shared_ptr<IPrintSetupUpdate> update = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdate);
  std::shared_ptr<IPrintSetupUpdate> updateRpt = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdateRpt);
  std::shared_ptr<IPrintSetupUpdateLM> updateLM = CreateObjectAs<IPrintSetupUpdateLM>(progid::kPrintSetupUpdateLM);

  static std::vector<std::string> Rows(const DictionaryRef& info, const char* idKey = "FBillID") {
    return test::NoteInfoRows(info, idKey);
  }
};

TEST_F(PrintSetupTest, InsertAnswersIdThenOwnerAndIdsCountPerBillType) {
  auto first = update->InsertNoteRow(Props(), 1020002, "发票A.xls", Blob({1, 2, 3}));
  ASSERT_EQ(first->Size(), 2);
  EXPECT_EQ(first->Item(1), Variant(1));        // the new FBillID
  EXPECT_EQ(first->Item(2), Variant(1020002));  // the bill type
  EXPECT_EQ(update->InsertNoteRow(Props(), 1020002, "发票B.xlsx", Blob({4}))->Item(1), Variant(2));
  EXPECT_EQ(update->InsertNoteRow(Props(), 1030002, "采购.xls", Blob({5}))->Item(1), Variant(1));
  EXPECT_EQ(Rows(query->GetNoteInfo(Props(), 1020002)), (std::vector<std::string>{"1 发票A.xls 0 ", "2 发票B.xlsx 0 "}));
  EXPECT_EQ(Rows(query->GetNoteInfo(Props(), 1030002)), (std::vector<std::string>{"1 采购.xls 0 "}));
  EXPECT_EQ(query->GetNoteInfo(Props(), 1020002)->Item("Option"), Variant(""));
}

TEST_F(PrintSetupTest, DuplicateNamesAreRefusedWithoutRegardToCase) {
  update->InsertNoteRow(Props(), 1020002, "Invoice.XLS", Blob({1}));
  try {
    update->InsertNoteRow(Props(), 1020002, "invoice.xls", Blob({2}));
    FAIL() << "a second template of the same name was registered";
  } catch (const HostError& e) {
    EXPECT_EQ(e.Description(), "已经注册了名称为【invoice.xls】的打印模板文件，不能重复注册");
  }
  EXPECT_NO_THROW(update->InsertNoteRow(Props(), 1020003, "invoice.xls", Blob({2}))) << "other bill types are separate";
  EXPECT_EQ(Rows(query->GetNoteInfo(Props(), 1020002)).size(), 1u);
}

TEST_F(PrintSetupTest, PrintDataAnswersTheSubTypesSelectedTemplateElseTheOneWithout) {
  update->InsertNoteRow(Props(), 1020002, "普通.xls", Blob({1}));
  update->InsertNoteRow(Props(), 1020002, "增值税.xls", Blob({2, 2}));
  update->InsertNoteRow(Props(), 1020002, "增值税旧.xls", Blob({3}));
  update->InsertNoteRow(Props(), 1020004, "返利.xls", Blob({4}));
  update->UpdateUserNoteData(Props(), 1020002,
                             *TemplateGrid({{"1020002|1", "普通.xls", 1, ""},
                                         {"1020002|2", "增值税.xls", 1, "增值税发票"},
                                         {"1020002|3", "增值税旧.xls", 0, "增值税发票"}}));
  update->UpdateUserNoteData(Props(), 1020004, *TemplateGrid({{"1020004|1", "返利.xls", 1, ""}}));

  auto set = query->GetNotePrintData(Props(), "1020002", "增值税发票");
  ASSERT_EQ(set->Count(), 1);
  EXPECT_EQ(set->Key(1), "1020002|2");
  auto entry = set->ItemAt(1).AsObject<HostVector>();
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->Item(1).ToText(), "增值税.xls");
  EXPECT_EQ(entry->Item(2), Variant(Blob({2, 2})));

  auto plain = query->GetNotePrintData(Props(), "1020002", "");
  ASSERT_EQ(plain->Count(), 1);
  EXPECT_EQ(plain->ItemAt(1).AsObject<HostVector>()->Item(2), Variant(Blob({1})));
  // A sub-type without a selected template of its own gets the one without a sub-type.
  auto other = query->GetNotePrintData(Props(), "1020002", "收据");
  ASSERT_EQ(other->Count(), 1);
  EXPECT_EQ(other->Key(1), "1020002|1");
  EXPECT_EQ(query->GetNotePrintData(Props(), "1030002", "")->Count(), 0);
  EXPECT_THROW(query->GetNotePrintData(Props(), "abc", ""), HostError);
}

TEST_F(PrintSetupTest, UpdateAppliesTheWholeGridOrNothing) {
  update->InsertNoteRow(Props(), 1040007, "a.xls", Blob({1}));
  update->InsertNoteRow(Props(), 1040007, "b.xls", Blob({2}));
  update->UpdateUserNoteData(Props(), 1040007,
                             *TemplateGrid({{"1040007|1", "a.xls", "1", "同价调拨"}, {"1040007|2", "b.xls", -1, "异价调拨"}}));
  EXPECT_EQ(Rows(query->GetNoteInfo(Props(), 1040007)),
            (std::vector<std::string>{"1 a.xls 1 同价调拨", "2 b.xls 1 异价调拨"}));
  // The second row names a row that does not exist: the first row's change
  // must not be kept either.
  EXPECT_THROW(update->UpdateUserNoteData(Props(), 1040007,
                                          *TemplateGrid({{"1040007|1", "a.xls", 0, ""}, {"1040007|9", "z.xls", 1, ""}})),
               HostError);
  EXPECT_THROW(update->UpdateUserNoteData(Props(), 1040007, *TemplateGrid({{"1020002|1", "a.xls", 0, ""}})), HostError);
  EXPECT_THROW(update->UpdateUserNoteData(Props(), 1040007, *TemplateGrid({{"garbage", "a.xls", 0, ""}})), HostError);
  EXPECT_EQ(Rows(query->GetNoteInfo(Props(), 1040007)),
            (std::vector<std::string>{"1 a.xls 1 同价调拨", "2 b.xls 1 异价调拨"}));
  EXPECT_THROW(update->UpdateUserNoteData(Props(), 1040007, *HostDictionary::Create()), HostError);
}

TEST_F(PrintSetupTest, DeleteRemovesOnlyThatRowOfThatBillType) {
  update->InsertNoteRow(Props(), 1050001, "收款1.xls", Blob({1}));
  update->InsertNoteRow(Props(), 1050001, "收款2.xls", Blob({2}));
  update->InsertNoteRow(Props(), 1050002, "付款1.xls", Blob({3}));
  update->DeleteNoteRow(Props(), 1050001, 1.0);
  EXPECT_EQ(Rows(query->GetNoteInfo(Props(), 1050001)), (std::vector<std::string>{"2 收款2.xls 0 "}));
  EXPECT_EQ(Rows(query->GetNoteInfo(Props(), 1050002)).size(), 1u);
  EXPECT_THROW(update->DeleteNoteRow(Props(), 1050001, 1.5), HostError);
  // Ids are never reused while a higher one exists.
  EXPECT_EQ(update->InsertNoteRow(Props(), 1050001, "收款3.xls", Blob({4}))->Item(1), Variant(3));
}

TEST_F(PrintSetupTest, ReportRowsCarryFNoteIdAndFTypeSub) {
  auto answer = updateRpt->InsertRptNoteRow(Props(), 10506, "往来对账.xlsx", Blob({9}));
  EXPECT_EQ(answer->Item(1), Variant(1));
  EXPECT_EQ(answer->Item(2), Variant(10506));
  updateRpt->UpdateUserRptNoteData(Props(), 10506, *TemplateGrid({{"10506|1", "往来对账.xlsx", 1, "客户"}}));
  auto info = queryRpt->GetRptNoteInfo(Props(), 10506);
  auto row = info->Item("Data").AsObject<HostVector>()->Item(1).AsObject<HostDictionary>();
  EXPECT_EQ(row->Item("FNoteId"), Variant(1));
  EXPECT_FALSE(row->Lookup("FBillID"));
  EXPECT_EQ(row->Item("FTypeSub").ToText(), "客户");
  EXPECT_EQ(row->Item("FBillTypeSub").ToText(), "客户");
  EXPECT_EQ(queryRpt->GetRptNotePrintData(Props(), "10506", "客户")->Count(), 1);
  EXPECT_EQ(queryRpt->GetRptNotePrintData(Props(), "10506", "供应商")->Count(), 0);
  // Reports and bills are separate tables even for equal numbers.
  EXPECT_EQ(Rows(query->GetNoteInfo(Props(), 10506)).size(), 0u);
  updateRpt->DeleteRptNoteRow(Props(), 10506, 1);
  EXPECT_EQ(queryRpt->GetRptNoteInfo(Props(), 10506)->Item("Data").AsObject<HostVector>()->Size(), 0);
}

TEST_F(PrintSetupTest, CurrNoteDescribesTheSelectedTemplatePerSubType) {
  update->InsertNoteRow(Props(), 1020002, "a.xls", Blob({1}));
  update->InsertNoteRow(Props(), 1020002, "b.xls", Blob({1}));
  update->UpdateUserNoteData(Props(), 1020002, *TemplateGrid({{"1020002|1", "a.xls", 0, ""}, {"1020002|2", "b.xls", 1, "收据"}}));
  auto current = query->GetCurrNote(Props(), 1020002);
  ASSERT_EQ(current->Count(), 1);
  EXPECT_EQ(current->Key(1), "收据");
  EXPECT_EQ(current->ItemAt(1).AsObject<HostDictionary>()->Item("FName").ToText(), "b.xls");
  EXPECT_EQ(queryRpt->GetCurrNote(Props(), 1020002)->Count(), 0) << "the report query describes reports";
}

TEST_F(PrintSetupTest, LogisticsRowsBelongToACourierAndADataSource) {
  auto a = updateLM->InsertNoteRow(Props(), 1, "顺丰面单.xls", Blob({1}), 0);
  auto b = updateLM->InsertNoteRow(Props(), 1, "顺丰面单2.xlsx", Blob({2}), 1);
  EXPECT_EQ(a->Item(1), Variant(1));
  EXPECT_EQ(a->Item(2), Variant(1));
  EXPECT_EQ(b->Item(1), Variant(2)) << "ids count per courier company, across data sources";
  EXPECT_EQ(Rows(queryLM->GetNoteInfo(Props(), 1, 0)), (std::vector<std::string>{"1 顺丰面单.xls 0 "}));
  EXPECT_EQ(Rows(queryLM->GetNoteInfo(Props(), 1, 1)), (std::vector<std::string>{"2 顺丰面单2.xlsx 0 "}));
  updateLM->UpdateUserNoteData(Props(), 1, *TemplateGrid({{"1|2", "顺丰面单2.xlsx", 1, ""}}), 1);
  EXPECT_EQ(queryLM->GetNotePrintData(Props(), "1", 1, "")->Count(), 1);
  EXPECT_EQ(queryLM->GetNotePrintData(Props(), "1", 0, "")->Count(), 0);
  updateLM->DeleteNoteRow(Props(), 1, 2, 0);
  EXPECT_EQ(Rows(queryLM->GetNoteInfo(Props(), 1, 1)).size(), 1u) << "row 2 is of data source 1";
  updateLM->DeleteNoteRow(Props(), 1, 2, 1);
  EXPECT_EQ(Rows(queryLM->GetNoteInfo(Props(), 1, 1)).size(), 0u);
}

TEST_F(PrintSetupTest, EmptyContentsAreStoredAsNone) {
  update->InsertNoteRow(Props(), 1020001, "unreadable.xls", Variant());
  update->UpdateUserNoteData(Props(), 1020001, *TemplateGrid({{"1020001|1", "unreadable.xls", 1, ""}}));
  auto set = query->GetNotePrintData(Props(), "1020001", "");
  ASSERT_EQ(set->Count(), 1);
  EXPECT_TRUE(set->ItemAt(1).AsObject<HostVector>()->Item(2).IsEmpty());
  EXPECT_THROW(update->InsertNoteRow(Props(), 1020001, "text.xls", Variant("not bytes")), HostError);
}

TEST_F(PrintSetupTest, AMissingAccountIsAnErrorNotANewFile) {
  auto props = MakePropsString("NoSuchAccount", "x");
  EXPECT_THROW(query->GetNoteInfo(props, 1020002), HostError);
  EXPECT_FALSE(std::filesystem::exists(DatabasePath("NoSuchAccount")));
}

}  // namespace
}  // namespace vemo::host
