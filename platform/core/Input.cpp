// Input and activation: the driver's pointer and key events become queued messages (double
// clicks included), and focus, capture, activation and the foreground follow Windows' rules.
// Part of the platform's portable core.
#include <cstdlib>

#include "platform/core/Core.h"
#include "platform/core/DriverSink.h"

namespace platform::core {
namespace {

constexpr int kDoubleClickWidth = 4, kDoubleClickHeight = 4;
constexpr BYTE kDown = 0x80, kToggled = 0x01;
constexpr LPARAM kHitClient = 1;

bool Down(const BYTE* keys, int vk) {
  return (keys[vk & 0xFF] & kDown) != 0;
}

void SetKey(BYTE* keys, BYTE vk, bool down) {
  if (down && !(keys[vk] & kDown)) keys[vk] ^= kToggled;
  keys[vk] = BYTE(down ? keys[vk] | kDown : keys[vk] & ~kDown);
}

WPARAM MouseKeys() {
  const BYTE* k = State().asyncKeys;
  return (Down(k, VK_LBUTTON) ? MK_LBUTTON : 0) | (Down(k, VK_RBUTTON) ? MK_RBUTTON : 0) |
         (Down(k, VK_MBUTTON) ? MK_MBUTTON : 0) | (Down(k, VK_SHIFT) ? MK_SHIFT : 0) |
         (Down(k, VK_CONTROL) ? MK_CONTROL : 0);
}

// The window of ours that gets a pointer event, or null when it goes to nobody of ours.
TWindow* PointerTarget(HWND target, POINT screen) {
  TState& st = State();
  if (TWindow* c = FindOwn(st.capture)) return c;
  if (!target) target = sink::OwnWindowAt(screen);
  TWindow* w = FindOwn(target);
  if (!w || target == st.desktop || (w->style & WS_DISABLED)) return nullptr;
  return w;
}

void QueuePointer(TWindow& w, UINT message, WPARAM wParam, POINT screen, DWORD time,
                  BYTE stateKey = 0, bool down = false) {
  const RECT r = ScreenRect(w);
  TInput in;
  in.msg = {w.handle, message, wParam, MAKELPARAM(screen.x - r.left, screen.y - r.top),
            time,     screen};
  in.stateKey = stateKey;
  in.stateDown = down;
  PostInput(in);
}

// A press becomes a double click when the same button was pressed on the same window, within
// the double-click time and rectangle, and the window's class asks for double clicks.
UINT PressMessage(TWindow& w, UINT downMessage, POINT pt, DWORD time) {
  TState& st = State();
  if (st.lastClickWindow != w.handle) st.clicks.Reset();
  st.lastClickWindow = w.handle;
  const TClickTracker::TRules rules{st.doubleClickTime, kDoubleClickWidth, kDoubleClickHeight};
  const bool twice = st.clicks.Press(int(downMessage), time, pt.x, pt.y, rules);
  const bool wants = w.cls && (w.cls->info.style & CS_DBLCLKS);
  return twice && wants ? downMessage + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN) : downMessage;
}

void SendToTopLevels(UINT msg, WPARAM wParam, LPARAM lParam) {
  for (HWND h : std::vector<HWND>(Desktop().children))
    CallProc(h, msg, wParam, lParam);
}

HWND LiveOrNull(HWND hwnd) {
  return Find(hwnd) ? hwnd : nullptr;
}

}  // namespace

void ApplyKeyState(const TInput& in) {
  if (in.stateKey) SetKey(State().keys, in.stateKey, in.stateDown);
}

void ActivateWindow(TWindow* w, WORD how, bool tellDriver) {
  TState& st = State();
  const HWND hwnd = w ? w->handle : nullptr;
  if (!st.appActive) {
    st.appActive = true;
    State().foregroundOther = nullptr;
    SendToTopLevels(WM_ACTIVATEAPP, TRUE, 0);
  }
  // Activation raises the window; the window already active stays where it is.
  if (st.active == hwnd) return;
  if (TWindow* again = FindOwn(hwnd)) RaiseTopLevel(*again);
  const HWND old = LiveOrNull(st.active);
  st.active = hwnd;
  if (old) {
    const WORD oldIconic = IsIconic(old) ? 1 : 0;
    CallProc(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
    CallProc(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, oldIconic), reinterpret_cast<LPARAM>(hwnd));
  }
  if (FindOwn(hwnd) && st.active == hwnd) {
    CallProc(hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
    CallProc(hwnd, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(hwnd) ? 1 : 0),
             reinterpret_cast<LPARAM>(old));
    if (tellDriver && FindOwn(hwnd)) TheDriver().Activate(hwnd);
  }
}

