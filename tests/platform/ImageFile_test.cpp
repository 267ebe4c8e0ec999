// The BMP and ICO codecs: round trips at every depth, the exact 16-bit file sizes, and the
// rejection of damaged files without reading outside them.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/core/ImageFile.h"

namespace {

using namespace platform;
using namespace platform::image;

// A picture whose colours survive every depth: black and white, plus, from 4 bits up, colours
// whose channels repeat their top five bits, which 5-5-5 keeps exactly.
Surface Picture(int w, int h, int bits) {
  const uint32_t colours[] = {0x000000, 0xFFFFFF, 0x840000, 0x008484, 0xC6C6C6, 0xFF00FF};
  const int count = bits == 1 ? 2 : 6;
  Surface s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      s.At(x, y) = colours[(x * 7 + y * 3) % count];
  return s;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + i] = uint8_t(v >> (8 * i));
}

TEST(ImageFile, RoundTripsAtEveryDepth) {
  for (int bits : {1, 4, 8, 16, 24, 32}) {
    const Surface picture = Picture(13, 7, bits);
    const std::vector<uint8_t> file = WriteBmp(picture, bits);
    TBitmapFile read;
    ASSERT_TRUE(ReadBmp(file.data(), file.size(), read)) << bits;
    EXPECT_EQ(read.format.bitsPerPixel, bits);
    EXPECT_EQ(read.pixels.pixels, picture.pixels) << bits;
  }
}

TEST(ImageFile, SixteenBitFilesAreFiveFiveFiveWithoutTable) {
  const std::vector<uint8_t> button = WriteBmp(Surface(77, 30), 16);
  EXPECT_EQ(button.size(), 4734u);
  EXPECT_EQ(WriteBmp(Surface(21, 21), 16).size(), 978u);
  EXPECT_EQ(button[10], 54) << "pixels at offset 54";
  EXPECT_EQ(button[28], 16);
  EXPECT_EQ(button[30], 0) << "BI_RGB";
  TBitmapFile read;
  Surface red(2, 1, 0xFF0000);
  const auto file = WriteBmp(red, 16);
  EXPECT_EQ(file[54] | file[55] << 8, 0x7C00);
}

TEST(ImageFile, ReadsTopDownBitfieldsAndCoreHeaders) {
  Surface picture = Picture(5, 3, 1);  // black and white, exact in 5-6-5
  picture.At(4, 2) = 0xFF00FF;
  TDibFormat format = MakeFormat(picture, 16, true);
  format.bitfields = true;
  format.masks[0] = 0xF800, format.masks[1] = 0x07E0, format.masks[2] = 0x001F;  // 5-6-5
  const auto file = WriteBmp(picture, format);
  TBitmapFile read;
  ASSERT_TRUE(ReadBmp(file.data(), file.size(), read));
  EXPECT_TRUE(read.format.topDown);
  EXPECT_EQ(read.pixels.At(0, 0), picture.At(0, 0));
  EXPECT_EQ(read.pixels.At(4, 2), picture.At(4, 2));

  // A core header: 12 bytes, three-byte table entries, one 2 by 1 row at 1 bit.
  const std::vector<uint8_t> core = {'B', 'M', 0,  0, 0,   0, 0,   0, 0,    0, 32, 0,
                                     0,   0,   12, 0, 0,   0, 2,   0, 1,    0, 1,  0,
                                     1,   0,   0,  0, 255, 0, 255, 0, 0x40, 0, 0,  0};
  ASSERT_TRUE(ReadBmp(core.data(), core.size(), read));
  EXPECT_EQ(read.pixels.At(0, 0), 0xFF0000u);
  EXPECT_EQ(read.pixels.At(1, 1 - 1 + 0), read.pixels.At(1, 0));
  EXPECT_EQ(read.pixels.At(1, 0), 0x00FF00u);
}

TEST(ImageFile, RejectsDamagedBitmaps) {
  const std::vector<uint8_t> good = WriteBmp(Picture(9, 4, 8), 8);
  TBitmapFile read;
  ASSERT_TRUE(ReadBmp(good.data(), good.size(), read));
  for (size_t n = 0; n < good.size(); ++n)
    ASSERT_FALSE(ReadBmp(good.data(), n, read)) << "truncated at " << n;
  auto damaged = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> b = good;
    Put32(b, at, value);
    return !ReadBmp(b.data(), b.size(), read);
  };
  EXPECT_TRUE(damaged(10, 0)) << "pixels overlapping the header";
  EXPECT_TRUE(damaged(10, 0xFFFFFFF0)) << "pixels beyond the file";
  EXPECT_TRUE(damaged(14, 0xFFFFFFFF)) << "a header larger than the file";
  EXPECT_TRUE(damaged(18, 0x7FFFFFFF)) << "a width that overflows";
  EXPECT_TRUE(damaged(22, 0x80000000)) << "the most negative height";
  EXPECT_TRUE(damaged(22, 100000)) << "a height the file does not hold";
  EXPECT_TRUE(damaged(28, 7)) << "an unknown depth";
  EXPECT_TRUE(damaged(30, 1)) << "run-length compression";
  EXPECT_TRUE(damaged(46, 300)) << "more table entries than the depth allows";
  // A table of two entries while the pixels use six colours: an index out of range.
  std::vector<uint8_t> shortTable = good;
  Put32(shortTable, 46, 2);
  EXPECT_FALSE(ReadBmp(shortTable.data(), shortTable.size(), read));
}

