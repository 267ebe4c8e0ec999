// Where windows are: showing and hiding, minimising, moving, the Z order and its walks,
// parents and owners, and the system-wide update lock. Part of the platform's portable core.
#include <algorithm>

#include "platform/core/Core.h"
#include "platform/core/DriverSink.h"

namespace platform::core {
namespace {

// Flags Windows adds to WM_WINDOWPOSCHANGED when the client area did not move or resize.
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;
constexpr UINT kQuietShow = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

// Tells the driver where the moved windows now stand, bottom-most first.
void RestackForDriver(const std::vector<HWND>& list, const std::vector<HWND>& moved) {
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    if (std::find(moved.begin(), moved.end(), *it) == moved.end()) continue;
    auto pos = std::find(list.begin(), list.end(), *it);
    TheDriver().Restack(*it, pos == list.begin() ? nullptr : *(pos - 1));
  }
}

void OwnedChain(HWND owner, const std::vector<HWND>& list, std::vector<HWND>& out) {
  for (HWND h : list) {
    TWindow* w = FindOwn(h);
    if (w && w->owner == owner && std::find(out.begin(), out.end(), h) == out.end()) {
      out.push_back(h);
      OwnedChain(h, list, out);
    }
  }
}

// Puts `w` below `after` among its siblings (HWND_TOP, HWND_BOTTOM or a sibling); a window
// brought to the top takes the windows it owns along above it.
void PlaceAmongSiblings(TWindow& w, HWND after) {
  TWindow* parent = FindOwn(w.parent);
  if (!parent) return;
  ForgetTopLevelPicture();
  auto& list = parent->children;
  std::erase(list, w.handle);
  auto pos = list.begin();
  const bool toTop = after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST;
  if (after == HWND_BOTTOM) {
    pos = list.end();
  } else if (!toTop) {
    auto it = std::find(list.begin(), list.end(), after);
    pos = it == list.end() ? list.begin() : it + 1;
  }
  list.insert(pos, w.handle);
  std::vector<HWND> moved{w.handle};
  if (toTop) {
    std::vector<HWND> owned;
    OwnedChain(w.handle, list, owned);
    std::vector<HWND> reordered;
    for (HWND h : list)
      if (std::find(owned.begin(), owned.end(), h) != owned.end()) reordered.push_back(h);
    for (HWND h : list)
      if (std::find(owned.begin(), owned.end(), h) == owned.end()) reordered.push_back(h);
    list = reordered;
    moved.insert(moved.end(), owned.begin(), owned.end());
  }
  if (parent->handle == State().desktop) RestackForDriver(list, moved);
}

void ActivateNext(HWND except) {
  for (HWND h : Desktop().children) {
    TWindow* w = FindOwn(h);
    if (w && h != except && w->Visible() && !w->Iconic() && !(w->style & WS_DISABLED) &&
        !(w->exStyle & WS_EX_NOACTIVATE)) {
      ActivateWindow(w, WA_ACTIVE, true);
      return;
    }
  }
  DeactivateApp();
}

}  // namespace

void RaiseTopLevel(TWindow& w) {
  PlaceAmongSiblings(w, HWND_TOP);
}

