// The soak's own connection to the virtual desktop: it finds the program's windows by name,
// class and process, synthesises the user's pointer and keys through XTest, and counts what the
// X server holds for a client. Test tooling (tests/soak).
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace soak {

// A top-level window as the soak sees it: the client window, not the window manager's frame.
struct TWin {
  Window id = 0;
  std::string name;      // WM_NAME as stored (Latin-1)
  std::string resClass;  // the second part of WM_CLASS
  long pid = 0;          // _NET_WM_PID, 0 when the window carries none
  bool viewable = false;
  int x = 0, y = 0, width = 0, height = 0;  // on the screen
};

// What the X server holds for one client.
struct TResources {
  long windows = 0;
  long pixmaps = 0;
  long gcs = 0;
  bool operator==(const TResources&) const = default;
};

class TScreen {
 public:
  explicit TScreen(const std::string& display);
  ~TScreen();
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;

  Display* Dpy() const { return FDisplay; }
  Window Root() const { return FRoot; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

  // --- Finding windows ---
  // The shown windows among the direct children of the root and the window manager's clients.
  std::vector<TWin> Shown();
  // The first shown window of that exact name.
  std::optional<TWin> ShownNamed(const std::string& name);
  // The notification-area icon named `tip` (a window that carries _XEMBED_INFO), once a tray
  // host has taken it in and shows it.
  std::optional<TWin> DockedIcon(const std::string& tip);
  // Every icon some tray host shows, whatever its name.
  std::vector<TWin> DockedIcons();
  bool Describe(Window w, TWin& out);
  // True when `w` (or a window inside it) is what a click at the point of the screen lands on:
  // the window is still there, and nothing covers it at that point.
  bool Shows(Window w, int x, int y);
  // True while some program holds the pointer: an open menu does, its own or the window
  // manager's, and a click goes to that program, most often only to close the menu. So does
  // the window manager while it decides on a click on a window (its passive grab): the keys
  // typed meanwhile are not held, and reach the program before that click.
  bool PointerHeld();
  // The owner of the notification area's selection, or 0.
  Window TrayOwner();
  // The window that has the keyboard.
  Window Focus();
  // Asks the window manager to bring a window forward and give it the keyboard, as a click on
  // its taskbar button would.
  void Activate(Window w);

  // --- Input ---
  void MoveTo(int x, int y);
  void Click(int button);
  void ClickAt(int x, int y, int button = 1);
  // The two clicks go to the server together, timed by the server, so that they stay within
  // the double-click time however long the soak itself waits for the processor.
  void DoubleClickAt(int x, int y, int button = 1);
  // Presses and releases the key that types `sym` on the current layout, with Shift or AltGr
  // when the layout puts it there; false when no key types it.
  bool Key(KeySym sym);
  // Types plain ASCII text key by key.
  void Type(const std::string& text);
  // Pauses between synthetic events, so that they reach the program as separate moments.
  static void Pause(int ms);

  // --- The server's accounts ---
  // Counts for the client that created window `w`.
  bool Resources(Window w, TResources& out);

 private:
  void Describe(Window w, TWin& out, const XWindowAttributes& attributes);
  void FindDocked(Window w, int depth, std::vector<TWin>& out);
  bool KeyOf(KeySym sym, KeyCode& code, int& level);

  Display* FDisplay = nullptr;
  Window FRoot = 0;
  int FWidth = 0, FHeight = 0;
  Atom FNetClientList = 0, FNetWmPid = 0, FXembedInfo = 0, FTraySelection = 0;
  Window FIcon = 0;  // the icon found last, looked at first
};

}  // namespace soak
