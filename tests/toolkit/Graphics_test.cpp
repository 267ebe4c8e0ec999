// Graphics objects: bitmaps, canvases, BMP streams, transparency and fonts, checked at pixels.
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/headless/headless.h"

namespace {

class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override { headless::Reset(); }
};

constexpr TColor kOutside = TColor(0xFFFFFFFF);

TEST_F(GraphicsTest, NewAndGrownBitmapsAreWhiteAndKeepTheirPixels) {
  TBitmap bitmap(4, 3);
  EXPECT_EQ(bitmap.Canvas().Pixels(0, 0), clWhite);
  EXPECT_EQ(bitmap.Canvas().Pixels(3, 2), clWhite);
  bitmap.Canvas().SetPixels(1, 1, clNavy);
  bitmap.SetSize(6, 5);
  EXPECT_EQ(bitmap.Canvas().Pixels(1, 1), clNavy);
  EXPECT_EQ(bitmap.Canvas().Pixels(5, 4), clWhite);
  // Reads outside give 0xFFFFFFFF; writes outside are ignored.
  EXPECT_EQ(bitmap.Canvas().Pixels(6, 0), kOutside);
  EXPECT_EQ(bitmap.Canvas().Pixels(-1, 0), kOutside);
  bitmap.Canvas().SetPixels(-1, -1, clRed);
  bitmap.SetSize(0, 0);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Canvas().Pixels(0, 0), kOutside);
}

TEST_F(GraphicsTest, SixteenBitBmpFilesHaveTheStoredSizesAndRoundTrip) {
  for (auto [w, h, size] : {std::tuple{77, 30, 4734}, std::tuple{21, 21, 978}}) {
    TBitmap bitmap(w, h);
    bitmap.SetPixelFormat(pf16bit);
    bitmap.Canvas().SetPixels(0, 0, clRed);
    bitmap.Canvas().SetPixels(w - 1, h - 1, clBlue);
    const std::vector<uint8_t> bytes = bitmap.SaveToBytes();
    ASSERT_EQ(bytes.size(), size_t(size));
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[10], 54);  // pixels right after the two headers
    EXPECT_EQ(bytes[28], 16);

    TBitmap loaded;
    loaded.LoadFromBytes(bytes);
    EXPECT_EQ(loaded.Width(), w);
    EXPECT_EQ(loaded.Height(), h);
    EXPECT_EQ(loaded.PixelFormat(), pf16bit);
    EXPECT_EQ(loaded.Canvas().Pixels(0, 0), clRed);
    EXPECT_EQ(loaded.Canvas().Pixels(w - 1, h - 1), clBlue);
    EXPECT_EQ(loaded.Canvas().Pixels(1, 0), clWhite);
    EXPECT_EQ(loaded.SaveToBytes(), bytes);
  }
}

TEST_F(GraphicsTest, EightBitBitmapsKeepTheirColourTable) {
  TBitmap bitmap(5, 2);
  bitmap.SetPixelFormat(pf8bit);
  bitmap.Canvas().SetPixels(2, 1, clYellow);
  const std::vector<uint8_t> bytes = bitmap.SaveToBytes();
  EXPECT_EQ(bytes.size(), size_t(14 + 40 + 256 * 4 + 8 * 2));
  TBitmap loaded;
  loaded.LoadFromBytes(bytes);
  EXPECT_EQ(loaded.PixelFormat(), pf8bit);
  EXPECT_EQ(loaded.Canvas().Pixels(2, 1), clYellow);
}

TEST_F(GraphicsTest, DamagedBmpDataIsRefusedAndLeavesTheBitmap) {
  TBitmap good(3, 3);
  good.SetPixelFormat(pf24bit);
  const std::vector<uint8_t> bytes = good.SaveToBytes();
  TBitmap bitmap(2, 2);
  auto expectRefused = [&](std::vector<uint8_t> data) {
    EXPECT_THROW(bitmap.LoadFromBytes(data), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width(), 2);
  };
  expectRefused({});
  expectRefused(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));  // truncated pixels
  auto wrongSignature = bytes;
  wrongSignature[0] = 'X';
  expectRefused(wrongSignature);
  auto hugeWidth = bytes;
  hugeWidth[18] = 0xFF, hugeWidth[19] = 0xFF, hugeWidth[20] = 0xFF, hugeWidth[21] = 0x7F;
  expectRefused(hugeWidth);
  auto badOffset = bytes;
  badOffset[10] = 0xF0, badOffset[11] = 0xFF;
  expectRefused(badOffset);
  auto badDepth = bytes;
  badDepth[28] = 7;
  expectRefused(badDepth);
}

