// The X11 driver: our top-level windows as X windows, X input and focus as calls on the core,
// the tray, the screen and other programs' windows. Internal to platform/x11.
#include "platform/x11/X11Driver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <map>
#include <thread>

#include "platform/core/CodePage.h"
#include "platform/core/DriverSink.h"
#include "platform/core/WindowSurfaces.h"
#include "platform/win32.h"
#include "platform/x11/SessionSignals.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Image.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11NotifyArea.h"
#include "platform/x11/X11SeeThrough.h"
#include "platform/x11/X11Tray.h"
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
constexpr long kActiveSourceApplication = 1;
constexpr int kWheelDelta = 120;
constexpr int kGrabAttempts = 50;  // a popup waits up to 100 ms for another grab to end
constexpr auto kGrabRetryPause = std::chrono::milliseconds(2);
constexpr unsigned long kIconicState = 3;
// How long the window manager has to carry out our request to activate one of our windows.
// Until then a focus elsewhere is the state before the request, not a loss of activation.
constexpr DWORD kActivationGrace = 300;

// Requests about our own windows that another process of ours sent (ShowWindow and
// SetForegroundWindow on a window it found by the walk).
constexpr long kShowRequestForeground = -1;

DWORD MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return DWORD(uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000);
}

bool WantsFrame(const WindowInfo& info) {
  return (info.style & WS_CAPTION) == WS_CAPTION;
}

// The frame the window manager draws offers what the window's style asks for, as Windows'
// caption would: a dialog gets a close button but no minimise or maximise button.
std::array<long, 5> MotifHints(const WindowInfo& info) {
  if (!WantsFrame(info)) return {kMotifDecorations, 0, 0, 0, 0};
  long functions = kFuncMove | kFuncClose, decorations = kDecorBorder | kDecorTitle;
  if (info.style & WS_SYSMENU) decorations |= kDecorMenu;
  if (info.style & WS_THICKFRAME) functions |= kFuncResize, decorations |= kDecorResizeH;
  if (info.style & WS_MINIMIZEBOX) functions |= kFuncMinimize, decorations |= kDecorMinimize;
  if (info.style & WS_MAXIMIZEBOX) functions |= kFuncMaximize, decorations |= kDecorMaximize;
  return {kMotifFunctions | kMotifDecorations, functions, decorations, 0, 0};
}

}  // namespace

class TX11Driver final : public Driver {
 public:
  explicit TX11Driver(std::unique_ptr<TX11Display> display);
  ~TX11Driver() override;

  const char* Name() const override { return "x11"; }

  DWORD TickCount() override { return MonotonicMilliseconds(); }
  void Poll() override { Drain(); }
  bool Wait(DWORD deadline, bool forever) override;

  void Realise(const WindowInfo& info) override;
  void Destroy(HWND hwnd) override;
  void Show(HWND hwnd, bool visible, bool minimised) override;
  void Move(HWND hwnd, const RECT& bounds) override;
  void Restack(HWND hwnd, HWND above) override;
  void SetText(HWND hwnd, const std::string& text) override;
  void Activate(HWND hwnd) override;
  void Present(HWND hwnd, const Surface& surface, const RECT& dirty) override;
  void CapturePointer(HWND hwnd) override;

  POINT CursorPos() override;
  SIZE ScreenSize() override { return {FDisplay->Width(), FDisplay->Height()}; }
  bool ReadScreen(const RECT& area, Surface& out) override;

