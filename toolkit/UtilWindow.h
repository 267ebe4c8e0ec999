// Utility windows: hidden top-level windows whose messages all go to one object's handler, for
// components that need a window of their own (timers, the tray icon). Toolkit layer.
#pragma once

#include <string>

#include "platform/win32.h"
#include "toolkit/Controls.h"

// Registers the program's own window class `name` with the arrow pointer, once: a later call
// finds it and does nothing. Own classes are looked up through the program's module, since a
// search without one finds only the system's classes. Raises EInvalidOperation when the
// platform refuses it.
void RegisterWindowClass(const std::string& name, WNDPROC proc, UINT style = 0);

// Creates a hidden window that hands every message to `method`; the method's Result is the
// window procedure's answer. An exception escaping the method goes to the application's
// standard handling. Release the window with DeallocateHWnd.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND window);

// Owns one utility window for the lifetime of the object.
class TUtilityWindow {
 public:
  explicit TUtilityWindow(TWndMethod method) : FHandle(AllocateHWnd(std::move(method))) {}
  ~TUtilityWindow() { DeallocateHWnd(FHandle); }
  TUtilityWindow(const TUtilityWindow&) = delete;
  TUtilityWindow& operator=(const TUtilityWindow&) = delete;
  HWND Handle() const { return FHandle; }

 private:
  HWND FHandle;
};
