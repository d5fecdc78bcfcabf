// CreateBarCode: where the file goes, what it holds, and what a failure leaves.
#include <gtest/gtest.h>

#include "context/file_utils.h"
#include "engine/pictures/caption_text.h"
#include "engine/pictures/pictures.h"
#include "pictures_fixture.h"

namespace vemo::engine::test {
namespace {

class BarcodeFileTest : public PicturesTest {
 protected:
  std::string PathIn(const std::string& name) {
    context::EnsureFolder(kPictureFolder);
    return std::string(kPictureFolder) + "\\" + name;
  }
};

std::string DefaultPath(const std::string& text) { return std::string(kPictureFolder) + "\\Barcode_" + text + ".bmp"; }

bool IsDark(const host::Rgb& p) { return p.r < 128 && p.g < 128 && p.b < 128; }

// Columns [first, last] that hold a dark pixel in row y; {-1, -1} when none.
std::pair<int, int> DarkExtent(const host::RgbImage& picture, int y) {
  int first = -1, last = -1;
  for (int x = 0; x < picture.width; ++x)
    if (IsDark(picture.at(x, y))) {
      if (first < 0) first = x;
      last = x;
    }
  return {first, last};
}

// Without a path the file is named after the text in the picture folder,
// which is created first; control types 0 and 1 both draw Code 128.
TEST_F(BarcodeFileTest, ControlTypesZeroAndOneDrawReadableCode128AndOthersNothing) {
  ASSERT_FALSE(context::FolderExists(kPictureFolder));
  EXPECT_TRUE(CreateBarCode("6901234567892"));
  EXPECT_EQ(Decode(DefaultPath("6901234567892")), "6901234567892");
  for (int type : {0, 1}) {
    UseBarcodeControlType(type);
    for (const std::string text : {"6901234567892", "ABC-12345", "a b/c+d%", "X"}) {
      const std::string path = PathIn("type" + std::to_string(type) + ".bmp");
      ASSERT_TRUE(CreateBarCode(text, path)) << text;
      EXPECT_EQ(Decode(path), text) << "control type " << type;
      auto picture = ReadBitmap(path);
      EXPECT_EQ(std::pair(picture.width, picture.height), std::pair(kBarcodeWidthPx, kBarcodeHeightPx)) << text;
    }
  }
  // Other control types draw nothing and answer True.
  for (int type : {2, 7}) {
    UseBarcodeControlType(type);
    const std::string path = PathIn("type" + std::to_string(type) + ".bmp");
    EXPECT_TRUE(CreateBarCode("6901234567892", path));
    EXPECT_FALSE(Exists(path)) << "control type " << type;
  }
}

TEST_F(BarcodeFileTest, WhiteBackgroundQuietZoneAndCaptionUnderTheBars) {
  const std::string path = PathIn("layout.bmp");
  ASSERT_TRUE(CreateBarCode("6901234567892", path));
  auto picture = ReadBitmap(path);
  for (int y : {0, picture.height - 1})
    for (int x = 0; x < picture.width; ++x) ASSERT_EQ(picture.at(x, y), (host::Rgb{255, 255, 255})) << x << "," << y;
  // The bars: the same pattern on every bar row, with at least ten light
  // modules (one pixel each here) on both sides.
  auto bars = DarkExtent(picture, 10);
  EXPECT_GE(bars.first, 10);
  EXPECT_LE(bars.second, picture.width - 11);
  for (int x = 0; x < picture.width; ++x) EXPECT_EQ(picture.at(x, 10), picture.at(x, 40)) << x;
  // The caption: dark pixels below the bars, centred under them, narrower.
  int captionRows = 0;
  for (int y = 50; y < picture.height; ++y) {
    auto line = DarkExtent(picture, y);
    if (line.first < 0 || line == bars) continue;
    ++captionRows;
    EXPECT_GT(line.first, bars.first);
    EXPECT_LT(line.second, bars.second);
  }
  EXPECT_GE(captionRows, 6) << "a line of digits at 12 pixels";
}

TEST_F(BarcodeFileTest, ChineseTextIsEncodedByteForByteWithACjkCaption) {
  // zbar does not apply Code 128's extended-character shift (FNC4): it
  // reports each byte beyond ASCII with its high bit cleared. So the symbol
  // is checked to read back as the UTF-8 bytes of the text less that bit,
  // and to be wider than the symbol of those 7-bit bytes themselves (one
  // shift per byte beyond ASCII).
  const std::string text = "茶";
  std::string sevenBit;
  for (char c : text) sevenBit += static_cast<char>(static_cast<unsigned char>(c) & 0x7F);
  const std::string path = PathIn("tea.bmp");
  ASSERT_TRUE(CreateBarCode(text, path));
  EXPECT_EQ(Decode(path), sevenBit);
  auto picture = ReadBitmap(path);
  EXPECT_EQ(picture.width, kBarcodeWidthPx);

  const std::string plainPath = PathIn("plain.bmp");
  ASSERT_TRUE(CreateBarCode(sevenBit, plainPath));
  auto plain = ReadBitmap(plainPath);
  auto wide = DarkExtent(picture, 10), narrow = DarkExtent(plain, 10);
  EXPECT_GT(wide.second - wide.first, narrow.second - narrow.first);

  CaptionFont font = FindCaptionFont("商品条码");
  EXPECT_TRUE(font.coversText) << "the caption font " << font.family << " (" << font.file
                               << ") lacks Chinese characters; install fonts-arphic-uming";
  ASSERT_TRUE(CreateBarCode("商品条码", PathIn("words.bmp")));
  EXPECT_EQ(ReadBitmap(PathIn("words.bmp")).width, kBarcodeWidthPx) << "233 modules still fit at one pixel each";
}

TEST_F(BarcodeFileTest, ATextTooLongForTheWidthWidensThePictureRatherThanCuttingIt) {
  const std::string text = "ITEM-0123456789-ABCDEFGHIJ-KLMNOP";
  const std::string path = PathIn("long.bmp");
  ASSERT_TRUE(CreateBarCode(text, path));
  auto picture = ReadBitmap(path);
  EXPECT_GT(picture.width, kBarcodeWidthPx);
  EXPECT_EQ(picture.height, kBarcodeHeightPx);
  EXPECT_EQ(Decode(path), text);
}


TEST_F(BarcodeFileTest, FailuresAnswerFalseAndGoToTheDebugLog) {
  CreateDebugLog();
  EXPECT_FALSE(CreateBarCode(""));
  EXPECT_FALSE(CreateBarCode("12345", std::string(kProgramFolder) + "\\NoSuchFolder\\b.bmp"));
  UseBarcodeControlType(1);
  EXPECT_FALSE(CreateBarCode("\xff\xfe", PathIn("bad.bmp")));
  const std::string log = DebugLogText();
  for (const char* entry : {"Erl=3\r\nErrdesc:there is no text to put into a barcode", "Erl=3\r\nErrdesc:cannot write",
                            "Erl=4\r\nErrdesc:the barcode text is not UTF-8"})
    EXPECT_NE(log.find("CreateBarCode Error: " + std::string(entry)), std::string::npos) << entry << "\n" << log;
  EXPECT_FALSE(Exists(PathIn("bad.bmp")));
}

}  // namespace
}  // namespace vemo::engine::test
