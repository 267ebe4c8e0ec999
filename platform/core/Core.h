// The portable core's own state: the window table, window classes, the message queue, timers
// and the input state, shared by the core's source files. Internal to platform/core: only the
// core's own files include it; drivers reach the core through platform/core/DriverSink.h.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Driver.h"
#include "platform/core/ClickTracker.h"
#include "platform/core/Surface.h"
#include "platform/win32.h"

namespace platform::core {

// --- Classes ---

struct TClass {
  std::string name;  // as registered
  ATOM atom = 0;
  WNDCLASSA info{};     // lpszClassName points at `name`
  bool system = false;  // registered by the system for every program
};

// --- Windows ---

struct TWindow {
  HWND handle = nullptr;
  bool alive = true;
  bool destroying = false;
  bool foreign = false;  // another program's window, known through the driver
  uint64_t foreignKey = 0;
  std::shared_ptr<TClass> cls;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};            // relative to the parent's client area (screen for top-level)
  HWND parent = nullptr;  // the desktop for top-level windows; null for the desktop itself
  HWND owner = nullptr;
  std::vector<HWND> children;  // Z order, top first
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  LONG_PTR id = 0;
  LONG_PTR userData = 0;
  std::vector<BYTE> extra;
  bool hiddenByOwner = false;  // hidden because its owner was minimised
  bool realised = false;       // the driver knows it
  // Painting: the update region, kept as its bounding rectangle.
  bool updatePending = false;
  bool erasePending = false;
  RECT update{};
  // Drawing: the surface and what of it the driver has not been shown yet.
  Surface surface;
  bool dirtyPending = false;
  RECT dirty{};

  bool Visible() const { return (style & WS_VISIBLE) != 0; }
  bool Iconic() const { return (style & WS_MINIMIZE) != 0; }
  int Width() const { return rect.right - rect.left; }
  int Height() const { return rect.bottom - rect.top; }
};

// --- Queue ---

// An input message with the key state it carries: GetKeyState follows the messages taken.
struct TInput {
  MSG msg{};
  BYTE stateKey = 0;  // the key or button whose state changes when the message is taken
  bool stateDown = false;
  char typed = 0;  // the character of a key press, for TranslateMessage
};

struct TTimer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT interval = 0;
  uint64_t due = 0;  // on the core's 64-bit clock
  TIMERPROC proc = nullptr;
};

// --- The whole state ---

struct TState {
  std::unique_ptr<Driver> driver;
  // Window table: handle = (uniqueness << 16) | (kHandleBase + 2 * slot).
  std::vector<std::unique_ptr<TWindow>> slots;
  std::vector<WORD> uniqueness;
  std::vector<size_t> freeSlots;
  std::vector<std::unique_ptr<TWindow>> graveyard;  // freed when no window procedure runs
  int procDepth = 0;
  HWND desktop = nullptr;
  std::unordered_map<uint64_t, HWND> foreignHandles;
  // The top-level order as a walk reads it: GetTopWindow takes a fresh picture and GetWindow
  // goes on in it, until the program looks at its queue or changes the order of its own
  // windows. One walk asks the driver once, and a window of another program that goes away in
  // the middle of it does not end it.
  std::vector<HWND> topLevelPicture;
  bool pictureKept = false;
  // Classes, by upper-case name: the program's own, and the system's.
  std::map<std::string, std::shared_ptr<TClass>> classes;
  std::map<std::string, std::shared_ptr<TClass>> systemClasses;
  ATOM nextAtom = 0xC000;
  // Queue.
  std::deque<MSG> posted;
  std::deque<TInput> input;
  bool quitPending = false;
  int quitCode = 0;
  DWORD messageTime = 0;
  MSG lastKey{};  // the last key-down message taken, with its character
  char lastKeyTyped = 0;
  // Timers and the clock.
  std::vector<TTimer> timers;
  UINT_PTR nextThreadTimer = 0x7FF0;
  uint64_t clock = 0;
  DWORD lastTick = 0;
  bool clockStarted = false;
  // Input, focus and activation.
  BYTE keys[256] = {};       // as of the last message taken
  BYTE asyncKeys[256] = {};  // as the driver reports them
  TClickTracker clicks;      // presses of the window below, for double clicks
  HWND lastClickWindow = nullptr;
  UINT doubleClickTime = 500;
  int animation = 1;
  bool appActive = false;
  HWND active = nullptr;
  HWND focus = nullptr;
  HWND capture = nullptr;
  HWND locked = nullptr;
  HWND foregroundOther = nullptr;  // the foreground window while another program has it
  std::vector<HWND> lockLog;
  // The pointer's shape: the cursor set last, the top-level window the pointer was last seen
  // in, and what the driver was told.
  HCURSOR cursor = nullptr;
  HWND pointerWindow = nullptr;
  HWND shapedWindow = nullptr;
  PointerShape shownShape = PointerShape::psNone;
  // The notification area: the icons the driver accepted, by owner window and id.
  std::map<std::pair<HWND, UINT>, TrayIcon> trayIcons;
};

