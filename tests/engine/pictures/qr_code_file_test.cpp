// GetQRCodePictureInfo: the code drawn, where it goes, and when nothing is drawn.
#include <gtest/gtest.h>

#include "context/file_utils.h"
#include "engine/pictures/pictures.h"
#include "foundation/creation_service.h"
#include "host/components/prog_ids.h"
#include "pictures_fixture.h"

namespace vemo::engine::test {
namespace {

class QrCodeFileTest : public PicturesTest {};

std::string DefaultPath(const std::string& itemId) { return std::string(kPictureFolder) + "\\QRCode_" + itemId + ".bmp"; }

TEST_F(QrCodeFileTest, AGivenCodeIsDrawnWithoutAskingTheDatabase) {
  ScopedFactory noClassInfo(std::string(host::progid::kClassInfo), nullptr);
  const std::string text = "扫码查看：特级龙井茶 https://shop.example.com/item/01.001";
  const std::string path = GetQRCodePictureInfo("1", text);
  EXPECT_EQ(path, DefaultPath("1"));
  auto picture = ReadBitmap(path);
  EXPECT_EQ(picture.width, kQrCodeSizePx);
  EXPECT_EQ(picture.height, kQrCodeSizePx);
  EXPECT_EQ(Decode(path), text);
}

TEST_F(QrCodeFileTest, TheItemsMatrixCodeWhenNoCodeIsGiven) {
  EXPECT_EQ(Decode(GetQRCodePictureInfo("2")), "PE357|2019|勐海");
  EXPECT_EQ(Decode(GetQRCodePictureInfo("6")), "SH-12/1.2L/220V");
}

TEST_F(QrCodeFileTest, LongMatrixCodesStillReadAtThisSize) {
  // 160 bytes need a 49-module symbol: two pixels a module in the square.
  std::string text;
  for (int i = 0; i < 160; ++i) text += static_cast<char>('a' + i % 26);
  EXPECT_EQ(Decode(GetQRCodePictureInfo("9", text)), text);
}

TEST_F(QrCodeFileTest, AGivenPathIsUsedAsItIs) {
  context::EnsureFolder("C:\\Labels");
  EXPECT_EQ(GetQRCodePictureInfo("3", "", "C:\\Labels\\qr.bmp"), "C:\\Labels\\qr.bmp");
  EXPECT_EQ(Decode("C:\\Labels\\qr.bmp"), "QH-01");
  EXPECT_FALSE(Exists(DefaultPath("3")));
}

TEST_F(QrCodeFileTest, NoMatrixCodeMeansNoPathAndNoFile) {
  CreateDebugLog();
  EXPECT_EQ(GetQRCodePictureInfo("4"), "") << "item 4's matrix code is empty";
  EXPECT_EQ(GetQRCodePictureInfo("5"), "") << "item 5's matrix code is null";
  EXPECT_EQ(GetQRCodePictureInfo("999"), "") << "no such item";
  EXPECT_FALSE(Exists(DefaultPath("4")));
  EXPECT_FALSE(Exists(DefaultPath("5")));
  EXPECT_FALSE(Exists(DefaultPath("999")));
  EXPECT_EQ(DebugLogText(), "") << "nothing to draw is no error";
}

TEST_F(QrCodeFileTest, TheSymbolFillsTheSquareInsideALightQuietZone) {
  auto picture = ReadBitmap(GetQRCodePictureInfo("2"));
  // The quiet zone: at least one module (113 / 29 > 3 pixels) of white on every side.
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < picture.width; ++j) {
      ASSERT_EQ(picture.at(j, i), (host::Rgb{255, 255, 255}));
      ASSERT_EQ(picture.at(j, picture.height - 1 - i), (host::Rgb{255, 255, 255}));
      ASSERT_EQ(picture.at(i, j), (host::Rgb{255, 255, 255}));
      ASSERT_EQ(picture.at(picture.width - 1 - i, j), (host::Rgb{255, 255, 255}));
    }
  // The finder pattern's dark corner begins within the quiet zone's width of each edge.
  const int quietPx = kQrCodeSizePx * kQrQuietZoneModules / 29 + 1;
  EXPECT_EQ(picture.at(quietPx, quietPx), (host::Rgb{0, 0, 0}));
  EXPECT_EQ(picture.at(kQrCodeSizePx - 1 - quietPx, quietPx), (host::Rgb{0, 0, 0}));
  EXPECT_EQ(picture.at(quietPx, kQrCodeSizePx - 1 - quietPx), (host::Rgb{0, 0, 0}));
}

TEST_F(QrCodeFileTest, FailuresGiveAnEmptyPathAndGoToTheDebugLog) {
  CreateDebugLog();
  EXPECT_EQ(GetQRCodePictureInfo("1", std::string(3000, 'x') + "茶"), "");
  EXPECT_FALSE(Exists(DefaultPath("1")));
  EXPECT_EQ(GetQRCodePictureInfo("1", "ok", std::string(kProgramFolder) + "\\NoSuchFolder\\q.bmp"), "");
  {
    ScopedFactory noEncoder(std::string(host::progid::kQrEncoder), nullptr);
    EXPECT_EQ(GetQRCodePictureInfo("2"), "");
  }
  {
    ScopedFactory noClassInfo(std::string(host::progid::kClassInfo), nullptr);
    EXPECT_EQ(GetQRCodePictureInfo("2"), "");
  }
  const std::string log = DebugLogText();
  EXPECT_NE(log.find("GetQRCodePictureInfo Error: Erl=4\r\nErrdesc:the text (3003 bytes) cannot be put into a QR code"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("GetQRCodePictureInfo Error: Erl=5\r\nErrdesc:cannot write the file"), std::string::npos) << log;
  EXPECT_NE(log.find("GetQRCodePictureInfo Error: Erl=4\r\nErrdesc:cannot create object \"Talvo_APGC.CQRCode\""),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("GetQRCodePictureInfo Error: Erl=1\r\nErrdesc:cannot create object \"VemoMClass.ClassInfo\""),
            std::string::npos)
      << log;
}

}  // namespace
}  // namespace vemo::engine::test
