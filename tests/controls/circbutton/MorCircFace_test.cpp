// Tests of the shaped button's faces: rounding and colour scaling, the bevel ring, and the
// computed faces and mask.
#include "controls/circbutton/MorCircFace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kYellow = 0x00FFFF;

int Red(COLORREF c) {
  return static_cast<int>(c & 0xFF);
}
int Blue(COLORREF c) {
  return static_cast<int>((c >> 16) & 0xFF);
}
COLORREF Grey(int level) {
  return RGB(level, level, level);
}

// The main window's yellow buttons: 77 by 30, one lowered bevel of width 1.
TMorFaceSettings YellowButton() {
  TMorFaceSettings s;
  s.Width = 77;
  s.Height = 30;
  s.FaceRed = 255;
  s.FaceGreen = 255;
  s.FaceBlue = 0;
  s.BevelOuter = hbLowered;
  s.BevelInner = hbNone;
  s.BevelWidth = 1;
  return s;
}

bool SameImage(const TMorRaster& a, const TMorRaster& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

// --- Rounding and colours ---

TEST(MorCircRounding, RoundSendsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(MorRound(7.5), 8);
  EXPECT_EQ(MorRound(6.5), 6);
  EXPECT_EQ(MorRound(-147.2), -147);
  EXPECT_EQ(MorRound(-0.5), 0);
  EXPECT_EQ(MorRound(-1.5), -2);
  EXPECT_EQ(MorRound(2.4999), 2);
  EXPECT_EQ(MorCeilInt(-0.5), 0);
  EXPECT_EQ(MorFloorInt(-0.5), -1);
  EXPECT_EQ(MorCeilInt(14.5), 15);
}

TEST(MorCircRounding, ScaleColorLightsEachComponentAndClamps) {
  // The centre of the dome (k = 1/sqrt 3) and the 45-degree rim (dz = 0) of a yellow face.
  EXPECT_EQ(ScaleColor(kYellow, kMorLight), kYellow);
  EXPECT_EQ(ScaleColor(kYellow, -kMorLight), RGB(108, 108, 0));
  const double rim = -kMorLight * 0.7071067812 * 2;
  EXPECT_EQ(ScaleColor(kYellow, rim), RGB(47, 47, 0));
  EXPECT_EQ(ScaleColor(kYellow, -rim), kYellow);
  EXPECT_EQ(ScaleColor(RGB(10, 100, 200), 0.5), RGB(15, 150, 255));
  EXPECT_EQ(ScaleColor(RGB(10, 100, 200), -2), kBlack);
  // The high byte of a pixel read outside a bitmap does not leak into the colour.
  EXPECT_EQ(ScaleColor(0xFFFFFFFF, 0), kWhite);
}

// --- Bevel ring ---

TEST(MorCircRing, TraceOfTheYellowButtonsOuterRing) {
  // Rectangle (0, 0, 77, 30): a = 38, b = 14.5; 14.5 rounds to 14.
  const std::vector<POINT> points = TraceBevelQuadrant(38, 14.5);
  ASSERT_FALSE(points.empty());
  EXPECT_EQ(points.front().x, 0);
  EXPECT_EQ(points.front().y, 14);
  EXPECT_EQ(points.back().x, 38);
  EXPECT_EQ(points.back().y, 0);
  for (size_t i = 1; i < points.size(); ++i) {
    EXPECT_GE(points[i].x, points[i - 1].x);
    EXPECT_LE(points[i].y, points[i - 1].y);
  }
}

TEST(MorCircRing, DegenerateRingsEndAtOnce) {
  EXPECT_LE(TraceBevelQuadrant(0, 0).size(), 2u);
  EXPECT_LE(TraceBevelQuadrant(-3.5, -3.5).size(), 1u);
  EXPECT_LE(TraceBevelQuadrant(10, 0).size(), 12u);
}

TEST(MorCircRing, BrushWidthFollowsThePen) {
  EXPECT_EQ(BevelBrushReach(1), 2);
  EXPECT_EQ(BevelBrushReach(2), 2);
  EXPECT_EQ(BevelBrushReach(3), 3);
  EXPECT_EQ(BevelBrushReach(4), 3);
  // At the top of a circle the band is 2K + 1 rows high: 5 for pen 1, 7 for pen 3.
  for (const auto& [pen, rows] : {std::pair{1, 5}, std::pair{3, 7}}) {
    TMorRaster canvas(61, 61);
    DrawBevelRing(canvas, 10, 10, 51, 51, pen, false);
    int grey = 0;
    for (int y = 0; y < 30; ++y)
      grey += canvas.Pixel(30, y) != kWhite;
    EXPECT_EQ(grey, rows) << "pen width " << pen;
  }
}

TEST(MorCircRing, CompassGreysOnARingWithAWholeCentre) {
  // A circle of radius 20 around (20, 20): every pixel gets its exact offset.
  TMorRaster lowered(41, 41), raised(41, 41);
  DrawBevelRing(lowered, 0, 0, 41, 41, 1, false);
  DrawBevelRing(raised, 0, 0, 41, 41, 1, true);
  struct TPoint {
    int X, Y, Lowered, Raised;
  } points[] = {
      {6, 6, 106, 254},   {20, 0, 128, 233},  {34, 6, 180, 180}, {40, 20, 233, 128},
      {34, 34, 254, 106}, {20, 40, 233, 128}, {6, 34, 180, 180}, {0, 20, 128, 233},
  };
  for (const TPoint& p : points) {
    EXPECT_EQ(lowered.Pixel(p.X, p.Y), Grey(p.Lowered)) << p.X << "," << p.Y;
    EXPECT_EQ(raised.Pixel(p.X, p.Y), Grey(p.Raised)) << p.X << "," << p.Y;
  }
  // Raised is lowered seen through the centre.
  for (int y = 0; y < 41; ++y)
    for (int x = 0; x < 41; ++x)
      ASSERT_EQ(raised.Pixel(x, y), lowered.Pixel(40 - x, 40 - y)) << x << "," << y;
}

TEST(MorCircRing, RingNoHigherThanItsBrushReachesTheCentre) {
  TMorRaster canvas(21, 5);
  DrawBevelRing(canvas, 0, 0, 21, 5, 1, false);
  EXPECT_EQ(canvas.Pixel(10, 2), Grey(202));
}

TEST(MorCircRing, VeryWidePenOnASmallCanvasFinishesQuickly) {
  TMorRaster canvas(21, 21);
  const auto start = std::chrono::steady_clock::now();
  DrawBevelRing(canvas, 0, 0, 21, 21, 1000000, true);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_NE(canvas.Pixel(0, 0), kWhite);
}

// --- The yellow button's faces ---

class MorCircYellow : public ::testing::Test {
 protected:
  void SetUp() override { Images = BuildFaceImages(YellowButton()); }
  TMorFaceImages Images;
};

TEST_F(MorCircYellow, FacesAreLitFromTheUpperLeft) {
  const TMorRaster& out = Images.Out;
  const TMorRaster& in = Images.In;
  EXPECT_EQ(out.Pixel(38, 15), kYellow);
  EXPECT_EQ(in.Pixel(38, 15), RGB(108, 108, 0));
  // Towards the upper-left rim the released face stays at 255 and the pressed face darkens
  // to near 47; towards the lower right the released face darkens and the pressed face
  // brightens to 255. 47 is the value at the rim itself (dz = 0), which the pixels just
  // inside it approach but never pass.
  int lastOut = 255, lastIn = 108;
  for (int t = 1; t <= 9; ++t) {  // (40, 16) ... (60, 24)
    const COLORREF o = out.Pixel(38 + t * 38 / 15, 15 + t), i = in.Pixel(38 + t * 38 / 15, 15 + t);
    EXPECT_LE(Red(o), lastOut);
    EXPECT_GE(Red(i), lastIn);
    lastOut = Red(o);
    lastIn = Red(i);
  }
  EXPECT_LT(lastOut, 120);
  EXPECT_EQ(lastIn, 255);
  lastIn = 108;
  for (int t = 1; t <= 9; ++t) {  // (36, 13) ... (16, 5)
    const int x = 38 - t * 38 / 15, y = 14 - t;
    EXPECT_EQ(out.Pixel(x, y), kYellow);
    EXPECT_LE(Red(in.Pixel(x, y)), lastIn);
    lastIn = Red(in.Pixel(x, y));
  }
  EXPECT_LT(lastIn, 60);
  // Every face pixel is yellow-grey with no blue, and never below the rim's 47.
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 77; ++x) {
      const COLORREF o = out.Pixel(x, y), i = in.Pixel(x, y);
      if (Blue(o) != 0) continue;  // ring or outside
      ASSERT_EQ(Blue(i), 0);
      EXPECT_GE(Red(o), 47);
      EXPECT_GE(Red(i), 47);
      EXPECT_EQ(o & 0xFF, (o >> 8) & 0xFF);
    }
}