TState& State();
// Clears every window, class, message, timer and input state. The driver stays.
void ResetState();
Driver& TheDriver();

// --- Window table (Windows.cpp) ---
TWindow* Find(HWND hwnd);        // any live window, ours or another program's, or null
TWindow* FindOwn(HWND hwnd);     // a live window of ours (the desktop included), or null
TWindow* FindOrFail(HWND hwnd);  // FindOwn, setting ERROR_INVALID_WINDOW_HANDLE when null
TWindow& Desktop();
bool IsTopLevel(const TWindow& w);  // a direct child of the desktop
TWindow* Root(TWindow* w);          // the top-level window that holds `w`
// The window that activating `w` activates: a child's top-level window, else `w` itself, also
// when it is a popup parked under another window with SetParent.
TWindow* ActivationTarget(TWindow* w);
bool ReallyVisible(const TWindow& w);
// Top first, other programs' windows included: the kept picture, or a fresh one when `fresh`
// or when none is kept.
std::vector<HWND> TopLevelOrder(bool fresh);
void ForgetTopLevelPicture();
bool InTopLevelPicture(HWND hwnd);
RECT ScreenRect(const TWindow& w);
void Invalidate(TWindow& w, const RECT* area, bool erase);
// Brings a top-level window (and the windows it owns) to the top of the Z order.
void RaiseTopLevel(TWindow& w);
WindowInfo DescribeForDriver(const TWindow& w);
// The one place where position, size, visibility and Z order change (Placement.cpp).
bool ApplyWindowPos(HWND hwnd, WINDOWPOS wp, bool tellDriver);
// Pieces of DefWindowProcA that live with their subject.
void DefaultPosChanged(TWindow& w, const WINDOWPOS& wp);
LRESULT DefaultText(TWindow& w, UINT msg, WPARAM wParam, LPARAM lParam);
// Calls a window's procedure; 0 when the window is gone.
LRESULT CallProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void CollectGarbage();

// --- Queue (Messages.cpp) ---
void PostInput(const TInput& in);
void FlushPresents();
// Gives back the surface of a window that was hidden (Paint.cpp).
void ReleaseSurface(TWindow& w);

// --- Pointer shapes (Cursors.cpp) ---
// Sends WM_SETCURSOR for a mouse message being taken from the queue, unless the pointer is
// captured, and shows the resulting shape in the message's window.
void SetCursorForInput(const MSG& msg);
LRESULT DefaultSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam);

// --- Timers and clock (Timers.cpp) ---
uint64_t Now();  // the core's 64-bit view of the driver's tick count
DWORD TickFor(uint64_t when);
bool NextTimerDue(HWND filter, uint64_t& due);
bool TakeDueTimer(HWND filter, UINT min, UINT max, bool remove, MSG& out);
void KillWindowTimers(HWND hwnd);

// --- Input and activation (Input.cpp) ---
void ActivateWindow(TWindow* w, WORD how, bool tellDriver);
void DeactivateApp();
void ForgetWindow(HWND hwnd);  // drop focus, capture, activation and input state for it
void ApplyKeyState(const TInput& in);
void ActivateOnClick(const MSG& msg);

}  // namespace platform::core
