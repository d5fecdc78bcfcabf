// Item labels: the label workbook copy in the picture folder, the four
// picture files of c:\ItemPhotos\, the label print and opening the
// workbook for editing.
#include <gmock/gmock.h>

#include <fstream>

#include "action_fixture.h"
#include "actions/export_action.h"
#include "actions/export_action_rpt.h"
#include "context/file_utils.h"
#include "context/path_mapping.h"

namespace vemo::actions::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kProgram = "C:\\Program Files\\Quorvan\\Tradon";
constexpr const char* kSample = "C:\\Program Files\\Quorvan\\Tradon\\Graphics\\ItemPhotos\\商品标签模板.xlsx";
// The picture folder: program folder + Graphics\ItemPhotos\ + the login's database.
constexpr const char* kCopy = "C:\\Program Files\\Quorvan\\Tradon\\Graphics\\ItemPhotos\\Acc1\\商品标签模板.xlsx";

class ItemLabelTest : public ActionTest {
 protected:
  ItemLabelTest() {
    WriteMachineFile("registry.json", {{"SOFTWARE\\Quorvan\\TRADON\\VemoSTD", {{"Path", kProgram}}}});
    WriteWindowsFile(kSample, "label sample");
    WriteWindowsFile(std::string(kProgram) + "\\Graphics\\ItemPhotos\\Item_Empty.jpg", "empty photo");
    WriteWindowsFile(std::string(kProgram) + "\\Graphics\\ItemPhotos\\BarCode_Item_Empty.bmp", "empty barcode");
    WriteWindowsFile(std::string(kProgram) + "\\Graphics\\ItemPhotos\\QRCode_Item_Empty.bmp", "empty qr");
    script_->drawPicture = [](const std::string& path, const std::string& text) {
      std::ofstream(context::ToHostPath(path), std::ios::binary) << text;
    };
  }
  static std::string Text(const std::string& windowsPath) {
    const Bytes bytes = ReadBytes(context::ToHostPath(windowsPath).string());
    return std::string(bytes.begin(), bytes.end());
  }
  static DictionaryRef Item(std::initializer_list<std::pair<const char*, Variant>> values) {
    auto item = HostDictionary::Create();
    for (const auto& [key, value] : values) item->Add(key, value);
    return item;
  }
  ExportAction action_;
};

TEST_F(ItemLabelTest, NoItemValuesTouchesNothing) {
  EXPECT_FALSE(action_.PrintItemInfo(false, false, nullptr));
  EXPECT_FALSE(context::FolderExists("c:\\ItemPhotos\\"));
  EXPECT_TRUE(Engines().empty());
}

TEST_F(ItemLabelTest, FirstLabelCopiesTheSampleAndPrintsInLabelMode) {
  auto item = Item({{"FItemID", 7}, {"FBarCode", "6901234567892"}, {"FMatrixCode", "https://q/7"}});
  ASSERT_TRUE(action_.PrintItemInfo(false, false, item));
  EXPECT_EQ(Text(kCopy), "label sample");
  EXPECT_EQ(Text("c:\\ItemPhotos\\Item.jpg"), "empty photo");  // no photo for the item
  EXPECT_EQ(Text("c:\\ItemPhotos\\BarCode_Item.bmp"), "barcode 6901234567892");
  EXPECT_EQ(Text("c:\\ItemPhotos\\QRCode_Item.bmp"), "qr 7 https://q/7");

  auto engines = Engines();
  ASSERT_EQ(engines.size(), 2u);  // pictures, then the fill; the label workbook is not validated
  EXPECT_EQ(engines[1]->calls.back(), "PrintTo");
  EXPECT_EQ(engines[1]->printHandlerType, "1");
  EXPECT_EQ(engines[1]->itemInfo, item);
  EXPECT_EQ(engines[1]->fileAllName, context::NewTempWorkbookName(".xlsx"));
  EXPECT_TRUE(Queries().empty());  // no registered template is asked for
  EXPECT_THAT(Logged(), ElementsAre("S1S003F001 处理商品标签打印导出Excel功能"));
}

TEST_F(ItemLabelTest, NextItemStartsFromThePlaceholders) {
  ASSERT_TRUE(action_.PrintItemInfo(true, false, Item({{"FItemID", 7}, {"FBarCode", "111"}})));
  script_->pictureOf = [this](const std::string& id) {
    const std::string photo = (temp_.path() / ("photo" + id)).string();
    std::ofstream(photo) << "photo of " << id;
    return photo;
  };
  ASSERT_TRUE(action_.PrintItemInfo(true, false, Item({{"FItemID", 8}, {"FCustOrSupplyID", 3}})));
  EXPECT_EQ(Text("c:\\ItemPhotos\\BarCode_Item.bmp"), "empty barcode");  // not the previous item's
  EXPECT_EQ(Text("c:\\ItemPhotos\\Item.jpg"), "photo of 8");
  EXPECT_EQ(Text("c:\\ItemPhotos\\CustOrSupply.bmp"), "photo of 3");
  EXPECT_EQ(Engines().back()->calls.back(), "PrintPreview");
}

