// The hidden "TLwApplication" window and ShowWinNoAnimate. Program layer (tray icon family).
#include "controls/tray/LwAppWnd.h"

#include <cstdint>
#include <cstdlib>

#include "toolkit/SysUtils.h"

namespace {

// The stored handle before the window has been made; it can never be a real handle.
const HWND kNoAppWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(-42));

HWND AppWindowHandle = kNoAppWindow;
bool CleanupRegistered = false;

void RegisterAppWindowClass(HINSTANCE instance) {
  WNDCLASSA existing{};
  if (GetClassInfoA(instance, kLwApplicationClass, &existing)) return;
  WNDCLASSA record{};
  record.style = 0;
  record.lpfnWndProc = DefWindowProcA;
  record.hInstance = instance;
  record.lpszClassName = kLwApplicationClass;
  if (RegisterClassA(&record) == 0)
    throw Exception(std::string("Couldnt register window class: ") + kLwApplicationClass);
}

}  // namespace

HWND GetAppWindow() {
  // The window is made once per process. A class someone else registered first does not stop
  // it from being made, so the handle given out is never the "not created" marker.
  if (!IsAppWindowCreated()) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterAppWindowClass(instance);
    AppWindowHandle =
        CreateWindowExA(0, kLwApplicationClass, "", WS_POPUP, GetSystemMetrics(SM_CXSCREEN) / 2,
                        GetSystemMetrics(SM_CYSCREEN) / 2, kLwAppWindowSize, kLwAppWindowSize,
                        nullptr, nullptr, instance, nullptr);
    // Registered after the platform has made its own state, so the window goes before it.
    if (!CleanupRegistered) CleanupRegistered = std::atexit(DestroyAppWindow) == 0;
  }
  return AppWindowHandle;
}

bool IsAppWindowCreated() {
  return AppWindowHandle != kNoAppWindow;
}

void DestroyAppWindow() {
  if (!IsAppWindowCreated()) return;
  if (AppWindowHandle != nullptr) DestroyWindow(AppWindowHandle);
  AppWindowHandle = kNoAppWindow;
}

void ShowWinNoAnimate(HWND window, int command) {
  ANIMATIONINFO info{};
  info.cbSize = sizeof(info);
  const bool animated =
      SystemParametersInfoA(SPI_GETANIMATION, sizeof(info), &info, 0) && info.iMinAnimate != 0;
  if (!animated) {
    ShowWindow(window, command);
    return;
  }
  info.iMinAnimate = 0;
  SystemParametersInfoA(SPI_SETANIMATION, sizeof(info), &info, 0);
  ShowWindow(window, command);
  info.iMinAnimate = -1;
  SystemParametersInfoA(SPI_SETANIMATION, sizeof(info), &info, 0);
}
