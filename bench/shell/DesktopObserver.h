// A connection of the figures program's own to the virtual desktop: it sees every window that
// programs make, reparent, map and destroy there, notes the moment each event is read, takes
// server timestamps and drives the pointer through XTest. Bench support, outside the layers.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <map>
#include <set>
#include <string>

namespace bench {

using TClock = std::chrono::steady_clock;

class TDesktopObserver {
 public:
  // Opens $DISPLAY; Opened() is false when that failed.
  TDesktopObserver();
  ~TDesktopObserver();
  TDesktopObserver(const TDesktopObserver&) = delete;
  TDesktopObserver& operator=(const TDesktopObserver&) = delete;

  bool Opened() const { return FDisplay != nullptr; }

  // --- Waiting for what programs do ---
  // A notification-area icon that was not docked before: a window made since the observer
  // opened, mapped inside another window (the tray host's) and carrying _XEMBED_INFO. Returns
  // it, with the moment its MapNotify was read in `at`; 0 when the deadline passed.
  Window AwaitDockedIcon(TClock::time_point deadline, TClock::time_point& at);
  // A window named `name` (WM_NAME) mapped, with the moment its MapNotify was read; 0 when the
  // deadline passed.
  Window AwaitMapped(const std::string& name, TClock::time_point deadline, TClock::time_point& at);
  bool AwaitUnmapped(Window w, TClock::time_point deadline);
  bool AwaitDestroyed(Window w, TClock::time_point deadline);
  // Reads and notes every event that arrives until `until`.
  void Idle(TClock::time_point until);
  // How many icons docked while the observer was still selecting the icon window's events,
  // so that their moment is the later one of the check (a figure is then slightly high).
  int LateDockings() const { return FLateDockings; }

  // --- Time and input ---
  // A server timestamp taken now: a zero-length property append answered by PropertyNotify.
  Time ServerTime();
  // The centre of a window on the screen.
  bool Centre(Window w, int& x, int& y);
  // Moves the pointer and presses and releases the left button, as a user would, through the
  // server's input path (the window manager's grabs included).
  void MoveTo(int x, int y);
  void Click();

 private:
  struct TTracked {
    Window parent = 0;
    bool mapped = false;
    bool destroyed = false;
    TClock::time_point mappedAt{};
  };

  // Reads one event (waiting until `deadline`), notes it, and returns false at the deadline.
  bool Next(XEvent& event, TClock::time_point deadline);
  void Note(const XEvent& event, TClock::time_point at);
  void CatchUpOnMap(Window w);
  bool IsDockedIcon(Window w);
  std::string NameOf(Window w);

  Display* FDisplay = nullptr;
  Window FRoot = 0;
  Window FStampWindow = 0;  // an unmapped window of ours whose property changes give times
  Atom FStampAtom = 0, FXembedInfo = 0;
  std::map<Window, TTracked> FWindows;  // windows made since the observer opened
  std::set<Window> FIcons;              // icons already reported
  int FLateDockings = 0;
  TClock::time_point FReadAt{};  // when the events in Xlib's queue were read
  Time FStamp = 0;
  bool FStamped = false;
};

}  // namespace bench