// The one place where a window's position, size, visibility and Z order change.
bool ApplyWindowPos(HWND hwnd, WINDOWPOS wp, bool tellDriver) {
  if (!(wp.flags & SWP_NOSENDCHANGING))
    CallProc(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
  TWindow* w = FindOwn(hwnd);
  if (!w) return false;
  const RECT old = w->rect;
  if (!(wp.flags & SWP_NOMOVE))
    w->rect = {wp.x, wp.y, wp.x + (old.right - old.left), wp.y + (old.bottom - old.top)};
  if (!(wp.flags & SWP_NOSIZE)) {
    w->rect.right = w->rect.left + std::max(wp.cx, 0);
    w->rect.bottom = w->rect.top + std::max(wp.cy, 0);
  }
  const bool moved = w->rect.left != old.left || w->rect.top != old.top;
  const bool sized = w->Width() != old.right - old.left || w->Height() != old.bottom - old.top;
  const bool showing = (wp.flags & SWP_SHOWWINDOW) && !w->Visible();
  const bool hiding = (wp.flags & SWP_HIDEWINDOW) && w->Visible();
  if (showing) w->style |= WS_VISIBLE;
  if (hiding) w->style &= ~DWORD(WS_VISIBLE);
  if (!(wp.flags & SWP_NOZORDER)) PlaceAmongSiblings(*w, wp.hwndInsertAfter);
  if (w->realised && tellDriver && (moved || sized)) TheDriver().Move(hwnd, ScreenRect(*w));
  if (w->realised && (showing || hiding)) TheDriver().Show(hwnd, showing, w->Iconic());
  if (showing || sized) Invalidate(*w, nullptr, true);
  if (hiding) ReleaseSurface(*w);
  if (hiding && State().active == hwnd) ActivateNext(hwnd);
  if (!(wp.flags & SWP_NOACTIVATE) && IsTopLevel(*w) && w->Visible())
    ActivateWindow(w, WA_ACTIVE, true);
  if (!(w = FindOwn(hwnd))) return true;
  WINDOWPOS done{hwnd,       wp.hwndInsertAfter, int(w->rect.left), int(w->rect.top),
                 w->Width(), w->Height(),        wp.flags};
  if (!moved) done.flags |= kNoClientMove;
  if (!sized) done.flags |= kNoClientSize;
  CallProc(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
  return true;
}

// DefWindowProcA's answer to WM_WINDOWPOSCHANGED: the client area's news.
void DefaultPosChanged(TWindow& w, const WINDOWPOS& wp) {
  const HWND hwnd = w.handle;
  if (!(wp.flags & kNoClientMove)) CallProc(hwnd, WM_MOVE, 0, MAKELPARAM(wp.x, wp.y));
  if (!(wp.flags & kNoClientSize)) {
    TWindow* again = FindOwn(hwnd);
    const WPARAM kind = again && again->Iconic() ? SIZE_MINIMIZED : SIZE_RESTORED;
    CallProc(hwnd, WM_SIZE, kind, MAKELPARAM(wp.cx, wp.cy));
  }
}

namespace {

enum TShowHow { shActivate, shRaise, shQuiet };

// SW_SHOW activates (and so raises), SW_SHOWNA raises without activating, and the quiet way
// (SW_SHOWNOACTIVATE, owners) leaves the Z order alone, as the reference does.
void SetShown(HWND hwnd, bool show, TShowHow how, LPARAM reason = 0) {
  CallProc(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, reason);
  UINT flags = show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  flags |= how == shActivate ? (SWP_NOMOVE | SWP_NOSIZE)
           : how == shRaise  ? (SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE)
                             : kQuietShow;
  ApplyWindowPos(hwnd, {hwnd, HWND_TOP, 0, 0, 0, 0, flags}, true);
}

void ShowOwned(HWND owner, bool show) {
  for (HWND h : std::vector<HWND>(Desktop().children)) {
    TWindow* o = FindOwn(h);
    if (!o || o->owner != owner) continue;
    if (!show && o->Visible()) {
      o->hiddenByOwner = true;
      SetShown(h, false, shQuiet, SW_PARENTCLOSING);
    } else if (show && o->hiddenByOwner) {
      o->hiddenByOwner = false;
      SetShown(h, true, shQuiet, SW_PARENTOPENING);
    }
  }
}

void Minimise(HWND hwnd, bool activate) {
  TWindow* w = FindOwn(hwnd);
  if (w && !w->Iconic()) {
    w->style |= WS_MINIMIZE;
    ShowOwned(hwnd, false);
    if (!(w = FindOwn(hwnd))) return;
    if (!w->Visible()) {
      SetShown(hwnd, true, shQuiet);
    } else if (w->realised) {
      TheDriver().Show(hwnd, true, true);
    }
    CallProc(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
  }
  if (!(w = FindOwn(hwnd))) return;
  if (activate)
    ActivateWindow(w, WA_ACTIVE, true);
  else if (State().active == hwnd)
    ActivateNext(hwnd);
}

void Restore(HWND hwnd) {
  TWindow* w = FindOwn(hwnd);
  if (!w || !w->Iconic()) return;
  w->style &= ~DWORD(WS_MINIMIZE);
  if (w->realised && w->Visible()) TheDriver().Show(hwnd, true, false);
  Invalidate(*w, nullptr, true);
  CallProc(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Width(), w->Height()));
  ShowOwned(hwnd, true);
}

void Show(HWND hwnd, TShowHow how) {
  TWindow* w = FindOwn(hwnd);
  if (!w) return;
  if (!w->Visible())
    SetShown(hwnd, true, how);
  else if (how == shActivate && IsTopLevel(*w))
    ActivateWindow(w, WA_ACTIVE, true);
}

}  // namespace

void Invalidate(TWindow& w, const RECT* area, bool erase) {
  RECT r{0, 0, w.Width(), w.Height()};
  if (area) {
    r.left = std::max(r.left, area->left), r.top = std::max(r.top, area->top);
    r.right = std::min(r.right, area->right), r.bottom = std::min(r.bottom, area->bottom);
  }
  if (r.left >= r.right || r.top >= r.bottom) return;
  if (!w.updatePending) {
    w.update = r;
  } else {
    w.update.left = std::min(w.update.left, r.left), w.update.top = std::min(w.update.top, r.top);
    w.update.right = std::max(w.update.right, r.right);
    w.update.bottom = std::max(w.update.bottom, r.bottom);
  }
  w.updatePending = true;
  w.erasePending = w.erasePending || erase;
}

}  // namespace platform::core

using namespace platform;
using namespace platform::core;

// --- Showing ---

extern "C" BOOL WINAPI ShowWindow(HWND hwnd, int command) {
  TWindow* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->foreign) {
    const bool wasVisible = ReallyVisible(*w);
    TheDriver().ShowForeign(w->foreignKey, command);
    return wasVisible;
  }
  const BOOL wasVisible = w->Visible() ? TRUE : FALSE;
  w->hiddenByOwner = false;
  switch (command) {
    case SW_HIDE:
      if (wasVisible) SetShown(hwnd, false, shQuiet);
      break;
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_SHOWMINIMIZED:
      Minimise(hwnd, command == SW_SHOWMINIMIZED);
      break;
    case SW_SHOWNA:
      Show(hwnd, shRaise);
      break;
    case SW_SHOWNOACTIVATE:
      Restore(hwnd);
      Show(hwnd, shQuiet);
      break;
    case SW_SHOW:
      Show(hwnd, shActivate);
      break;
    default:
      Restore(hwnd);
      Show(hwnd, shActivate);
  }
  return wasVisible;
}

