// The program on the virtual desktop as its user sees it, for the end-to-end tests: started in
// a folder of the test's choice, its icon in the tray host, its main window and version label,
// driven by xdotool.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/Desktop.h"

namespace e2e {

inline constexpr char kMainWindow[] = "^Morvane Calvix - Freeware$";
inline constexpr char kTrayIcon[] = "^Morvane Calvix$";
// The version label: right-aligned, ending at x 341, one line of text from y 217 (client
// coordinates of the main window).
inline constexpr int kVersionLeft = 300, kVersionRight = 341, kVersionTop = 217,
                     kVersionBottom = 229;

struct TPoint {
  long x = 0;
  long y = 0;
};

// Repeats `done` every 50 ms for at most fifteen seconds (a loaded machine is slow to answer).
bool Eventually(const std::function<bool()>& done);
// Runs xdotool with `args`; what it printed.
std::string Xdo(const std::string& args);
// The screen position of a window's top-left corner.
TPoint Origin(const std::string& id);
// The shown window named by `pattern`, or empty.
std::string Shown(const std::string& pattern);

// The dark pixels of the version label's rectangle in `shot`, row by row, for the main window
// at `origin`: where the label draws its black text.
std::vector<bool> VersionMask(const TShot& shot, const TPoint& origin);
// Their number on the screen now.
int VersionPixels(const TPoint& origin);

// A program file started in `folder` (the file's own folder when empty); it is killed when the
// test ends without having seen it end.
class TProgram {
 public:
  TProgram(const std::string& exe, std::string folder);
  ~TProgram();
  TProgram(const TProgram&) = delete;
  TProgram& operator=(const TProgram&) = delete;

  // Its exit code once it has ended, or -1 when it did not end.
  int ExitCode();
  pid_t Pid() const { return FPid; }

  // The icon in the tray host, once docked.
  std::string TrayIcon() const;
  // The docked icons of the program: windows of the tip's name that carry the embedding
  // information (the tip window itself has the same name).
  static std::vector<std::string> Icons();
  void DoubleClickIcon() const;
  // Opens the icon's menu with the right button and chooses an entry with the keyboard once
  // the menu is up (the toolkit's menu window class).
  void ChooseFromMenu(int downs) const;
  // Waits for the main window to come up; its X id, or empty.
  static std::string MainWindow();

  static std::string Coords(long x, long y);
  static std::vector<std::string> Lines(const std::string& text);

 private:
  pid_t FPid = -1;
  bool FEnded = false;
};

}  // namespace e2e