TEST_F(MorCircYellow, LoweredRingShowsItsGreysAroundTheFace) {
  for (const TMorRaster* face : {&Images.Out, &Images.In}) {
    EXPECT_EQ(face->Pixel(24, 1), Grey(106));   // upper left, 45 degrees
    EXPECT_EQ(face->Pixel(38, 0), Grey(128));   // top
    EXPECT_EQ(face->Pixel(52, 1), Grey(180));   // upper right
    EXPECT_EQ(face->Pixel(24, 28), Grey(180));  // lower left
    EXPECT_EQ(face->Pixel(38, 29), Grey(233));  // bottom
    EXPECT_EQ(face->Pixel(52, 28), Grey(254));  // lower right
    // The centre lies between rows 14 and 15, so the left and right rim pixels are reached
    // from offsets one row up or down: a level or two either side of 128 and 233.
    for (int y : {14, 15}) {
      EXPECT_NEAR(Red(face->Pixel(0, y)), 128, 2);
      EXPECT_NEAR(Red(face->Pixel(76, y)), 233, 2);
    }
  }
}

TEST_F(MorCircYellow, MaskIsTheWholeEllipse) {
  EXPECT_EQ(Images.Mask.Pixel(38, 15), kBlack);
  EXPECT_EQ(Images.Mask.Pixel(0, 15), kBlack);
  EXPECT_EQ(Images.Mask.Pixel(38, 0), kBlack);
  EXPECT_EQ(Images.Mask.Pixel(0, 0), kWhite);
  EXPECT_EQ(Images.Mask.Pixel(76, 29), kWhite);
}

