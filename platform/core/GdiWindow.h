// How device contexts reach windows: the surface a window's DC draws on and the report of what
// changed on it. Internal to platform/.
#pragma once

#include <cstddef>

#include "platform/core/Surface.h"
#include "platform/win32/types.h"

namespace platform::gdi {

// The surface of one of our live windows, or null.
Surface* WindowTargetSurface(HWND hwnd);
// Reports that `area` (window coordinates) of the window's surface changed.
void WindowTargetDamaged(HWND hwnd, const RECT& area);

// The screen's size, and a copy of what it shows in `area` (clipped to the screen already).
SIZE ScreenExtent();
bool ReadScreenArea(const RECT& area, Surface& out);

}  // namespace platform::gdi
