// The X11 driver's class, whose work is divided between X11Driver.cpp (our windows, the screen,
// other programs, the tray) and X11Events.cpp (the wait and the translation of X events).
// Internal to platform/x11.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Driver.h"
#include "platform/x11/SessionSignals.h"
#include "platform/x11/X11Cursors.h"
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11NotifyArea.h"
#include "platform/x11/X11SeeThrough.h"
#include "platform/x11/X11Snapshot.h"
#include "platform/x11/X11Tray.h"

namespace platform::x11 {

// The source of an activation request: an application (1), not a pager or taskbar (2).
constexpr long kActiveSourceApplication = 1;
constexpr unsigned long kIconicState = 3;  // WM_STATE
// How long the window manager has to carry out our request to activate one of our windows.
// Until then a focus elsewhere is the state before the request, not a loss of activation.
constexpr DWORD kActivationGrace = 300;

// Requests about our own windows that another process of ours sent (ShowWindow and
// SetForegroundWindow on a window it found by the walk).
constexpr long kShowRequestForeground = -1;

DWORD MonotonicMilliseconds();

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
  void SetPointerShape(HWND hwnd, PointerShape shape) override;

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
    // A window without area that carries a taskbar button (the application's hidden window):
    // mapped but invisible while shown, only so that the taskbar lists it (X11Taskbar.cpp).
    bool carrier = false;
    // What the core last asked of a carrier, applied when the program next waits, so that a
    // window shown and hidden again in one go never reaches the taskbar.
    bool pending = false;
    bool wantShown = false, wantMinimised = false, wantActive = false;
    HWND lastActivePopup = nullptr;  // the owned window that had the activation last
  };

  // --- Our windows ---
  TWindow* Find(HWND hwnd);
  TWindow* FindX(Window xid);
  void SetHints(const TWindow& w);
  void SetNetState(const TWindow& w);
  void GrabForPopup(const TWindow& w);
  // Grabs the pointer for the capturing window, or lets it go.
  void GrabForCapture(bool grab);
  // Tells the core which mouse buttons an event's state holds (Button1Mask and its kin).
  void FollowButtons(unsigned state);
  Window CreateXWindow(const WindowInfo& info, bool seeThrough);
  void MakeSeeThrough(TWindow& w);
  void ShowNow(TWindow& w, bool visible, bool minimised);
  void SetShape(Window xid);
  POINT RealPointer();
  // The time of the user's latest action, which entitles the program to the activation.
  Time UserTime();
  void NoteUserTime(Time time);
  void RequestActivation(Window xid, Time time);
  // The same for one of our own windows, whose focus is then awaited.
  void RequestOwnActivation(Window xid, Time time);

  // --- Taskbar carriers (X11Taskbar.cpp) ---
  static bool IsCarrier(const WindowInfo& info);
  void ShowCarrier(TWindow& w, bool visible, bool minimised);
  void ActivateCarrier(TWindow& w);
  void Settle();
  bool ForwardFromCarrier(const TWindow& carrier);

  // --- Events ---
  bool Drain();
  void GiveBackMemory();
  void Translate(XEvent& event);
  void TranslateExpose(const TWindow& w, const RECT& area);
  void TranslatePointer(const TWindow& w, const XEvent& event);
  void TranslateKey(XKeyEvent& event);
  void TranslateClient(const TWindow& w, const XClientMessageEvent& event);
  void TranslateProperty(TWindow& w, const XPropertyEvent& event);
  // Tells the core where the focus settled; false while an activation asked for may yet land.
  bool CheckFocus();
  DWORD LocalTime(Time serverTime);
  bool IsCalvixWindow(Window xid);

  std::unique_ptr<TX11Display> FDisplay;
  // The other programs' windows as last read, for walks over every window.
  TX11Snapshot FSnapshot{*FDisplay};
  std::map<HWND, TWindow> FWindows;
  std::unique_ptr<TX11Tray> FTray;
  std::unique_ptr<TX11Cursors> FCursors;
  std::unique_ptr<TX11NotifyArea> FNotifyArea;
  std::unique_ptr<TX11SeeThrough> FSeeThrough;
  // Where a tray host's call says the user clicked the icon: GetCursorPos answers with it until
  // the real pointer moves.
  bool FPointerSet = false;
  POINT FPointerAt{};
  POINT FPointerSetFrom{};
  TSessionSignals FSignals;  // the end of the session, from the session manager or the user
  GC FGc = nullptr;
  Window FTimeWindow = 0;      // an unmapped window of ours that fetches server timestamps
  Window FUserTimeWindow = 0;  // holds _NET_WM_USER_TIME for every window of ours
  bool FHaveShape = false;     // the server offers the shape extension
  bool FSettlePending = false;
  DWORD FTimeOffset = 0;  // TickCount minus the server's time
  bool FTimeOffsetKnown = false;
  Time FLastUserTime = 0;
  TDeadKeys FDeadKeys;  // an accent key waiting for its letter
  bool FFocusChanged = false;
  Window FAwaitedFocus = 0;  // our window whose activation was asked and has not landed yet
  DWORD FAwaitedSince = 0;
  HWND FCaptured = nullptr;
  // Whether the capture holds the pointer now: only while a button is down (CapturePointer).
  bool FCaptureGrabbed = false;
  bool FMemoryGivenBack = false;  // freed memory returned to the system since the last showing
};

}  // namespace platform::x11