// An ICO file with one image of `size` square at 4 bits: directory, entry, DIB, mask.
std::vector<uint8_t> Icon(int size, bool transparentCorner) {
  Surface colours(size, size, 0x0000FF);
  TDibFormat format = MakeFormat(colours, 4);
  std::vector<uint8_t> dib;
  AppendDibHeader(format, dib);
  Put32(dib, 8, uint32_t(size * 2));
  const size_t bitsAt = dib.size();
  dib.resize(bitsAt + format.ImageSize());
  EncodePixels(colours, format, dib.data() + bitsAt);
  const size_t maskStride = (size_t(size) + 31) / 32 * 4;
  std::vector<uint8_t> mask(maskStride * size, 0);
  if (transparentCorner) mask[maskStride * (size - 1)] = 0x80;  // top-left, rows bottom-up
  dib.insert(dib.end(), mask.begin(), mask.end());
  std::vector<uint8_t> file = {
      0, 0, 1, 0, 1, 0, uint8_t(size), uint8_t(size), 16, 0, 1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Put32(file, 14, uint32_t(dib.size()));
  Put32(file, 18, 22);
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

TEST(ImageFile, ReadsIconsWithTheirMasks) {
  const auto file = Icon(16, true);
  std::vector<TIconImage> images;
  ASSERT_TRUE(ReadIco(file.data(), file.size(), images));
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].color.width, 16);
  EXPECT_EQ(images[0].color.height, 16);
  EXPECT_EQ(images[0].color.At(3, 3), 0x0000FFu);
  EXPECT_EQ(images[0].mask.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(images[0].mask.At(1, 0), 0u);
  EXPECT_EQ(ChooseIcon({{32, 32, 4}, {16, 16, 4}, {16, 16, 8}}, 16, 16), 2);
  EXPECT_EQ(ChooseIcon({{32, 32, 4}, {16, 16, 4}}, 30, 30), 0);
  EXPECT_EQ(ChooseIcon({}, 16, 16), -1);
}

TEST(ImageFile, RejectsDamagedIcons) {
  const auto good = Icon(16, false);
  std::vector<TIconImage> images;
  for (size_t n = 0; n < good.size(); ++n)
    ASSERT_FALSE(ReadIco(good.data(), n, images)) << "truncated at " << n;
  auto damaged = [&](size_t at, uint32_t value, int bytes = 4) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < bytes; ++i)
      b[at + i] = uint8_t(value >> (8 * i));
    return !ReadIco(b.data(), b.size(), images);
  };
  EXPECT_TRUE(damaged(4, 0, 2)) << "no images";
  EXPECT_TRUE(damaged(4, 5000, 2)) << "more entries than the file holds";
  EXPECT_TRUE(damaged(18, 0xFFFFFFFF)) << "an offset beyond the file";
  EXPECT_TRUE(damaged(14, 0xFFFFFFFF)) << "a length that overflows with its offset";
  EXPECT_TRUE(damaged(22 + 8, 33)) << "an odd height cannot hold colours and mask";
  EXPECT_TRUE(damaged(22 + 8, 64)) << "a height the data does not hold";
}

TEST(ImageFile, ReadsGroupIconDirectoriesWithinTheirBytes) {
  // Two entries: 256x256 at 32 bits (sizes stored as 0) in RT_ICON 7, 16x16 at 4 bits in 513.
  const std::vector<uint8_t> group = {0,  0,  1,  0, 2, 0,                           //
                                      0,  0,  0,  0, 1, 0, 32, 0, 0, 0, 0, 0, 7, 0,  //
                                      16, 16, 16, 0, 1, 0, 4,  0, 0, 0, 0, 0, 1, 2};
  std::vector<TIconCandidate> candidates;
  std::vector<uint16_t> ids;
  ASSERT_EQ(GroupIconDirectorySize(group.data()), group.size());
  ASSERT_TRUE(ReadGroupIconDirectory(group.data(), group.size(), candidates, ids));
  ASSERT_EQ(candidates.size(), 2u);
  EXPECT_EQ(candidates[0].width, 256);
  EXPECT_EQ(candidates[0].height, 256);
  EXPECT_EQ(candidates[1].bitsPerPixel, 4);
  EXPECT_EQ(ids, (std::vector<uint16_t>{7, 513}));
  for (size_t n = 0; n < group.size(); ++n)
    EXPECT_FALSE(ReadGroupIconDirectory(group.data(), n, candidates, ids)) << "truncated at " << n;
  std::vector<uint8_t> cursors = group;
  cursors[2] = 2;
  EXPECT_FALSE(ReadGroupIconDirectory(cursors.data(), cursors.size(), candidates, ids));
  // Monochrome asks for the fewest colours, the size still first.
  EXPECT_EQ(ChooseIcon({{16, 16, 32}, {16, 16, 4}, {32, 32, 1}}, 16, 16, 1), 1);
}

}  // namespace
