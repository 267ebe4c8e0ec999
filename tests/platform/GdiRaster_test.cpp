// Pixels and rectangle copies: raster-operation truth tables, the rules outside a bitmap,
// clipping, overlapping copies, monochrome conversions and stretching.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32.h"
#include "tests/platform/GdiTestSupport.h"

namespace {

// With pattern 0xF0, source 0xCC and destination 0xAA in every channel, each bit position
// meets one line of the truth table, so the result byte is the operation's index byte.
TEST(GdiRaster, EveryRasterOperationFollowsItsTruthTable) {
  const DWORD rops[] = {SRCCOPY,    SRCPAINT,    SRCAND,    SRCINVERT,  SRCERASE,
                        NOTSRCCOPY, NOTSRCERASE, MERGECOPY, MERGEPAINT, PATCOPY,
                        PATPAINT,   PATINVERT,   DSTINVERT, BLACKNESS,  WHITENESS};
  TMemoryCanvas source(4, 4, RGB(0xCC, 0xCC, 0xCC));
  for (DWORD rop : rops) {
    TMemoryCanvas dest(4, 4, RGB(0xAA, 0xAA, 0xAA));
    HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    HGDIOBJ old = SelectObject(dest.Dc(), brush);
    ASSERT_TRUE(BitBlt(dest.Dc(), 1, 1, 2, 2, source.Dc(), 0, 0, rop));
    const BYTE code = BYTE(rop >> 16);
    EXPECT_EQ(dest.At(1, 1), RGB(code, code, code)) << std::hex << rop;
    EXPECT_EQ(dest.At(2, 2), RGB(code, code, code)) << std::hex << rop;
    EXPECT_EQ(dest.At(0, 0), RGB(0xAA, 0xAA, 0xAA)) << "outside the rectangle " << std::hex << rop;
    EXPECT_EQ(dest.At(3, 3), RGB(0xAA, 0xAA, 0xAA)) << "outside the rectangle " << std::hex << rop;
    SelectObject(dest.Dc(), old);
    DeleteObject(brush);
  }
}

TEST(GdiRaster, PixelsOutsideTheBitmapReadInvalidAndIgnoreWrites) {
  TMemoryCanvas canvas(3, 2, RGB(10, 20, 30));
  EXPECT_EQ(canvas.At(2, 1), RGB(10, 20, 30));
  for (POINT p : {POINT{-1, 0}, POINT{3, 0}, POINT{0, -1}, POINT{0, 2}, POINT{100000, 5}}) {
    EXPECT_EQ(canvas.At(p.x, p.y), CLR_INVALID);
    SetPixel(canvas.Dc(), p.x, p.y, RGB(1, 2, 3));
  }
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(canvas.At(x, y), RGB(10, 20, 30));
  EXPECT_EQ(SetPixel(canvas.Dc(), 1, 1, RGB(200, 100, 50)), RGB(200, 100, 50));
  EXPECT_EQ(canvas.At(1, 1), RGB(200, 100, 50));
  EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST(GdiRaster, CopiesAreClippedToBothBitmaps) {
  TMemoryCanvas source(4, 4, RGB(255, 0, 0));
  TMemoryCanvas dest(6, 6, RGB(0, 0, 255));
  // The source rectangle reaches beyond its bitmap on the left and top; only the part that
  // exists arrives, at the matching place.
  ASSERT_TRUE(BitBlt(dest.Dc(), 0, 0, 6, 6, source.Dc(), -2, -1, SRCCOPY));
  EXPECT_EQ(dest.At(1, 1), RGB(0, 0, 255));
  EXPECT_EQ(dest.At(2, 1), RGB(255, 0, 0));
  EXPECT_EQ(dest.At(5, 4), RGB(255, 0, 0));
  EXPECT_EQ(dest.At(5, 5), RGB(0, 0, 255));
  // A destination beyond the bitmap writes nothing out of bounds.
  EXPECT_TRUE(BitBlt(dest.Dc(), 4, 4, 100, 100, source.Dc(), 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dest.Dc(), -1000, -1000, 4, 4, source.Dc(), 0, 0, SRCCOPY));
}

TEST(GdiRaster, OverlappingCopyWithinOneBitmapMovesThePicture) {
  TMemoryCanvas canvas(8, 1, RGB(0, 0, 0));
  for (int x = 0; x < 8; ++x)
    SetPixel(canvas.Dc(), x, 0, RGB(x, 0, 0));
  ASSERT_TRUE(BitBlt(canvas.Dc(), 2, 0, 6, 1, canvas.Dc(), 0, 0, SRCCOPY));
  for (int x = 2; x < 8; ++x)
    EXPECT_EQ(canvas.At(x, 0), RGB(x - 2, 0, 0));
  ASSERT_TRUE(BitBlt(canvas.Dc(), 0, 0, 6, 1, canvas.Dc(), 2, 0, SRCINVERT));
  EXPECT_EQ(canvas.At(0, 0), RGB(0 ^ 0, 0, 0));
  EXPECT_EQ(canvas.At(3, 0), RGB(1 ^ 3, 0, 0));
}

TEST(GdiRaster, MonochromeConversionsUseTheBackgroundAndTextColours) {
  TMemoryCanvas colour(4, 1, RGB(0, 0, 0));
  TMemoryCanvas mono(4, 1, RGB(0, 0, 0), 1);
  SetPixel(colour.Dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(colour.Dc(), 2, 0, RGB(255, 255, 255));
  SetBkColor(colour.Dc(), RGB(255, 0, 0));
  ASSERT_TRUE(BitBlt(mono.Dc(), 0, 0, 4, 1, colour.Dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(mono.At(0, 0), RGB(255, 255, 255)) << "the source background becomes white";
  EXPECT_EQ(mono.At(2, 0), RGB(0, 0, 0)) << "every other colour becomes black, even white";

  SetTextColor(colour.Dc(), RGB(0, 255, 0));
  SetBkColor(colour.Dc(), RGB(0, 0, 255));
  ASSERT_TRUE(BitBlt(colour.Dc(), 0, 0, 4, 1, mono.Dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(colour.At(0, 0), RGB(0, 0, 255)) << "white takes the destination background";
  EXPECT_EQ(colour.At(1, 0), RGB(0, 255, 0)) << "black takes the destination text colour";

  // Colours drawn on a monochrome bitmap become the nearer of black and white.
  SetPixel(mono.Dc(), 0, 0, RGB(128, 128, 128));
  SetPixel(mono.Dc(), 1, 0, RGB(127, 127, 127));
  EXPECT_EQ(mono.At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(mono.At(1, 0), RGB(0, 0, 0));
}

TEST(GdiRaster, StretchDoublesAndMirrors) {
  TMemoryCanvas source(2, 1, RGB(0, 0, 0));
  SetPixel(source.Dc(), 1, 0, RGB(255, 255, 255));
  TMemoryCanvas dest(4, 2, RGB(9, 9, 9));
  ASSERT_TRUE(StretchBlt(dest.Dc(), 0, 0, 4, 2, source.Dc(), 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(dest.At(1, 1), RGB(0, 0, 0));
  EXPECT_EQ(dest.At(2, 0), RGB(255, 255, 255));
  // A negative width runs from x + width to x, mirrored.
  ASSERT_TRUE(StretchBlt(dest.Dc(), 4, 0, -4, 1, source.Dc(), 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(dest.At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(dest.At(3, 0), RGB(0, 0, 0));
}

TEST(GdiRaster, ViewportOriginAndClipRectangleMoveAndLimitDrawing) {
  TMemoryCanvas canvas(10, 10, RGB(0, 0, 0));
  SetViewportOrgEx(canvas.Dc(), 3, 4, nullptr);
  IntersectClipRect(canvas.Dc(), 0, 0, 2, 2);
  const RECT all{-10, -10, 20, 20};
  FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetViewportOrgEx(canvas.Dc(), 0, 0, nullptr);
  SelectClipRgn(canvas.Dc(), nullptr);
  EXPECT_EQ(canvas.At(3, 4), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(4, 5), RGB(255, 255, 255));
  EXPECT_EQ(canvas.At(5, 5), RGB(0, 0, 0));
  EXPECT_EQ(canvas.At(2, 4), RGB(0, 0, 0));
}

TEST(GdiRaster, BitmapsLiveInOneDcAndDieWhenDeselected) {
  TMemoryCanvas first(2, 2);
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, first.Bitmap()), nullptr) << "already selected elsewhere";
  HBITMAP loose = CreateBitmap(2, 2, 1, 32, nullptr);
  HGDIOBJ previous = SelectObject(other, loose);
  EXPECT_TRUE(DeleteObject(loose)) << "deletion waits for the DC to let go";
  BITMAP info{};
  EXPECT_EQ(GetObjectA(loose, sizeof(info), &info), int(sizeof(info)));
  SelectObject(other, previous);
  EXPECT_EQ(GetObjectA(loose, sizeof(info), &info), 0);
  DeleteDC(other);
}

TEST(GdiRaster, DibSectionsShareTheirBitsWithDrawing) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, 2, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(section, nullptr);
  ASSERT_NE(bits, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, section);
  SetPixel(dc, 0, 0, RGB(255, 0, 0));  // the top row is the last row of a bottom-up DIB
  const auto* words = static_cast<const uint16_t*>(bits);
  EXPECT_EQ(words[4], 0x7C00);
  SetPixel(dc, 1, 1, RGB(0x84, 0x21, 0x07));  // 5-5-5 keeps the top five bits of each channel
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0x84, 0x21, 0x00));
  const_cast<uint16_t*>(words)[0] = 0x001F;  // the program writes blue at the bottom left
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(section);
}

// What loading a bitmap file does: a section made from the file's header, then its rows.
TEST(GdiRaster, RowsOfASectionsOwnFormatGoInAsGivenWholeOrInPart) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[3];
  } info{};
  // 4 by 3, 8 bits, bottom-up, a table of three colours (red, green, blue).
  info.header = {sizeof(BITMAPINFOHEADER), 4, 3, 1, 8, BI_RGB, 0, 0, 0, 3, 0};
  info.colors[0] = {0, 0, 255, 0};
  info.colors[1] = {0, 255, 0, 0};
  info.colors[2] = {255, 0, 0, 0};
  const auto* header = reinterpret_cast<const BITMAPINFO*>(&info);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, header, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(section, nullptr);
  // DIB row 0 is the bottom row of the picture.
  const uint8_t rows[3][4] = {{0, 1, 2, 0}, {1, 1, 1, 1}, {2, 2, 2, 2}};
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SetDIBits(dc, section, 0, 3, rows, header, DIB_RGB_COLORS), 3);
  EXPECT_EQ(std::memcmp(bits, rows, sizeof rows), 0);
  // One row alone, the middle one; the others stay.
  const uint8_t middle[4] = {0, 2, 0, 2};
  EXPECT_EQ(SetDIBits(dc, section, 1, 1, middle, header, DIB_RGB_COLORS), 1);
  EXPECT_EQ(std::memcmp(static_cast<const uint8_t*>(bits) + 4, middle, 4), 0);
  // An icon made of the section, which reads its pixels at once, takes the same ones.
  HBITMAP mask = CreateBitmap(4, 3, 1, 1, nullptr);  // all opaque
  ICONINFO iconInfo{TRUE, 0, 0, mask, section};
  HICON icon = CreateIconIndirect(&iconInfo);
  TMemoryCanvas drawn(4, 3, RGB(1, 2, 3));
  ASSERT_TRUE(DrawIconEx(drawn.Dc(), 0, 0, icon, 4, 3, 0, nullptr, DI_NORMAL));
  EXPECT_EQ(drawn.At(1, 2), RGB(0, 255, 0));
  EXPECT_EQ(drawn.At(1, 1), RGB(0, 0, 255));
  DestroyIcon(icon);
  DeleteObject(mask);
  HGDIOBJ old = SelectObject(dc, section);
  EXPECT_EQ(GetPixel(dc, 1, 2), RGB(0, 255, 0));  // bottom row
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(255, 0, 0));  // the row written alone
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 3, 0), RGB(0, 0, 255));  // top row
  SelectObject(dc, old);
  // Rows of another format are converted to the section's colours.
  struct {
    BITMAPINFOHEADER header;
  } direct{};
  direct.header = {sizeof(BITMAPINFOHEADER), 4, 3, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  uint8_t nearlyGreen[3][12];  // blue, green, red
  for (auto& row : nearlyGreen)
    for (int x = 0; x < 4; ++x) {
      row[3 * x] = 0;
      row[3 * x + 1] = 250;
      row[3 * x + 2] = 10;
    }
  EXPECT_EQ(SetDIBits(dc, section, 0, 3, nearlyGreen, reinterpret_cast<const BITMAPINFO*>(&direct),
                      DIB_RGB_COLORS),
            3);
  const auto* indices = static_cast<const uint8_t*>(bits);
  EXPECT_EQ(indices[0], 1) << "the nearest entry, green";
  EXPECT_EQ(indices[11], 1);
  DeleteDC(dc);
  DeleteObject(section);
}

}  // namespace
