// The data, security, profile, picture, QR and log components, created by
// their identifiers as the engine creates them.
#include <gtest/gtest.h>

#include "foundation/creation_service.h"
#include "foundation/json_convert.h"
#include "host/components/behavior_log.h"
#include "host/components/bill_data_service.h"
#include "host/components/bitmap_file.h"
#include "host/components/class_info.h"
#include "host/components/item_info.h"
#include "host/components/prog_ids.h"
#include "host/components/qr_code.h"
#include "host/components/security_info.h"
#include "host/database/read_only_query.h"
#include "host_fixture.h"
#include "support/error_text.h"

namespace vemo::host {
namespace {

class ComponentsTest : public test::SampleAccountTest {};

// Every row of the answer, its fields joined by "|", the rows by ";".
std::string AllRows(const RecordsetRef& rows) {
  std::string text;
  for (; !rows->Eof(); rows->MoveNext()) {
    text += text.empty() ? "" : ";";
    for (int i = 0; i < rows->FieldCount(); ++i) text += (i ? "|" : "") + rows->Field(i).ToText();
  }
  return text;
}

// The statements the engine sends: matrix codes (a null one reads as empty
// text), serial numbers, settlement accounts, lookup units (the main one
// first), a related table, and an empty answer.
TEST_F(ComponentsTest, ClassInfoRunsTheEngineQueries) {
  auto info = CreateObjectAs<IClassInfo>(progid::kClassInfo);
  const std::pair<const char*, const char*> cases[] = {
      {" select top 1 ISNULL(FMatrixCode, '') AS FMatrixCode from T_ICItem where FItemID = 2", "PE357|2019|勐海"},
      {" select top 1 ISNULL(FMatrixCode, '') AS FMatrixCode, 1 from T_ICItem where FItemID = 5", "|1"},
      {" select FID, FSerialNo from t_SerialNumList where FClassTypeID = 1040007 and FBillID = 1 and FBillIndexID = 1 and FStatus=1",
       "5|SH12-7001;7|SH12-7003"},
      {" select b.FItemID, b.FName, a.FAmount from ICMultiAccount a, t_SettleAcct b where a.FClassTypeID = 1050001 and a.FAcctID = b.FItemID and a.FID = 1",
       "1|现金|100;2|工商银行基本户|250.5"},
      {" SELECT t_ICItemUnit.FShowUnitID FROM T_ICItem Inner join t_ICItemUnit ON T_ICItem.FItemID=t_ICItemUnit.FSrcItemID WHERE T_ICItem.FItemID=2 order by FISMainUnit",
       "提;饼"},
      {" SELECT FShowUnitID FROM t_ICItemUnit WHERE t_ICItemUnit.FSrcItemID=1 order by FISMainUnit desc ", "盒;箱"},
      {" SELECT FName FROM t_Organization WHERE t_Organization.FItemID=1001", "杭州明前茶庄"},
      {"select * from T_RptExcelPrintExport where FSel=1 and FRptId=10506", ""},
  };
  for (const auto& [sql, rows] : cases) EXPECT_EQ(AllRows(info->GetData(Props(), sql)), rows) << sql;
  EXPECT_THROW(info->GetData(Props(), "delete from T_ICItem"), HostError);
}

TEST_F(ComponentsTest, PictureDataReadsTheNamedFieldOfTheNamedRecord) {
  auto info = CreateObjectAs<IClassInfo>(progid::kClassInfo);
  auto keys = vemo::FromJson(Json::parse(R"({"TableName": "t_ItemPhoto", "FieldName": "FData", "PrimaryKeyField": "FItemID",
      "PrimaryKeyValue": 3, "IndexKeyField": "FKind", "IndexKeyValue": "SmallPhoto", "Page": 1})")).AsObject<HostDictionary>();
  Bytes bytes = info->GetPictureData(*keys, Props());  // key set first, props second
  RgbImage photo = DecodeBmp(bytes);
  EXPECT_EQ(photo.at(10, 10), (Rgb{30, 90, 200})) << "item 3's photo is blue";

  keys->Set("PrimaryKeyValue", 5);
  EXPECT_TRUE(info->GetPictureData(*keys, Props()).empty()) << "item 5 has no photo";
  keys->Set("TableName", "t_ItemPhoto; DROP TABLE T_ICItem");
  EXPECT_THROW(info->GetPictureData(*keys, Props()), HostError);
  keys->Set("TableName", "t_ItemPhoto");
  keys->Set("PrimaryKeyValue", "3 OR 1=1");
  EXPECT_TRUE(info->GetPictureData(*keys, Props()).empty()) << "values are bound, never SQL";
}

TEST_F(ComponentsTest, AccessCheckFollowsTheUserOfThePropsString) {
  auto security = CreateObjectAs<ISecurityInfo>(progid::kSecurityInfo);
  EXPECT_TRUE(security->AccessCheck(Props(kSampleClerkWithPrices), 15, 1000, 32, true, "VemoMClass.ClassInfo"));
  EXPECT_FALSE(security->AccessCheck(Props(kSampleClerkWithoutPrices), 15, 1000, 32, true, "VemoMClass.ClassInfo"));
  EXPECT_TRUE(security->AccessCheck(Props(kSampleAdmin), 15, 1000, 32, true, "VemoMClass.ClassInfo"));
  EXPECT_FALSE(security->AccessCheck(Props("nobody"), 15, 1000, 32, true, "VemoMClass.ClassInfo"));
  // Subsystem, object and access type are three different positions.
  EXPECT_FALSE(security->AccessCheck(Props(kSampleClerkWithPrices), 32, 1000, 15, true, "VemoMClass.ClassInfo"));
  EXPECT_FALSE(security->AccessCheck(Props(kSampleClerkWithPrices), 15, 32, 1000, true, "VemoMClass.ClassInfo"));
  EXPECT_FALSE(security->AccessCheck(Props(kSampleClerkWithPrices), 15, 1001, 32, true, "VemoMClass.ClassInfo"));
}

TEST_F(ComponentsTest, ProfileAndItemPictureAnswerByTheirKeysInOrder) {
  auto profile = CreateObjectAs<ISystemProfile>(progid::kSystemProfile);
  EXPECT_EQ(profile->GetProfile(Props(), "General", "CompanyName"), "维默示范茶业贸易有限公司");
  EXPECT_EQ(profile->GetProfile(Props(), "general", "companyphone"), "0571-88886666");
  EXPECT_EQ(profile->GetProfile(Props(), "CompanyName", "General"), "") << "category first, key second";
  EXPECT_EQ(profile->GetProfile(Props(), "General", "NoSuchKey"), "");

  auto items = CreateObjectAs<IItemInfo>(progid::kItemInfo);
  std::string path = items->GetItemPicture(Props(), "1", "SmallPhoto");
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(DecodeBmp(test::FileBytes(path)).at(10, 10), (Rgb{46, 139, 87}));
  std::string customer = items->GetItemPicture(Props(), "1001", "SmallPhoto");
  EXPECT_NE(customer, path);
  EXPECT_EQ(DecodeBmp(test::FileBytes(customer)).at(10, 10), (Rgb{220, 180, 40}));
  for (const auto& [id, kind] : {std::pair{"5", "SmallPhoto"}, {"1", "BigPhoto"}, {"", "SmallPhoto"}, {"SmallPhoto", "1"}})
    EXPECT_EQ(items->GetItemPicture(Props(), id, kind), "") << id << " " << kind;  // no photo, or the id not first
}

TEST_F(ComponentsTest, BehaviourLogWritesTimeUserCodeAndText) {
  auto log = CreateObjectAs<IBehaviorLog>(progid::kBehaviorLog);
  EXPECT_THROW(log->WriteMGLog("S1S003E001", "no props"), HostError);
  log->SetPropsString(Props(kSampleClerkWithPrices));
  log->WriteMGLog("S1S003E001", "打印销售发票");
  auto rows = RunReadOnlyQuery(Database(), "select FTime, FUserName, FCode, FText from t_BehaviorLog");
  ASSERT_EQ(rows->RecordCount(), 1);
  EXPECT_EQ(rows->Field("FUserName").ToText() + " " + rows->Field("FCode").ToText() + " " + rows->Field("FText").ToText(),
            std::string(kSampleClerkWithPrices) + " S1S003E001 打印销售发票");
  EXPECT_EQ(rows->Field("FTime").ToText().size(), 19u);  // yyyy-mm-dd hh:mm:ss
}

TEST_F(ComponentsTest, QrPictureFillsTheSquareInsideAQuietZoneAndRefusesOtherEncodingsAndNothing) {
  auto encoder = CreateObjectAs<IQrEncoder>(progid::kQrEncoder);
  auto picture = encoder->Encode("PE357|2019|勐海", "UTF-8");
  ASSERT_GE(picture->ModuleCount(), 21);
  // The three finder patterns: dark corners of a 7x7 square.
  int n = picture->ModuleCount();
  EXPECT_TRUE(picture->IsDark(0, 0) && picture->IsDark(n - 1, 0) && picture->IsDark(0, n - 1));
  EXPECT_FALSE(picture->IsDark(n - 1, n - 1) && picture->IsDark(n - 8, n - 8) && picture->IsDark(7, 7));

  RgbImage image = picture->Paint(113, 4);
  EXPECT_EQ(image.width, 113);
  EXPECT_EQ(image.at(0, 0), (Rgb{255, 255, 255})) << "quiet zone";
  int quiet = static_cast<int>(113.0 * 4 / (n + 8)) + 1;
  EXPECT_EQ(image.at(quiet, quiet), (Rgb{0, 0, 0})) << "top-left module of the finder pattern";

  auto file = temp_.path() / "qr.bmp";
  picture->SaveBitmap(file, 200, 4);
  EXPECT_EQ(DecodeBmp(test::FileBytes(file)).width, 200);  // what it reads is the engine tests' job

  EXPECT_NO_THROW(encoder->Encode("x", "utf8"));
  for (const std::string& refused : {std::string(), std::string(8000, 'x')}) EXPECT_THROW(encoder->Encode(refused, "UTF-8"), HostError);
  EXPECT_THROW(encoder->Encode("x", "GBK"), HostError);
}

class BillDataServiceTest : public test::SampleAccountTest {
 protected:
  static Json Request() {
    return Json::parse(R"({"DataSrv": {"classtype": {"FID": 1020002, "FBillTypeID": 20, "FName": "销售发票"},
                                       "ClassTypeEntry": [{"FEntryType": 0}, {"FEntryType": 1}],
                                       "classTypeID": 1020002},
                           "dataFrom": 0})");
  }
  std::shared_ptr<BillDataService> FromJson(const Json& dataSrv) {
    auto dict = vemo::FromJson(dataSrv).AsObject<HostDictionary>();
    return BillDataService::FromRequest(*dict, Props());
  }
};

TEST_F(BillDataServiceTest, GetDataReadsTheSessionDatabaseOnly) {
  auto service = FromJson(Request()["DataSrv"]);
  auto rows = service->GetData("select * from T_PrintExport where FSel=1 and FBillType=" + std::to_string(service->classTypeID()));
  EXPECT_TRUE(rows->Eof());
  EXPECT_EQ(service->GetData("select top 1 FName from T_ICItem order by FItemID")->Field(0).ToText(), "特级龙井茶 250g");
  EXPECT_THROW(service->GetData("update T_ICItem set FName = 'x'"), HostError);
}

TEST_F(BillDataServiceTest, MissingPartsAreNamed) {
  for (const char* part : {"classtype", "ClassTypeEntry"}) {
    Json request = Request()["DataSrv"];
    request.erase(part);
    vemo::test::ExpectErrorSaying<HostError>([&] { FromJson(request); }, part);
  }
  Json noId = Request()["DataSrv"];
  noId.erase("classTypeID");
  EXPECT_EQ(FromJson(noId)->classTypeID(), 1020002) << "falls back to classtype's FID";
}

}  // namespace
}  // namespace vemo::host