TEST(MorCircFaces, RaisedRingMirrorsTheLoweredOne) {
  TMorFaceSettings s = YellowButton();
  s.BevelOuter = hbRaised;
  const TMorFaceImages images = BuildFaceImages(s);
  EXPECT_EQ(images.Out.Pixel(24, 1), Grey(254));
  EXPECT_EQ(images.Out.Pixel(38, 0), Grey(233));
  EXPECT_EQ(images.Out.Pixel(52, 1), Grey(180));
  EXPECT_EQ(images.Out.Pixel(38, 29), Grey(128));
  EXPECT_EQ(images.Out.Pixel(52, 28), Grey(106));
  EXPECT_NEAR(Red(images.Out.Pixel(0, 15)), 233, 2);
  EXPECT_NEAR(Red(images.Out.Pixel(76, 15)), 128, 2);
}

TEST(MorCircFaces, UnshadedAndUnlitFacesAreFlat) {
  TMorFaceSettings unshaded = YellowButton();
  unshaded.FaceShaded = false;
  TMorFaceSettings unlit = YellowButton();
  unlit.AttenControl = 0;
  for (const TMorFaceSettings& s : {unshaded, unlit}) {
    const TMorFaceImages images = BuildFaceImages(s);
    EXPECT_TRUE(SameImage(images.Out, images.In));
    EXPECT_EQ(images.Out.Pixel(38, 15), kYellow);
    EXPECT_EQ(images.Out.Pixel(60, 24), kYellow);
    EXPECT_EQ(images.Out.Pixel(16, 5), kYellow);
    EXPECT_EQ(images.Out.Pixel(38, 0), Grey(128));  // the ring keeps its shading
  }
}

