// GetPictureFile: the host's small photo, or "" on anything amiss.
#include <gtest/gtest.h>

#include "engine/pictures/pictures.h"
#include "foundation/creation_service.h"
#include "host/components/item_info.h"
#include "host/components/prog_ids.h"
#include "pictures_fixture.h"

namespace vemo::engine::test {
namespace {

class ItemPhotoTest : public PicturesTest {};

// Records how it was called.
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

TEST_F(ItemPhotoTest, TheStoredSmallPhotoOfAnItemCustomerOrSupplier) {
  const std::string item = GetPictureFile("1");
  ASSERT_FALSE(item.empty());
  EXPECT_EQ(ReadBitmap(item).at(10, 10), (host::Rgb{46, 139, 87}));
  const std::string customer = GetPictureFile("1001");
  ASSERT_FALSE(customer.empty());
  EXPECT_EQ(ReadBitmap(customer).at(10, 10), (host::Rgb{220, 180, 40}));
  EXPECT_EQ(GetPictureFile("5"), "");
  EXPECT_EQ(GetPictureFile("x"), "");
}

TEST_F(ItemPhotoTest, AsksTheComponentWithTheSessionsPropsString) {
  auto recorder = std::make_shared<RecordingItemInfo>();
  ScopedFactory use(std::string(host::progid::kItemInfo), [recorder] { return recorder; });
  EXPECT_EQ(GetPictureFile("42"), "C:\\Photos\\42.jpg");
  ASSERT_EQ(recorder->calls.size(), 1u);
  EXPECT_EQ(recorder->calls[0], host::MakePropsString(kAccount, host::kSampleClerkWithPrices) + "|42|SmallPhoto");
  EXPECT_EQ(GetPictureFile("bad"), "") << "an error of the component is an empty answer";
}

TEST_F(ItemPhotoTest, NoComponentIsAnEmptyAnswer) {
  ScopedFactory none(std::string(host::progid::kItemInfo), nullptr);
  EXPECT_EQ(GetPictureFile("1"), "");
}

}  // namespace
}  // namespace vemo::engine::test
