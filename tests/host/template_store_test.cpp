// Template files in and out of the store through the components, byte for
// byte, and the file-type and export rules of the setup side.
#include "host/store/template_store.h"

#include <gtest/gtest.h>

#include <random>

#include "foundation/creation_service.h"
#include "host/components/class_info.h"
#include "host/components/print_setup.h"
#include "host/components/prog_ids.h"
#include "host_fixture.h"

namespace vemo::host {
namespace {

using test::FileBytes;
using test::TemplateGrid;

class TemplateStoreTest : public test::SampleAccountTest {
 protected:
  std::shared_ptr<IPrintSetupUpdate> update = CreateObjectAs<IPrintSetupUpdate>(progid::kPrintSetupUpdate);

  // Registers `bytes` as a file, selects it, exports it, answers the bytes
  // written by the export.
  Bytes RoundTrip(const Bytes& bytes, std::int32_t billType) {
    auto source = temp_.path() / ("in_" + std::to_string(billType) + ".xls");
    vemo::test::WriteFileBytes(source, std::string(bytes.begin(), bytes.end()));
    Variant contents = ReadTemplateFile(source.string());
    auto answer = update->InsertNoteRow(Props(), billType, source.filename().string(), contents);
    std::string key = answer->Item(2).ToText() + "|" + answer->Item(1).ToText();
    update->UpdateUserNoteData(Props(), billType, *TemplateGrid({{key, source.filename().string(), 1, ""}}));
    auto target = temp_.path() / ("out_" + std::to_string(billType) + ".xls");
    std::string exportKey = key + "|";
    EXPECT_TRUE(SaveTemplateToFile(Props(), DocumentKind::Bill, target.string(), exportKey));
    EXPECT_EQ(exportKey, key) << "the key is set to the entry's key";
    return FileBytes(target);
  }
};

TEST_F(TemplateStoreTest, FilesComeOutByteForByteWhateverTheirSize) {
  EXPECT_EQ(RoundTrip({}, 1020001), Bytes{});
  EXPECT_EQ(RoundTrip({0x00}, 1020002), Bytes{0x00});
  std::mt19937 random(7);
  Bytes big(20u * 1024 * 1024);
  for (auto& b : big) b = static_cast<std::uint8_t>(random());
  EXPECT_TRUE(RoundTrip(big, 1020003) == big);
}

TEST_F(TemplateStoreTest, ReadTemplateFileIsEmptyOnFailure) {
  EXPECT_TRUE(ReadTemplateFile((temp_.path() / "missing.xls").string()).IsEmpty());
  EXPECT_TRUE(ReadTemplateFile(temp_.path().string()).IsEmpty()) << "a folder is no file";
  vemo::test::WriteFileBytes(temp_.path() / "zero.xls", "");
  Variant zero = ReadTemplateFile((temp_.path() / "zero.xls").string());
  EXPECT_EQ(zero.Type(), VariantType::Bytes);
  EXPECT_TRUE(zero.ToBytes().empty());
}

TEST_F(TemplateStoreTest, ExportOfNothingRaisesWithSourceAndPrefix) {
  std::string key = "1020002|1|";
  try {
    SaveTemplateToFile(Props(), DocumentKind::Bill, (temp_.path() / "x.xls").string(), key);
    FAIL() << "no error";
  } catch (const SourcedHostError& e) {
    EXPECT_EQ(e.Number(), 5);
    EXPECT_EQ(e.Source(), "VemoPrintExport.ExportAction.GetCurrNoteInfo");
    EXPECT_EQ(e.Description(), "加载数据出错！未设置打印模板信息");
  }
  try {
    QueryTemplateSet(Props(), DocumentKind::Waybill, "3|1|", 0);
    FAIL() << "no error";
  } catch (const SourcedHostError& e) {
    EXPECT_EQ(e.Source(), "VemoPrintExport.ExportActionLM.GetCurrNoteInfo");
    EXPECT_EQ(e.Description(), "未设置打印模板信息");
  }
  EXPECT_FALSE(std::filesystem::exists(temp_.path() / "x.xls"));
}

TEST_F(TemplateStoreTest, ExportKeyPicksTheSubTypeTemplate) {
  update->InsertNoteRow(Props(), 1050003, "a.xls", Bytes{'a'});
  update->InsertNoteRow(Props(), 1050003, "b.xls", Bytes{'b'});
  update->UpdateUserNoteData(Props(), 1050003, *TemplateGrid({{"1050003|1", "a.xls", 1, ""}, {"1050003|2", "b.xls", 1, "预收冲应收"}}));
  auto target = temp_.path() / "sub.xls";
  std::string key = "1050003|1|预收冲应收";  // the active row is 1, the sub-type decides
  SaveTemplateToFile(Props(), DocumentKind::Bill, target.string(), key);
  EXPECT_EQ(FileBytes(target), Bytes{'b'});
  EXPECT_EQ(key, "1050003|2");
  key = "1050003|2|";
  SaveTemplateToFile(Props(), DocumentKind::Bill, target.string(), key);
  EXPECT_EQ(FileBytes(target), Bytes{'a'});
}

// Each family's answer rests on the selected row of its own table: not on a
// row only registered, nor on another owner's or data source's row.
TEST_F(TemplateStoreTest, FileTypeRestsOnTheSelectedNameInTheFamilysOwnTable) {
  for (const auto& [name, xlsx] : {std::pair{"a.xlsx", true}, {"A.XlSx", true}, {"a.xls", false}, {"a.xlsm", false}, {"发票", false}})
    EXPECT_EQ(IsXlsxName(name), xlsx) << name;
  auto lm = CreateObjectAs<IPrintSetupUpdateLM>(progid::kPrintSetupUpdateLM);
  update->InsertNoteRow(Props(), 1020002, "发票.XLSX", Bytes{1});
  update->InsertRptNoteRow(Props(), 10506, "对账单.xlsx", Bytes{1});
  lm->InsertNoteRow(Props(), 2, "中通.xlsx", Bytes{1}, 1);
  EXPECT_FALSE(IsBillTemplateXlsx(Props(), 1020002, 0)) << "registered but not selected";
  EXPECT_FALSE(IsReportTemplateXlsx(Props(), 10506, 0)) << "registered but not selected";
  EXPECT_FALSE(IsLogisticTemplateXlsx(Props(), 2, 1)) << "registered but not selected";
  update->UpdateUserNoteData(Props(), 1020002, *TemplateGrid({{"1020002|1", "发票.XLSX", 1, ""}}));
  update->UpdateUserRptNoteData(Props(), 10506, *TemplateGrid({{"10506|1", "对账单.xlsx", 1, ""}}));
  lm->UpdateUserNoteData(Props(), 2, *TemplateGrid({{"2|1", "中通.xlsx", 1, ""}}), 1);
  EXPECT_TRUE(IsBillTemplateXlsx(Props(), 1020002, 0));
  EXPECT_FALSE(IsBillTemplateXlsx(Props(), 1020004, 0));
  EXPECT_FALSE(IsBillTemplateXlsx(Props(), 10506, 0)) << "the bill table is another table";
  EXPECT_TRUE(IsReportTemplateXlsx(Props(), 10506, 0));
  EXPECT_FALSE(IsReportTemplateXlsx(Props(), 10507, 0));
  EXPECT_TRUE(IsLogisticTemplateXlsx(Props(), 2, 1));
  EXPECT_FALSE(IsLogisticTemplateXlsx(Props(), 2, 0)) << "another data source";
  EXPECT_FALSE(IsLogisticTemplateXlsx(Props(), 1, 1)) << "another courier";
  EXPECT_FALSE(IsBillTemplateXlsx(MakePropsString("NoSuchAccount", "x"), 1020002, 0)) << "failures give False";
}

TEST_F(TemplateStoreTest, LabelsAreXlsxWithoutADatabase) {
  ScopedFactory absent(std::string(progid::kClassInfo), [] { return ObjectRef(); });
  EXPECT_TRUE(IsBillTemplateXlsx(Props(), 1020002, 1));
  EXPECT_TRUE(IsReportTemplateXlsx(Props(), 1, 1));
  EXPECT_FALSE(IsBillTemplateXlsx(Props(), 1020002, 0));
}

TEST(KeyField, CountsFromZeroAndAnswersEmptyBeyondTheLast) {
  EXPECT_EQ(KeyField("1020002|3|收据", "|", 0), "1020002");
  EXPECT_EQ(KeyField("1020002|3|收据", "|", 2), "收据");
  EXPECT_EQ(KeyField("1020002|3", "|", 2), "");
  EXPECT_EQ(KeyField("", "|", 0), "");
}

}  // namespace
}  // namespace vemo::host