TEST(MorCircFaces, WithoutBevelsTheFaceFillsTheEllipseAndTheBorderLiesOnTheRim) {
  TMorFaceSettings s = YellowButton();
  s.BevelOuter = hbNone;
  s.Border = true;
  s.BorderColor = RGB(0, 0, 255);
  const TMorFaceImages images = BuildFaceImages(s);
  for (const TMorRaster* face : {&images.Out, &images.In}) {
    EXPECT_EQ(face->Pixel(0, 15), RGB(0, 0, 255));
    EXPECT_EQ(face->Pixel(76, 15), RGB(0, 0, 255));
    EXPECT_EQ(Blue(face->Pixel(1, 15)), 0);
    EXPECT_GT(Red(face->Pixel(1, 15)), 0);
    EXPECT_EQ(face->Pixel(0, 0), kWhite);
  }
}

TEST(MorCircFaces, TwoBevelsOfWidthTwoInsetTheFaceByFour) {
  TMorFaceSettings s = YellowButton();
  s.BevelOuter = hbLowered;
  s.BevelInner = hbRaised;
  s.BevelWidth = 2;
  TMorFaceImages plain = BuildFaceImages(s);
  // Along the middle row: outer ring 0..1, inner ring 2..3, face from 4.
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(Blue(plain.Out.Pixel(x, 15)), Red(plain.Out.Pixel(x, 15))) << x;
  EXPECT_EQ(Blue(plain.Out.Pixel(4, 15)), 0);
  // The outer ring is lowered: dark at the upper left. The inner ring is raised: bright there.
  EXPECT_LT(Red(plain.Out.Pixel(0, 15)), 140);
  EXPECT_GT(Red(plain.Out.Pixel(3, 15)), 200);
  s.Border = true;
  s.BorderColor = RGB(255, 0, 0);
  TMorFaceImages bordered = BuildFaceImages(s);
  EXPECT_EQ(bordered.Out.Pixel(4, 15), RGB(255, 0, 0));
  EXPECT_EQ(bordered.In.Pixel(72, 15), RGB(255, 0, 0));
  EXPECT_EQ(bordered.Out.Pixel(3, 15), plain.Out.Pixel(3, 15));
}

TEST(MorCircFaces, OnlyAnInnerBevelSitsOnePixelInside) {
  TMorFaceSettings s = YellowButton();
  s.BevelOuter = hbNone;
  s.BevelInner = hbLowered;
  const TMorFaceImages images = BuildFaceImages(s);
  // The face starts inside the first pixel; the ring occupies the rim.
  EXPECT_EQ(Blue(images.Out.Pixel(38, 1)), 0);
  EXPECT_EQ(Blue(images.Out.Pixel(38, 0)), Red(images.Out.Pixel(38, 0)));
}

TEST(MorCircFaces, SeeThroughFaceKeepsCaptionAndRingsOpaque) {
  TMorFaceSettings s = YellowButton();
  s.FaceTransparent = true;
  s.Caption = "Verifica";
  s.FontColor = RGB(0, 0, 128);
  const TMorFaceImages images = BuildFaceImages(s);
  const TMorRaster& mask = images.Mask;
  EXPECT_EQ(mask.Pixel(38, 0), kBlack);  // ring
  EXPECT_EQ(mask.Pixel(0, 15), kBlack);
  EXPECT_EQ(mask.Pixel(5, 15), kWhite);  // face, left of the caption
  EXPECT_EQ(mask.Pixel(38, 3), kWhite);
  int opaque = 0, caption = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 77; ++x) {
      const double nx = (x - 38) / 32.0, ny = (y - 14.5) / 11.0;
      if (mask.Pixel(x, y) != kBlack || nx * nx + ny * ny > 1) continue;  // well inside the face
      ++opaque;
      caption += images.Out.Pixel(x, y) == RGB(0, 0, 128);
    }
  EXPECT_GT(opaque, 20);
  EXPECT_EQ(caption, opaque);  // every opaque face pixel is a caption pixel
}

