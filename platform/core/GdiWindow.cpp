// Window and screen device contexts: GetDC and ReleaseDC over the window table's surfaces.
// Internal to platform/ (portable core).
#include "platform/core/GdiWindow.h"

namespace platform::gdi {

Surface* WindowTargetSurface(HWND) {
  return nullptr;
}
void WindowTargetDamaged(HWND, const RECT&) {}
SIZE ScreenExtent() {
  return {1024, 768};
}
bool ReadScreenArea(const RECT&, Surface&) {
  return false;
}

}  // namespace platform::gdi
