// The compact Variant: text inline up to 22 bytes and shared beyond, every
// kind surviving copies, moves and reassignment with its conversions intact.
#include <gtest/gtest.h>

#include <thread>

#include "foundation/host_collections.h"
#include "foundation/variant.h"

namespace vemo {
namespace {

// Copies and moves of text: EveryKindKeepsItsConversionsThroughCopiesAndMoves.
TEST(VariantStorage, TextOfEveryLengthAroundTheInlineLimit) {
  for (std::size_t length : {0u, 1u, 21u, 22u, 23u, 24u, 100u, 5000u}) {
    std::string text;  // bytes, not a C string: the zero bytes in it are kept
    for (std::size_t i = 0; i < length; ++i) text.push_back(i % 7 == 3 ? '\0' : static_cast<char>('a' + i % 26));
    const Variant v(text);
    EXPECT_EQ(v.ToText(), text) << length;
    EXPECT_EQ(v, Variant(std::string_view(text))) << length;
    EXPECT_FALSE(v == Variant(text + "x")) << length;
  }
  EXPECT_EQ(Variant(std::string(22, '7')).ToNumber(), 7777777777777777777777.0);
  EXPECT_EQ(Variant(" " + std::string(30, ' ') + "2026-12-01").ToDate().ToText(), "2026-12-01");
}

TEST(VariantStorage, LongTextOutlivesTheValueItWasCopiedFrom) {
  const std::string text(200, 'q');
  Variant survivor;
  {
    Variant original(text);
    survivor = original;
    original = 5;  // the original lets go of the text
  }
  EXPECT_EQ(survivor.ToText(), text);
  survivor = survivor;  // self-assignment keeps it
  EXPECT_EQ(survivor.ToText(), text);

  // Copies made and dropped on other threads: the count must stay exact.
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&survivor] {
      for (int i = 0; i < 20000; ++i) {
        const Variant copy = survivor, another = copy;
      }
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(survivor.ToText(), text);
}

// Every conversion of a value, a refusal included, as one text to compare.
std::string Conversions(const Variant& v) {
  auto attempt = [](auto convert) -> std::string {
    try {
      return convert();
    } catch (const HostError& e) {
      return "raises " + std::to_string(e.Number());
    }
  };
  return attempt([&] { return v.ToText(); }) + " | " + attempt([&] { return NumberToText(v.ToNumber()); }) + " | " +
         attempt([&] { return v.ToDate().ToText(); }) + " | " + attempt([&] { return std::to_string(v.ToInt32()); }) +
         (v.IsNumeric() ? " | numeric" : "");
}

// Each kind, through copy, move and assignment over a value of another kind,
// converts as the value it was copied from.
TEST(VariantStorage, EveryKindKeepsItsConversionsThroughCopiesAndMoves) {
  auto dict = HostDictionary::Create();
  // Text around the longest held inline (22 bytes), and far beyond it.
  const Variant samples[] = {Variant(), Variant::Null(), Variant(true), Variant(-7), Variant(2.5),
                             Variant(HostDate::FromParts(2026, 12, 1, 13, 45, 10)), Variant(""),
                             Variant(std::string(22, 'i')), Variant(std::string(23, 'h')),
                             Variant(std::string(5000, 'L')), Variant(Bytes{0, 1, 255}), Variant(dict)};
  Variant slot(std::string(30, 'x'));  // every assignment replaces a different kind
  for (const Variant& sample : samples) {
    SCOPED_TRACE(Conversions(sample).substr(0, 80));
    Variant copy(sample);
    slot = copy;
    Variant moved(std::move(copy));
    EXPECT_EQ(slot, sample);  // kind and content
    EXPECT_EQ(moved, sample);
    EXPECT_EQ(Conversions(slot), Conversions(sample));
    EXPECT_EQ(Conversions(moved), Conversions(sample));
    if (sample.Type() == VariantType::Bytes) {
      EXPECT_EQ(&slot.ToBytes(), &sample.ToBytes());  // shared, not copied
    }
  }
  EXPECT_EQ(dict.use_count(), 3);  // dict, its sample and the slot: the copies let go
}

TEST(VariantStorage, EqualityIsKindAndContent) {
  EXPECT_FALSE(Variant(1) == Variant(1.0));  // Integer and Double are two kinds
  EXPECT_FALSE(Variant() == Variant::Null());
  EXPECT_FALSE(Variant("1") == Variant(1));
  EXPECT_FALSE(Variant(HostDate{2}) == Variant(2.0));
  EXPECT_TRUE(Variant(Bytes{1, 2}) == Variant(Bytes{1, 2}));
  EXPECT_FALSE(Variant(Bytes{1, 2}) == Variant(Bytes{1}));
  EXPECT_FALSE(Variant(HostDictionary::Create()) == Variant(HostDictionary::Create()));  // identity
  EXPECT_FALSE(Variant(std::string(22, 'a')) == Variant(std::string(23, 'a')));
}

}  // namespace
}  // namespace vemo
