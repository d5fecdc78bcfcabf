// The picture keywords: which field each reads and the path it produces.
#include <gtest/gtest.h>

#include "engine/pictures/picture_fields.h"
#include "engine/pictures/pictures.h"
#include "foundation/creation_service.h"
#include "host/components/item_info.h"
#include "host/components/prog_ids.h"
#include "pictures_fixture.h"

namespace vemo::engine::test {
namespace {

class PictureFieldsTest : public PicturesTest {};

TEST(PictureKeywordNames, TheFourNamesWithoutRegardToCase) {
  EXPECT_EQ(PictureKeywordOf("FCustOrSupplyPicture"), PictureKeyword::CustOrSupplyPicture);
  EXPECT_EQ(PictureKeywordOf("FICITEMPICTURE"), PictureKeyword::ItemPicture);
  EXPECT_EQ(PictureKeywordOf("ficitembarcodepicture"), PictureKeyword::ItemBarCodePicture);
  EXPECT_EQ(PictureKeywordOf("FICItemQRCodePicture"), PictureKeyword::ItemQRCodePicture);
  EXPECT_EQ(PictureKeywordOf("FICItemPicture.HEAD"), std::nullopt);
  EXPECT_EQ(PictureKeywordOf("FItemID"), std::nullopt);
  EXPECT_EQ(PictureKeywordOf(""), std::nullopt);
}

TEST(PictureKeywordFields, CustomerSideClassTypesReadTheCustomer) {
  for (std::int32_t type : {1030001, 1030002, 1030003, 1030004, 1050001, 1050004, 1080002})
    EXPECT_EQ(PictureFieldKey("FCustOrSupplyPicture", type), "FCustID") << type;
  for (std::int32_t type : {1050002, 1030005, 1040001, 1080001, 1050003, 0, -1})
    EXPECT_EQ(PictureFieldKey("FCustOrSupplyPicture", type), "FSupplyId") << type;
}

TEST(PictureKeywordFields, ItemKeywordsReadTheItemOrItsBarcode) {
  for (std::int32_t type : {1030001, 1050002}) {
    EXPECT_EQ(PictureFieldKey("FICItemPicture", type), "FItemID");
    EXPECT_EQ(PictureFieldKey("FICItemBarCodePicture", type), "FBarCode");
    EXPECT_EQ(PictureFieldKey("FICItemQRCodePicture", type), "FItemID");
  }
  EXPECT_EQ(PictureFieldKey("FName", 1030001), "");
}

TEST_F(PictureFieldsTest, PhotosAreTheHostsSmallPhotos) {
  auto items = CreateObjectAs<host::IItemInfo>(host::progid::kItemInfo);
  const std::string props = host::MakePropsString(kAccount, host::kSampleClerkWithPrices);
  const std::string itemPhoto = PicturePathFor("FICItemPicture", "1");
  EXPECT_FALSE(itemPhoto.empty());
  EXPECT_EQ(itemPhoto, items->GetItemPicture(props, "1", "SmallPhoto"));
  const std::string partnerPhoto = PicturePathFor("FCustOrSupplyPicture", "2001");
  EXPECT_EQ(partnerPhoto, items->GetItemPicture(props, "2001", "SmallPhoto"));
  EXPECT_NE(partnerPhoto, itemPhoto);
  EXPECT_EQ(PicturePathFor("FICItemPicture", "5"), "") << "item 5 has no photo";
  EXPECT_EQ(PicturePathFor("FCustOrSupplyPicture", ""), "") << "the bill has no partner field";
}

TEST_F(PictureFieldsTest, BarcodeGoesToTheProgramFoldersPhotoFolder) {
  const std::string path = PicturePathFor("FICItemBarCodePicture", "6901234567908");
  EXPECT_EQ(path, std::string(kProgramFolder) + "\\Graphics\\ItemPhotos\\Barcode_6901234567908.bmp");
  EXPECT_EQ(Decode(path), "6901234567908");
  EXPECT_EQ(PicturePathFor("FICItemBarCodePicture", ""), "");
}

TEST_F(PictureFieldsTest, BarcodePathIsAnsweredEvenWhenNothingIsDrawn) {
  UseBarcodeControlType(2);
  const std::string path = PicturePathFor("FICItemBarCodePicture", "6901234567908");
  EXPECT_EQ(path, std::string(kProgramFolder) + "\\Graphics\\ItemPhotos\\Barcode_6901234567908.bmp");
  EXPECT_FALSE(Exists(path));
}

TEST_F(PictureFieldsTest, QrCodeIsTheItemsMatrixCode) {
  const std::string path = PicturePathFor("FICItemQRCodePicture", "2");
  EXPECT_EQ(path, std::string(kPictureFolder) + "\\QRCode_2.bmp");
  EXPECT_EQ(Decode(path), "PE357|2019|勐海");
  EXPECT_EQ(PicturePathFor("FICItemQRCodePicture", "4"), "");
  EXPECT_EQ(PicturePathFor("FICItemQRCodePicture", ""), "") << "no item field: the query finds nothing";
}

TEST_F(PictureFieldsTest, OtherNamesResolveToNothing) {
  EXPECT_EQ(PicturePathFor("FItemID", "1"), "");
}

}  // namespace
}  // namespace vemo::engine::test