TEST(MorCircFaces, CaptionIsCentredAndUnlit) {
  TMorFaceSettings s = YellowButton();
  s.Caption = "x";
  s.FontColor = RGB(0, 0, 128);
  const TMorFaceImages images = BuildFaceImages(s);
  int left = 77, right = -1, top = 30, bottom = -1;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 77; ++x)
      if (images.Out.Pixel(x, y) == RGB(0, 0, 128)) {
        ASSERT_EQ(images.In.Pixel(x, y), RGB(0, 0, 128));
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, 0);
  EXPECT_NEAR((left + right) / 2.0, 37.5, 3);
  EXPECT_NEAR((top + bottom) / 2.0, 14.5, 4);
}

// A 4-cell strip of 4 by 4 cells: cell n is filled with colour n, its bottom-left pixel of
// the first cell is the key colour (green) and so is every corner of every cell.
TMorRaster GlyphStrip() {
  TMorRaster strip(16, 4);
  const COLORREF cells[] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 0, 255), RGB(0, 255, 255)};
  for (int x = 0; x < 16; ++x)
    for (int y = 0; y < 4; ++y) {
      const bool corner = (x % 4 == 0 || x % 4 == 3) && (y == 0 || y == 3);
      strip.SetPixel(x, y, corner ? RGB(0, 255, 0) : cells[x / 4]);
    }
  return strip;
}

TEST(MorCircFaces, FlatGlyphCellLiesCentredWithKeyPixelsShowingTheFace) {
  const TMorRaster strip = GlyphStrip();
  TMorFaceSettings s = YellowButton();
  s.Width = s.Height = 21;
  s.Glyph = &strip;
  s.GlyphValid = true;
  s.NumGlyphs = 4;
  s.GlyphIndex = 2;
  s.GlyphShaded = false;
  const TMorFaceImages images = BuildFaceImages(s);
  // Cell 2 is blue; its 4 by 4 pixels cover (9..12, 9..12): hw = 10.5, gx = 2 + x - 10.5.
  EXPECT_EQ(images.Out.Pixel(10, 10), RGB(0, 0, 255));
  EXPECT_EQ(images.In.Pixel(10, 10), RGB(0, 0, 255));
  EXPECT_EQ(images.Out.Pixel(11, 11), RGB(0, 0, 255));
  // Key-coloured corners show the shaded face, which differs between the faces.
  EXPECT_EQ(Blue(images.Out.Pixel(9, 9)), 0);
  EXPECT_NE(images.Out.Pixel(9, 9), images.In.Pixel(9, 9));
  EXPECT_EQ(Blue(images.Out.Pixel(8, 10)), 0);

  s.GlyphTransparent = false;
  s.GlyphShaded = true;
  // Without the key the corners are glyph pixels too, lit like the face.
  const TMorFaceImages opaque = BuildFaceImages(s);
  for (const TMorRaster* face : {&opaque.Out, &opaque.In}) {
    EXPECT_EQ(Red(face->Pixel(9, 9)), 0);
    EXPECT_EQ(Blue(face->Pixel(9, 9)), 0);
  }
  EXPECT_NE(opaque.Out.Pixel(9, 9), opaque.In.Pixel(9, 9));
}

TEST(MorCircFaces, GlyphCellCountsBelowOneOrBeyondTheStripComplete) {
  const TMorRaster strip = GlyphStrip();
  TMorFaceSettings s = YellowButton();
  s.Glyph = &strip;
  s.GlyphValid = true;
  for (int cells : {0, -3}) {
    s.NumGlyphs = cells;
    const TMorFaceImages images = BuildFaceImages(s);
    EXPECT_EQ(images.Out.Width(), 77);
  }
  s.NumGlyphs = 4;
  s.GlyphIndex = 9;  // accepted while loading, beyond the strip
  s.GlyphShaded = false;
  const TMorFaceImages images = BuildFaceImages(s);
  EXPECT_EQ(Blue(images.Out.Pixel(38, 15)), 0);  // the face, not a stray glyph colour
}

}  // namespace