TEST_F(GraphicsTest, TransparentColourIsTheBottomLeftPixelAndIsSeeThrough) {
  TBitmap picture(4, 4);
  picture.Canvas().Brush().SetColor(clYellow);
  picture.Canvas().FillRect(RECT{1, 1, 3, 3});
  EXPECT_EQ(picture.TransparentColor(), clWhite);
  picture.SetTransparent(true);

  TBitmap target(6, 6);
  target.Canvas().Brush().SetColor(clNavy);
  target.Canvas().FillRect(RECT{0, 0, 6, 6});
  target.Canvas().Draw(1, 1, &picture);
  EXPECT_EQ(target.Canvas().Pixels(1, 1), clNavy);  // white corner lets the navy through
  EXPECT_EQ(target.Canvas().Pixels(2, 2), clYellow);
  EXPECT_EQ(target.Canvas().Pixels(4, 4), clNavy);

  // Stretched, and after the picture changed, the mask follows.
  picture.Canvas().SetPixels(0, 3, clYellow);
  EXPECT_EQ(picture.TransparentColor(), clYellow);
  target.Canvas().StretchDraw(RECT{0, 0, 6, 6}, &picture);
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clWhite);
  EXPECT_EQ(target.Canvas().Pixels(3, 3), clYellow);
  EXPECT_EQ(target.Canvas().Pixels(0, 5), clNavy);
}

TEST_F(GraphicsTest, CopyRectUsesTheDestinationsCopyMode) {
  TBitmap source(2, 1), dest(2, 1);
  source.Canvas().SetPixels(0, 0, 0x0000F0);
  source.Canvas().SetPixels(1, 0, 0x00FF00);
  dest.Canvas().SetPixels(0, 0, 0x00003C);
  dest.Canvas().SetPixels(1, 0, 0x0000FF);
  dest.Canvas().SetCopyMode(SRCAND);
  dest.Canvas().CopyRect(RECT{0, 0, 2, 1}, source.Canvas(), RECT{0, 0, 2, 1});
  EXPECT_EQ(dest.Canvas().Pixels(0, 0), 0x000030);
  EXPECT_EQ(dest.Canvas().Pixels(1, 0), 0x000000);
  dest.Canvas().SetCopyMode(NOTSRCCOPY);
  dest.Canvas().CopyRect(RECT{0, 0, 2, 1}, source.Canvas(), RECT{0, 0, 2, 1});
  EXPECT_EQ(dest.Canvas().Pixels(1, 0), 0xFF00FF);
}

TEST_F(GraphicsTest, ClearBrushOutlinesOnlyAndLeavesTextBackground) {
  TBitmap bitmap(20, 20);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetStyle(bsClear);
  canvas.Pen().SetColor(clRed);
  canvas.Ellipse(0, 0, 20, 20);
  EXPECT_EQ(canvas.Pixels(10, 10), clWhite);
  EXPECT_EQ(canvas.Pixels(10, 0), clRed);
  EXPECT_EQ(canvas.Pixels(20, 10), kOutside);  // right edge exclusive
  EXPECT_EQ(canvas.Pixels(19, 10), clRed);

  canvas.Brush().SetColor(clYellow);  // a colour makes the brush solid again
  EXPECT_EQ(canvas.Brush().Style(), bsSolid);
  canvas.Ellipse(0, 0, 20, 20);
  EXPECT_EQ(canvas.Pixels(10, 10), clYellow);
}

TEST_F(GraphicsTest, FontsMeasureAndChangeWhileSelected) {
  TBitmap bitmap(100, 30);
  TCanvas& canvas = bitmap.Canvas();
  EXPECT_EQ(canvas.Font().Name(), "MS Sans Serif");
  EXPECT_EQ(canvas.Font().Size(), 8);
  EXPECT_EQ(canvas.Font().Height(), -11);
  const int normal = canvas.TextWidth("Verifica CGC");
  EXPECT_GT(normal, 20);
  EXPECT_GT(canvas.TextHeight("Verifica CGC"), 8);
  canvas.Font().SetSize(16);
  EXPECT_GT(canvas.TextWidth("Verifica CGC"), normal * 3 / 2);

  TFont copy;
  int changes = 0;
  copy.OnChange = [&](TObject*) { ++changes; };
  copy.Assign(&canvas.Font());
  EXPECT_EQ(copy.Size(), 16);
  EXPECT_EQ(changes, 1);
  copy.Assign(&canvas.Font());
  EXPECT_EQ(changes, 1);  // nothing changed, nothing told

  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(clRed);
  canvas.TextOut(0, 0, "W");
  bool red = false;
  for (int x = 0; x < 20; ++x)
    for (int y = 0; y < 25; ++y)
      red = red || canvas.Pixels(x, y) == clRed;
  EXPECT_TRUE(red);
  EXPECT_EQ(canvas.Pixels(60, 25), clWhite);
}

