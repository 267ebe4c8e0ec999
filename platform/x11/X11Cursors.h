// The pointer's shapes on X: each system shape from the user's cursor theme (libXcursor), with
// the core cursor font as the fallback, made on first use and kept. Internal to platform/x11.
#pragma once

#include <X11/Xlib.h>

#include <map>

#include "platform/Driver.h"

namespace platform::x11 {

class TX11Cursors {
 public:
  explicit TX11Cursors(Display* display) : FDisplay(display) {}
  ~TX11Cursors();
  TX11Cursors(const TX11Cursors&) = delete;
  TX11Cursors& operator=(const TX11Cursors&) = delete;

  // The cursor that shows `shape`; psNone is an empty one that hides the pointer.
  Cursor For(PointerShape shape);

 private:
  Cursor Load(PointerShape shape);
  Cursor Blank();

  Display* FDisplay;
  std::map<PointerShape, Cursor> FCursors;
};

}  // namespace platform::x11
