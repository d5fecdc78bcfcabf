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

// The four names, whatever their case, and the field each reads by class type.
TEST(PictureKeywordFields, EachKeywordReadsItsField) {
  struct Case {
    const char* keyword;
    std::int32_t classType;
    const char* field;
  } cases[] = {
      {"FCustOrSupplyPicture", 1030001, "FCustID"},  // a customer-side class type
      {"FCustOrSupplyPicture", 1080002, "FCustID"},
      {"FCustOrSupplyPicture", 1050002, "FSupplyId"},
      {"FCustOrSupplyPicture", 0, "FSupplyId"},
      {"FICITEMPICTURE", 1050002, "FItemID"},
      {"ficitembarcodepicture", 1030001, "FBarCode"},
      {"FICItemQRCodePicture", 1050002, "FItemID"},
      {"FICItemPicture.HEAD", 1030001, ""},
      {"FName", 1030001, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PictureFieldKey(c.keyword, c.classType), c.field) << c.keyword << " " << c.classType;
}

// Records how it was asked; item "bad" fails as an unreachable photo store would.
class RecordingItemInfo : public host::IItemInfo {
 public:
  std::string TypeName() const override { return "RecordingItemInfo"; }
  std::string GetItemPicture(std::string_view props, std::string_view itemId, std::string_view kind) override {
    calls.push_back(std::string(props) + "|" + std::string(itemId) + "|" + std::string(kind));
    if (itemId == "bad") throw HostError("the photo store is unreachable");
    return "C:\\Photos\\" + std::string(itemId) + ".jpg";
  }
  std::vector<std::string> calls;
};

TEST_F(PictureFieldsTest, PhotosAreTheItemComponentsSmallPhotosAskedWithTheSessionsProps) {
  auto recorder = std::make_shared<RecordingItemInfo>();
  {
    ScopedFactory use(std::string(host::progid::kItemInfo), [recorder] { return recorder; });
    EXPECT_EQ(PicturePathFor("FICItemPicture", "42"), "C:\\Photos\\42.jpg");
    EXPECT_EQ(PicturePathFor("FCustOrSupplyPicture", "2001"), "C:\\Photos\\2001.jpg");
    EXPECT_EQ(PicturePathFor("FICItemPicture", "bad"), "") << "an error of the component is an empty answer";
  }
  const std::string props = host::MakePropsString(kAccount, host::kSampleClerkWithPrices);
  EXPECT_EQ(recorder->calls,
            (std::vector<std::string>{props + "|42|SmallPhoto", props + "|2001|SmallPhoto", props + "|bad|SmallPhoto"}));
  ScopedFactory none(std::string(host::progid::kItemInfo), nullptr);
  EXPECT_EQ(PicturePathFor("FICItemPicture", "1"), "") << "no component is an empty answer";
}

TEST_F(PictureFieldsTest, CodesAreDrawnIntoThePhotoFolders) {
  const std::string barcode = std::string(kProgramFolder) + "\\Graphics\\ItemPhotos\\Barcode_6901234567908.bmp";
  EXPECT_EQ(PicturePathFor("FICItemBarCodePicture", "6901234567908"), barcode);
  EXPECT_EQ(Decode(barcode), "6901234567908");
  EXPECT_EQ(PicturePathFor("FICItemQRCodePicture", "2"), std::string(kPictureFolder) + "\\QRCode_2.bmp");
  for (const char* name : {"FICItemBarCodePicture", "FICItemQRCodePicture"})
    EXPECT_EQ(PicturePathFor(name, ""), "") << name << ": the bill has no such field";
  EXPECT_EQ(PicturePathFor("FItemID", "1"), "");

  UseBarcodeControlType(2);  // draws nothing, yet the path is answered
  std::filesystem::remove(context::ToHostPath(barcode));
  EXPECT_EQ(PicturePathFor("FICItemBarCodePicture", "6901234567908"), barcode);
  EXPECT_FALSE(Exists(barcode));
}

}  // namespace
}  // namespace vemo::engine::test
