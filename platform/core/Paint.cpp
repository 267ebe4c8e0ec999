// Painting bookkeeping and window surfaces: update regions, WM_PAINT's BeginPaint and
// EndPaint, and presenting what was drawn through the driver. Part of the platform's core.
#include <algorithm>

#include "platform/core/Core.h"
#include "platform/core/DriverSink.h"
#include "platform/core/FontEngine.h"
#include "platform/core/WindowSurfaces.h"

namespace platform {

using namespace core;

Surface* WindowSurface(HWND hwnd) {
  TWindow* w = FindOwn(hwnd);
  if (!w || hwnd == State().desktop) return nullptr;
  if (w->surface.width != w->Width() || w->surface.height != w->Height())
    w->surface.Resize(w->Width(), w->Height());
  return &w->surface;
}

void SurfaceDamaged(HWND hwnd, const RECT& area) {
  TWindow* w = FindOwn(hwnd);
  if (!w) return;
  const RECT r{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0),
               std::min<LONG>(area.right, w->surface.width),
               std::min<LONG>(area.bottom, w->surface.height)};
  if (r.left >= r.right || r.top >= r.bottom) return;
  if (!w->dirtyPending) {
    w->dirty = r;
  } else {
    w->dirty = {std::min(w->dirty.left, r.left), std::min(w->dirty.top, r.top),
                std::max(w->dirty.right, r.right), std::max(w->dirty.bottom, r.bottom)};
  }
  w->dirtyPending = true;
}

namespace core {

void ReleaseSurface(TWindow& w) {
  // A hidden window shows nothing and is painted whole when it is shown again (as on Windows,
  // whose hidden windows keep no picture), so a program idle with its windows hidden keeps no
  // copies of them.
  w.surface = Surface();
  w.dirtyPending = false;
  // Once nothing of ours is on the screen (a window of no size, as the application's, shows
  // nothing), the font files are closed too, until text is drawn again.
  for (const auto& slot : State().slots)
    if (slot && slot->alive && !slot->foreign && slot->Visible() && !slot->Iconic() &&
        slot->Width() > 0 && slot->Height() > 0 && slot->handle != State().desktop)
      return;
  fonts::ReleaseFaceFiles();
}

void FlushPresents() {
  for (auto& slot : State().slots) {
    TWindow* w = slot.get();
    if (!w || !w->alive || !w->dirtyPending) continue;
    w->dirtyPending = false;
    if (w->realised) TheDriver().Present(w->handle, w->surface, w->dirty);
  }
}

}  // namespace core
}  // namespace platform

using namespace platform;
using namespace platform::core;

extern "C" BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  TWindow* w = FindOrFail(hwnd);
  if (!w) return FALSE;
  Invalidate(*w, rect, erase != FALSE);
  return TRUE;
}

extern "C" BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
  TWindow* w = FindOrFail(hwnd);
  if (!w) return FALSE;
  // The region is a rectangle: validating a part that does not cover it leaves it whole.
  const RECT& u = w->update;
  if (!rect || (rect->left <= u.left && rect->top <= u.top && rect->right >= u.right &&
                rect->bottom >= u.bottom)) {
    w->updatePending = w->erasePending = false;
    w->update = {};
  }
  return TRUE;
}

extern "C" BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  TWindow* w = FindOrFail(hwnd);
  if (!w) return FALSE;
  if (rect) *rect = w->updatePending ? w->update : RECT{};
  return w->updatePending;
}

extern "C" BOOL WINAPI UpdateWindow(HWND hwnd) {
  TWindow* w = FindOrFail(hwnd);
  if (!w) return FALSE;
  if (w->updatePending && ReallyVisible(*w) && !w->Iconic()) CallProc(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

extern "C" HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  TWindow* w = FindOrFail(hwnd);
  if (!w || !ps) return nullptr;
  *ps = {};
  ps->rcPaint = w->updatePending ? w->update : RECT{};
  const bool erase = w->erasePending;
  w->updatePending = w->erasePending = false;
  w->update = {};
  ps->hdc = GetDC(hwnd);
  // As on Windows, drawing is limited to the update region: a control drawn whole over a part
  // that needed no painting would cover what lies above it there.
  if (ps->hdc)
    IntersectClipRect(ps->hdc, ps->rcPaint.left, ps->rcPaint.top, ps->rcPaint.right,
                      ps->rcPaint.bottom);
  if (erase) ps->fErase = CallProc(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0) == 0;
  return ps->hdc;
}

extern "C" BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  if (ps->hdc) ReleaseDC(hwnd, ps->hdc);
  FlushPresents();
  return TRUE;
}

size_t platform::sink::WindowSurfaceBytes() {
  size_t bytes = 0;
  for (const auto& w : platform::core::State().slots)
    if (w && w->alive) bytes += w->surface.pixels.capacity() * sizeof(uint32_t);
  return bytes;
}
