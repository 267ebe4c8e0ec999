// Window and screen device contexts: GetDC and ReleaseDC over the window table's surfaces and
// the driver's picture of the screen. Internal to platform/ (portable core).
#include "platform/core/GdiWindow.h"

#include "platform/Driver.h"
#include "platform/core/GdiObjects.h"
#include "platform/core/WindowSurfaces.h"
#include "platform/win32.h"

namespace platform::gdi {

Surface* WindowTargetSurface(HWND hwnd) {
  return WindowSurface(hwnd);
}

void WindowTargetDamaged(HWND hwnd, const RECT& area) {
  SurfaceDamaged(hwnd, area);
}

SIZE ScreenExtent() {
  return CurrentDriver().ScreenSize();
}

bool ReadScreenArea(const RECT& area, Surface& out) {
  return CurrentDriver().ReadScreen(area, out);
}

}  // namespace platform::gdi

using namespace platform;
using namespace platform::gdi;

extern "C" {

HDC WINAPI GetDC(HWND hWnd) {
  if (!hWnd || hWnd == GetDesktopWindow()) return MakeDc(TDcKind::dkScreen, nullptr);
  if (!IsWindow(hWnd) || !WindowSurface(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return MakeDc(TDcKind::dkWindow, hWnd);
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  (void)hWnd;
  const TDc* dc = Find<TDc>(hDC);
  if (!dc || dc->kind == TDcKind::dkMemory) return 0;
  DestroyDc(hDC);
  return 1;
}

}  // extern "C"