extern "C" BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy,
                                    UINT flags) {
  TWindow* w = FindOrFail(hwnd);
  if (!w || hwnd == State().desktop) return FALSE;
  return ApplyWindowPos(hwnd, {hwnd, after, x, y, cx, cy, flags}, true);
}

extern "C" BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW);
  return SetWindowPos(hwnd, nullptr, x, y, width, height, flags);
}

extern "C" BOOL WINAPI BringWindowToTop(HWND hwnd) {
  return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

// --- Rectangles ---

extern "C" BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
  TWindow* w = Find(hwnd);
  if (!w || !rect) {
    SetLastError(w ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = ScreenRect(*w);
  return TRUE;
}

extern "C" BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
  RECT r;
  if (!rect || !GetWindowRect(hwnd, &r)) return FALSE;
  *rect = {0, 0, r.right - r.left, r.bottom - r.top};
  return TRUE;
}

extern "C" BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD, BOOL, DWORD) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT pt) {
  RECT r;
  if (!pt || !GetWindowRect(hwnd, &r)) return FALSE;
  pt->x += r.left, pt->y += r.top;
  return TRUE;
}

extern "C" BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT pt) {
  RECT r;
  if (!pt || !GetWindowRect(hwnd, &r)) return FALSE;
  pt->x -= r.left, pt->y -= r.top;
  return TRUE;
}

namespace {

bool Hit(HWND hwnd, POINT pt) {
  TWindow* w = Find(hwnd);
  if (!w) return false;
  const RECT r = ScreenRect(*w);
  return ReallyVisible(*w) && !IsIconic(hwnd) && PtInRect(&r, pt);
}

}  // namespace

HWND platform::sink::OwnWindowAt(POINT screen) {
  for (HWND h : Desktop().children)
    if (Hit(h, screen)) return h;
  return nullptr;
}

extern "C" HWND WINAPI WindowFromPoint(POINT pt) {
  for (HWND h : TopLevelOrder(true))
    if (Hit(h, pt)) return h;
  return nullptr;
}

// --- The Z order and its walks ---

extern "C" HWND WINAPI GetDesktopWindow() {
  return Desktop().handle;
}

extern "C" HWND WINAPI GetTopWindow(HWND hwnd) {
  if (!hwnd) hwnd = GetDesktopWindow();
  TWindow* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (hwnd == State().desktop) {
    // A walk starts here: it reads a fresh picture of the order.
    const auto order = TopLevelOrder(true);
    return order.empty() ? nullptr : order.front();
  }
  return w->children.empty() ? nullptr : w->children.front();
}

