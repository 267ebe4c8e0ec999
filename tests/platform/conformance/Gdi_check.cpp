// Drawing rules both our layer and the Win32 reference must follow: raster-operation truth
// tables, pixels outside a bitmap, the ellipse's small sizes and symmetry, monochrome
// conversions, DIB sections, text backgrounds and DrawTextA's "&" rule.
#include "tests/platform/conformance/Check.h"

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);

// A memory DC with a screen-compatible bitmap, filled with one colour.
struct TCanvas {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;
  TCanvas(int w, int h, COLORREF fill) {
    HDC screen = GetDC(NULL);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(NULL, screen);
    previous = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(fill);
    const RECT all = {0, 0, w, h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
  }
  ~TCanvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

// Draws an ellipse of w by h at (2, 2) and returns whether pixel (x, y) took the pen ('#'),
// the brush ('o') or nothing ('.').
struct TEllipse {
  TCanvas canvas;
  TEllipse(int w, int h, bool brush) : canvas(w + 4, h + 4, kGrey) {
    HBRUSH b = brush ? CreateSolidBrush(kRed) : (HBRUSH)GetStockObject(NULL_BRUSH);
    HGDIOBJ old = SelectObject(canvas.dc, b);
    SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
    Ellipse(canvas.dc, 2, 2, 2 + w, 2 + h);
    SelectObject(canvas.dc, old);
    if (brush) DeleteObject(b);
  }
  char At(int x, int y) const {
    const COLORREF c = GetPixel(canvas.dc, x, y);
    return c == RGB(0, 0, 0) ? '#' : c == kRed ? 'o' : c == kGrey ? '.' : '?';
  }
};

}  // namespace

CONFORMANCE_CASE(GdiRasterOperationsFollowTheirTruthTables) {
  const DWORD rops[] = {SRCCOPY,    SRCPAINT,    SRCAND,    SRCINVERT,  SRCERASE,
                        NOTSRCCOPY, NOTSRCERASE, MERGECOPY, MERGEPAINT, PATCOPY,
                        PATPAINT,   PATINVERT,   DSTINVERT, BLACKNESS,  WHITENESS};
  TCanvas source(3, 3, RGB(0xCC, 0xCC, 0xCC));
  for (DWORD rop : rops) {
    TCanvas dest(3, 3, RGB(0xAA, 0xAA, 0xAA));
    HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    HGDIOBJ old = SelectObject(dest.dc, brush);
    CHECK(BitBlt(dest.dc, 1, 1, 1, 1, source.dc, 0, 0, rop));
    const BYTE code = BYTE(rop >> 16);
    CHECK_EQ(GetPixel(dest.dc, 1, 1), RGB(code, code, code));
    CHECK_EQ(GetPixel(dest.dc, 0, 0), RGB(0xAA, 0xAA, 0xAA));
    SelectObject(dest.dc, old);
    DeleteObject(brush);
  }
}

CONFORMANCE_CASE(GdiPixelsOutsideTheBitmap) {
  TCanvas canvas(3, 2, RGB(10, 20, 30));
  CHECK_EQ(GetPixel(canvas.dc, 3, 0), CLR_INVALID);
  CHECK_EQ(GetPixel(canvas.dc, -1, 0), CLR_INVALID);
  CHECK_EQ(GetPixel(canvas.dc, 0, 2), CLR_INVALID);
  SetPixel(canvas.dc, 3, 1, RGB(1, 2, 3));
  SetPixel(canvas.dc, -1, -1, RGB(1, 2, 3));
  CHECK_EQ(GetPixel(canvas.dc, 2, 1), RGB(10, 20, 30));
  CHECK_EQ(GetPixel(canvas.dc, 0, 0), RGB(10, 20, 30));
  CHECK_EQ(SetPixel(canvas.dc, 1, 1, RGB(200, 100, 50)), RGB(200, 100, 50));
}

CONFORMANCE_CASE(GdiEllipseSmallSizes) {
  TEllipse one(1, 1, true);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x)
      CHECK_EQ(one.At(x, y), '.');
  TEllipse two(2, 2, true);
  CHECK_EQ(two.At(2, 2), '#');
  CHECK_EQ(two.At(3, 3), '#');
  CHECK_EQ(two.At(4, 3), '.');
  TEllipse three(3, 3, true);
  CHECK_EQ(three.At(2, 2), '.');
  CHECK_EQ(three.At(3, 2), '#');
  CHECK_EQ(three.At(2, 3), '#');
  CHECK_EQ(three.At(3, 3), 'o');
  CHECK_EQ(three.At(4, 4), '.');
  TEllipse flat(7, 3, true);
  CHECK_EQ(flat.At(2, 3), '#');
  CHECK_EQ(flat.At(3, 3), 'o');
  CHECK_EQ(flat.At(2, 2), '.');
  CHECK_EQ(flat.At(3, 2), '#');
}

