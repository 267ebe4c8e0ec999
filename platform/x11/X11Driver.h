// The X11 driver: the platform on a real X server through Xlib. Every top-level window of ours
// is an X window, input and focus become calls on the core, the tray icon docks into the
// notification area, the screen is read from the root and other programs' windows are walked
// and messaged. Internal to platform/; the rest of the platform sees only platform::Driver.
#pragma once

#include <memory>

#include "platform/Driver.h"

namespace platform {

// Null when no display can be opened.
std::unique_ptr<Driver> CreateX11Driver();

// True when the X11 driver is in use and the icon (owner, id) is shown: sits mapped inside the
// tray host, or registered with the session bus's StatusNotifierWatcher. The moment the user
// can see it. For tests and figures.
bool X11TrayDocked(HWND owner, UINT id);
// True when the icon is shown as a StatusNotifierItem.
bool X11TrayAsItem(HWND owner, UINT id);

}  // namespace platform
