// Device contexts of windows and of the screen: a window's DC draws on what the screen shows,
// and the screen's DC reads the desktop under a window.
#include "tests/platform/GdiTestSupport.h"
#include "tests/platform/Recorder.h"

using namespace calvix_test;

namespace {

class GdiWindowTest : public PlatformTest {
 protected:
  // The wallpaper gets a pattern that differs at every pixel of the area tests look at.
  void PaintWallpaper() {
    platform::Surface& wall = headless::Wallpaper();
    for (int y = 0; y < wall.height; ++y)
      for (int x = 0; x < wall.width; ++x)
        wall.At(x, y) = uint32_t((x & 0xFF) << 16 | (y & 0xFF));
  }
  static COLORREF WallAt(int x, int y) { return RGB(x & 0xFF, 0, y & 0xFF); }
};

TEST_F(GdiWindowTest, WindowDcDrawsOnWhatTheScreenShows) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, nullptr, {20, 30, 60, 50});
  HDC dc = GetDC(w);
  ASSERT_NE(dc, nullptr);
  const RECT r{0, 0, 40, 20};
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &r, red);
  SetPixel(dc, 5, 6, RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 5, 6), RGB(0, 0, 255));
  EXPECT_EQ(ReleaseDC(w, dc), 1);
  DeleteObject(red);
  const platform::Surface screen = headless::Screen();
  EXPECT_EQ(screen.At(20, 30), 0xFF0000u);
  EXPECT_EQ(screen.At(59, 49), 0xFF0000u);
  EXPECT_EQ(screen.At(25, 36), 0x0000FFu);
  DestroyWindow(w);
  EXPECT_EQ(GetDC(w), nullptr) << "a destroyed window has no DC";
}

TEST_F(GdiWindowTest, ScreenDcReadsTheDesktopUnderAHiddenWindow) {
  PaintWallpaper();
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 140, 130});
  HDC wdc = GetDC(w);
  const RECT r{0, 0, 40, 30};
  FillRect(wdc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(w, wdc);
  TMemoryCanvas copy(40, 30, RGB(1, 2, 3));
  HDC screen = GetDC(GetDesktopWindow());
  ASSERT_NE(screen, nullptr);
  ASSERT_TRUE(BitBlt(copy.Dc(), 0, 0, 40, 30, screen, 100, 100, SRCCOPY));
  EXPECT_EQ(copy.At(7, 9), RGB(0, 0, 0)) << "while shown, the window is what the screen has";
  ShowWindow(w, SW_HIDE);
  ASSERT_TRUE(BitBlt(copy.Dc(), 0, 0, 40, 30, screen, 100, 100, SRCCOPY));
  EXPECT_EQ(copy.At(7, 9), WallAt(107, 109));
  EXPECT_EQ(copy.At(39, 29), WallAt(139, 129));
  EXPECT_EQ(GetPixel(screen, 3, 4), WallAt(3, 4));
  EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
  DestroyWindow(w);
}

TEST_F(GdiWindowTest, ScreenCopiesAreClippedToTheScreen) {
  PaintWallpaper();
  headless::SetScreenSize(200, 100);
  PaintWallpaper();
  HDC screen = GetDC(nullptr);
  TMemoryCanvas copy(20, 20, RGB(1, 2, 3));
  ASSERT_TRUE(BitBlt(copy.Dc(), 0, 0, 20, 20, screen, 190, 90, SRCCOPY));
  EXPECT_EQ(copy.At(9, 9), WallAt(199, 99));
  EXPECT_EQ(copy.At(10, 10), RGB(1, 2, 3)) << "beyond the screen nothing arrives";
  EXPECT_EQ(GetPixel(screen, 200, 0), CLR_INVALID);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(ReleaseDC(nullptr, copy.Dc()), 0) << "a memory DC is not released";
}

// Where the compositor keeps the screen, the copy of the desktop under a window is see-through:
// a skin drawn over it through its mask lets the desktop show where the skin is transparent,
// and everything drawn opaque stays opaque, black included.
TEST_F(GdiWindowTest, OnAScreenThatCannotBeReadTheCopyShowsTheDesktopThroughTheSkin) {
  PaintWallpaper();
  headless::SetScreenReadable(false);
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 140, 130});
  TMemoryCanvas copy(40, 30, RGB(1, 2, 3));
  HDC screen = GetDC(nullptr);
  ASSERT_TRUE(BitBlt(copy.Dc(), 0, 0, 40, 30, screen, 100, 100, SRCCOPY));
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(copy.At(5, 5), RGB(255, 255, 255)) << "read back, the see-through copy is white";

  // The skin: opaque black in the left half, see-through in the right half.
  TMemoryCanvas mask(40, 30, RGB(255, 255, 255)), picture(40, 30, RGB(0, 0, 0));
  const RECT left{0, 0, 20, 30};
  FillRect(mask.Dc(), &left, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HDC wdc = GetDC(w);
  ASSERT_TRUE(BitBlt(wdc, 0, 0, 40, 30, copy.Dc(), 0, 0, SRCCOPY));
  ASSERT_TRUE(BitBlt(wdc, 0, 0, 40, 30, mask.Dc(), 0, 0, SRCAND));
  ASSERT_TRUE(BitBlt(wdc, 0, 0, 40, 30, picture.Dc(), 0, 0, SRCPAINT));
  const RECT label{22, 20, 30, 25};
  FillRect(wdc, &label, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ReleaseDC(w, wdc);

  const platform::Surface shown = headless::Screen();
  EXPECT_EQ(shown.At(130, 105), uint32_t((130 & 0xFF) << 16 | 105)) << "the desktop shows through";
  EXPECT_EQ(shown.At(105, 105), 0u) << "the skin's black is opaque";
  EXPECT_EQ(shown.At(125, 122), 0xFFFFFFu) << "white drawn on the skin is opaque";
  headless::SetScreenReadable(true);
  DestroyWindow(w);
}

}  // namespace