TEST_F(ItemLabelTest, EditedCopyIsKept) {
  WriteWindowsFile(kCopy, "edited by the user");
  ASSERT_TRUE(action_.PrintItemInfo(false, false, Item({})));
  EXPECT_EQ(Text(kCopy), "edited by the user");
  EXPECT_EQ(Text(context::NewTempWorkbookName(".xlsx")), "edited by the user");
}

TEST_F(ItemLabelTest, LabelExportNeedsNoBillDataService) {
  const std::string chosen = (temp_.path() / "label.xlsx").string();
  desktop_->QueueFileName(chosen);
  desktop_->QueueAnswer(context::vbNo);
  ASSERT_TRUE(action_.PrintItemInfo(false, true, Item({{"FItemID", 7}})));
  EXPECT_EQ(desktop_->Dialogs().at(0).request.filter, "Excel文件 (*.xlsx)|*.xlsx");
  EXPECT_EQ(Text(chosen), "label sample");
  EXPECT_THAT(Logged(), ElementsAre(::testing::StartsWith("S1S003F001 ")));
}

// Storing the pictures is the workbook's job; here only that a failure to
// do so fails the export.
TEST_F(ItemLabelTest, EmbeddingIntoSomethingThatIsNoWorkbookFailsTheExportWithAMessage) {
  const std::string chosen = (temp_.path() / "label.xlsx").string();
  desktop_->QueueFileName(chosen);
  action_.SetEmbedLabelPictures(true);
  EXPECT_FALSE(action_.PrintItemInfo(false, true, Item({{"FItemID", 7}})));  // the sample is "label sample"
  auto message = OnlyMessage(Messages());
  EXPECT_EQ(message.title, "错误");
  EXPECT_NE(message.text.find("cannot store the linked pictures"), std::string::npos) << message.text;
  EXPECT_FALSE(std::filesystem::exists(chosen));
}

TEST_F(ItemLabelTest, MissingSampleAndCopy) {
  std::filesystem::remove(context::ToHostPath(kSample));
  EXPECT_FALSE(action_.PrintItemInfo(false, false, Item({})));
  auto messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, std::string("商品标签模板文件不存在，请重试！\r\n文件：") + kSample);
  EXPECT_EQ(messages[0].icon, context::vbExclamation);
  EXPECT_EQ(messages[1].text, kNoTemplate);
  EXPECT_TRUE(logEntries_->empty());
}

TEST_F(ItemLabelTest, PrintBillLeavesLabelMode) {
  ASSERT_TRUE(action_.PrintItemInfo(false, false, Item({})));
  action_.SetDataSrv(Invoice());
  ASSERT_TRUE(action_.PrintBill(false));
  EXPECT_EQ(logEntries_->back().code, "S1S003E001");
  EXPECT_EQ(Engines().back()->calls[1], "SetDataSrv");
}

TEST_F(ItemLabelTest, OpenExcelOpensTheCopy) {
  ExportActionRpt action;  // the report class offers labels too
  ASSERT_TRUE(action.OpenExcel("ignored.xlsx"));
  const EngineRecord& engine = *Engines().back();
  EXPECT_THAT(engine.calls, ElementsAre("SetFileAllName", "OpenExcel"));
  EXPECT_EQ(engine.fileAllName, kCopy);
  EXPECT_EQ(Text("c:\\ItemPhotos\\Item.jpg"), "empty photo");
}

// Without an application the answer is still True; without any label workbook False.
TEST_F(ItemLabelTest, OpenExcelWithoutSpreadsheetOrTemplate) {
  RemoveSpreadsheet();
  ASSERT_TRUE(action_.OpenExcel(""));
  ExpectOnlyBox(Messages(), "系统没有检测到EXCEL，请确认是否已经安装！", context::vbOKOnly, context::vbExclamation);
  EXPECT_TRUE(Engines().empty());
  SetSpreadsheetVersion("12.0");
  std::filesystem::remove(context::ToHostPath(kSample));
  std::filesystem::remove(context::ToHostPath(kCopy));  // made by the first call
  EXPECT_FALSE(action_.OpenExcel(""));
  EXPECT_EQ(Messages().size(), 2u);
}

}  // namespace
}  // namespace vemo::actions::test
