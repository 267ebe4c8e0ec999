// The boundary between the platform's portable core and the system it runs on. The core keeps
// windows, queues, timers and pixels; a driver only does what needs the real system and turns
// native events into calls on the core (platform/core/DriverSink.h). Every function has a
// sensible default, so a driver overrides only what its system has.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Surface.h"
#include "platform/win32/types.h"

namespace platform {

// What the core tells a driver about one of its own top-level windows.
struct WindowInfo {
  HWND hwnd = nullptr;
  RECT bounds{};          // screen coordinates, right and bottom exclusive
  DWORD style = 0;        // WS_*
  DWORD exStyle = 0;      // WS_EX_*
  std::string className;  // Windows-1252
  std::string text;       // Windows-1252
  bool popup = false;     // a menu or drop-down list: override-redirect, grabs the pointer
  bool taskbar = false;   // owns the program's taskbar button
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

// The notification-area icon as the driver needs it.
struct TrayIcon {
  HWND owner = nullptr;
  UINT id = 0;
  UINT callbackMessage = 0;
  Surface image;     // the icon, composed over its mask; transparent pixels have alpha 0
  std::string tip;   // Windows-1252
};

class Driver {
 public:
  virtual ~Driver() = default;
  virtual const char* Name() const = 0;

  // --- Time and events ---
  // Milliseconds since some start, wrapping at 32 bits like GetTickCount.
  virtual DWORD TickCount() = 0;
  // Translates every native event already pending into calls on the core; never blocks.
  virtual void Poll() {}
  // Blocks until a native event has been translated or the tick count reaches `deadline`.
  // `forever` means no timer is due; a driver that can never receive anything reports the
  // deadlock instead of hanging. Returns false when it has nothing that could ever wake it.
  virtual bool Wait(DWORD deadline, bool forever) = 0;

  // --- Our top-level windows ---
  virtual void Realise(const WindowInfo& info) {}
  virtual void Destroy(HWND hwnd) {}
  virtual void Show(HWND hwnd, bool visible, bool activate) {}
  virtual void Minimise(HWND hwnd, bool minimised) {}
  virtual void Move(HWND hwnd, const RECT& bounds) {}
  // Puts `hwnd` directly below `above` in the stacking order, or at the top when null.
  virtual void Restack(HWND hwnd, HWND above) {}
  virtual void SetText(HWND hwnd, const std::string& text) {}
  virtual void Activate(HWND hwnd, DWORD userTime) {}
  virtual void Present(HWND hwnd, const Surface& surface, const RECT& dirty) {}
  virtual void CapturePointer(HWND hwnd) {}  // null releases

  // --- Input state ---
  virtual POINT CursorPos() { return {0, 0}; }
  virtual bool KeyDown(int virtualKey) { return false; }
  virtual bool KeyToggled(int virtualKey) { return false; }

  // --- The screen ---
  virtual SIZE ScreenSize() { return {1024, 768}; }
  // Copies what the screen shows in `area` (already clipped to the screen) into `out`.
  virtual bool ReadScreen(const RECT& area, Surface& out) { return false; }

  // --- Other programs ---
  // The whole stacking order, top first. Returns false when the driver knows no other
  // program, in which case the core's own order of its windows is the answer.
  virtual bool Stacking(std::vector<StackEntry>& topFirst) { return false; }
  virtual bool Describe(uint64_t key, ForeignWindow& out) { return false; }
  virtual bool PostTo(uint64_t key, UINT msg, WPARAM wParam, LPARAM lParam) { return false; }
  virtual bool ShowForeign(uint64_t key, int showCommand) { return false; }
  virtual bool ForegroundForeign(uint64_t key) { return false; }

  // --- The notification area ---
  virtual bool TrayAdd(const TrayIcon& icon) { return false; }
  virtual bool TrayModify(const TrayIcon& icon) { return false; }
  virtual bool TrayDelete(HWND owner, UINT id) { return false; }

  // --- Documents ---
  // Opens a document or web address with the desktop's handler; false when nothing started.
  virtual bool OpenDocument(const std::string& target) { return false; }
};

// The driver in use: chosen at first use (x11 when a display opens, else headless) unless a
// test or the program installed one first.
Driver& CurrentDriver();
void InstallDriver(std::unique_ptr<Driver> driver);

}  // namespace platform
