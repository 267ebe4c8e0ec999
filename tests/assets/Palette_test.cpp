// The colour tables of the indexed pictures: named colours kept exact, the size respected,
// white never invented, and the same table for the same picture.
#include "assets/Palette.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using assets::ChoosePalette;
using assets::Nearest;

bool Has(const std::vector<uint32_t>& palette, uint32_t color) {
  return std::find(palette.begin(), palette.end(), color) != palette.end();
}

TEST(PaletteTest, KeptColoursStayExactAndTheSizeIsRespected) {
  // A gradient of 300 greens and blues around two named colours.
  std::vector<uint32_t> pixels;
  for (uint32_t i = 0; i < 300; ++i)
    pixels.push_back((i % 256) << 8 | (i * 7 % 256));
  pixels.insert(pixels.end(), 50, 0xFFE878);
  pixels.insert(pixels.end(), 3, 0x000000);
  const std::vector<uint32_t> palette = ChoosePalette(pixels, 16, {0xFFE878, 0x000000, 0x123456});
  EXPECT_EQ(palette.size(), 16u);
  EXPECT_EQ(palette[0], 0xFFE878u);
  EXPECT_EQ(palette[1], 0x000000u);
  EXPECT_FALSE(Has(palette, 0x123456)) << "a kept colour that does not occur takes no entry";
  for (uint32_t p : pixels)
    EXPECT_LE(std::abs(int(Nearest(palette, p) & 0xFF) - int(p & 0xFF)), 64);
  EXPECT_EQ(ChoosePalette(pixels, 16, {0xFFE878, 0x000000}), palette) << "the same every time";
}

TEST(PaletteTest, FewColoursAreKeptAsTheyAre) {
  const std::vector<uint32_t> pixels = {0x102030, 0x405060, 0x102030, 0xA0B0C0};
  std::vector<uint32_t> palette = ChoosePalette(pixels, 255, {});
  std::sort(palette.begin(), palette.end());
  EXPECT_EQ(palette, (std::vector<uint32_t>{0x102030, 0x405060, 0xA0B0C0}));
  EXPECT_EQ(Nearest(palette, 0x112131), 0x102030u);
}

TEST(PaletteTest, NearWhitesNeverMergeIntoTheSeeThroughWhite) {
  // Highlights just below white, averaged into one entry, must not round up to the key.
  const std::vector<uint32_t> pixels = {0xFFFFFE, 0xFEFFFF, 0xFFFEFF, 0xFFFFFE, 0x000000};
  for (uint32_t entry : ChoosePalette(pixels, 2, {}))
    EXPECT_NE(entry, 0xFFFFFFu);
}

}  // namespace
