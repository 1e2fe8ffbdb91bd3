#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "skin_format.h"
#include "skin_table.h"

namespace zz::skin {
namespace {

Skin SampleSkin() {
  Skin skin;
  for (std::size_t i = 0; i < kColourCount; ++i) skin.rgb[i] = 0x010203u * static_cast<std::uint32_t>(i + 1);
  return skin;
}

std::vector<std::uint8_t> Block() { return EncodeSkin(SampleSkin()); }

void PutU16(std::vector<std::uint8_t>& b, std::size_t at, unsigned v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

TEST(SkinFormat, RoundTripKeepsEveryColourAndTheLayout) {
  const std::vector<std::uint8_t> block = Block();
  ASSERT_EQ(block.size(), kHeaderSize + 4 * kColourCount);
  EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.begin() + 4),
            (std::vector<std::uint8_t>{'Z', 'S', 'K', 'N'}));
  EXPECT_EQ(block[4], 1);
  EXPECT_EQ(block[6], kColourCount);
  // First colour 0x010203, little-endian.
  EXPECT_EQ(block[8], 0x03);
  EXPECT_EQ(block[10], 0x01);

  Skin parsed;
  ASSERT_EQ(ParseSkin(block.data(), block.size(), &parsed), ParseResult::Ok);
  EXPECT_EQ(parsed, SampleSkin());
}

TEST(SkinFormat, RefusesMissingAndTruncatedData) {
  const std::vector<std::uint8_t> block = Block();
  Skin untouched = SampleSkin();
  EXPECT_EQ(ParseSkin(nullptr, block.size(), &untouched), ParseResult::NoData);
  EXPECT_EQ(ParseSkin(block.data(), 0, &untouched), ParseResult::NoData);
  for (std::size_t size = 1; size < block.size(); ++size) {
    // A copy of exactly `size` bytes, so ASan sees any read past the end.
    std::vector<std::uint8_t> cut(block.begin(), block.begin() + size);
    EXPECT_EQ(ParseSkin(cut.data(), cut.size(), &untouched), ParseResult::Truncated) << size;
  }
  EXPECT_EQ(untouched, SampleSkin());
}

TEST(SkinFormat, RefusesWrongHeadersAndColours) {
  std::vector<std::uint8_t> b = Block();
  b[0] = 'X';
  EXPECT_EQ(ParseSkin(b.data(), b.size(), nullptr), ParseResult::BadMagic);

  b = Block();
  PutU16(b, 4, 2);
  EXPECT_EQ(ParseSkin(b.data(), b.size(), nullptr), ParseResult::BadVersion);

  b = Block();
  PutU16(b, 6, kColourCount - 1);
  EXPECT_EQ(ParseSkin(b.data(), b.size() - 4, nullptr), ParseResult::BadCount);
  PutU16(b, 6, 0xFFFF);  // would read far past any real block
  EXPECT_EQ(ParseSkin(b.data(), b.size(), nullptr), ParseResult::BadCount);

  b = Block();
  b[kHeaderSize + 3] = 0x80;  // high byte of the first colour
  EXPECT_EQ(ParseSkin(b.data(), b.size(), nullptr), ParseResult::BadColour);

  b = Block();
  b.push_back(0);
  EXPECT_EQ(ParseSkin(b.data(), b.size(), nullptr), ParseResult::TrailingBytes);

  const std::vector<std::uint8_t> garbage(b.size(), 0xCD);
  EXPECT_EQ(ParseSkin(garbage.data(), garbage.size(), nullptr), ParseResult::BadMagic);
}

TEST(SkinFormat, ReadsOverColoursALaterWriterAdded) {
  std::vector<std::uint8_t> b = Block();
  PutU16(b, 6, kColourCount + 2);
  b.insert(b.end(), {1, 2, 3, 0, 4, 5, 6, 0});
  Skin parsed;
  ASSERT_EQ(ParseSkin(b.data(), b.size(), &parsed), ParseResult::Ok);
  EXPECT_EQ(parsed, SampleSkin());
}

TEST(BuiltInSkins, AllThirtyThreeAreValidDistinctAndReadable) {
  std::set<std::vector<std::uint8_t>> blocks;
  for (int n = 1; n <= kSkinCount; ++n) {
    const Skin* skin = BuiltInSkin(n);
    ASSERT_NE(skin, nullptr) << n;
    ASSERT_NE(BuiltInSkinName(n), nullptr) << n;
    const std::vector<std::uint8_t> block = EncodeSkin(*skin);
    Skin parsed;
    ASSERT_EQ(ParseSkin(block.data(), block.size(), &parsed), ParseResult::Ok) << n;
    EXPECT_EQ(parsed, *skin) << n;
    blocks.insert(block);

    // Every role but pure white is filled in (a colour left out of a table
    // line would be 0, black), and text stands out from what it is drawn on.
    for (std::size_t i = 0; i < kColourCount; ++i) EXPECT_NE(skin->rgb[i], 0u) << n << " role " << i;
    auto luma = [](std::uint32_t rgb) {
      return 0.299 * ((rgb >> 16) & 0xFF) + 0.587 * ((rgb >> 8) & 0xFF) + 0.114 * (rgb & 0xFF);
    };
    const std::pair<Colour, Colour> pairs[] = {
        {Colour::WindowText, Colour::WindowBack}, {Colour::ButtonText, Colour::ButtonFace},
        {Colour::ButtonText, Colour::ButtonHot},  {Colour::ButtonText, Colour::ButtonPushed},
        {Colour::EditText, Colour::EditBack},     {Colour::ListText, Colour::ListBack},
        {Colour::ListText, Colour::ListAltRow},   {Colour::SelectionText, Colour::SelectionBack},
        {Colour::CaptionText, Colour::Caption},   {Colour::WindowText, Colour::StatusBack},
        {Colour::ButtonText, Colour::HeaderBack},
    };
    for (const auto& [text, back] : pairs) {
      EXPECT_GT(std::abs(luma(skin->Rgb(text)) - luma(skin->Rgb(back))), 90.0)
          << "skin " << n << " roles " << static_cast<int>(text) << "/" << static_cast<int>(back);
    }
  }
  EXPECT_EQ(blocks.size(), static_cast<std::size_t>(kSkinCount));
  EXPECT_EQ(BuiltInSkin(0), nullptr);
  EXPECT_EQ(BuiltInSkin(kSkinCount + 1), nullptr);
}

}  // namespace
}  // namespace zz::skin
