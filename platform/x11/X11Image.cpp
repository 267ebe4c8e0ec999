// Pixels between surfaces and the X server. Internal to platform/x11.
#include "platform/x11/X11Image.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <vector>

#include "platform/x11/X11Display.h"

namespace platform::x11 {

namespace {

int NativeByteOrder() {
  const uint32_t one = 1;
  return *reinterpret_cast<const unsigned char*>(&one) == 1 ? LSBFirst : MSBFirst;
}

// True when the server stores a pixel exactly as a surface does: 32 bits, 0x00RRGGBB, in our
// byte order. Then images are sent and read without conversion.
bool SameLayout(const XImage& image) {
  return image.bits_per_pixel == 32 && image.red_mask == 0xFF0000 && image.green_mask == 0xFF00 &&
         image.blue_mask == 0xFF && image.byte_order == NativeByteOrder();
}

// The shift that brings the top bit of an 8-bit channel to the top bit of `mask`.
int ShiftOf(unsigned long mask) {
  int top = 0;
  for (int i = 0; i < 64; ++i) {
    if (mask & (1ul << i)) top = i;
  }
  return top - 7;
}

unsigned long Encode(uint32_t pixel, const XImage& image) {
  auto channel = [](uint32_t value, unsigned long mask) {
    const int shift = ShiftOf(mask);
    const unsigned long v = shift >= 0 ? (unsigned long)value << shift : value >> -shift;
    return v & mask;
  };
  return channel((pixel >> 16) & 0xFF, image.red_mask) |
         channel((pixel >> 8) & 0xFF, image.green_mask) | channel(pixel & 0xFF, image.blue_mask);
}

uint32_t Decode(unsigned long value, const XImage& image) {
  auto channel = [](unsigned long v, unsigned long mask) -> uint32_t {
    const int shift = ShiftOf(mask);
    v &= mask;
    return uint32_t((shift >= 0 ? v >> shift : v << -shift) & 0xFF);
  };
  return (channel(value, image.red_mask) << 16) | (channel(value, image.green_mask) << 8) |
         channel(value, image.blue_mask);
}

}  // namespace

bool ClipToSize(RECT& area, int width, int height) {
  area.left = std::max<LONG>(area.left, 0);
  area.top = std::max<LONG>(area.top, 0);
  area.right = std::min<LONG>(area.right, width);
  area.bottom = std::min<LONG>(area.bottom, height);
  return area.left < area.right && area.top < area.bottom;
}

void PutSurface(const TX11Display& display, Drawable target, GC gc, const Surface& surface,
                RECT area) {
  if (!ClipToSize(area, surface.width, surface.height)) return;
  Display* dpy = display.Dpy();
  // An image header over the surface's own pixels; when the server's layout differs, a
  // converted copy of the area is sent instead.
  XImage* image = XCreateImage(dpy, display.ScreenVisual(), display.Depth(), ZPixmap, 0, nullptr,
                               surface.width, surface.height, 32, surface.width * 4);
  if (image == nullptr) return;
  std::vector<uint32_t> converted;
  if (SameLayout(*image)) {
    image->data = reinterpret_cast<char*>(const_cast<uint32_t*>(surface.pixels.data()));
    XPutImage(dpy, target, gc, image, area.left, area.top, area.left, area.top,
              area.right - area.left, area.bottom - area.top);
  } else {
    XDestroyImage(image);
    const int w = area.right - area.left, h = area.bottom - area.top;
    image = XCreateImage(dpy, display.ScreenVisual(), display.Depth(), ZPixmap, 0, nullptr, w, h,
                         32, 0);
    if (image == nullptr) return;
    converted.resize(size_t(image->bytes_per_line) * h / 4 + 1);
    image->data = reinterpret_cast<char*>(converted.data());
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        XPutPixel(image, x, y, Encode(surface.At(area.left + x, area.top + y), *image));
      }
    }
    XPutImage(dpy, target, gc, image, 0, 0, area.left, area.top, w, h);
  }
  image->data = nullptr;  // the pixels belong to the surface or to `converted`
  XDestroyImage(image);
}

bool ReadDrawable(const TX11Display& display, Drawable source, const RECT& area, Surface& out) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return false;
  // The image is the request's reply, and an error (a drawable gone, an area outside it) comes
  // in its place: no image, and no need to wait for the server once more to learn of it.
  XImage* image = XGetImage(display.Dpy(), source, area.left, area.top, w, h, AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  out.Resize(w, h);
  if (SameLayout(*image)) {
    for (int y = 0; y < h; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(image->data + y * image->bytes_per_line);
      uint32_t* dest = out.Row(y);
      for (int x = 0; x < w; ++x)
        dest[x] = row[x] & 0x00FFFFFF;
    }
  } else {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x)
        out.At(x, y) = Decode(XGetPixel(image, x, y), *image);
    }
  }
  XDestroyImage(image);
  return true;
}

}  // namespace platform::x11
