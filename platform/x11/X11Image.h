// Pixels between surfaces and the X server: presenting a surface in a window (XPutImage) and
// reading the screen (XGetImage). Internal to platform/x11.
#pragma once

#include <X11/Xlib.h>

#include "platform/core/Surface.h"
#include "platform/win32/types.h"

namespace platform::x11 {

class TX11Display;

// Clips `area` to a w × h rectangle at the origin; false when nothing is left.
bool ClipToSize(RECT& area, int width, int height);

// Puts `area` (surface coordinates, clipped here) of `surface` into `target` at the same place,
// through `gc`, whose clip mask the caller may have set.
void PutSurface(const TX11Display& display, Drawable target, GC gc, const Surface& surface,
                RECT area);

// Copies `area` (coordinates of `source`, already inside it) into `out`, sized to the area.
// The source is read as the screen shows it, windows above it included. False when the server
// refused (the window vanished or the area left it).
bool ReadDrawable(const TX11Display& display, Drawable source, const RECT& area, Surface& out);

}  // namespace platform::x11