  bool Stacking(std::vector<StackEntry>& topFirst) override;
  bool Describe(uint64_t key, ForeignWindow& out) override;
  bool PostTo(uint64_t key, UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool ShowForeign(uint64_t key, int showCommand) override;
  bool ForegroundForeign(uint64_t key) override;

  bool Tray(DWORD message, const TrayIcon& icon) override;
  bool TrayDocked(HWND owner, UINT id) const { return FNotifyArea->Shown(owner, id); }
  bool TrayAsItem(HWND owner, UINT id) const { return FNotifyArea->AsItem(owner, id); }

 private:
  struct TWindow {
    HWND hwnd = nullptr;
    Window xid = 0;
    WindowInfo info;
    bool mapped = false;      // the server mapped it (MapNotify)
    bool shown = false;       // the core wants it on the screen
    bool minimised = false;   // the core wants it minimised
    bool iconic = false;      // the window manager keeps it minimised (WM_STATE)
    bool seeThrough = false;  // made with the 32-bit visual of a compositor's screen
  };

  // --- Our windows ---
  TWindow* Find(HWND hwnd);
  TWindow* FindX(Window xid);
  Window CreateXWindow(const WindowInfo& info, bool seeThrough);
  void MakeSeeThrough(TWindow& w);
  void SetHints(const TWindow& w);
  void SetNetState(const TWindow& w);
  void GrabForPopup(const TWindow& w);
  Time UserTime();
  void RequestActivation(Window xid);
  POINT RealPointer();

  // --- Events ---
  bool Drain();
  void Translate(XEvent& event);
  void TranslatePointer(const TWindow& w, const XEvent& event);
  void TranslateKey(XKeyEvent& event);
  void TranslateClient(const TWindow& w, const XClientMessageEvent& event);
  void TranslateProperty(TWindow& w, const XPropertyEvent& event);
  void CheckFocus();
  DWORD LocalTime(Time serverTime);
  bool IsCalvixWindow(Window xid);

  std::unique_ptr<TX11Display> FDisplay;
  std::map<HWND, TWindow> FWindows;
  std::unique_ptr<TX11Tray> FTray;
  std::unique_ptr<TX11NotifyArea> FNotifyArea;
  std::unique_ptr<TX11SeeThrough> FSeeThrough;
  // Where a tray host's call says the user clicked the icon: GetCursorPos answers with it until
  // the real pointer moves.
  bool FPointerSet = false;
  POINT FPointerAt{};
  POINT FPointerSetFrom{};
  TSessionSignals FSignals;  // the end of the session, from the session manager or the user
  GC FGc = nullptr;
  Window FTimeWindow = 0;  // an unmapped window of ours that fetches server timestamps
  DWORD FTimeOffset = 0;   // TickCount minus the server's time
  bool FTimeOffsetKnown = false;
  Time FLastUserTime = 0;
  TDeadKeys FDeadKeys;  // an accent key waiting for its letter
  bool FFocusChanged = false;
  Window FAwaitedFocus = 0;  // our window whose activation was asked and has not landed yet
  DWORD FAwaitedSince = 0;
  HWND FCaptured = nullptr;
};

// --- Construction ---

TX11Driver::TX11Driver(std::unique_ptr<TX11Display> display) : FDisplay(std::move(display)) {
  Display* dpy = FDisplay->Dpy();
  // The root tells about tray hosts that start later (MANAGER) and about focus moves.
  XSelectInput(dpy, FDisplay->Root(), StructureNotifyMask | PropertyChangeMask);
  XSetWindowAttributes attributes{};
  attributes.event_mask = PropertyChangeMask;
  FTimeWindow = XCreateWindow(dpy, FDisplay->Root(), -1, -1, 1, 1, 0, 0, InputOnly, CopyFromParent,
                              CWEventMask, &attributes);
  FGc = XCreateGC(dpy, FDisplay->Root(), 0, nullptr);
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
  XDestroyWindow(dpy, FTimeWindow);
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
  // Where a compositor keeps the screen, a window shows the desktop through its see-through
  // pixels; menus and lists are opaque. The server is asked only when a window is shown.
  w.seeThrough = !info.popup && FSeeThrough->Known();
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
  std::string resName = "MorCalvix", resClass = Cp1252FromLatin1(info.className);
  classHint.res_name = resName.data();
  classHint.res_class = resClass.data();
  XSetClassHint(dpy, xid, &classHint);
  const Atom type = info.popup                                    ? atoms.netWmWindowTypePopupMenu
                    : (WantsFrame(info) && info.owner != nullptr) ? atoms.netWmWindowTypeDialog
                                                                  : atoms.netWmWindowTypeNormal;
  FDisplay->SetAtoms(xid, atoms.netWmWindowType, {type});
  if (!info.popup) {
    const std::array<long, 5> motif = MotifHints(info);
    FDisplay->SetCardinals(xid, atoms.motifWmHints, atoms.motifWmHints, motif.data(), 5);
  }
  if (const TWindow* owner = Find(info.owner)) XSetTransientForHint(dpy, xid, owner->xid);
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
  Display* dpy = FDisplay->Dpy();
  const bool empty =
      w->info.bounds.right <= w->info.bounds.left || w->info.bounds.bottom <= w->info.bounds.top;
  const bool wasShown = w->shown;
  if (visible && !w->mapped && !w->seeThrough && !w->info.popup && FSeeThrough->Active(TickCount()))
    MakeSeeThrough(*w);
  w->minimised = minimised;
  // A window without area has nothing to show; X cannot make one, so it stays unmapped.
  w->shown = visible && !empty;
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
  // Through the window manager, which stacks frames rather than our windows.
  XReconfigureWMWindow(FDisplay->Dpy(), w->xid, FDisplay->Screen(), mask, &changes);
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

void TX11Driver::RequestActivation(Window xid) {
  const long data[5] = {kActiveSourceApplication, long(UserTime()), 0, 0, 0};
  FDisplay->SendClientMessage(FDisplay->Root(), xid, FDisplay->Atoms().netActiveWindow, data,
                              SubstructureRedirectMask | SubstructureNotifyMask);
  XFlush(FDisplay->Dpy());
}

void TX11Driver::Activate(HWND hwnd) {
  TWindow* w = Find(hwnd);
  // A minimised window can be the active one on Windows, and stays minimised; the window
  // manager would restore it to activate it.
  if (w == nullptr || w->info.popup || !w->shown || w->minimised) return;
  // Asked at once, even before the window manager has mapped the window: it handles our map
  // request first. Asked later, at the map, the request could come after the user has
  // minimised the window or gone to another program, and undo that.
  RequestActivation(w->xid);
  FAwaitedFocus = w->xid;
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

void TX11Driver::CapturePointer(HWND hwnd) {
  Display* dpy = FDisplay->Dpy();
  const TWindow* w = Find(hwnd);
  if (w == nullptr) {
    if (FCaptured != nullptr) XUngrabPointer(dpy, CurrentTime);
    FCaptured = nullptr;
  } else if (w->mapped) {
    XGrabPointer(dpy, w->xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    FCaptured = hwnd;
  }
  XFlush(dpy);
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
  for (const TTopLevel& top : WalkTopLevels(*FDisplay)) {
    if (const TWindow* own = FindX(top.client)) {
      topFirst.push_back({own->hwnd, 0});
    } else if (top.client != FTimeWindow && !FTray->OwnsWindow(top.client)) {
      topFirst.push_back({nullptr, uint64_t(top.client)});
    }
  }
  return true;
}

bool TX11Driver::Describe(uint64_t key, ForeignWindow& out) {
  return DescribeWindow(*FDisplay, Window(key), out);
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
    // Another process of ours keeps its own window state: it shows the window itself.
    const long data[5] = {showCommand, 0, 0, 0, 0};
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
    const long data[5] = {kShowRequestForeground, 0, 0, 0, 0};
    FDisplay->SendClientMessage(xid, xid, FDisplay->Atoms().calvixShow, data, NoEventMask);
  } else {
    RequestActivation(xid);
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

// --- Events ---

bool TX11Driver::Wait(DWORD deadline, bool forever) {
  Display* dpy = FDisplay->Dpy();
  for (;;) {
    // Replies to earlier requests may have pulled events into Xlib's queue already.
    if (Drain()) return true;
    const DWORD now = TickCount();
    const DWORD trayDue = FTray->Tick(now);
    if (!forever && int32_t(now - deadline) >= 0) return true;
    int timeout = forever ? -1 : int(deadline - now);
    if (FAwaitedFocus != 0) {
      const int untilGraceEnds = std::max(0, int(FAwaitedSince + kActivationGrace - now));
      timeout = timeout < 0 ? untilGraceEnds : std::min(timeout, untilGraceEnds);
    }
    if (trayDue != 0) {
      const int untilTray = std::max(0, int(int32_t(trayDue - now)));
      timeout = timeout < 0 ? untilTray : std::min(timeout, untilTray);
    }
    // The session bus of the notification area waits in the same poll.
    const int busDue = FNotifyArea->TimeoutMs();
    if (busDue >= 0) timeout = timeout < 0 ? busDue : std::min(timeout, busDue);
    XFlush(dpy);
    // A descriptor of -1 (no signals, no bus) is skipped by poll.
    pollfd watched[3] = {{ConnectionNumber(dpy), POLLIN, 0},
                         {FSignals.Descriptor(), POLLIN, 0},
                         {FNotifyArea->Fd(), FNotifyArea->Events(), 0}};
    if (poll(watched, 3, timeout) > 0 && (watched[1].revents & POLLIN)) FSignals.Clear();
  }
}

bool TX11Driver::Drain() {
  Display* dpy = FDisplay->Dpy();
  bool any = false;
  while (XPending(dpy) > 0) {
    XEvent event;
    XNextEvent(dpy, &event);
    Translate(event);
    any = true;
  }
  if (FFocusChanged) CheckFocus();
  FTray->Tick(TickCount());
  if (FNotifyArea->Process()) any = true;
  // After the events that came before it, as the system's own messages would be.
  if (FSignals.Take()) {
    sink::SessionEnding();
    any = true;
  }
  return any;
}

void TX11Driver::Translate(XEvent& event) {
  // The time of the user's latest press, on any window of ours (the tray icon too), is what
  // entitles the program to ask for the activation.
  if (event.type == ButtonPress) FLastUserTime = event.xbutton.time;
  if (event.type == KeyPress) FLastUserTime = event.xkey.time;
  if (FTray->HandleEvent(event, TickCount())) return;
  if (event.type == MappingNotify) {
    // A program such as xdotool changed the key map: look keys up in the new one.
    XRefreshKeyboardMapping(&event.xmapping);
    return;
  }
  if (event.type == KeyPress || event.type == KeyRelease) {
    TranslateKey(event.xkey);
    return;
  }
  TWindow* w = FindX(event.xany.window);
  if (w == nullptr) return;
  switch (event.type) {
    case MapNotify:
      w->mapped = true;
      break;
    case UnmapNotify:
      w->mapped = false;
      break;
    case Expose:
      sink::Exposed(w->hwnd,
                    RECT{event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                         event.xexpose.y + event.xexpose.height});
      break;
    case ConfigureNotify:
      // Only the window manager's own notices give screen coordinates.
      if (event.xconfigure.send_event) {
        const RECT bounds{event.xconfigure.x, event.xconfigure.y,
                          event.xconfigure.x + event.xconfigure.width,
                          event.xconfigure.y + event.xconfigure.height};
        if (std::memcmp(&bounds, &w->info.bounds, sizeof bounds) != 0) {
          w->info.bounds = bounds;
          sink::MovedBySystem(w->hwnd, bounds);
        }
      }
      break;
    case FocusIn:
    case FocusOut:
      // Grabs (our own menus) and moves inside one window say nothing about activation.
      if (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed) {
        if (event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer) {
          FFocusChanged = true;
        }
      }
      break;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
      TranslatePointer(*w, event);
      break;
    case ClientMessage:
      TranslateClient(*w, event.xclient);
      break;
    case PropertyNotify:
      TranslateProperty(*w, event.xproperty);
      break;
    default:
      break;
  }
}

void TX11Driver::TranslatePointer(const TWindow& w, const XEvent& event) {
  if (event.type == MotionNotify) {
    // Only the latest of a run of moves matters.
    XEvent next;
    if (XPending(FDisplay->Dpy()) > 0) {
      XPeekEvent(FDisplay->Dpy(), &next);
      if (next.type == MotionNotify && next.xmotion.window == event.xmotion.window) return;
    }
    sink::PointerMoved(w.hwnd, POINT{event.xmotion.x_root, event.xmotion.y_root},
                       LocalTime(event.xmotion.time));
    return;
  }
  const XButtonEvent& b = event.xbutton;
  const POINT screen{b.x_root, b.y_root};
  const bool down = event.type == ButtonPress;
  switch (b.button) {
    case Button1:
      sink::PointerButton(w.hwnd, sink::Button::btLeft, down, screen, LocalTime(b.time));
      break;
    case Button2:
      sink::PointerButton(w.hwnd, sink::Button::btMiddle, down, screen, LocalTime(b.time));
      break;
    case Button3:
      sink::PointerButton(w.hwnd, sink::Button::btRight, down, screen, LocalTime(b.time));
      break;
    case Button4:
    case Button5:
      if (down) {
        sink::PointerWheel(w.hwnd, b.button == Button4 ? kWheelDelta : -kWheelDelta, screen,
                           LocalTime(b.time));
      }
      break;
    default:
      break;
  }
}

void TX11Driver::TranslateKey(XKeyEvent& event) {
  Display* dpy = FDisplay->Dpy();
  const bool down = event.type == KeyPress;
  // X repeats a held key as release-press pairs with one timestamp; Windows repeats the press
  // alone.
  if (!down && XEventsQueued(dpy, QueuedAfterReading) > 0) {
    XEvent next;
    XPeekEvent(dpy, &next);
    if (next.type == KeyPress && next.xkey.keycode == event.keycode &&
        next.xkey.time == event.time) {
      return;
    }
  }
  KeySym typedSym = NoSymbol;
  char ignored[8];
  XLookupString(&event, ignored, sizeof ignored, &typedSym, nullptr);
  const int vk = VirtualKeyFromKeySym(uint32_t(XLookupKeysym(&event, 0)));
  if (vk == 0) return;
  const DWORD time = LocalTime(event.time);
  if (!down) {
    sink::Key(BYTE(vk), false, 0, time);
    return;
  }
  // Ctrl with a letter types its control character, as on Windows, and no accent waits.
  if ((event.state & ControlMask) != 0) {
    FDeadKeys.Reset();
    const bool typesSomething = Cp1252FromKeySym(uint32_t(typedSym)) != 0;
    const bool letter = vk >= 'A' && vk <= 'Z';
    sink::Key(BYTE(vk), true, typesSomething && letter ? char(vk - 'A' + 1) : 0, time);
    return;
  }
  const std::string typed = FDeadKeys.Press(uint32_t(typedSym));
  // A key that types two characters (an accent the letter does not take, then the letter)
  // hands the first over as a key of its own, since one key press carries one character here.
  for (size_t i = 0; i + 1 < typed.size(); ++i) {
    sink::Key(VK_PACKET, true, typed[i], time);
    sink::Key(VK_PACKET, false, 0, time);
  }
  sink::Key(BYTE(vk), true, typed.empty() ? 0 : typed.back(), time);
}

void TX11Driver::TranslateClient(const TWindow& w, const XClientMessageEvent& event) {
  const TAtoms& atoms = FDisplay->Atoms();
  if (event.message_type == atoms.calvixMessage && event.format == 32) {
    const TPostedMessage posted = DecodePostedMessage(event.data.l);
    sink::ForeignMessage(w.hwnd, posted.msg, posted.wParam, posted.lParam);
  } else if (event.message_type == atoms.calvixShow && event.format == 32) {
    if (event.data.l[0] == kShowRequestForeground) {
      SetForegroundWindow(w.hwnd);
    } else {
      ShowWindow(w.hwnd, int(event.data.l[0]));
    }
  } else if (event.message_type == atoms.wmProtocols &&
             Atom(event.data.l[0]) == atoms.wmDeleteWindow) {
    sink::CloseRequested(w.hwnd);
  }
}

void TX11Driver::TranslateProperty(TWindow& w, const XPropertyEvent& event) {
  if (event.atom != FDisplay->Atoms().wmState || event.state != PropertyNewValue) return;
  std::vector<unsigned long> state;
  if (!FDisplay->GetLongs(w.xid, FDisplay->Atoms().wmState, state) || state.empty()) return;
  const bool iconic = state[0] == kIconicState;
  w.iconic = iconic;
  if (iconic != w.minimised && w.shown) {
    w.minimised = iconic;
    sink::MinimisedBySystem(w.hwnd, iconic);
  }
}

DWORD TX11Driver::LocalTime(Time serverTime) {
  // Asked at the first input event rather than at the start, which it would slow down by a
  // round trip to the server.
  if (!FTimeOffsetKnown) {
    FTimeOffset = TickCount() - DWORD(FDisplay->ServerTime(FTimeWindow));
    FTimeOffsetKnown = true;
  }
  return DWORD(serverTime + FTimeOffset);
}

void TX11Driver::CheckFocus() {
  // Focus events come in pairs and runs; the server's answer after the queue is drained says
  // where the focus settled.
  FFocusChanged = false;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(FDisplay->Dpy(), &focus, &revert);
  const TWindow* w = FindX(focus);
  if (FAwaitedFocus != 0) {
    if (w == nullptr && TickCount() - FAwaitedSince < kActivationGrace) {
      FFocusChanged = true;  // look again when the request lands or the grace is over
      return;
    }
    FAwaitedFocus = 0;
  }
  // An accent typed into one window does not fall on a letter typed into another.
  FDeadKeys.Reset();
  if (w != nullptr) {
    sink::ActivationMoved(w->info.popup ? nullptr : w->hwnd);
  } else if (focus == None || focus == PointerRoot || focus == FDisplay->Root()) {
    sink::ActivationMoved(GetDesktopWindow());
  } else {
    // Another program's window, which GetForegroundWindow then names; null when it has
    // vanished already.
    sink::ActivationMoved(sink::ForeignHandle(uint64_t(focus)));
  }
}

}  // namespace platform::x11

namespace platform {

std::unique_ptr<Driver> CreateX11Driver() {
  auto display = x11::TX11Display::Open();
  if (display == nullptr) return nullptr;
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