void DeactivateApp() {
  TState& st = State();
  if (!st.appActive) return;
  st.appActive = false;
  const HWND old = LiveOrNull(st.active);
  const LPARAM other = reinterpret_cast<LPARAM>(LiveOrNull(State().foregroundOther));
  st.active = nullptr;
  if (old) {
    CallProc(old, WM_NCACTIVATE, FALSE, other);
    CallProc(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0), other);
  }
  SendToTopLevels(WM_ACTIVATEAPP, FALSE, 0);
  if (const HWND focus = LiveOrNull(st.focus)) {
    st.focus = nullptr;
    CallProc(focus, WM_KILLFOCUS, 0, 0);
  }
}

void ActivateOnClick(const MSG& msg) {
  const UINT m = msg.message;
  const bool press = m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN ||
                     m == WM_LBUTTONDBLCLK || m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK;
  TWindow* root = Root(FindOwn(msg.hwnd));
  if (!press || !root || (State().appActive && State().active == root->handle)) return;
  if (root->exStyle & WS_EX_NOACTIVATE) return;
  const LRESULT answer =
      CallProc(root->handle, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root->handle),
               MAKELPARAM(kHitClient, m));
  if ((answer == MA_ACTIVATE || answer == 2) && (root = FindOwn(root->handle)))
    ActivateWindow(root, WA_CLICKACTIVE, true);
}

void ForgetWindow(HWND hwnd) {
  TState& st = State();
  if (st.focus == hwnd) st.focus = nullptr;
  if (st.active == hwnd) st.active = nullptr;
  if (st.capture == hwnd) {
    st.capture = nullptr;
    TheDriver().CapturePointer(nullptr);
  }
  if (st.lastClickWindow == hwnd) st.clicks.Reset();
  if (st.locked == hwnd) st.locked = nullptr;
}

}  // namespace platform::core

using namespace platform;
using namespace platform::core;

// --- What drivers report ---

void platform::sink::PointerMoved(HWND target, POINT screen, DWORD time) {
  if (TWindow* w = PointerTarget(target, screen))
    QueuePointer(*w, WM_MOUSEMOVE, MouseKeys(), screen, time);
}

void platform::sink::PointerButton(HWND target, Button button, bool down, POINT screen,
                                   DWORD time) {
  const BYTE vk = button == Button::btLeft    ? VK_LBUTTON
                  : button == Button::btRight ? VK_RBUTTON
                                              : VK_MBUTTON;
  const UINT base = button == Button::btLeft    ? WM_LBUTTONDOWN
                    : button == Button::btRight ? WM_RBUTTONDOWN
                                                : WM_MBUTTONDOWN;
  SetKey(State().asyncKeys, vk, down);
  TWindow* w = PointerTarget(target, screen);
  if (!w) return;
  const UINT message = down ? PressMessage(*w, base, screen, time) : base + 1;
  QueuePointer(*w, message, MouseKeys(), screen, time, vk, down);
}

void platform::sink::PointerButtonsHeld(bool left, bool right, bool middle) {
  BYTE* keys = State().asyncKeys;
  SetKey(keys, VK_LBUTTON, left);
  SetKey(keys, VK_RBUTTON, right);
  SetKey(keys, VK_MBUTTON, middle);
}

void platform::sink::PointerWheel(HWND target, int delta, POINT screen, DWORD time) {
  TState& st = State();
  TWindow* w = FindOwn(st.focus) ? FindOwn(st.focus) : PointerTarget(target, screen);
  if (!w) return;
  const WORD keys = WORD(MouseKeys());
  const WORD wheel = WORD(short(delta));
  TInput in;
  in.msg = {w->handle, WM_MOUSEWHEEL, MAKEWPARAM(keys, wheel), MAKELPARAM(screen.x, screen.y),
            time,      screen};
  PostInput(in);
}

