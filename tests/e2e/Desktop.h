// The private virtual desktop of the end-to-end tests (scripts/desktop) and the tools that look
// at it and drive it: xdotool, screenshots, window properties.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Starts a desktop on first use and stops exactly what it started at the end of the run.
class TDesktop {
 public:
  // The desktop of most tests (openbox and trayer), on this process's own DISPLAY.
  static TDesktop& Get();
  // A second desktop: xfwm4, a window manager that prevents focus stealing, and the tint2 panel,
  // whose taskbar lists windows and whose tray takes icons. Programs run there as children
  // (SpawnChild with its display) and tools through On().
  static TDesktop& Xfce();
  ~TDesktop();

  const std::string& DisplayName() const { return FDisplay; }
  bool Started() const { return !FDisplay.empty(); }
  // `command` with this desktop's DISPLAY.
  std::string On(const std::string& command) const { return "DISPLAY=" + FDisplay + " " + command; }
  // Ends the tray host, or starts a new one; false when that failed.
  bool StopTray();
  bool StartTray();
  // Stops the window manager, or lets it go on; false when there is none to signal. A stopped
  // manager answers no request, as one that refuses them.
  bool PauseWindowManager(bool paused);

 private:
  TDesktop(const std::string& options, const std::string& tray, bool ownDisplay);
  std::string FDisplay;
  std::string FTray;  // which tray host runs
  std::string FPids;  // the desktop's processes, the tray host last
  std::string FTrayPid;
  int FWindowManagerPid = 0;
};

// Runs a command line through the shell on the desktop's display; its exit status.
int Run(const std::string& command);
// The same, returning what it printed (trailing newline removed).
std::string Output(const std::string& command);

// True when a shown window's name matches the regular expression `pattern`. One look, to be
// repeated by the caller: xdotool's own waiting ends with an X error when a window vanishes
// while it searches.
bool ShownWindowNamed(const std::string& pattern);

// The whole screen as 0x00RRGGBB pixels, read by an outside program (on `display`, else the
// process's own).
struct TShot {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};
TShot Screenshot(const std::string& display = "");

// Starts this test program again in one of its child roles (see main.cpp) with `args`, on
// `display` or else the process's own; returns its process id, or waits for it and returns its
// exit status.
int SpawnChild(const std::string& role, const std::vector<std::string>& args,
               const std::string& display = "");
int WaitChild(int pid);
void EndChild(int pid);

}  // namespace e2e
