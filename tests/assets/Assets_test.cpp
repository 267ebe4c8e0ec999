// The program's pictures as the program reads them: the skin through the toolkit's bitmaps,
// the tray icon through its icons, and every kept file against what the generator draws.
#include "assets/Assets.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "assets/Pictures.h"
#include "platform/headless/headless.h"
#include "toolkit/Graphics.h"

namespace {

const std::string kFolder = CALVIX_ASSETS_DIR;

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AssetsTest : public ::testing::Test {
 protected:
  void SetUp() override { headless::Reset(); }
};

// --- The files kept in the repository ---

TEST_F(AssetsTest, KeptFilesAreWhatTheGeneratorDraws) {
  const std::vector<assets::TAssetFile> files = assets::BuildAssets();
  ASSERT_FALSE(files.empty());
  for (const assets::TAssetFile& file : files) {
    SCOPED_TRACE(file.path);
    EXPECT_TRUE(ReadFile(kFolder + "/" + file.path) == file.bytes)
        << "run `calvix-assets assets/` and commit the pictures it rewrites";
  }
}

// --- The skin ---

// The controls of the main window that lie on the panel, as left, top, width, height.
constexpr RECT kOnPanel[] = {
    {21, 114, 21 + 69, 114 + 12},    // "Digite o C.G.C."
    {22, 149, 22 + 66, 149 + 12},    // "Digite o C.P.F."
    {21, 177, 21 + 68, 177 + 41},    // "Tipo, validade e numero do cartão"
    {95, 110, 95 + 135, 110 + 21},   // EditCGC
    {95, 145, 95 + 135, 145 + 21},   // EditCPF
    {95, 175, 95 + 77, 175 + 21},    // ComboBox1
    {175, 175, 175 + 54, 175 + 21},  // EditDate
    {95, 199, 95 + 134, 199 + 21},   // EditCreditCard
    {234, 107, 234 + 77, 107 + 30},  // the three check buttons
    {234, 142, 234 + 77, 142 + 30}, {234, 183, 234 + 77, 183 + 30},
    {323, 97, 323 + 21, 97 + 21},  // "x"
    {280, 217, 341, 217 + 13},     // the version, right-aligned at 341
};

TEST_F(AssetsTest, SkinIsAKeyedPanelThatTheToolkitReads) {
  TPicture picture;
  picture.LoadFromFile(kFolder + "/skin.bmp");
  TBitmap& skin = picture.Bitmap();
  ASSERT_EQ(skin.Width(), 356);
  ASSERT_EQ(skin.Height(), 259);
  EXPECT_EQ(skin.PixelFormat(), pf8bit);
  EXPECT_EQ(skin.TransparentColor(), clWhite);  // from the bottom-left pixel
  TCanvas& canvas = skin.Canvas();
  const TColor yellow = TColor(platform::ColorRefFromPixel(assets::kPanelYellow));
  EXPECT_EQ(canvas.Pixels(100, 100), yellow);
  EXPECT_EQ(canvas.Pixels(300, 230), yellow);
  // The frame line just inside the panel's edge, on all four sides.
  for (POINT p : {POINT{5, 150}, POINT{350, 150}, POINT{100, 90}, POINT{100, 236}})
    EXPECT_EQ(canvas.Pixels(p.x, p.y), clBlack) << p.x << "," << p.y;
  // See-through corners, above and below the panel.
  for (POINT p : {POINT{0, 0}, POINT{355, 0}, POINT{1, 80}, POINT{354, 80}, POINT{0, 258},
                  POINT{355, 258}, POINT{1, 245}})
    EXPECT_EQ(canvas.Pixels(p.x, p.y), clWhite) << p.x << "," << p.y;
  // The panel from column 3 to 352 and row 88 to 238 is opaque all over.
  int seeThrough = 0;
  for (int y = 88; y <= 238; ++y)
    for (int x = 3; x <= 352; ++x)
      seeThrough += canvas.Pixels(x, y) == clWhite;
  EXPECT_EQ(seeThrough, 0);
  EXPECT_EQ(canvas.Pixels(2, 150), clWhite);
  EXPECT_EQ(canvas.Pixels(353, 150), clWhite);
  // Text and fields sit on the plain panel colour, never on decoration.
  for (const RECT& r : kOnPanel) {
    int other = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        other += canvas.Pixels(x, y) != yellow;
    EXPECT_EQ(other, 0) << "control at " << r.left << "," << r.top;
  }
}

// --- The pictures of the information windows ---

TEST_F(AssetsTest, LogoAndMakerPictureAreBitmapsOnWhite) {
  struct TExpected {
    const char* name;
    int width, height;
  };
  for (const TExpected& e : {TExpected{"logo.bmp", 114, 322}, TExpected{"picture2.bmp", 81, 57}}) {
    SCOPED_TRACE(e.name);
    TPicture picture;
    picture.LoadFromFile(kFolder + "/" + e.name);
    TBitmap& bitmap = picture.Bitmap();
    ASSERT_EQ(bitmap.Width(), e.width);
    ASSERT_EQ(bitmap.Height(), e.height);
    TCanvas& canvas = bitmap.Canvas();
    EXPECT_EQ(canvas.Pixels(0, 0), clWhite);
    EXPECT_EQ(canvas.Pixels(e.width - 1, e.height - 1), clWhite);
    EXPECT_NE(canvas.Pixels(e.width / 2, e.height / 2), clWhite);
  }
}

// --- The tray icon ---

// Draws `icon` over navy and reads the pixels back.
struct TDrawn {
  TColor corner, card, check;
};
TDrawn DrawOverNavy(TIcon& icon, POINT card, POINT check) {
  TBitmap target(icon.Width(), icon.Height());
  target.Canvas().Brush().SetColor(clNavy);
  target.Canvas().FillRect(RECT{0, 0, icon.Width(), icon.Height()});
  target.Canvas().Draw(0, 0, &icon);
  TCanvas& c = target.Canvas();
  return {c.Pixels(0, 0), c.Pixels(card.x, card.y), c.Pixels(check.x, check.y)};
}

bool Yellowish(TColor c) {
  return GetRValue(c) > 200 && GetGValue(c) > 180 && GetBValue(c) < 200;
}
bool Greenish(TColor c) {
  return GetGValue(c) > GetRValue(c) + 40 && GetGValue(c) > GetBValue(c) + 40;
}

TEST_F(AssetsTest, TrayIconHoldsTwoSixteenColourImagesWithMasks) {
  const std::string path = kFolder + "/calvix.ico";
  const std::vector<uint8_t> bytes = ReadFile(path);
  ASSERT_GE(bytes.size(), 6u + 2 * 16);
  EXPECT_EQ(bytes[4], 2);  // two images: 32 and 16 pixels, 16 colours, 4 bits per pixel
  for (int i = 0; i < 2; ++i) {
    const uint8_t* entry = bytes.data() + 6 + 16 * i;
    EXPECT_EQ(entry[0], i == 0 ? 32 : 16);
    EXPECT_EQ(entry[1], i == 0 ? 32 : 16);
    EXPECT_EQ(entry[2], 16);
    EXPECT_EQ(entry[6], 4);
  }

  TIcon large;
  large.LoadFromFile(path);
  ASSERT_EQ(large.Width(), 32);
  const TDrawn big = DrawOverNavy(large, {4, 18}, {18, 24});
  EXPECT_EQ(big.corner, clNavy);  // the mask lets the background through
  EXPECT_TRUE(Yellowish(big.card));
  EXPECT_TRUE(Greenish(big.check));

  TIcon small;
  small.SetHandle(
      static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)));
  ASSERT_EQ(small.Width(), 16);
  const TDrawn tray = DrawOverNavy(small, {3, 6}, {7, 11});
  EXPECT_EQ(tray.corner, clNavy);
  EXPECT_TRUE(Yellowish(tray.card));
  EXPECT_TRUE(Greenish(tray.check));
}

// --- The installed icons ---

TEST_F(AssetsTest, InstalledIconsArePngWithAlphaAtTheirSizes) {
  for (int size : {16, 32, 48}) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const std::vector<uint8_t> png = ReadFile(kFolder + "/icons/" + name + "/calvix.png");
    SCOPED_TRACE(name);
    ASSERT_GE(png.size(), 33u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    auto big32 = [&](size_t at) {
      return uint32_t(png[at]) << 24 | uint32_t(png[at + 1]) << 16 | uint32_t(png[at + 2]) << 8 |
             png[at + 3];
    };
    EXPECT_EQ(big32(16), uint32_t(size));
    EXPECT_EQ(big32(20), uint32_t(size));
    EXPECT_EQ(png[24], 8);  // bits per channel
    EXPECT_EQ(png[25], 6);  // RGBA
  }
}

}  // namespace
