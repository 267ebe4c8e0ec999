// The X display connection of the X11 driver: the connection itself, the atoms it uses and a
// trap for protocol errors. Internal to platform/x11.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>
#include <vector>

namespace platform::x11 {

// Atoms the driver names, interned in one round trip when the connection opens.
struct TAtoms {
  Atom wmProtocols = 0, wmDeleteWindow = 0, wmState = 0, wmChangeState = 0;
  Atom netWmState = 0, netWmStateSkipTaskbar = 0, netWmStateSkipPager = 0, netWmStateHidden = 0,
       netWmStateAbove = 0;
  Atom netActiveWindow = 0, netWmName = 0, netWmPid = 0, utf8String = 0;
  Atom netWmUserTime = 0, netWmUserTimeWindow = 0;
  Atom netWmWindowType = 0, netWmWindowTypeNormal = 0, netWmWindowTypeDialog = 0,
       netWmWindowTypePopupMenu = 0, netWmWindowTypeTooltip = 0, netWmWindowTypeUtility = 0;
  Atom motifWmHints = 0;
  Atom netSystemTrayOpcode = 0, manager = 0, xembed = 0, xembedInfo = 0;
  Atom netSystemTraySelection = 0;  // _NET_SYSTEM_TRAY_S<screen>
  Atom netWmCmSelection = 0;        // _NET_WM_CM_S<screen>: a compositing manager runs
  Atom calvixClass = 0;             // the Win32 class name of our windows
  Atom calvixMessage = 0;           // a message posted by another process of ours
  Atom calvixShow = 0;              // a ShowWindow asked by another process of ours
  Atom calvixTime = 0;              // zero-length appends that fetch a server timestamp
};

// One open connection. Protocol errors never end the process: a process-wide handler records
// them, and callers that care bracket their requests with a TErrorTrap.
class TX11Display {
 public:
  // Null when no display can be opened (no DISPLAY, or the server refuses).
  static std::unique_ptr<TX11Display> Open(const char* name = nullptr);
  ~TX11Display();
  TX11Display(const TX11Display&) = delete;
  TX11Display& operator=(const TX11Display&) = delete;

  Display* Dpy() const { return FDisplay; }
  int Screen() const { return FScreen; }
  Window Root() const { return FRoot; }
  Visual* ScreenVisual() const { return FVisual; }
  int Depth() const { return FDepth; }
  const TAtoms& Atoms() const { return FAtoms; }
  int Width() const;
  int Height() const;

  // --- Properties ---
  void SetCardinals(Window w, Atom property, Atom type, const long* values, int count) const;
  void SetAtoms(Window w, Atom property, const std::vector<Atom>& atoms) const;
  void SetBytes(Window w, Atom property, Atom type, const std::string& bytes) const;
  // Reads a whole 8-bit property; false when it is missing or of another format.
  bool GetBytes(Window w, Atom property, std::string& out, Atom* type = nullptr) const;
  // Reads a whole 32-bit property as unsigned values; false when missing.
  bool GetLongs(Window w, Atom property, std::vector<unsigned long>& out) const;

  // A server timestamp taken now, without a user event: a zero-length append to a property
  // of `w` (which must select PropertyChangeMask) answers with a PropertyNotify carrying it.
  Time ServerTime(Window w) const;

  // Sends a 32-bit client message to `target` (often the root window, for the window manager or
  // the tray to read) about the window `about`, which the event names as its window.
  bool SendClientMessage(Window target, Window about, Atom type, const long (&data)[5],
                         long eventMask) const;

 private:
  TX11Display(Display* display);
  void InternAtoms();

  Display* FDisplay = nullptr;
  int FScreen = 0;
  Window FRoot = 0;
  Visual* FVisual = nullptr;
  int FDepth = 0;
  TAtoms FAtoms;
};

// Brackets a group of requests whose failure matters: on destruction (or Failed()) it syncs
// with the server and tells whether any of them raised a protocol error. Traps nest.
class TErrorTrap {
 public:
  explicit TErrorTrap(Display* display);
  ~TErrorTrap();
  TErrorTrap(const TErrorTrap&) = delete;
  TErrorTrap& operator=(const TErrorTrap&) = delete;

  // Waits for the server to answer everything sent so far; true when any request since the
  // trap was set has failed. May be asked again after more requests.
  bool Failed();
  int ErrorCode() const { return FError; }

 private:
  Display* FDisplay;
  unsigned long FFirstRequest;
  int FError = 0;
  bool FSynced = false;
  unsigned long FSyncedTo = 0;  // the next request's number at the last look
};

}  // namespace platform::x11
