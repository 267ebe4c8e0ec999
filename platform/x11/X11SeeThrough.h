// Windows that show the desktop behind them where a compositor keeps the screen from programs
// (XWayland, a compositing manager): such a screen reads as see-through pixels, and windows
// get a 32-bit visual whose alpha lets the compositor show what lies behind those pixels.
// Internal to platform/x11.
#pragma once

#include <X11/Xlib.h>

#include "platform/core/Surface.h"
#include "platform/win32/types.h"

namespace platform::x11 {

class TX11Display;

class TX11SeeThrough {
 public:
  explicit TX11SeeThrough(TX11Display& display);
  ~TX11SeeThrough();
  TX11SeeThrough(const TX11SeeThrough&) = delete;
  TX11SeeThrough& operator=(const TX11SeeThrough&) = delete;

  // True once a compositing manager owns the screen (_NET_WM_CM_S0) and the server offers a
  // 32-bit visual. A compositor may take the screen after we connect (XWayland starts its
  // window manager when the first client arrives), so the question is asked again, at most once
  // a second, until it is yes. `now` is the driver's tick count.
  bool Active(DWORD now);
  // The latest answer, without asking the server.
  bool Known() const { return FActive; }

  // --- Windows ---
  // Attributes and the visual for a window that shows through.
  Visual* WindowVisual() const { return FVisual; }
  int WindowDepth() const { return 32; }
  Colormap WindowColormap() const { return FColormap; }
  // Puts `area` of `surface` into such a window: see-through pixels at alpha 0, the others
  // opaque.
  void Present(Window window, const Surface& surface, RECT area);

 private:
  TX11Display& FDisplay;
  bool FActive = false;
  bool FAsked = false;
  DWORD FAskedAt = 0;
  Visual* FVisual = nullptr;
  Colormap FColormap = 0;
  GC FGc = nullptr;  // made on the first window, for drawables of depth 32
};

}  // namespace platform::x11
