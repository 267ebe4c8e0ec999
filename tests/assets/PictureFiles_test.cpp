// The generator's file writers read back through the platform's own codecs: hard outlines
// against the see-through white, 16-colour icon images with masks that follow the shapes.
#include "assets/PictureFiles.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/core/ImageFile.h"

namespace {

using namespace assets;

TEST(PictureFilesTest, KeyedPicturesHaveHardEdgesAndKeepWhiteForTheKey) {
  TScene scene(8, 4);
  // Covers columns 1 and 2 wholly, three quarters of column 3 and a quarter of column 5.
  scene.Paint(Box(1, 0, 3.75f, 4), Hex(0x336699));
  scene.Paint(Box(4, 0, 5.25f, 4), Hex(0xFFFFFF));  // a highlight in pure white
  const TIndexed picture = Keyed(scene, 256, {0x336699});
  const platform::Surface& p = picture.pixels;
  EXPECT_EQ(p.At(0, 1), kKeyWhite);
  EXPECT_EQ(p.At(1, 1), 0x336699u);
  EXPECT_EQ(p.At(3, 1), 0x336699u) << "three quarters covered: opaque, in the shape's colour";
  EXPECT_NE(p.At(4, 1), kKeyWhite) << "an opaque white becomes a near white";
  EXPECT_EQ(p.At(5, 1), kKeyWhite) << "a quarter covered: see-through";
  EXPECT_EQ(picture.palette.back(), kKeyWhite);

  platform::image::TBitmapFile read;
  const std::vector<uint8_t> bmp = BmpFile(picture, 8);
  ASSERT_TRUE(platform::image::ReadBmp(bmp.data(), bmp.size(), read));
  EXPECT_EQ(read.format.bitsPerPixel, 8);
  EXPECT_EQ(read.format.palette.size(), 256u);
  EXPECT_EQ(read.pixels.pixels, p.pixels);
}

TEST(PictureFilesTest, IconImagesHoldSixteenColoursAndTheShapeAsMask) {
  TScene large(32, 32), small(16, 16);
  for (TScene* scene : {&large, &small}) {
    // A disc in twenty shades, more than the image can hold.
    for (int i = 0; i < 20; ++i)
      scene->Paint(Circle(8, 8, 7.5f - i * 0.3f), TRgb{float(i * 12), 100, float(255 - i * 12)});
  }
  const std::vector<uint8_t> ico = IcoFile({&large, &small});
  std::vector<platform::image::TIconImage> images;
  ASSERT_TRUE(platform::image::ReadIco(ico.data(), ico.size(), images));
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].color.width, 32);
  EXPECT_EQ(images[1].color.width, 16);
  for (const platform::image::TIconImage& image : images) {
    EXPECT_EQ(image.bitsPerPixel, 4);
    EXPECT_EQ(image.mask.At(0, 0), 0xFFFFFFu);  // outside the disc: see-through
    EXPECT_EQ(image.color.At(0, 0), 0u);        // and black under the mask
    EXPECT_EQ(image.mask.At(8, 8), 0u);
    EXPECT_EQ(image.mask.At(8, 1), 0u);
    std::set<uint32_t> colors(image.color.pixels.begin(), image.color.pixels.end());
    EXPECT_LE(colors.size(), 16u);
    EXPECT_GT(colors.size(), 8u);
  }
}

}  // namespace
