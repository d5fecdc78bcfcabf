// Deflate in blocks: every size of input comes back whole, the bytes do not
// depend on the thread count or on how a stream was fed, the blocks compress
// about as well as one stream, and damaged bytes are refused.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "workbook/zip/deflate_blocks.h"
#include "workbook/workbook_error.h"
#include "workbook/workbook_test_util.h"

namespace vemo::wb {
namespace {

std::uint32_t Crc(const std::string& bytes) {
  return static_cast<std::uint32_t>(crc32_z(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

TEST(DeflateBlocks, EverySizeInflatesBackWithItsCrc) {
  const std::string mixed = test::MixedBytes(3 * kDeflateBlockSize + 12345);
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{100}, kDeflateBlockSize,
                           kDeflateBlockSize + 1, 2 * kDeflateBlockSize, mixed.size()}) {
    const std::string input = mixed.substr(0, size);
    const DeflatedBytes deflated = DeflateBytes(input, 2);
    EXPECT_EQ(deflated.size, size);
    EXPECT_EQ(deflated.crc, Crc(input)) << size;
    EXPECT_EQ(InflateBytes(deflated, "test"), input) << size;
  }
}

// Sheet rows, which lean on the dictionary: a block started cold loses about
// half a percent, with the previous block's window it loses almost nothing.
TEST(DeflateBlocks, BlocksCompressAlmostAsWellAsOneStream) {
  std::mt19937 random(7);
  std::string rows;
  for (int row = 1; rows.size() < 2u << 20; ++row)
    rows += "<row r=\"" + std::to_string(row) + "\"><c r=\"A" + std::to_string(row) + "\"><v>" + std::to_string(random() % 1000) + "</v></c></row>";
  const double blocks = static_cast<double>(DeflateBytes(rows, 2).PackedSize());
  EXPECT_LT(blocks, 1.003 * static_cast<double>(test::DeflateInOneStream(rows, 6).size()));
}

// The same bytes whatever the thread count, whole or fed as a stream in pieces.
TEST(DeflateBlocks, TheBytesDoNotDependOnTheThreadCountOrTheFeeding) {
  const std::string large = test::MixedBytes(5 * 1024 * 1024 + 777);
  for (unsigned threads : {2u, 3u, 8u}) EXPECT_EQ(DeflateBytes(large, threads).Joined(), DeflateBytes(large, 1).Joined());
  for (std::size_t size : {std::size_t{10}, kDeflateBlockSize, 3 * kDeflateBlockSize, 3 * kDeflateBlockSize + 99}) {
    const std::string input = test::MixedBytes(size);
    const DeflatedBytes whole = DeflateBytes(input, 1);
    for (unsigned threads : {1u, 2u}) {
      for (std::size_t piece : {std::size_t{1000}, std::size_t{70001}, kDeflateBlockSize * 2}) {
        DeflateStream stream(threads);
        for (std::size_t at = 0; at < input.size(); at += piece) {
          stream.buffer().append(input, at, piece);
          stream.Poll();
        }
        const DeflatedBytes streamed = stream.Finish();
        EXPECT_EQ(streamed.Joined(), whole.Joined()) << size << " bytes in pieces of " << piece << ", " << threads;
        EXPECT_EQ(streamed.crc, whole.crc);
        EXPECT_EQ(streamed.size, size);
      }
    }
  }
}

TEST(DeflateBlocks, BytesInPiecesSplitAnywhereInflateAsAWhole) {
  const std::string input = test::MixedBytes(700000);
  const std::string packed = DeflateBytes(input, 1).Joined();
  DeflatedBytes split = DeflateBytes(input, 2);
  EXPECT_GT(split.pieces.size(), 1u) << "a large entry keeps its blocks apart";
  EXPECT_EQ(InflateBytes(split, "test"), input);
  // Pieces of odd sizes, empty ones among them, cut across deflate blocks.
  for (std::size_t step : {std::size_t{1} << 20, std::size_t{65537}, std::size_t{997}}) {
    split.pieces.clear();
    for (std::size_t at = 0; at < packed.size(); at += step) {
      split.pieces.push_back(packed.substr(at, step));
      split.pieces.emplace_back();
    }
    EXPECT_EQ(split.PackedSize(), packed.size());
    EXPECT_EQ(InflateBytes(split, "test"), input) << "pieces of " << step;
  }
}

TEST(DeflateBlocks, DamagedBytesAreRefusedNamingTheEntry) {
  const std::string input = test::MixedBytes(600000);
  const DeflatedBytes good = DeflateBytes(input, 2);
  DeflatedBytes wrongCrc = good;
  wrongCrc.crc ^= 1;
  DeflatedBytes cut = good;
  cut.pieces = {good.Joined().substr(0, good.PackedSize() / 2)};
  DeflatedBytes longer = good;
  longer.size -= 1;
  DeflatedBytes shorter = good;
  shorter.size += 1;
  for (const DeflatedBytes* bad : {&wrongCrc, &cut, &longer, &shorter}) {
    try {
      InflateBytes(*bad, "xl/worksheets/sheet1.xml");
      ADD_FAILURE() << "damaged bytes inflated";
    } catch (const WorkbookError& e) {
      EXPECT_NE(std::string(e.what()).find("xl/worksheets/sheet1.xml"), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace vemo::wb
