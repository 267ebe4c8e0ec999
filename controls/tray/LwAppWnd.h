// The hidden "TLwApplication" window under which the tray icon parks the application window
// while it moves between the taskbar and the notification area, and a window helper that
// shows a window without the minimise animation. Program layer (tray icon family).
#pragma once

#include "platform/win32.h"

// The class of the hidden window; it handles no message of its own.
constexpr char kLwApplicationClass[] = "TLwApplication";
// Width and height of the hidden window, which is never shown.
constexpr int kLwAppWindowSize = 50;

// The hidden window, registering its class and creating it on first use. Raises Exception
// "Couldnt register window class: TLwApplication" when the class cannot be registered. A failed
// creation gives 0, and the moves then make the application window top-level instead.
HWND GetAppWindow();
// Whether GetAppWindow has made its window (or tried to).
bool IsAppWindowCreated();
// Destroys the hidden window if it was made, as the program does when it ends; the next
// GetAppWindow makes a new one. Tests call it before they start a fresh headless driver.
void DestroyAppWindow();

// ShowWindow with the system's minimise animation switched off for the call, when it is on.
// The setting is changed for the session only (nothing is written to the user profile).
void ShowWinNoAnimate(HWND window, int command);
