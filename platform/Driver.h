// The boundary between the platform's portable core and the system it runs on. The core keeps
// windows, queues, timers and pixels; a driver only does what needs the real system and turns
// native events into calls on the core (platform/core/DriverSink.h). Every function but the
// clock has a sensible default, so a driver overrides only what its system has.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/Surface.h"
#include "platform/win32/types.h"

namespace platform {

// What the core tells a driver about one of its own top-level windows.
struct WindowInfo {
  HWND hwnd = nullptr;
  HWND owner = nullptr;   // the owning top-level window (a transient for), or null
  RECT bounds{};          // screen coordinates, right and bottom exclusive
  DWORD style = 0;        // WS_*
  DWORD exStyle = 0;      // WS_EX_*
  std::string className;  // Windows-1252
  std::string text;       // Windows-1252
  // A menu or drop-down list (WS_POPUP with WS_EX_TOOLWINDOW and WS_EX_TOPMOST): shown without
  // the window manager's involvement and holding the pointer while it is up.
  bool popup = false;
  // Carries a taskbar button by Windows' rule: unowned and not a tool window, or an app window.
  bool taskbar = false;
};

// Another program's top-level window, named by a key that only the driver understands.
struct ForeignWindow {
  uint64_t key = 0;
  std::string className;
  std::string text;
  bool visible = false;
  bool iconic = false;
  RECT bounds{};
};

// One entry of the system-wide stacking order: either one of ours or another program's.
struct StackEntry {
  HWND own = nullptr;
  uint64_t foreign = 0;
};

// The pointer's shapes: the system cursors, which a driver takes from the desktop's theme,
// and none (the pointer hidden).
enum class PointerShape {
  psNone,
  psArrow,
  psIBeam,
  psWait,
  psCross,
  psUpArrow,
  psSizeNWSE,
  psSizeNESW,
  psSizeWE,
  psSizeNS,
  psSizeAll,
  psNo,
  psHand,
  psAppStarting,
  psHelp
};

// A ShellExecuteA call as the program made it: its window, and its texts (Windows-1252),
// absent where it passed null.
struct ShellRequest {
  HWND owner = nullptr;
  std::optional<std::string> operation;
  std::optional<std::string> file;
  std::optional<std::string> parameters;
  std::optional<std::string> directory;
  int showCommand = 0;
};

// The key that names the bare desktop as a foreground "window" of no program.
constexpr uint64_t kDesktopKey = 0;

// The notification-area icon as the driver needs it.
struct TrayIcon {
  HWND owner = nullptr;
  UINT id = 0;
  UINT callbackMessage = 0;
  Surface image;    // the icon, composed over its mask; transparent pixels have alpha 0
  std::string tip;  // Windows-1252
};

// Raised when the program waits for a message that can never come: nothing is queued, no
// timer is set and the driver has nothing that could wake it. It deliberately does not derive
// from std::exception, so that a loop that shows program errors and goes on lets it through.
struct DeadlockError {
  std::string what;
};

class Driver {
 public:
  virtual ~Driver() = default;
  virtual const char* Name() const = 0;

  // --- Time and events ---
  // Milliseconds since some start, wrapping at 32 bits like GetTickCount. Native events carry
  // their time in the same base.
  virtual DWORD TickCount() = 0;
  // Translates every native event already pending into calls on the core; never blocks.
  virtual void Poll() {}
  // Blocks until a native event has been translated or the tick count reaches `deadline`;
  // `forever` means no timer is set and `deadline` has no meaning. Returns false, at once,
  // when nothing could ever wake it: the core then reports the deadlock.
  virtual bool Wait(DWORD deadline, bool forever) = 0;

  // --- Our top-level windows ---
  // Called once the window exists (hidden, at the top of the stacking order); Destroy when it
  // goes. The core may repeat a state the driver already has (a minimise the window manager
  // reported, for instance): drivers take such calls as no-ops.
  virtual void Realise(const WindowInfo& info) {}
  virtual void Destroy(HWND hwnd) {}
  // Shows or hides; `minimised` tells a shown window's state.
  virtual void Show(HWND hwnd, bool visible, bool minimised) {}
  virtual void Move(HWND hwnd, const RECT& bounds) {}
  // Puts `hwnd` directly below `above` in the stacking order, or at the top when null.
  virtual void Restack(HWND hwnd, HWND above) {}
  virtual void SetText(HWND hwnd, const std::string& text) {}
  // Asks the system to give the window the activation (keyboard focus among programs).
  virtual void Activate(HWND hwnd) {}
  // `dirty` (window coordinates) of the window's surface changed.
  virtual void Present(HWND hwnd, const Surface& surface, const RECT& dirty) {}
  virtual void CapturePointer(HWND hwnd) {}  // null releases
  // The pointer takes `shape` while it is over `hwnd`, the window it was last seen in.
  virtual void SetPointerShape(HWND hwnd, PointerShape shape) {}

  // --- Input state and the screen ---
  virtual POINT CursorPos() { return {0, 0}; }
  virtual SIZE ScreenSize() { return {1024, 768}; }
  // Copies what the screen shows in `area` (already clipped to the screen) into `out`, which
  // the driver sizes like the area.
  virtual bool ReadScreen(const RECT& area, Surface& out) { return false; }

  // --- Other programs ---
  // The whole stacking order, top first, ours included. Returns false when the driver knows
  // no other program, in which case the core's own order of its windows is the answer.
  virtual bool Stacking(std::vector<StackEntry>& topFirst) { return false; }
  virtual bool Describe(uint64_t key, ForeignWindow& out) { return false; }
  virtual bool PostTo(uint64_t key, UINT msg, WPARAM wParam, LPARAM lParam) { return false; }
  virtual bool ShowForeign(uint64_t key, int showCommand) { return false; }
  // Gives the foreground to another program's window, or to the desktop (kDesktopKey). The
  // driver reports the resulting loss of activation through the sink, now or later.
  virtual bool ForegroundForeign(uint64_t key) { return false; }

  // --- The notification area and documents ---
  // `message` is NIM_ADD, NIM_MODIFY or NIM_DELETE; false when the shell refused.
  virtual bool Tray(DWORD message, const TrayIcon& icon) { return false; }
  // Opens a web address or an absolute Unix path (UTF-8) with the desktop's handler; false
  // when nothing started. `request` is the program's call as it made it. The default starts
  // xdg-open (platform/core/Shell.cpp).
  virtual bool OpenDocument(const std::string& target, const ShellRequest& request);
};

// The driver in use: chosen at first use (x11 when a display opens, else headless) unless a
// test or the program installed one first. Installing replaces the driver; the core forgets
// the windows of other programs it knew through the old one.
Driver& CurrentDriver();
void InstallDriver(std::unique_ptr<Driver> driver);

// The driver for this system: x11 when a display can be opened, else headless
// (platform/DriverSelection.cpp).
std::unique_ptr<Driver> SelectDriver();

}  // namespace platform
