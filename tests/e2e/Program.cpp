// The program on the virtual desktop as its user sees it: starting it, its icon, its windows.
#include "tests/e2e/Program.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace e2e {

bool Eventually(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::string Xdo(const std::string& args) {
  return Output("xdotool " + args + " 2>/dev/null");
}

TPoint Origin(const std::string& id) {
  TPoint p{};
  std::sscanf(Xdo("getwindowgeometry " + id).c_str(), "Window %*s Position: %ld,%ld", &p.x, &p.y);
  return p;
}

std::string Shown(const std::string& pattern) {
  const std::string found = Xdo("search --onlyvisible --name '" + pattern + "'");
  return found.substr(0, found.find('\n'));
}

std::vector<bool> VersionMask(const TShot& shot, const TPoint& origin) {
  std::vector<bool> mask;
  for (int y = kVersionTop; y < kVersionBottom; ++y)
    for (int x = kVersionLeft; x < kVersionRight; ++x) {
      const uint32_t rgb = shot.At(int(origin.x) + x, int(origin.y) + y);
      mask.push_back(((rgb >> 16) & 0xFF) < 0x60 && ((rgb >> 8) & 0xFF) < 0x60 &&
                     (rgb & 0xFF) < 0x60);
    }
  return mask;
}

int VersionPixels(const TPoint& origin) {
  int dark = 0;
  for (const bool d : VersionMask(Screenshot(), origin))
    dark += d;
  return dark;
}

TProgram::TProgram(const std::string& exe, std::string folder) {
  if (folder.empty()) folder = exe.substr(0, exe.find_last_of('/'));
  FPid = fork();
  if (FPid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

TProgram::~TProgram() {
  if (FPid > 0 && !FEnded) {
    kill(FPid, SIGKILL);
    waitpid(FPid, nullptr, 0);
  }
}

int TProgram::ExitCode() {
  int status = 0;
  if (!Eventually([&] { return waitpid(FPid, &status, WNOHANG) == FPid; })) return -1;
  FEnded = true;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TProgram::TrayIcon() const {
  std::string icon;
  Eventually([&] {
    const std::vector<std::string> icons = Icons();
    if (!icons.empty()) icon = icons.front();
    return !icon.empty();
  });
  return icon;
}

std::vector<std::string> TProgram::Icons() {
  std::vector<std::string> out;
  for (const std::string& id :
       Lines(Xdo("search --onlyvisible --name '" + std::string(kTrayIcon) + "'")))
    if (Output("xprop -id " + id + " _XEMBED_INFO 2>/dev/null").find("0x1") != std::string::npos)
      out.push_back(id);
  return out;
}

void TProgram::DoubleClickIcon() const {
  const TPoint p = Origin(TrayIcon());
  Xdo("mousemove " + Coords(p.x + 8, p.y + 8) + " click --repeat 2 --delay 80 1");
}

void TProgram::ChooseFromMenu(int downs) const {
  // Two right presses on the icon within the double-click time and distance are a right double
  // click, which shows the main window as the left one does: a press follows the last one at
  // another point of the icon, so that choosing twice in quick succession stays two choices.
  static bool alternate = false;
  alternate = !alternate;
  const int at = alternate ? 4 : 16;
  const TPoint p = Origin(TrayIcon());
  Xdo("mousemove " + Coords(p.x + at, p.y + at) + " click 3");
  EXPECT_TRUE(Eventually([] {
    return !Xdo("search --onlyvisible --class '^TPopupMenuWindow$'").empty();
  })) << "the menu did not open";
  std::string keys;
  for (int i = 0; i < downs; ++i)
    keys += " Down";
  Xdo("key" + keys + " Return");
}

std::string TProgram::MainWindow() {
  std::string id;
  Eventually([&] { return !(id = Shown(kMainWindow)).empty(); });
  return id;
}

std::string TProgram::Coords(long x, long y) {
  return std::to_string(x) + " " + std::to_string(y);
}

std::vector<std::string> TProgram::Lines(const std::string& text) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    out.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return out;
}

}  // namespace e2e