CONFORMANCE_CASE(GdiEllipseStaysInsideAndIsSymmetric) {
  const int sizes[][2] = {{4, 4}, {5, 5}, {6, 4}, {10, 7}, {16, 16}, {21, 21}, {77, 30}, {30, 11}};
  for (const auto& s : sizes) {
    const int w = s[0], h = s[1];
    TEllipse e(w, h, true);
    int outside = 0, asymmetric = 0;
    for (int y = 0; y < h + 4; ++y)
      for (int x = 0; x < w + 4; ++x) {
        const char c = e.At(x, y);
        if (x < 2 || y < 2 || x >= 2 + w || y >= 2 + h) {
          outside += c != '.';
          continue;
        }
        asymmetric += c != e.At(2 + w - 1 - (x - 2), y) || c != e.At(x, 2 + h - 1 - (y - 2));
      }
    CHECK_EQ(outside, 0);
    CHECK_EQ(asymmetric, 0);
    CHECK_EQ(e.At(2, 2 + h / 2), '#');
    CHECK_EQ(e.At(1 + w, 2 + h / 2), '#');
    CHECK_EQ(e.At(2 + w / 2, 2), '#');
    CHECK_EQ(e.At(2 + w / 2, 1 + h), '#');
    CHECK_EQ(e.At(2 + w / 2, 2 + h / 2), 'o');
  }
  TEllipse outline(21, 21, false);
  CHECK_EQ(outline.At(12, 12), '.');
  CHECK_EQ(outline.At(2, 12), '#');
}

CONFORMANCE_CASE(GdiRectangleWithoutPenStopsShort) {
  TCanvas canvas(10, 10, kGrey);
  HBRUSH red = CreateSolidBrush(kRed);
  HGDIOBJ oldBrush = SelectObject(canvas.dc, red);
  HGDIOBJ oldPen = SelectObject(canvas.dc, GetStockObject(NULL_PEN));
  Rectangle(canvas.dc, 1, 1, 5, 4);
  CHECK_EQ(GetPixel(canvas.dc, 3, 2), kRed);
  CHECK_EQ(GetPixel(canvas.dc, 4, 2), kGrey);
  CHECK_EQ(GetPixel(canvas.dc, 3, 3), kGrey);
  SelectObject(canvas.dc, GetStockObject(BLACK_PEN));
  Rectangle(canvas.dc, 1, 5, 5, 9);
  CHECK_EQ(GetPixel(canvas.dc, 4, 8), RGB(0, 0, 0));
  CHECK_EQ(GetPixel(canvas.dc, 2, 6), kRed);
  CHECK_EQ(GetPixel(canvas.dc, 5, 8), kGrey);
  SelectObject(canvas.dc, oldPen);
  SelectObject(canvas.dc, oldBrush);
  DeleteObject(red);
}

CONFORMANCE_CASE(GdiMonochromeConversions) {
  TCanvas colour(3, 2, RGB(0, 0, 0));
  HDC mono = CreateCompatibleDC(colour.dc);
  HBITMAP bits = CreateBitmap(3, 1, 1, 1, NULL);
  HGDIOBJ old = SelectObject(mono, bits);
  SetPixel(colour.dc, 0, 0, kRed);
  SetPixel(colour.dc, 1, 0, RGB(255, 255, 255));
  SetBkColor(colour.dc, kRed);
  BitBlt(mono, 0, 0, 3, 1, colour.dc, 0, 0, SRCCOPY);
  CHECK_EQ(GetPixel(mono, 0, 0), RGB(255, 255, 255));
  CHECK_EQ(GetPixel(mono, 1, 0), RGB(0, 0, 0));
  SetTextColor(colour.dc, RGB(0, 255, 0));
  SetBkColor(colour.dc, RGB(0, 0, 255));
  BitBlt(colour.dc, 0, 1, 3, 1, mono, 0, 0, SRCCOPY);
  CHECK_EQ(GetPixel(colour.dc, 0, 1), RGB(0, 0, 255));
  CHECK_EQ(GetPixel(colour.dc, 1, 1), RGB(0, 255, 0));
  SetPixel(mono, 2, 0, RGB(128, 128, 128));
  CHECK_EQ(GetPixel(mono, 2, 0), RGB(255, 255, 255));
  HBITMAP empty = CreateCompatibleBitmap(colour.dc, 0, 5);
  BITMAP info = {};
  GetObjectA(empty, sizeof(info), &info);
  CHECK_EQ(info.bmWidth, 1);
  CHECK_EQ(info.bmBitsPixel, 1);
  DeleteObject(empty);
  SelectObject(mono, old);
  DeleteObject(bits);
  DeleteDC(mono);
}