void platform::sink::Key(BYTE virtualKey, bool down, char typed, DWORD time) {
  TState& st = State();
  const bool wasDown = Down(st.asyncKeys, virtualKey);
  SetKey(st.asyncKeys, virtualKey, down);
  const HWND focus = LiveOrNull(st.focus);
  const HWND target = focus ? focus : LiveOrNull(st.active);
  if (!target) return;
  const bool alt = Down(st.asyncKeys, VK_MENU) || virtualKey == VK_MENU;
  // With no window holding the keyboard focus (the active window is disabled while a modal box
  // of ours runs, say), the keys go to the active window as system keys, as Windows sends
  // them: they type nothing there.
  const bool system = (alt && !Down(st.asyncKeys, VK_CONTROL)) || !focus;
  const UINT message =
      system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
  const LPARAM lParam =
      LPARAM(DWORD(1) | (alt ? 1u << 29 : 0) | (wasDown ? 1u << 30 : 0) | (down ? 0 : 1u << 31));
  TInput in;
  in.msg = {target, message, virtualKey, lParam, time, TheDriver().CursorPos()};
  in.stateKey = virtualKey;
  in.stateDown = down;
  in.typed = down ? typed : 0;
  PostInput(in);
}

void platform::sink::ActivationMoved(HWND hwnd) {
  TWindow* w = Find(hwnd);
  if (w && !w->foreign && hwnd != State().desktop) {
    if (IsTopLevel(*w)) ActivateWindow(w, WA_ACTIVE, false);
    return;
  }
  State().foregroundOther = hwnd;
  DeactivateApp();
}

void platform::sink::Exposed(HWND hwnd, const RECT& area) {
  if (TWindow* w = FindOwn(hwnd)) Invalidate(*w, &area, true);
}

void platform::sink::MovedBySystem(HWND hwnd, const RECT& bounds) {
  WINDOWPOS wp{hwnd,
               nullptr,
               int(bounds.left),
               int(bounds.top),
               int(bounds.right - bounds.left),
               int(bounds.bottom - bounds.top),
               SWP_NOZORDER | SWP_NOACTIVATE};
  if (FindOwn(hwnd)) ApplyWindowPos(hwnd, wp, false);
}

void platform::sink::MinimisedBySystem(HWND hwnd, bool minimised) {
  if (!FindOwn(hwnd) || (IsIconic(hwnd) != FALSE) == minimised) return;
  // The frame's buttons and the taskbar ask the window, as on Windows: the default answer does
  // it, and a program may answer its own way (the application goes into the tray).
  SendMessageA(hwnd, WM_SYSCOMMAND, minimised ? SC_MINIMIZE : SC_RESTORE, 0);
  // A window still shown in its old state goes back to it on the screen.
  TWindow* w = FindOwn(hwnd);
  if (w && w->realised && w->Visible() && w->Iconic() != minimised)
    TheDriver().Show(hwnd, true, w->Iconic());
}

void platform::sink::CloseRequested(HWND hwnd) {
  if (FindOwn(hwnd)) PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool platform::sink::KeyHeld(BYTE virtualKey) {
  return Down(State().asyncKeys, virtualKey);
}

char platform::sink::TypedOnUsKeyboard(BYTE vk, bool shift, bool control) {
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return char(vk - 'A' + 1);
    return char(shift ? vk : vk - 'A' + 'a');
  }
  if (control) return 0;
  if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : char(vk);
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return char('0' + vk - VK_NUMPAD0);
  switch (vk) {
    case VK_SPACE:
      return ' ';
    case VK_RETURN:
      return '\r';
    case VK_BACK:
      return '\b';
    case VK_TAB:
      return '\t';
    case VK_ESCAPE:
      return '\x1B';
    case VK_MULTIPLY:
      return '*';
    case VK_ADD:
      return '+';
    case VK_SUBTRACT:
      return '-';
    case VK_DECIMAL:
      return '.';
    case VK_DIVIDE:
      return '/';
    case VK_OEM_1:
      return shift ? ':' : ';';
    case VK_OEM_PLUS:
      return shift ? '+' : '=';
    case VK_OEM_COMMA:
      return shift ? '<' : ',';
    case VK_OEM_MINUS:
      return shift ? '_' : '-';
    case VK_OEM_PERIOD:
      return shift ? '>' : '.';
    case VK_OEM_2:
      return shift ? '?' : '/';
  }
  return 0;
}

// --- Input state ---

extern "C" BOOL WINAPI GetCursorPos(LPPOINT pt) {
  if (!pt) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *pt = TheDriver().CursorPos();
  return TRUE;
}

