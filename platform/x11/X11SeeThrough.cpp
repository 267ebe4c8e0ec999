// Windows that show the desktop behind them where a compositor keeps the screen. Internal to
// platform/x11.
#include "platform/x11/X11SeeThrough.h"

#include <X11/Xutil.h>

#include <vector>

#include "platform/x11/X11Display.h"
#include "platform/x11/X11Image.h"

namespace platform::x11 {

namespace {

constexpr uint32_t kOpaque = 0xFF000000;
// How long a "no compositor" answer stands before the server is asked again.
constexpr DWORD kAskAgainAfter = 1000;

bool NativeLayout(const XImage& image) {
  const uint32_t one = 1;
  const int order = *reinterpret_cast<const unsigned char*>(&one) == 1 ? LSBFirst : MSBFirst;
  return image.bits_per_pixel == 32 && image.red_mask == 0xFF0000 && image.green_mask == 0xFF00 &&
         image.blue_mask == 0xFF && image.byte_order == order;
}

}  // namespace

TX11SeeThrough::TX11SeeThrough(TX11Display& display) : FDisplay(display) {
  Display* dpy = display.Dpy();
  XVisualInfo info{};
  if (XMatchVisualInfo(dpy, display.Screen(), 32, TrueColor, &info) != 0) {
    FVisual = info.visual;
    FColormap = XCreateColormap(dpy, display.Root(), FVisual, AllocNone);
  }
}

TX11SeeThrough::~TX11SeeThrough() {
  Display* dpy = FDisplay.Dpy();
  if (FGc != nullptr) XFreeGC(dpy, FGc);
  if (FColormap != 0) XFreeColormap(dpy, FColormap);
}

bool TX11SeeThrough::Active(DWORD now) {
  if (FActive || FVisual == nullptr) return FActive;
  if (FAsked && now - FAskedAt < kAskAgainAfter) return false;
  FAsked = true;
  FAskedAt = now;
  FActive = XGetSelectionOwner(FDisplay.Dpy(), FDisplay.Atoms().netWmCmSelection) != None;
  return FActive;
}

void TX11SeeThrough::Present(Window window, const Surface& surface, RECT area) {
  if (!ClipToSize(area, surface.width, surface.height) || FVisual == nullptr) return;
  Display* dpy = FDisplay.Dpy();
  if (FGc == nullptr) FGc = XCreateGC(dpy, window, 0, nullptr);
  const int w = area.right - area.left, h = area.bottom - area.top;
  XImage* image = XCreateImage(dpy, FVisual, 32, ZPixmap, 0, nullptr, w, h, 32, 0);
  if (image == nullptr) return;
  std::vector<uint32_t> pixels(size_t(image->bytes_per_line / 4) * h);
  image->data = reinterpret_cast<char*>(pixels.data());
  // Alpha is premultiplied: a see-through pixel is all zero.
  const bool native = NativeLayout(*image);
  const unsigned long alphaMask =
      0xFFFFFFFFul & ~(image->red_mask | image->green_mask | image->blue_mask);
  for (int y = 0; y < h; ++y) {
    const uint32_t* from = surface.Row(area.top + y) + area.left;
    for (int x = 0; x < w; ++x) {
      const uint32_t p = from[x];
      const bool clear = IsSeeThrough(p);
      if (native) {
        pixels[size_t(y) * (image->bytes_per_line / 4) + x] = clear ? 0 : kOpaque | (p & 0xFFFFFF);
        continue;
      }
      unsigned long value = 0;
      if (!clear) {
        value = alphaMask | (((p >> 16) & 0xFF) * (image->red_mask / 0xFF) & image->red_mask) |
                (((p >> 8) & 0xFF) * (image->green_mask / 0xFF) & image->green_mask) |
                ((p & 0xFF) * (image->blue_mask / 0xFF) & image->blue_mask);
      }
      XPutPixel(image, x, y, value);
    }
  }
  XPutImage(dpy, window, FGc, image, 0, 0, area.left, area.top, w, h);
  image->data = nullptr;  // the pixels belong to the vector
  XDestroyImage(image);
}

}  // namespace platform::x11
