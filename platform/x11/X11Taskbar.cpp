// The taskbar button of a window without area: the application's hidden window carries the
// program's one taskbar entry while it is shown, as on Windows. X cannot show a window without
// area, and a panel lists only mapped windows, so such a window is mapped with an empty shape:
// nothing of it shows and nothing of it takes the pointer, but the panel lists it, minimised or
// not, and its clicks reach the program as the window manager's requests about it. Every other
// window of ours stays off the taskbar. Internal to platform/x11.
#include <X11/extensions/shape.h>

#include "platform/win32.h"
#include "platform/x11/X11DriverImpl.h"

namespace platform::x11 {

bool TX11Driver::IsCarrier(const WindowInfo& info) {
  const bool empty = info.bounds.right <= info.bounds.left || info.bounds.bottom <= info.bounds.top;
  return info.taskbar && !info.popup && empty;
}

void TX11Driver::SetShape(Window xid) {
  // Without the extension the window stays one pixel that draws nothing, which shows what was
  // under it.
  if (!FHaveShape) return;
  Display* dpy = FDisplay->Dpy();
  XShapeCombineRectangles(dpy, xid, ShapeBounding, 0, 0, nullptr, 0, ShapeSet, YXBanded);
  XShapeCombineRectangles(dpy, xid, ShapeInput, 0, 0, nullptr, 0, ShapeSet, YXBanded);
}

namespace {

// Starts a pending request from the state the carrier is in.
template <typename TWin>
void Pend(TWin& w, bool& settlePending) {
  if (!w.pending) {
    w.wantShown = w.shown;
    w.wantMinimised = w.minimised;
    w.wantActive = false;
    w.pending = true;
  }
  settlePending = true;
}

}  // namespace

void TX11Driver::ShowCarrier(TWindow& w, bool visible, bool minimised) {
  // The toolkit shows its application window minimised and the tray takes it away again within
  // one message: the panel would list it for an instant.
  Pend(w, FSettlePending);
  w.wantShown = visible;
  w.wantMinimised = minimised;
  if (!visible || minimised) w.wantActive = false;
}

void TX11Driver::ActivateCarrier(TWindow& w) {
  Pend(w, FSettlePending);
  if (w.wantShown && !w.wantMinimised) w.wantActive = true;
}

void TX11Driver::Settle() {
  if (!FSettlePending) return;
  FSettlePending = false;
  for (auto& [hwnd, w] : FWindows) {
    if (!w.pending) continue;
    w.pending = false;
    if (w.wantShown != w.shown || (w.wantShown && w.wantMinimised != w.minimised)) {
      ShowNow(w, w.wantShown, w.wantMinimised);
    }
    // Asked only if it still is what the program wants active: a window activated after it
    // (the form shown with the application) keeps the activation.
    if (w.wantActive && w.shown && !w.minimised && GetActiveWindow() == w.hwnd) {
      RequestOwnActivation(w.xid, UserTime());
    }
    w.wantActive = false;
  }
}

bool TX11Driver::ForwardFromCarrier(const TWindow& carrier) {
  // The program asked for its application window's activation itself: it keeps it.
  if (GetActiveWindow() == carrier.hwnd) return false;
  auto usable = [&](const TWindow* t) {
    return t != nullptr && t->info.owner == carrier.hwnd && !t->info.popup && t->shown &&
           !t->minimised;
  };
  const TWindow* target = Find(carrier.lastActivePopup);
  if (!usable(target)) {
    target = nullptr;
    for (const auto& [hwnd, w] : FWindows) {
      if (usable(&w)) target = &w;
    }
  }
  if (target == nullptr) return false;
  // The user's click on the panel is the action behind this request; it came just now. The
  // focus arriving there reports the activation.
  RequestOwnActivation(target->xid, FDisplay->ServerTime(FTimeWindow));
  return true;
}

}  // namespace platform::x11