CONFORMANCE_CASE(GdiDibSectionBitsAndDrawingAgree) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = 2;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 16;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = NULL;
  HBITMAP section = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  CHECK(section != NULL && bits != NULL);
  if (!section || !bits) return;
  HDC dc = CreateCompatibleDC(NULL);
  HGDIOBJ old = SelectObject(dc, section);
  SetPixel(dc, 0, 0, kRed);
  GdiFlush();
  CHECK_EQ(((const WORD*)bits)[4], 0x7C00);
  SetPixel(dc, 1, 1, RGB(0x84, 0x21, 0x07));
  CHECK_EQ(GetPixel(dc, 1, 1), RGB(0x84, 0x21, 0x00));
  ((WORD*)bits)[0] = 0x001F;
  CHECK_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(section);
}

CONFORMANCE_CASE(GdiSelectedBitmapIsDeletedWhenLetGo) {
  HDC first = CreateCompatibleDC(NULL);
  HDC second = CreateCompatibleDC(NULL);
  HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, NULL);
  HGDIOBJ old = SelectObject(first, bitmap);
  CHECK(SelectObject(second, bitmap) == NULL);
  CHECK(DeleteObject(bitmap));
  BITMAP info = {};
  CHECK_EQ(GetObjectA(bitmap, sizeof(info), &info), int(sizeof(info)));
  SelectObject(first, old);
  DeleteDC(first);
  DeleteDC(second);
}

CONFORMANCE_CASE(GdiTextBackgroundAndPrefixes) {
  TCanvas canvas(120, 30, kGrey);
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0,
                           NONANTIALIASED_QUALITY, 0, "Arial");
  HGDIOBJ old = SelectObject(canvas.dc, font);
  SetBkMode(canvas.dc, TRANSPARENT);
  SetTextColor(canvas.dc, RGB(0, 0, 0));
  SIZE size = {};
  CHECK(GetTextExtentPoint32A(canvas.dc, "Verifica", 8, &size));
  TEXTMETRICA tm = {};
  CHECK(GetTextMetricsA(canvas.dc, &tm));
  CHECK_EQ(size.cy, tm.tmHeight);
  CHECK_EQ(tm.tmHeight - tm.tmInternalLeading, 11);
  TextOutA(canvas.dc, 5, 5, "Verifica", 8);
  int ink = 0, stray = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 120; ++x) {
      const COLORREF c = GetPixel(canvas.dc, x, y);
      // Glyphs may overhang their advance by a pixel or two at either end.
      const bool inCell = x >= 3 && x < 7 + size.cx && y >= 5 && y < 5 + size.cy;
      ink += c == RGB(0, 0, 0);
      stray += (c != kGrey && c != RGB(0, 0, 0)) || (!inCell && c != kGrey);
    }
  CHECK(ink > 20);
  CHECK_EQ(stray, 0);
  RECT r = {0, 0, 200, 30};
  SIZE single = {};
  GetTextExtentPoint32A(canvas.dc, "A & B", 5, &single);
  DrawTextA(canvas.dc, "A && B", -1, &r, DT_CALCRECT | DT_SINGLELINE);
  CHECK_EQ(r.right, single.cx);
  CHECK_EQ(r.bottom, tm.tmHeight);
  SIZE both = {};
  GetTextExtentPoint32A(canvas.dc, "A && B", 6, &both);
  r.right = 200;
  DrawTextA(canvas.dc, "A && B", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  CHECK_EQ(r.right, both.cx);
  SelectObject(canvas.dc, old);
  DeleteObject(font);
}

CONFORMANCE_CASE(GdiStretchDoubles) {
  TCanvas source(2, 1, RGB(0, 0, 0));
  SetPixel(source.dc, 1, 0, RGB(255, 255, 255));
  TCanvas dest(4, 2, kGrey);
  CHECK(StretchBlt(dest.dc, 0, 0, 4, 2, source.dc, 0, 0, 2, 1, SRCCOPY));
  CHECK_EQ(GetPixel(dest.dc, 1, 1), RGB(0, 0, 0));
  CHECK_EQ(GetPixel(dest.dc, 2, 0), RGB(255, 255, 255));
}