extern "C" SHORT WINAPI GetKeyState(int vk) {
  const BYTE state = State().keys[vk & 0xFF];
  return SHORT((state & kDown ? 0xFF80 : 0) | (state & kToggled));
}

extern "C" int WINAPI GetSystemMetrics(int index) {
  const SIZE screen = TheDriver().ScreenSize();
  switch (index) {
    case SM_CXSCREEN:
      return screen.cx;
    case SM_CYSCREEN:
      return screen.cy;
    case SM_CXDOUBLECLK:
      return kDoubleClickWidth;
    case SM_CYDOUBLECLK:
      return kDoubleClickHeight;
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
  }
  return 0;
}

extern "C" UINT WINAPI GetDoubleClickTime() {
  return State().doubleClickTime;
}

extern "C" BOOL WINAPI SetDoubleClickTime(UINT interval) {
  State().doubleClickTime = interval ? interval : 500;
  return TRUE;
}

extern "C" BOOL WINAPI SystemParametersInfoA(UINT action, UINT uiParam, PVOID pv, UINT) {
  auto* info = static_cast<ANIMATIONINFO*>(pv);
  const bool sized =
      info && uiParam == sizeof(ANIMATIONINFO) && info->cbSize == sizeof(ANIMATIONINFO);
  if ((action != SPI_GETANIMATION && action != SPI_SETANIMATION) || !sized) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (action == SPI_GETANIMATION)
    info->iMinAnimate = State().animation;
  else
    State().animation = info->iMinAnimate ? 1 : 0;
  return TRUE;
}

// --- Focus, capture, activation ---

extern "C" HWND WINAPI SetFocus(HWND hwnd) {
  TState& st = State();
  const HWND old = LiveOrNull(st.focus);
  if (hwnd) {
    TWindow* w = FindOrFail(hwnd);
    if (!w || (w->style & WS_DISABLED)) return nullptr;
    TWindow* root = ActivationTarget(w);
    if (!st.appActive || st.active != root->handle) ActivateWindow(root, WA_ACTIVE, true);
    if (!FindOwn(hwnd)) return nullptr;
  }
  if (LiveOrNull(st.focus) == hwnd) return old;
  const HWND previous = LiveOrNull(st.focus);
  st.focus = hwnd;
  if (previous) CallProc(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && st.focus == hwnd) CallProc(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return old;
}

extern "C" HWND WINAPI GetFocus() {
  return LiveOrNull(State().focus);
}

extern "C" HWND WINAPI SetCapture(HWND hwnd) {
  TState& st = State();
  const HWND old = LiveOrNull(st.capture);
  if (!FindOwn(hwnd)) return nullptr;
  st.capture = hwnd;
  TheDriver().CapturePointer(hwnd);
  if (old && old != hwnd) CallProc(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

extern "C" BOOL WINAPI ReleaseCapture() {
  TState& st = State();
  const HWND old = LiveOrNull(st.capture);
  st.capture = nullptr;
  if (old) {
    TheDriver().CapturePointer(nullptr);
    CallProc(old, WM_CAPTURECHANGED, 0, 0);
  }
  return TRUE;
}

extern "C" HWND WINAPI GetCapture() {
  return LiveOrNull(State().capture);
}

extern "C" HWND WINAPI SetActiveWindow(HWND hwnd) {
  TState& st = State();
  TWindow* w = FindOrFail(hwnd);
  if (!w || ActivationTarget(w) != w || hwnd == st.desktop) return nullptr;
  const HWND old = LiveOrNull(st.active);
  ActivateWindow(w, WA_ACTIVE, true);
  return old;
}

extern "C" HWND WINAPI GetActiveWindow() {
  return LiveOrNull(State().active);
}

extern "C" BOOL WINAPI SetForegroundWindow(HWND hwnd) {
  TWindow* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->foreign || hwnd == State().desktop)
    return TheDriver().ForegroundForeign(w->foreign ? w->foreignKey : kDesktopKey);
  ActivateWindow(ActivationTarget(w), WA_ACTIVE, true);
  return TRUE;
}

extern "C" HWND WINAPI GetForegroundWindow() {
  const TState& st = State();
  return st.appActive ? LiveOrNull(st.active) : LiveOrNull(State().foregroundOther);
}

void platform::sink::ForegroundRequested(HWND hwnd) {
  if (FindOwn(hwnd) && hwnd != State().desktop) SetForegroundWindow(hwnd);
}
