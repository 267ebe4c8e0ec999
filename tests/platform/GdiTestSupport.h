// Helpers for the drawing tests: a memory DC holding a bitmap of a given size and colour,
// released when the test ends.
#pragma once

#include "platform/win32.h"

class TMemoryCanvas {
 public:
  TMemoryCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255), int bits = 32)
      : FDc(CreateCompatibleDC(nullptr)), FBitmap(CreateBitmap(width, height, 1, bits, nullptr)) {
    FPrevious = SelectObject(FDc, FBitmap);
    const RECT all{0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(FDc, &all, brush);
    DeleteObject(brush);
  }
  ~TMemoryCanvas() {
    SelectObject(FDc, FPrevious);
    DeleteObject(FBitmap);
    DeleteDC(FDc);
  }
  TMemoryCanvas(const TMemoryCanvas&) = delete;
  TMemoryCanvas& operator=(const TMemoryCanvas&) = delete;

  HDC Dc() const { return FDc; }
  HBITMAP Bitmap() const { return FBitmap; }
  COLORREF At(int x, int y) const { return GetPixel(FDc, x, y); }

 private:
  HDC FDc;
  HBITMAP FBitmap;
  HGDIOBJ FPrevious;
};