extern "C" HWND WINAPI GetWindow(HWND hwnd, UINT command) {
  TWindow* w = Find(hwnd);
  // Another program's window that went away while the program walks the top-level windows
  // keeps its place in the walk's picture, so that the walk goes on past it; it has no owner
  // and no children any more.
  const bool gone = !w && InTopLevelPicture(hwnd);
  if (!w && (!gone || command == GW_OWNER || command == GW_CHILD)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (command == GW_OWNER) return w->owner;
  if (command == GW_CHILD) return GetTopWindow(hwnd);
  if (command > GW_HWNDPREV) {
    SetLastError(ERROR_INVALID_GW_COMMAND);
    return nullptr;
  }
  if (hwnd == State().desktop) return nullptr;
  TWindow* parent = gone ? nullptr : FindOwn(w->parent);
  const std::vector<HWND> list = gone || IsTopLevel(*w) ? TopLevelOrder(false)
                                 : parent               ? parent->children
                                                        : std::vector<HWND>{};
  auto it = std::find(list.begin(), list.end(), hwnd);
  if (it == list.end()) return nullptr;
  switch (command) {
    case GW_HWNDFIRST:
      return list.front();
    case GW_HWNDLAST:
      return list.back();
    case GW_HWNDNEXT:
      return it + 1 == list.end() ? nullptr : *(it + 1);
    default:
      return it == list.begin() ? nullptr : *(it - 1);
  }
}

// --- Parents and owners ---

extern "C" HWND WINAPI SetParent(HWND child, HWND newParent) {
  TWindow* c = FindOrFail(child);
  TWindow* p = newParent ? FindOwn(newParent) : &Desktop();
  if (!c || !p) {
    if (c) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  for (TWindow* a = p; a; a = FindOwn(a->parent))
    if (a == c || child == State().desktop) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
  const HWND oldParent = c->parent;
  if (oldParent == p->handle) return oldParent;
  const bool wasTopLevel = IsTopLevel(*c);
  ForgetTopLevelPicture();
  if (TWindow* old = FindOwn(oldParent)) std::erase(old->children, child);
  c->parent = p->handle;
  p->children.insert(p->children.begin(), child);
  const bool topLevel = IsTopLevel(*c);
  if (c->realised && c->Visible() && wasTopLevel != topLevel)
    TheDriver().Show(child, topLevel, c->Iconic());
  if (topLevel) PlaceAmongSiblings(*c, HWND_TOP);
  if (!topLevel && State().active == child) ActivateNext(child);
  return oldParent;
}

extern "C" HWND WINAPI GetParent(HWND hwnd) {
  TWindow* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  if (w->style & WS_POPUP) return w->owner;
  if (w->style & WS_CHILD) return w->parent == State().desktop ? nullptr : w->parent;
  return nullptr;
}

extern "C" HWND WINAPI GetAncestor(HWND hwnd, UINT flags) {
  TWindow* w = Find(hwnd);
  if (!w || hwnd == State().desktop) return nullptr;
  switch (flags) {
    case GA_PARENT:
      return w->parent;
    case GA_ROOT:
      return Root(w)->handle;
    case GA_ROOTOWNER: {
      TWindow* r = Root(w);
      while (TWindow* o = FindOwn(r->owner))
        r = Root(o);
      return r->handle;
    }
  }
  return nullptr;
}

// --- The update lock ---

extern "C" BOOL WINAPI LockWindowUpdate(HWND hwnd) {
  TState& st = State();
  if (hwnd && !Find(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (st.locked && !Find(st.locked)) st.locked = nullptr;
  st.lockLog.push_back(hwnd);
  if (hwnd && st.locked) {
    SetLastError(ERROR_SCREEN_ALREADY_LOCKED);
    return FALSE;
  }
  st.locked = hwnd;
  return TRUE;
}

const std::vector<HWND>& platform::sink::LockWindowUpdateCalls() {
  return platform::core::State().lockLog;
}

HWND platform::sink::LockedWindow() {
  const HWND locked = platform::core::State().locked;
  return IsWindow(locked) ? locked : nullptr;
}

void platform::sink::ShowRequested(HWND hwnd, int showCommand) {
  if (FindOwn(hwnd) && hwnd != State().desktop) ShowWindow(hwnd, showCommand);
}
