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
  EXPECT_EQ(std::pair(picture.width, picture.height), std::pair(kQrCodeSizePx, kQrCodeSizePx));
  EXPECT_EQ(Decode(path), text);
  // 160 bytes need a 49-module symbol: two pixels a module in the square.
  std::string longText;
  for (int i = 0; i < 160; ++i) longText += static_cast<char>('a' + i % 26);
  EXPECT_EQ(Decode(GetQRCodePictureInfo("9", longText)), longText);
}

TEST_F(QrCodeFileTest, TheItemsMatrixCodeWhenNoCodeIsGiven) {
  EXPECT_EQ(Decode(GetQRCodePictureInfo("2")), "PE357|2019|勐海");
  EXPECT_EQ(Decode(GetQRCodePictureInfo("6")), "SH-12/1.2L/220V");
}

TEST_F(QrCodeFileTest, AGivenPathIsUsedAsItIs) {
  context::EnsureFolder("C:\\Labels");
  EXPECT_EQ(GetQRCodePictureInfo("3", "", "C:\\Labels\\qr.bmp"), "C:\\Labels\\qr.bmp");
  EXPECT_EQ(Decode("C:\\Labels\\qr.bmp"), "QH-01");
  EXPECT_FALSE(Exists(DefaultPath("3")));
}

TEST_F(QrCodeFileTest, NoMatrixCodeMeansNoPathAndNoFile) {
  CreateDebugLog();
  for (const char* item : {"4", "5", "999"}) {  // its matrix code empty, null; no such item
    EXPECT_EQ(GetQRCodePictureInfo(item), "") << item;
    EXPECT_FALSE(Exists(DefaultPath(item))) << item;
  }
  EXPECT_EQ(DebugLogText(), "") << "nothing to draw is no error";
}

TEST_F(QrCodeFileTest, FailuresGiveAnEmptyPathAndGoToTheDebugLog) {
  CreateDebugLog();
  EXPECT_EQ(GetQRCodePictureInfo("1", std::string(3000, 'x') + "茶"), "");
  EXPECT_FALSE(Exists(DefaultPath("1")));
  EXPECT_EQ(GetQRCodePictureInfo("1", "ok", std::string(kProgramFolder) + "\\NoSuchFolder\\q.bmp"), "");
  for (std::string_view component : {host::progid::kQrEncoder, host::progid::kClassInfo}) {
    ScopedFactory missing(std::string(component), nullptr);
    EXPECT_EQ(GetQRCodePictureInfo("2"), "") << component;
  }
  const std::string log = DebugLogText();
  for (const char* entry : {"Erl=4\r\nErrdesc:the text (3003 bytes) cannot be put into a QR code",
                            "Erl=5\r\nErrdesc:cannot write the file",
                            "Erl=4\r\nErrdesc:cannot create object \"Talvo_APGC.CQRCode\"",
                            "Erl=1\r\nErrdesc:cannot create object \"VemoMClass.ClassInfo\""})
    EXPECT_NE(log.find("GetQRCodePictureInfo Error: " + std::string(entry)), std::string::npos) << entry << "\n" << log;
}

}  // namespace
}  // namespace vemo::engine::test
