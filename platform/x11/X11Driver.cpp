// The X11 driver: our top-level windows as X windows, the screen, other programs' windows and
// the tray; the events are X11Events.cpp's. Internal to platform/x11.
#include "platform/x11/X11Driver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "platform/core/CodePage.h"
#include "platform/core/DriverSink.h"
#include "platform/core/FontEngine.h"
#include "platform/core/Paths.h"
#include "platform/win32.h"
#include "platform/x11/X11DriverImpl.h"
#include "platform/x11/X11Image.h"
#include "platform/x11/X11ProgramName.h"
#include "platform/x11/X11Windows.h"

namespace platform::x11 {

namespace {

constexpr long kWindowEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                               PointerMotionMask | KeyPressMask | KeyReleaseMask | FocusChangeMask |
                               StructureNotifyMask | PropertyChangeMask;
// Motif window-manager hints: which frame buttons and functions a window offers.
constexpr long kMotifFunctions = 1, kMotifDecorations = 2;  // fields the hints fill
constexpr long kFuncResize = 2, kFuncMove = 4, kFuncMinimize = 8, kFuncMaximize = 16,
               kFuncClose = 32;
constexpr long kDecorBorder = 2, kDecorResizeH = 4, kDecorTitle = 8, kDecorMenu = 16,
               kDecorMinimize = 32, kDecorMaximize = 64;
constexpr int kGrabAttempts = 50;  // a popup waits up to 100 ms for another grab to end
constexpr auto kGrabRetryPause = std::chrono::milliseconds(2);

bool WantsFrame(const WindowInfo& info) {
  return (info.style & WS_CAPTION) == WS_CAPTION;
}

// The frame the window manager draws offers what the window's style asks for, as Windows'
// caption would: a dialog gets a close button but no minimise or maximise button. A window
// without area gets no frame at all, whatever its style: nothing of it may show.
std::array<long, 5> MotifHints(const WindowInfo& info, bool withoutArea) {
  if (!WantsFrame(info)) return {kMotifDecorations, 0, 0, 0, 0};
  long functions = kFuncMove | kFuncClose, decorations = kDecorBorder | kDecorTitle;
  if (info.style & WS_SYSMENU) decorations |= kDecorMenu;
  if (info.style & WS_THICKFRAME) functions |= kFuncResize, decorations |= kDecorResizeH;
  if (info.style & WS_MINIMIZEBOX) functions |= kFuncMinimize, decorations |= kDecorMinimize;
  if (info.style & WS_MAXIMIZEBOX) functions |= kFuncMaximize, decorations |= kDecorMaximize;
  return {kMotifFunctions | kMotifDecorations, functions, withoutArea ? 0 : decorations, 0, 0};
}

}  // namespace

// --- Construction ---

TX11Driver::TX11Driver(std::unique_ptr<TX11Display> display) : FDisplay(std::move(display)) {
  Display* dpy = FDisplay->Dpy();
  // The root tells about tray hosts that start later (MANAGER) and about focus moves.
  XSelectInput(dpy, FDisplay->Root(), StructureNotifyMask | PropertyChangeMask);
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  FTimeWindow = XCreateWindow(dpy, FDisplay->Root(), -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent,
                              CWEventMask, &attributes);
  // Every window of ours names this one as the keeper of its user time, so that one property
  // change at each press or key speaks for all of them.
  FUserTimeWindow = XCreateWindow(dpy, FDisplay->Root(), -1, -1, 1, 1, 0, 0, InputOnly,
                                  CopyFromParent, 0, nullptr);
  int shapeEvent = 0, shapeError = 0;
  FHaveShape = XShapeQueryExtension(dpy, &shapeEvent, &shapeError) != 0;
  FGc = XCreateGC(dpy, FDisplay->Root(), 0, nullptr);
  FCursors = std::make_unique<TX11Cursors>(dpy);
  FSeeThrough = std::make_unique<TX11SeeThrough>(*FDisplay);
  FTray = std::make_unique<TX11Tray>(
      *FDisplay,
      [](HWND owner, UINT msg, WPARAM wParam, LPARAM lParam) {
        sink::ForeignMessage(owner, msg, wParam, lParam);
      },
      [] {
        TClickTracker::TRules rules;
        rules.time = GetDoubleClickTime();
        rules.width = GetSystemMetrics(SM_CXDOUBLECLK);
        rules.height = GetSystemMetrics(SM_CYDOUBLECLK);
        return rules;
      });
  TStatusNotifier::THooks hooks;
  hooks.post = [](HWND owner, UINT msg, WPARAM wParam, LPARAM lParam) {
    sink::ForeignMessage(owner, msg, wParam, lParam);
  };
  hooks.pointAt = [this](POINT at) {
    FPointerSetFrom = RealPointer();
    FPointerAt = at;
    FPointerSet = true;
  };
  hooks.screen = [this] { return ScreenSize(); };
  FNotifyArea = std::make_unique<TX11NotifyArea>(*FTray, std::move(hooks));
}

TX11Driver::~TX11Driver() {
  FNotifyArea.reset();
  FTray.reset();
  Display* dpy = FDisplay->Dpy();
  for (const auto& [hwnd, w] : FWindows)
    XDestroyWindow(dpy, w.xid);
  FCursors.reset();
  XDestroyWindow(dpy, FTimeWindow);
  XDestroyWindow(dpy, FUserTimeWindow);
  FSeeThrough.reset();
  XFreeGC(dpy, FGc);
  XSync(dpy, False);
}

TX11Driver::TWindow* TX11Driver::Find(HWND hwnd) {
  const auto it = FWindows.find(hwnd);
  return it == FWindows.end() ? nullptr : &it->second;
}

TX11Driver::TWindow* TX11Driver::FindX(Window xid) {
  for (auto& [hwnd, w] : FWindows) {
    if (w.xid == xid) return &w;
  }
  return nullptr;
}

// --- Our windows ---

void TX11Driver::Realise(const WindowInfo& info) {
  TWindow w;
  w.hwnd = info.hwnd;
  w.info = info;
  w.carrier = IsCarrier(info);
  // Where a compositor keeps the screen, a window shows the desktop through its see-through
  // pixels; menus and lists are opaque, and a window without area shows nothing anyway. The
  // server is asked only when a window is shown.
  w.seeThrough = !info.popup && !w.carrier && FSeeThrough->Known();
  w.xid = CreateXWindow(info, w.seeThrough);
  FWindows[info.hwnd] = w;
  SetText(info.hwnd, info.text);
  SetHints(FWindows[info.hwnd]);
  // Other processes look for hidden windows too (a second copy finding the first): the window
  // must reach the server now, not when this process next waits for an event.
  XFlush(FDisplay->Dpy());
}

Window TX11Driver::CreateXWindow(const WindowInfo& info, bool seeThrough) {
  Display* dpy = FDisplay->Dpy();
  const bool carrier = IsCarrier(info);
  XSetWindowAttributes attributes{};
  // No background: the server leaves exposed areas alone until the surface is put there.
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  attributes.event_mask = kWindowEvents;
  attributes.override_redirect = info.popup ? True : False;
  attributes.save_under = info.popup ? True : False;
  unsigned long mask =
      CWBackPixmap | CWBorderPixel | CWEventMask | CWOverrideRedirect | CWSaveUnder;
  int depth = CopyFromParent;
  Visual* visual = CopyFromParent;
  if (seeThrough) {
    attributes.colormap = FSeeThrough->WindowColormap();
    mask |= CWColormap;
    depth = FSeeThrough->WindowDepth();
    visual = FSeeThrough->WindowVisual();
  }
  const int width = std::max<int>(1, info.bounds.right - info.bounds.left);
  const int height = std::max<int>(1, info.bounds.bottom - info.bounds.top);
  const Window xid = XCreateWindow(dpy, FDisplay->Root(), info.bounds.left, info.bounds.top, width,
                                   height, 0, depth, InputOutput, visual, mask, &attributes);
  const TAtoms& atoms = FDisplay->Atoms();
  Atom protocols[] = {atoms.wmDeleteWindow};
  XSetWMProtocols(dpy, xid, protocols, 1);
  FDisplay->SetBytes(xid, atoms.calvixClass, XA_STRING, info.className);
  const long pid = long(getpid());
  FDisplay->SetCardinals(xid, atoms.netWmPid, XA_CARDINAL, &pid, 1);
  XClassHint classHint{};
  std::string resName = ProgramName(), resClass = Cp1252FromLatin1(info.className);
  classHint.res_name = resName.data();
  classHint.res_class = resClass.data();
  XSetClassHint(dpy, xid, &classHint);
  const Atom type = info.popup                                    ? atoms.netWmWindowTypePopupMenu
                    : (WantsFrame(info) && info.owner != nullptr) ? atoms.netWmWindowTypeDialog
                                                                  : atoms.netWmWindowTypeNormal;
  FDisplay->SetAtoms(xid, atoms.netWmWindowType, {type});
  if (!info.popup) {
    const std::array<long, 5> motif = MotifHints(info, carrier);
    FDisplay->SetCardinals(xid, atoms.motifWmHints, atoms.motifWmHints, motif.data(), 5);
    if (carrier) {
      // An invisible window never takes the focus on its own when it is mapped: a user time of
      // 0 says so. When the program wants it active, it asks for that.
      const long never = 0;
      FDisplay->SetCardinals(xid, atoms.netWmUserTime, XA_CARDINAL, &never, 1);
    } else {
      const long userTimeWindow = long(FUserTimeWindow);
      FDisplay->SetCardinals(xid, atoms.netWmUserTimeWindow, XA_WINDOW, &userTimeWindow, 1);
    }
  }
  if (const TWindow* owner = Find(info.owner)) XSetTransientForHint(dpy, xid, owner->xid);
  if (carrier) SetShape(xid);
  return xid;
}

void TX11Driver::MakeSeeThrough(TWindow& w) {
  // The compositor took the screen after the window was made: it is made again, hidden as it
  // is, with the visual that shows through; the windows it owns follow it.
  const Window old = w.xid;
  w.xid = CreateXWindow(w.info, true);
  w.seeThrough = true;
  for (auto& [hwnd, owned] : FWindows) {
    if (owned.info.owner == w.hwnd) XSetTransientForHint(FDisplay->Dpy(), owned.xid, w.xid);
  }
  XDestroyWindow(FDisplay->Dpy(), old);
  SetText(w.hwnd, w.info.text);
  SetHints(w);
}

void TX11Driver::SetHints(const TWindow& w) {
  Display* dpy = FDisplay->Dpy();
  // Placed exactly where the program asks, and at the size it asks unless the frame lets the
  // user resize.
  XSizeHints size{};
  size.flags = USPosition | PPosition | USSize | PSize;
  size.x = w.info.bounds.left;
  size.y = w.info.bounds.top;
  size.width = std::max<int>(1, w.info.bounds.right - w.info.bounds.left);
  size.height = std::max<int>(1, w.info.bounds.bottom - w.info.bounds.top);
  if ((w.info.style & WS_THICKFRAME) == 0) {
    size.flags |= PMinSize | PMaxSize;
    size.min_width = size.max_width = size.width;
    size.min_height = size.max_height = size.height;
  }
  XSetWMNormalHints(dpy, w.xid, &size);
  XWMHints hints{};
  hints.flags = InputHint | StateHint;
  hints.input = True;
  hints.initial_state = w.minimised ? IconicState : NormalState;
  XSetWMHints(dpy, w.xid, &hints);
}

void TX11Driver::SetNetState(const TWindow& w) {
  // The window manager erases _NET_WM_STATE when a window is withdrawn: it is set again
  // before every map.
  const TAtoms& atoms = FDisplay->Atoms();
  std::vector<Atom> state;
  if (!w.info.taskbar) state = {atoms.netWmStateSkipTaskbar, atoms.netWmStateSkipPager};
  if ((w.info.exStyle & WS_EX_TOPMOST) != 0) state.push_back(atoms.netWmStateAbove);
  FDisplay->SetAtoms(w.xid, atoms.netWmState, state);
}

void TX11Driver::Destroy(HWND hwnd) {
  TWindow* w = Find(hwnd);
  if (w == nullptr) return;
  if (FCaptured == hwnd) CapturePointer(nullptr);
  XDestroyWindow(FDisplay->Dpy(), w->xid);
  XFlush(FDisplay->Dpy());
  FWindows.erase(hwnd);
}

void TX11Driver::Show(HWND hwnd, bool visible, bool minimised) {
  TWindow* w = Find(hwnd);
  if (w == nullptr) return;
  if (w->carrier) {
    ShowCarrier(*w, visible, minimised);
  } else {
    ShowNow(*w, visible, minimised);
  }
}

void TX11Driver::ShowNow(TWindow& window, bool visible, bool minimised) {
  TWindow* w = &window;
  if (visible) FMemoryGivenBack = false;
  Display* dpy = FDisplay->Dpy();
  const bool empty =
      w->info.bounds.right <= w->info.bounds.left || w->info.bounds.bottom <= w->info.bounds.top;
  const bool wasShown = w->shown;
  if (visible && !w->mapped && !w->seeThrough && !w->info.popup && !w->carrier &&
      FSeeThrough->Active(TickCount())) {
    MakeSeeThrough(*w);
  }
  w->minimised = minimised;
  // A window without area has nothing to show; X cannot make one, so it stays unmapped, unless
  // it carries a taskbar button, which it does invisibly.
  w->shown = visible && (!empty || w->carrier);
  if (!w->shown) {
    if (w->info.popup) {
      XUngrabPointer(dpy, CurrentTime);
      XUngrabKeyboard(dpy, CurrentTime);
      XUnmapWindow(dpy, w->xid);
    } else {
      XWithdrawWindow(dpy, w->xid, FDisplay->Screen());
    }
  } else if (w->info.popup) {
    XMapRaised(dpy, w->xid);
    GrabForPopup(*w);
  } else if (minimised) {
    // A window the window manager minimised already (the core repeats what it reported) stays
    // as it is; mapping it here would restore it.
    if (w->iconic) {
    } else if (wasShown) {
      XIconifyWindow(dpy, w->xid, FDisplay->Screen());
      w->iconic = true;
    } else {
      // Shown minimised from hidden: the hints ask the window manager for the iconic state.
      SetNetState(*w);
      SetHints(*w);
      XMapWindow(dpy, w->xid);
    }
  } else {
    // Mapping a minimised window restores it; until the window manager says so, it counts as
    // restored, so that a minimise asked meanwhile is not taken for a repeat.
    w->iconic = false;
    SetNetState(*w);
    SetHints(*w);
    XMapRaised(dpy, w->xid);
  }
  XFlush(dpy);
}

void TX11Driver::GrabForPopup(const TWindow& w) {
  // A menu holds the pointer and the keyboard while it is up; a grab fails until the window is
  // viewable, and for a moment while another client (a tray host's click) still holds one.
  Display* dpy = FDisplay->Dpy();
  XSync(dpy, False);
  for (int attempt = 0; attempt < kGrabAttempts; ++attempt) {
    const int pointer =
        XGrabPointer(dpy, w.xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    if (pointer == GrabSuccess) {
      XGrabKeyboard(dpy, w.xid, False, GrabModeAsync, GrabModeAsync, CurrentTime);
      return;
    }
    std::this_thread::sleep_for(kGrabRetryPause);
  }
}

void TX11Driver::Move(HWND hwnd, const RECT& bounds) {
  TWindow* w = Find(hwnd);
  if (w == nullptr) return;
  w->info.bounds = bounds;
  SetHints(*w);
  XMoveResizeWindow(FDisplay->Dpy(), w->xid, bounds.left, bounds.top,
                    std::max<int>(1, bounds.right - bounds.left),
                    std::max<int>(1, bounds.bottom - bounds.top));
  XFlush(FDisplay->Dpy());
}

void TX11Driver::Restack(HWND hwnd, HWND above) {
  TWindow* w = Find(hwnd);
  if (w == nullptr) return;
  const TWindow* sibling = Find(above);
  XWindowChanges changes{};
  unsigned int mask = CWStackMode;
  changes.stack_mode = Above;
  if (sibling != nullptr) {
    changes.sibling = sibling->xid;
    changes.stack_mode = Below;
    mask |= CWSibling;
  }
  if (sibling == nullptr) {
    // To the top: the window manager, which redirects this request and stacks frames rather
    // than our windows, raises the frame. No sibling can mismatch, so there is no need to wait
    // for the server's verdict as XReconfigureWMWindow does, which costs a round trip.
    XConfigureWindow(FDisplay->Dpy(), w->xid, mask, &changes);
  } else {
    // Below one of our windows, which may sit in a frame of its own and then is no sibling:
    // the server refuses the plain request and the window manager is asked instead.
    XReconfigureWMWindow(FDisplay->Dpy(), w->xid, FDisplay->Screen(), mask, &changes);
  }
  XFlush(FDisplay->Dpy());
}

void TX11Driver::SetText(HWND hwnd, const std::string& text) {
  TWindow* w = Find(hwnd);
  if (w == nullptr) return;
  w->info.text = text;
  FDisplay->SetBytes(w->xid, FDisplay->Atoms().netWmName, FDisplay->Atoms().utf8String,
                     Utf8FromCp1252(text));
  // WM_NAME is ISO 8859-1 text for the tools that read only that.
  std::string latin1 = text;
  for (char& c : latin1)
    c = (static_cast<unsigned char>(c) >= 0x80 && static_cast<unsigned char>(c) < 0xA0) ? '?' : c;
  FDisplay->SetBytes(w->xid, XA_WM_NAME, XA_STRING, latin1);
  XFlush(FDisplay->Dpy());
}

Time TX11Driver::UserTime() {
  return FLastUserTime != 0 ? FLastUserTime : FDisplay->ServerTime(FTimeWindow);
}

void TX11Driver::NoteUserTime(Time time) {
  // Server times wrap at 32 bits: a later time is one less than half the range ahead.
  if (time == 0 || (FLastUserTime != 0 && int32_t(uint32_t(time - FLastUserTime)) <= 0)) return;
  FLastUserTime = time;
  // Window managers that prevent focus stealing (xfwm4, mutter, kwin) let a window that is
  // mapped or activated after this moment come forward with the keyboard focus.
  const long value = long(time);
  FDisplay->SetCardinals(FUserTimeWindow, FDisplay->Atoms().netWmUserTime, XA_CARDINAL, &value, 1);
}

void TX11Driver::RequestActivation(Window xid, Time time) {
  const long data[5] = {kActiveSourceApplication, long(time), 0, 0, 0};
  FDisplay->SendClientMessage(FDisplay->Root(), xid, FDisplay->Atoms().netActiveWindow, data,
                              SubstructureRedirectMask | SubstructureNotifyMask);
  XFlush(FDisplay->Dpy());
}

void TX11Driver::Activate(HWND hwnd) {
  TWindow* w = Find(hwnd);
  // A minimised window can be the active one on Windows, and stays minimised; the window
  // manager would restore it to activate it.
  if (w == nullptr || w->info.popup) return;
  if (w->carrier) {
    ActivateCarrier(*w);
    return;
  }
  if (!w->shown || w->minimised) return;
  // Asked at once, even before the window manager has mapped the window: it handles our map
  // request first. Asked later, at the map, the request could come after the user has
  // minimised the window or gone to another program, and undo that.
  RequestOwnActivation(w->xid, UserTime());
}

void TX11Driver::RequestOwnActivation(Window xid, Time time) {
  RequestActivation(xid, time);
  FAwaitedFocus = xid;
  FAwaitedSince = TickCount();
}

void TX11Driver::Present(HWND hwnd, const Surface& surface, const RECT& dirty) {
  const TWindow* w = Find(hwnd);
  if (w == nullptr || !w->mapped) return;
  if (w->seeThrough) {
    FSeeThrough->Present(w->xid, surface, dirty);
  } else {
    PutSurface(*FDisplay, w->xid, FGc, surface, dirty);
  }
  XFlush(FDisplay->Dpy());
}

// Windows sends the pointer to the capturing window over other programs' windows only while a
// mouse button is down (SetCapture's documentation). So the pointer is grabbed for a capture
// while a button is held and let go when the last one comes up: a capture the program keeps
// longer (its control missed a release) never takes the clicks the user makes elsewhere, and
// a click in one of our windows reaches the capturing window through the core as before.
void TX11Driver::CapturePointer(HWND hwnd) {
  const TWindow* w = Find(hwnd);
  FCaptured = w != nullptr && w->mapped ? hwnd : nullptr;
  GrabForCapture(FCaptured != nullptr && (sink::KeyHeld(VK_LBUTTON) || sink::KeyHeld(VK_RBUTTON) ||
                                          sink::KeyHeld(VK_MBUTTON)));
}

void TX11Driver::GrabForCapture(bool grab) {
  Display* dpy = FDisplay->Dpy();
  const TWindow* w = grab ? Find(FCaptured) : nullptr;
  if (w != nullptr) {
    FCaptureGrabbed =
        XGrabPointer(dpy, w->xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
  } else if (FCaptureGrabbed) {
    XUngrabPointer(dpy, CurrentTime);
    FCaptureGrabbed = false;
  }
  XFlush(dpy);
}

// The shape is the window's own cursor attribute: X shows it whenever the pointer is inside.
void TX11Driver::SetPointerShape(HWND hwnd, PointerShape shape) {
  const TWindow* w = Find(hwnd);
  if (w == nullptr) return;
  const Cursor cursor = FCursors->For(shape);
  if (cursor == None) return;
  XDefineCursor(FDisplay->Dpy(), w->xid, cursor);
  XFlush(FDisplay->Dpy());
}

// --- Input state and the screen ---

POINT TX11Driver::RealPointer() {
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int mask = 0;
  XQueryPointer(FDisplay->Dpy(), FDisplay->Root(), &root, &child, &rootX, &rootY, &x, &y, &mask);
  return {rootX, rootY};
}

POINT TX11Driver::CursorPos() {
  const POINT real = RealPointer();
  if (FPointerSet && real.x == FPointerSetFrom.x && real.y == FPointerSetFrom.y) return FPointerAt;
  FPointerSet = false;
  return real;
}

bool TX11Driver::ReadScreen(const RECT& area, Surface& out) {
  // A compositor keeps the screen: what lies under a window shows through it instead.
  if (FSeeThrough->Active(TickCount())) {
    out.Resize(area.right - area.left, area.bottom - area.top, kSeeThroughPixel);
    return true;
  }
  RECT clipped = area;
  if (!ClipToSize(clipped, FDisplay->Width(), FDisplay->Height())) return false;
  return ReadDrawable(*FDisplay, FDisplay->Root(), clipped, out);
}

// --- Other programs ---

bool TX11Driver::Stacking(std::vector<StackEntry>& topFirst) {
  topFirst.clear();
  for (const TTopLevel& top : FSnapshot.TopLevels(TickCount())) {
    if (const TWindow* own = FindX(top.client)) {
      topFirst.push_back({own->hwnd, 0});
    } else if (top.client != FTimeWindow && top.client != FUserTimeWindow &&
               !FTray->OwnsWindow(top.client)) {
      topFirst.push_back({nullptr, uint64_t(top.client)});
    }
  }
  return true;
}

bool TX11Driver::Describe(uint64_t key, ForeignWindow& out) {
  return FSnapshot.Describe(Window(key), out, TickCount());
}

bool TX11Driver::PostTo(uint64_t key, UINT msg, WPARAM wParam, LPARAM lParam) {
  long data[5];
  EncodePostedMessage({msg, wParam, lParam}, data);
  TErrorTrap trap(FDisplay->Dpy());
  FDisplay->SendClientMessage(Window(key), Window(key), FDisplay->Atoms().calvixMessage, data,
                              NoEventMask);
  return !trap.Failed();
}

bool TX11Driver::IsCalvixWindow(Window xid) {
  std::string className;
  return FDisplay->GetBytes(xid, FDisplay->Atoms().calvixClass, className);
}

bool TX11Driver::ShowForeign(uint64_t key, int showCommand) {
  Display* dpy = FDisplay->Dpy();
  const Window xid = Window(key);
  TErrorTrap trap(dpy);
  if (IsCalvixWindow(xid)) {
    // Another process of ours keeps its own window state: it shows the window itself. The
    // request carries the time of this program's latest user action (or now), so that the other
    // one may come forward on its behalf.
    const long data[5] = {showCommand, long(UserTime()), 0, 0, 0};
    FDisplay->SendClientMessage(xid, xid, FDisplay->Atoms().calvixShow, data, NoEventMask);
  } else if (showCommand == SW_HIDE) {
    XWithdrawWindow(dpy, xid, FDisplay->Screen());
  } else if (showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINIMIZED ||
             showCommand == SW_SHOWMINNOACTIVE) {
    XIconifyWindow(dpy, xid, FDisplay->Screen());
  } else {
    XMapWindow(dpy, xid);
  }
  return !trap.Failed();
}

bool TX11Driver::ForegroundForeign(uint64_t key) {
  Display* dpy = FDisplay->Dpy();
  if (key == kDesktopKey) {
    // The desktop takes the focus: no window of any program is active.
    XSetInputFocus(dpy, PointerRoot, RevertToPointerRoot, UserTime());
    FAwaitedFocus = 0;
    const long data[5] = {kActiveSourceApplication, long(UserTime()), 0, 0, 0};
    FDisplay->SendClientMessage(FDisplay->Root(), None, FDisplay->Atoms().netActiveWindow, data,
                                SubstructureRedirectMask | SubstructureNotifyMask);
    FFocusChanged = true;
    XFlush(dpy);
    // As on Windows, the program loses the activation within the call, not when the server's
    // focus events come back: what it does next (show a window, say) must come after the loss.
    sink::ActivationMoved(GetDesktopWindow());
    return true;
  }
  const Window xid = Window(key);
  TErrorTrap trap(dpy);
  if (IsCalvixWindow(xid)) {
    const long data[5] = {kShowRequestForeground, long(UserTime()), 0, 0, 0};
    FDisplay->SendClientMessage(xid, xid, FDisplay->Atoms().calvixShow, data, NoEventMask);
  } else {
    RequestActivation(xid, UserTime());
  }
  if (trap.Failed()) return false;
  sink::ActivationMoved(sink::ForeignHandle(key));
  return true;
}

// --- The notification area ---

bool TX11Driver::Tray(DWORD message, const TrayIcon& icon) {
  bool done = false;
  switch (message) {
    case NIM_ADD:
      done = FNotifyArea->Add(icon);
      break;
    case NIM_MODIFY:
      done = FNotifyArea->Modify(icon);
      break;
    case NIM_DELETE:
      done = FNotifyArea->Delete(icon.owner, icon.id);
      break;
    default:
      break;
  }
  XFlush(FDisplay->Dpy());
  return done;
}

}  // namespace platform::x11

namespace platform {

std::unique_ptr<Driver> CreateX11Driver() {
  auto display = x11::TX11Display::Open();
  if (display == nullptr) return nullptr;
  // The windows' texts are measured as soon as they are read: the fonts' configuration is read
  // meanwhile, while the connection is set up and the first window made, unless the matches of
  // an earlier run still hold.
  const std::string cache = UserCacheFolder();
  fonts::PrepareFontMatching(cache.empty() ? cache
                                           : cache + "/" + x11::ProgramName() + "/font-matches");
  return std::make_unique<x11::TX11Driver>(std::move(display));
}

bool X11TrayDocked(HWND owner, UINT id) {
  const auto* driver = dynamic_cast<const x11::TX11Driver*>(&CurrentDriver());
  return driver != nullptr && driver->TrayDocked(owner, id);
}

bool X11TrayAsItem(HWND owner, UINT id) {
  const auto* driver = dynamic_cast<const x11::TX11Driver*>(&CurrentDriver());
  return driver != nullptr && driver->TrayAsItem(owner, id);
}

}  // namespace platform
