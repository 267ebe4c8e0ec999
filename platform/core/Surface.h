// A 32-bit pixel buffer, the one currency of drawing inside the platform: window surfaces,
// memory bitmaps and the screen are all surfaces. Internal to platform/.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// Pixels are stored top-down, one 32-bit word each, as 0x00RRGGBB (the byte order of a 32-bit
// DIB: blue, green, red, unused). COLORREF (0x00BBGGRR) is converted only at the API's edge.
struct Surface {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  Surface() = default;
  Surface(int w, int h, uint32_t fill = 0x00FFFFFF)
      : width(w > 0 ? w : 0), height(h > 0 ? h : 0), pixels(size_t(width) * height, fill) {}

  void Resize(int w, int h, uint32_t fill = 0x00FFFFFF) { *this = Surface(w, h, fill); }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  uint32_t* Row(int y) { return pixels.data() + size_t(y) * width; }
  const uint32_t* Row(int y) const { return pixels.data() + size_t(y) * width; }
  uint32_t& At(int x, int y) { return pixels[size_t(y) * width + x]; }
  uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// A pixel of a window that shows whatever lies behind the window. A read of a screen that
// cannot be read (a compositor keeps it) yields such pixels; copies carry the mark in the unused
// byte, a raster operation that leaves a pixel's colour as it was keeps it, and any other drawing
// makes the pixel opaque. Its colour is white, so that a picture drawn over it through a mask
// leaves it marked where the picture is see-through. Drivers that can show a window transparent
// show these pixels so; elsewhere they are plain white.
constexpr uint32_t kSeeThroughMark = 0x01000000;
constexpr uint32_t kSeeThroughPixel = kSeeThroughMark | 0x00FFFFFF;
constexpr bool IsSeeThrough(uint32_t p) {
  return (p & 0xFF000000) == kSeeThroughMark;
}

constexpr uint32_t PixelFromColorRef(uint32_t c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr uint32_t ColorRefFromPixel(uint32_t p) {
  return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

}  // namespace platform