TEST_F(GraphicsTest, AssignCopiesPixelsAndPictureMakesBitmapsOnDemand) {
  TBitmap a(3, 2);
  a.SetPixelFormat(pf24bit);
  a.Canvas().SetPixels(2, 1, clGreen);
  TBitmap b;
  b.Assign(&a);
  a.Canvas().SetPixels(2, 1, clMaroon);
  EXPECT_EQ(b.Canvas().Pixels(2, 1), clGreen);
  EXPECT_EQ(b.PixelFormat(), pf24bit);

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(picture.Graphic(), nullptr);
  picture.Bitmap().SetSize(8, 8);
  EXPECT_EQ(picture.Width(), 8);
  EXPECT_GE(changes, 2);
  TPicture other;
  other.Assign(&picture);
  EXPECT_EQ(other.Height(), 8);
  EXPECT_NE(other.Graphic(), picture.Graphic());
}

TEST_F(GraphicsTest, SystemColoursResolveThroughThePlatform) {
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0u);
  EXPECT_EQ(ColorToRGB(clWindowText), 0u);
  EXPECT_EQ(ColorToRGB(clYellow), 0x00FFFFu);
}

}  // namespace

namespace {

// A 16 by 16 icon of 32 bits per pixel, all red and opaque, as an ICO file holds it.
std::vector<uint8_t> RedIconFile() {
  std::vector<uint8_t> ico;
  auto put16 = [&](uint32_t v) { ico.insert(ico.end(), {uint8_t(v), uint8_t(v >> 8)}); };
  auto put32 = [&](uint32_t v) {
    put16(v & 0xFFFF);
    put16(v >> 16);
  };
  const uint32_t imageBytes = 40 + 16 * 16 * 4 + 16 * 4;
  put16(0), put16(1), put16(1);  // directory: an icon with one image
  ico.insert(ico.end(), {16, 16, 0, 0}), put16(1), put16(32), put32(imageBytes), put32(22);
  put32(40), put32(16), put32(32), put16(1), put16(32);  // the image's header, twice as tall
  for (int i = 0; i < 6; ++i)
    put32(0);
  for (int i = 0; i < 16 * 16; ++i)
    ico.insert(ico.end(), {0x00, 0x00, 0xFF, 0xFF});
  ico.insert(ico.end(), 16 * 4, 0);  // the mask: every pixel opaque
  return ico;
}

TEST_F(GraphicsTest, IconsLoadFromFilesDrawCopyAndSaveTheirFile) {
  const std::string path =
      "Z:" + (std::filesystem::temp_directory_path() / "calvix-red.ico").string();
  const std::string unixPath = path.substr(2);
  const std::vector<uint8_t> bytes = RedIconFile();
  {
    TFileStream file(unixPath, fmCreate);
    file.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  }
  TPicture picture;
  picture.LoadFromFile(path);
  ASSERT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 16);
  EXPECT_EQ(picture.Height(), 16);

  TIcon copy;
  copy.Assign(picture.Graphic());
  picture.SetGraphic(nullptr);  // the copy owns an icon of its own
  TBitmap target(20, 20);
  target.Canvas().Draw(2, 2, &copy);
  EXPECT_EQ(target.Canvas().Pixels(5, 5), clRed);
  EXPECT_EQ(target.Canvas().Pixels(0, 0), clWhite);
  TMemoryStream saved;
  copy.SaveToStream(saved);
  EXPECT_EQ(saved.Bytes(), bytes);
  EXPECT_THROW(copy.SetWidth(32), EInvalidGraphicOperation);

  // From memory, as a form description delivers it; damaged directories are refused.
  TIcon fromBytes;
  fromBytes.LoadFromBytes(bytes);
  EXPECT_EQ(fromBytes.Width(), 16);
  for (size_t cut : {size_t(3), size_t(21), bytes.size() - 1}) {
    EXPECT_THROW(fromBytes.LoadFromBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut)),
                 EInvalidGraphic)
        << cut;
    EXPECT_EQ(fromBytes.Width(), 16);  // the previous icon stays
  }
  auto farOffset = bytes;
  farOffset[18] = 0xF0;
  EXPECT_THROW(fromBytes.LoadFromBytes(farOffset), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(unixPath + ".gif"), EInvalidGraphic);
  std::filesystem::remove(unixPath);
}

}  // namespace
