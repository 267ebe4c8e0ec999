// The private virtual desktop of the end-to-end tests and the outside tools that drive it.
#include "tests/e2e/Desktop.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/x11/X11Display.h"

extern char** environ;

namespace e2e {

namespace {

const std::string kDesktopScript = std::string(CALVIX_SOURCE_DIR) + "/scripts/desktop";

// The value of `key` in scripts/desktop's KEY=VALUE output, quotes removed.
std::string ValueOf(const std::string& output, const std::string& key) {
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(key + "=", 0) != 0) continue;
    std::string value = line.substr(key.size() + 1);
    if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
    return value;
  }
  return {};
}

// Waits until a tray host owns the notification area's selection: the host's window shows
// before it takes the selection, and an icon added in between finds no host.
bool WaitForTrayHost(const std::string& display) {
  const auto connection = platform::x11::TX11Display::Open(display.c_str());
  if (connection == nullptr) return false;
  Display* dpy = connection->Dpy();
  const Atom selection = connection->Atoms().netSystemTraySelection;
  // Selected first, so that the host's announcement (MANAGER) cannot slip between.
  XSelectInput(dpy, connection->Root(), StructureNotifyMask);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (XGetSelectionOwner(dpy, selection) == 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
    poll(&fd, 1, int(left.count()));
    while (XPending(dpy) > 0) {
      XEvent event;
      XNextEvent(dpy, &event);
    }
  }
  return true;
}

std::string SelfPath() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return std::string(path, n > 0 ? size_t(n) : 0);
}

}  // namespace

// The notification area of the desktop of most tests: trayer unless the build names another
// (the Windows program's tests take tint2, whose tray Wine reads right).
#ifndef CALVIX_E2E_TRAY_HOST
#define CALVIX_E2E_TRAY_HOST "trayer"
#endif

TDesktop& TDesktop::Get() {
  static TDesktop desktop("--tray " CALVIX_E2E_TRAY_HOST, CALVIX_E2E_TRAY_HOST, true);
  return desktop;
}

TDesktop& TDesktop::Xfce() {
  static TDesktop desktop("--wm xfwm4 --tray tint2", "tint2", false);
  return desktop;
}

TDesktop::TDesktop(const std::string& options, const std::string& tray, bool ownDisplay)
    : FTray(tray) {
  const std::string output = Output(kDesktopScript + " start " + options);
  FDisplay = ValueOf(output, "DISPLAY");
  FPids = ValueOf(output, "DESKTOP_PIDS");
  // The tray host started last, the window manager just before it.
  std::istringstream in(FPids);
  std::vector<std::string> pids{std::istream_iterator<std::string>(in), {}};
  if (!pids.empty()) FTrayPid = pids.back();
  if (pids.size() >= 2) FWindowManagerPid = std::atoi(pids[pids.size() - 2].c_str());
  if (FDisplay.empty()) throw std::runtime_error("the virtual desktop did not start");
  if (ownDisplay) setenv("DISPLAY", FDisplay.c_str(), 1);
  if (!WaitForTrayHost(FDisplay)) throw std::runtime_error("the tray host took no selection");
}

TDesktop::~TDesktop() {
  if (!FPids.empty()) Run(kDesktopScript + " stop " + FPids + " " + FTrayPid);
}

bool TDesktop::StopTray() {
  if (FTrayPid.empty()) return false;
  Run(kDesktopScript + " stop " + FTrayPid);
  FTrayPid.clear();
  return true;
}

bool TDesktop::StartTray() {
  FTrayPid = ValueOf(Output(kDesktopScript + " tray " + FDisplay + " " + FTray), "TRAY_PID");
  return !FTrayPid.empty() && WaitForTrayHost(FDisplay);
}

bool TDesktop::PauseWindowManager(bool paused) {
  return FWindowManagerPid > 0 && kill(FWindowManagerPid, paused ? SIGSTOP : SIGCONT) == 0;
}

int Run(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.append(buffer, n);
  pclose(pipe);
  while (!out.empty() && out.back() == '\n')
    out.pop_back();
  return out;
}

bool ShownWindowNamed(const std::string& pattern) {
  return Run("xdotool search --onlyvisible --name '" + pattern + "' >/dev/null 2>&1") == 0;
}

TShot Screenshot(const std::string& display) {
  TShot shot;
  const std::string on = display.empty() ? "" : "DISPLAY=" + display + " ";
  const std::string size = Output(on + "xdpyinfo | awk '/dimensions:/ {print $2}'");
  if (std::sscanf(size.c_str(), "%dx%d", &shot.width, &shot.height) != 2) return shot;
  const std::string raw = Output(on + "import -silent -window root -depth 8 rgb:-");
  if (raw.size() < size_t(shot.width) * shot.height * 3) return TShot{};
  shot.pixels.resize(size_t(shot.width) * shot.height);
  for (size_t i = 0; i < shot.pixels.size(); ++i) {
    const auto* p = reinterpret_cast<const unsigned char*>(raw.data() + 3 * i);
    shot.pixels[i] = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
  }
  return shot;
}

int SpawnChild(const std::string& role, const std::vector<std::string>& args,
               const std::string& display) {
  const std::string self = SelfPath();
  std::vector<std::string> words = {self, "--child=" + role};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words)
    argv.push_back(w.data());
  argv.push_back(nullptr);
  // The environment of this process, with the display asked for.
  std::vector<std::string> variables;
  for (char** e = environ; *e != nullptr; ++e) {
    if (display.empty() || std::strncmp(*e, "DISPLAY=", 8) != 0) variables.emplace_back(*e);
  }
  if (!display.empty()) variables.push_back("DISPLAY=" + display);
  std::vector<char*> envp;
  for (std::string& v : variables)
    envp.push_back(v.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  return pid;
}

int WaitChild(int pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void EndChild(int pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  WaitChild(pid);
}

}  // namespace e2e
