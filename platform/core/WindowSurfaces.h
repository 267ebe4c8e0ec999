// How drawing reaches windows: the core keeps one surface per window of ours; device contexts
// of a window draw on it, and the core presents what changed through the driver. Internal to
// platform/.
#pragma once

#include "platform/core/Surface.h"
#include "platform/win32/types.h"

namespace platform {

// The surface a window's device context draws on: the whole window, origin at its top-left
// corner, sized like the window. Null for a handle that is not one of our live windows.
Surface* WindowSurface(HWND hwnd);

// Tells the core that `area` (window coordinates) of `hwnd`'s surface changed, so that the
// driver presents it and the screen shows it.
void SurfaceDamaged(HWND hwnd, const RECT& area);

}  // namespace platform
