#include "host/components/bill_data_service.h"

#include <gtest/gtest.h>

#include "foundation/json_convert.h"
#include "host_fixture.h"

namespace vemo::host {
namespace {

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

TEST_F(BillDataServiceTest, OffersTheBillTypeOfTheRequest) {
  auto service = FromJson(Request()["DataSrv"]);
  EXPECT_EQ(service->classTypeID(), 1020002);
  EXPECT_EQ(service->classtype()->Item("FName").ToText(), "销售发票");
  EXPECT_EQ(service->classtype()->Item("FBillTypeID"), Variant(20));
  ASSERT_EQ(service->ClassTypeEntry()->Size(), 2);
  EXPECT_EQ(service->ClassTypeEntry()->Item(2).AsObject<HostDictionary>()->Item("FEntryType"), Variant(1));
}

TEST_F(BillDataServiceTest, GetDataReadsTheSessionDatabaseOnly) {
  auto service = FromJson(Request()["DataSrv"]);
  auto rows = service->GetData("select * from T_PrintExport where FSel=1 and FBillType=" + std::to_string(service->classTypeID()));
  EXPECT_TRUE(rows->Eof());
  EXPECT_EQ(service->GetData("select top 1 FName from T_ICItem order by FItemID")->Field(0).ToText(), "特级龙井茶 250g");
  EXPECT_THROW(service->GetData("update T_ICItem set FName = 'x'"), HostError);
}

TEST_F(BillDataServiceTest, MissingPartsAreNamed) {
  Json noType = Request()["DataSrv"];
  noType.erase("classtype");
  try {
    FromJson(noType);
    FAIL() << "no error";
  } catch (const HostError& e) {
    EXPECT_NE(std::string(e.what()).find("classtype"), std::string::npos);
  }
  Json noEntries = Request()["DataSrv"];
  noEntries.erase("ClassTypeEntry");
  EXPECT_THROW(FromJson(noEntries), HostError);
  Json noId = Request()["DataSrv"];
  noId.erase("classTypeID");
  EXPECT_EQ(FromJson(noId)->classTypeID(), 1020002) << "falls back to classtype's FID";
}

}  // namespace
}  // namespace vemo::host
