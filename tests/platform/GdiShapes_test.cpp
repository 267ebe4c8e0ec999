// Shapes: the ellipse's exact rules (inside its rectangle, right and bottom edges excluded,
// symmetric, small sizes), outline-only drawing, rectangles and polygons.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "tests/platform/GdiTestSupport.h"

namespace {

constexpr COLORREF kBack = RGB(128, 128, 128);
constexpr COLORREF kPen = RGB(0, 0, 0);
constexpr COLORREF kFill = RGB(255, 0, 0);

// Draws one ellipse at (4, 4) with a black pen (or none) and a red brush (or none), and
// returns the picture as rows of '.', '#' and 'o'.
std::string DrawEllipse(int w, int h, bool pen = true, bool brush = true) {
  TMemoryCanvas canvas(w + 8, h + 8, kBack);
  HPEN p = CreatePen(pen ? PS_SOLID : PS_NULL, 1, kPen);
  HBRUSH b = brush ? CreateSolidBrush(kFill) : static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  HGDIOBJ oldPen = SelectObject(canvas.Dc(), p), oldBrush = SelectObject(canvas.Dc(), b);
  EXPECT_TRUE(Ellipse(canvas.Dc(), 4, 4, 4 + w, 4 + h));
  std::string picture;
  for (int y = 0; y < h + 8; ++y) {
    for (int x = 0; x < w + 8; ++x) {
      const COLORREF c = canvas.At(x, y);
      picture += c == kBack ? '.' : c == kPen ? '#' : c == kFill ? 'o' : '?';
    }
    picture += '\n';
  }
  SelectObject(canvas.Dc(), oldPen);
  SelectObject(canvas.Dc(), oldBrush);
  DeleteObject(p);
  DeleteObject(b);
  return picture;
}

char At(const std::string& picture, int w, int x, int y) {
  return picture[size_t(y) * (w + 9) + x];
}

TEST(GdiShapes, EllipseStaysInsideItsRectangleAndIsSymmetric) {
  for (int w = 1; w <= 40; ++w) {
    for (int h = 1; h <= 24; ++h) {
      const std::string pic = DrawEllipse(w, h);
      for (int y = 0; y < h + 8; ++y) {
        for (int x = 0; x < w + 8; ++x) {
          const char c = At(pic, w, x, y);
          const bool inside = x >= 4 && x < 4 + w && y >= 4 && y < 4 + h;
          if (!inside) {
            ASSERT_EQ(c, '.') << w << "x" << h << " at " << x << "," << y << "\n" << pic;
            continue;
          }
          ASSERT_EQ(c, At(pic, w, 4 + w - 1 - (x - 4), y)) << "left-right " << w << "x" << h;
          ASSERT_EQ(c, At(pic, w, x, 4 + h - 1 - (y - 4))) << "top-bottom " << w << "x" << h;
        }
      }
    }
  }
}

// Very tall and narrow ellipses (3 or 4 wide, about twice as tall and more) leave their first and
// last rows empty in the Win32 reference; everything else reaches its rectangle's sides.
TEST(GdiShapes, EllipseTouchesAllFourSidesFromSizeTwo) {
  for (int w = 2; w <= 30; ++w) {
    for (int h = 2; h <= 20 && h <= 2 * w - 2; ++h) {
      const std::string pic = DrawEllipse(w, h);
      bool left = false, right = false, top = false, bottom = false;
      for (int i = 0; i < h; ++i)
        left |= At(pic, w, 4, 4 + i) == '#', right |= At(pic, w, 3 + w, 4 + i) == '#';
      for (int i = 0; i < w; ++i)
        top |= At(pic, w, 4 + i, 4) == '#', bottom |= At(pic, w, 4 + i, 3 + h) == '#';
      EXPECT_TRUE(left && right && top && bottom) << w << "x" << h << "\n" << pic;
    }
  }
}

TEST(GdiShapes, TinyEllipsesFollowTheReference) {
  EXPECT_EQ(DrawEllipse(1, 1).find_first_not_of(".\n"), std::string::npos)
      << "1 by 1 draws nothing";
  const std::string two = DrawEllipse(2, 2);
  EXPECT_EQ(At(two, 2, 4, 4), '#');
  EXPECT_EQ(At(two, 2, 5, 5), '#');
  const std::string three = DrawEllipse(3, 3);
  EXPECT_EQ(At(three, 3, 4, 4), '.') << "the corners stay empty";
  EXPECT_EQ(At(three, 3, 5, 4), '#');
  EXPECT_EQ(At(three, 3, 5, 5), 'o') << "the single inner pixel takes the brush";
  EXPECT_EQ(At(three, 3, 6, 5), '#');
}

TEST(GdiShapes, NullBrushDrawsTheOutlineOnlyAndNullPenFillsItsPlace) {
  const std::string outlined = DrawEllipse(21, 21, true, false);
  EXPECT_EQ(outlined.find('o'), std::string::npos);
  EXPECT_EQ(At(outlined, 21, 14, 14), '.') << "the middle keeps the background";
  EXPECT_EQ(At(outlined, 21, 4, 14), '#');
  const std::string filled = DrawEllipse(21, 21, false, true);
  EXPECT_EQ(filled.find('#'), std::string::npos);
  const std::string both = DrawEllipse(21, 21);
  for (size_t i = 0; i < both.size(); ++i)
    EXPECT_EQ(both[i] == '.', filled[i] == '.')
        << "the fill without pen covers the outline's place";
}

TEST(GdiShapes, RectangleOutlinesItsLastColumnAndRow) {
  TMemoryCanvas canvas(10, 10, kBack);
  HBRUSH b = CreateSolidBrush(kFill);
  HGDIOBJ old = SelectObject(canvas.Dc(), b);
  ASSERT_TRUE(Rectangle(canvas.Dc(), 2, 2, 6, 5));
  EXPECT_EQ(canvas.At(2, 2), kPen);
  EXPECT_EQ(canvas.At(5, 4), kPen);
  EXPECT_EQ(canvas.At(3, 3), kFill);
  EXPECT_EQ(canvas.At(6, 4), kBack);
  EXPECT_EQ(canvas.At(5, 5), kBack);
  SelectObject(canvas.Dc(), GetStockObject(NULL_PEN));
  ASSERT_TRUE(Rectangle(canvas.Dc(), 0, 6, 3, 9));
  EXPECT_EQ(canvas.At(1, 7), kFill) << "without a pen the fill stops one short";
  EXPECT_EQ(canvas.At(2, 7), kBack);
  SelectObject(canvas.Dc(), old);
  DeleteObject(b);
}

TEST(GdiShapes, LinesLeaveTheirEndPointAndPolygonsFillTheirInside) {
  TMemoryCanvas canvas(10, 10, kBack);
  MoveToEx(canvas.Dc(), 1, 1, nullptr);
  ASSERT_TRUE(LineTo(canvas.Dc(), 5, 1));
  EXPECT_EQ(canvas.At(1, 1), kPen);
  EXPECT_EQ(canvas.At(4, 1), kPen);
  EXPECT_EQ(canvas.At(5, 1), kBack);
  HBRUSH b = CreateSolidBrush(kFill);
  HGDIOBJ old = SelectObject(canvas.Dc(), b);
  const POINT square[] = {{2, 3}, {8, 3}, {8, 9}, {2, 9}};
  ASSERT_TRUE(Polygon(canvas.Dc(), square, 4));
  EXPECT_EQ(canvas.At(5, 6), kFill);
  EXPECT_EQ(canvas.At(8, 6), kPen);
  EXPECT_EQ(canvas.At(9, 6), kBack);
  SelectObject(canvas.Dc(), old);
  DeleteObject(b);
}

TEST(GdiShapes, FillRectFillsRightAndBottomExclusive) {
  TMemoryCanvas canvas(5, 5, kBack);
  const RECT r{1, 1, 3, 4};
  ASSERT_TRUE(FillRect(canvas.Dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_EQ(canvas.At(2, 3), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(3, 3), kBack);
  EXPECT_EQ(canvas.At(2, 4), kBack);
}

}  // namespace
