// The tools' PNG writer read back by a small reader of stored deflate blocks: every chunk's
// CRC, the zlib check, and pixels that span several blocks.
#include "tools/PngWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uint32_t Big32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

uint32_t Crc32(const uint8_t* data, size_t size) {
  uint32_t table[256];
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k)
      c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  uint32_t crc = ~0u;
  for (size_t i = 0; i < size; ++i)
    crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

// The image data of a PNG made of stored blocks, with its checks verified on the way.
std::vector<uint8_t> ReadStored(const std::vector<uint8_t>& png, uint8_t& colorType) {
  std::vector<uint8_t> z;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t length = Big32(png, at);
    const std::string type(png.begin() + at + 4, png.begin() + at + 8);
    EXPECT_EQ(Crc32(png.data() + at + 4, length + 4), Big32(png, at + 8 + length)) << type;
    if (type == "IHDR") colorType = png[at + 8 + 9];
    if (type == "IDAT") z.insert(z.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
    at += 12 + length;
  }
  std::vector<uint8_t> raw;
  size_t at = 2;
  for (bool last = false; !last;) {
    last = z.at(at) & 1;
    const size_t n = z.at(at + 1) | z.at(at + 2) << 8;
    EXPECT_EQ(n ^ 0xFFFF, size_t(z.at(at + 3) | z.at(at + 4) << 8));
    raw.insert(raw.end(), z.begin() + at + 5, z.begin() + at + 5 + n);
    at += 5 + n;
  }
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw)
    a = (a + v) % 65521, b = (b + a) % 65521;
  EXPECT_EQ(Big32(z, at), b << 16 | a);
  return raw;
}

TEST(PngWriterTest, RgbaRowsSpanSeveralStoredBlocks) {
  const int width = 130, height = 140;  // 130 * 4 + 1 bytes a row: almost 73,000 in all
  std::vector<uint32_t> pixels;
  for (int i = 0; i < width * height; ++i)
    pixels.push_back(uint32_t(i) * 2654435761u);
  uint8_t colorType = 0;
  const std::vector<uint8_t> raw =
      ReadStored(tools::EncodePng(width, height, pixels, true), colorType);
  EXPECT_EQ(colorType, 6);
  ASSERT_EQ(raw.size(), size_t(height) * (1 + 4 * width));
  const size_t row = 1 + 4 * width, y = 120, x = 77;  // a pixel beyond the first block
  const uint32_t p = pixels[y * width + x];
  EXPECT_EQ(raw[y * row], 0);  // no filter
  EXPECT_EQ(raw[y * row + 1 + 4 * x], uint8_t(p >> 16));
  EXPECT_EQ(raw[y * row + 1 + 4 * x + 3], uint8_t(p >> 24));
}

TEST(PngWriterTest, RgbLeavesAlphaOutAndAnEmptyImageIsStillWhole) {
  uint8_t colorType = 0;
  const std::vector<uint8_t> raw =
      ReadStored(tools::EncodePng(2, 1, {0xFF102030, 0x00405060}, false), colorType);
  EXPECT_EQ(colorType, 2);
  EXPECT_EQ(raw, (std::vector<uint8_t>{0, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60}));
  EXPECT_TRUE(ReadStored(tools::EncodePng(0, 0, {}, false), colorType).empty());
}

}  // namespace
