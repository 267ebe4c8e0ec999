// Figures of the X11 driver on a private virtual desktop (scripts/desktop): process start to a
// docked notification-area icon (without and with a session bus), resident memory of an idle
// process with its icon docked, and showing a 356 x 259 window with the copy of the screen under
// it taken first; and on a Wayland desktop (scripts/wayland-desktop), start to an icon
// registered with waybar's watcher.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "platform/x11/X11Driver.h"

extern char** environ;

namespace {

constexpr const char* kProbeVariable = "CALVIX_TRAY_PROBE";
constexpr UINT kCallback = WM_USER + 100;
constexpr UINT kIconId = 42;

// --- The desktop ---

class TDesktop {
 public:
  TDesktop() {
    FILE* pipe = popen(CALVIX_SOURCE_DIR "/scripts/desktop start", "r");
    char line[256];
    while (pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr) {
      std::string text(line);
      text.erase(text.find_last_not_of("\n") + 1);
      if (text.rfind("DISPLAY=", 0) == 0) FDisplay = text.substr(8);
      if (text.rfind("DESKTOP_PIDS=", 0) == 0) FPids = text.substr(14, text.size() - 15);
    }
    if (pipe != nullptr) pclose(pipe);
    if (!FDisplay.empty()) setenv("DISPLAY", FDisplay.c_str(), 1);
  }
  ~TDesktop() {
    if (!FPids.empty()) std::system((CALVIX_SOURCE_DIR "/scripts/desktop stop " + FPids).c_str());
  }
  bool Started() const { return !FDisplay.empty(); }

 private:
  std::string FDisplay;
  std::string FPids;
};

TDesktop& Desktop() {
  static TDesktop desktop;
  return desktop;
}

// --- The probe: this program started again as a minimal tray program ---

HICON SmallIcon() {
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateCompatibleBitmap(screen, 16, 16);
  HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
  ReleaseDC(nullptr, screen);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = colour;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

// Adds its icon, says "docked" on its output once the tray host shows it, and idles until its
// input closes.
[[noreturn]] void RunProbe() {
  WNDCLASSA cls{};
  cls.lpfnWndProc = DefWindowProcA;
  cls.lpszClassName = "TrayProbe";
  RegisterClassA(&cls);
  HWND owner = CreateWindowExA(0, "TrayProbe", "probe", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               nullptr, nullptr);
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = owner;
  data.uID = kIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kCallback;
  data.hIcon = SmallIcon();
  std::strcpy(data.szTip, "probe");
  // Shell_NotifyIconA returns once the host has taken the icon, as on Windows.
  if (!Shell_NotifyIconA(NIM_ADD, &data) || !platform::X11TrayDocked(owner, kIconId)) _exit(1);
  write(1, "docked\n", 7);
  char byte;
  while (read(0, &byte, 1) > 0) {
  }
  _exit(0);
}

const bool kIsProbe = [] {
  if (std::getenv(kProbeVariable) != nullptr) RunProbe();
  return false;
}();

long ResidentKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

// A private session bus without a watcher, and the Wayland desktop (scripts/wayland-desktop),
// each started on first use and stopped at the end.
class TSessionBus {
 public:
  TSessionBus() {
    FILE* pipe =
        popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
    char address[512] = {}, pid[32] = {};
    if (pipe != nullptr && std::fgets(address, sizeof address, pipe) != nullptr &&
        std::fgets(pid, sizeof pid, pipe) != nullptr) {
      FAddress = std::string(address, strcspn(address, "\n"));
      FPid = std::atoi(pid);
    }
    if (pipe != nullptr) pclose(pipe);
  }
  ~TSessionBus() {
    if (FPid > 0) kill(FPid, SIGTERM);
  }
  std::string FAddress;
  pid_t FPid = 0;
};

class TWaylandDesktop {
 public:
  TWaylandDesktop() {
    FILE* pipe = popen(CALVIX_SOURCE_DIR "/scripts/wayland-desktop start 2>/dev/null", "r");
    char line[512];
    while (pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr) {
      std::string text(line);
      text.erase(text.find_last_not_of("\n") + 1);
      const size_t eq = text.find('=');
      if (eq == std::string::npos) continue;
      std::string value = text.substr(eq + 1);
      if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
      FValues[text.substr(0, eq)] = value;
    }
    if (pipe != nullptr) pclose(pipe);
  }
  ~TWaylandDesktop() {
    if (Started()) {
      std::system((CALVIX_SOURCE_DIR "/scripts/wayland-desktop stop " + FValues["DESKTOP_DIR"] +
                   " " + FValues["DESKTOP_PIDS"])
                      .c_str());
    }
  }
  bool Started() const { return FValues.count("DESKTOP_DIR") != 0; }
  std::map<std::string, std::string> FValues;
};

// --- Benchmarks ---

// Starts the probe (through `launcher` when not empty) with `environment` and waits until it
// has its icon shown; the time from the start to then, or a negative value when it failed.
double StartProbe(const std::vector<std::string>& launcher,
                  const std::vector<std::string>& environment, long& resident) {
  char self[4096] = {};
  readlink("/proc/self/exe", self, sizeof self - 1);
  std::vector<std::string> words = launcher;
  words.push_back(self);
  std::vector<char*> argv, envp;
  for (std::string& w : words)
    argv.push_back(w.data());
  argv.push_back(nullptr);
  std::vector<std::string> env = environment;
  env.push_back(std::string(kProbeVariable) + "=1");
  for (std::string& e : env)
    envp.push_back(e.data());
  envp.push_back(nullptr);
  int toParent[2], toChild[2];
  // Close-on-exec, so that the probe holds no copy of the ends that signal its end.
  if (pipe2(toParent, O_CLOEXEC) != 0 || pipe2(toChild, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toParent[1], 1);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
  pid_t pid = 0;
  const auto start = std::chrono::steady_clock::now();
  posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  close(toParent[1]);
  close(toChild[0]);
  char answer[16] = {};
  const bool docked = read(toParent[0], answer, sizeof answer) > 0;
  const auto end = std::chrono::steady_clock::now();
  resident = ResidentKilobytes(pid);
  close(toChild[1]);
  close(toParent[0]);
  waitpid(pid, nullptr, 0);
  posix_spawn_file_actions_destroy(&actions);
  return docked ? std::chrono::duration<double>(end - start).count() : -1;
}

std::vector<std::string> Environment() {
  std::vector<std::string> out;
  for (char** e = environ; *e != nullptr; ++e)
    out.push_back(*e);
  return out;
}

void RunStarts(benchmark::State& state, const std::vector<std::string>& launcher,
               const std::vector<std::string>& environment) {
  long resident = 0;
  for (auto _ : state) {
    const double seconds = StartProbe(launcher, environment, resident);
    if (seconds < 0) return state.SkipWithError("the probe did not show its icon");
    state.SetIterationTime(seconds);
  }
  state.counters["resident_MB"] = double(resident) / 1024.0;
}

// Docking into trayer on openbox, on a desktop without a session bus.
void BM_StartToDockedIcon(benchmark::State& state) {
  if (!Desktop().Started()) return state.SkipWithError("no virtual desktop");
  std::vector<std::string> environment;
  for (const std::string& e : Environment()) {
    if (e.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) != 0 && e.rfind("XDG_RUNTIME_DIR=", 0) != 0)
      environment.push_back(e);
  }
  RunStarts(state, {}, environment);
}

// The same with a session bus that has no watcher: the icon docks while the bus is asked.
void BM_StartToDockedIconWithSessionBus(benchmark::State& state) {
  if (!Desktop().Started()) return state.SkipWithError("no virtual desktop");
  static TSessionBus bus;
  if (bus.FAddress.empty()) return state.SkipWithError("no dbus-daemon");
  std::vector<std::string> environment = Environment();
  environment.push_back("DBUS_SESSION_BUS_ADDRESS=" + bus.FAddress);
  RunStarts(state, {}, environment);
}

// Registering with waybar's watcher on sway, through XWayland, as the desktop's user.
void BM_StartToRegisteredItemOnSway(benchmark::State& state) {
  static TWaylandDesktop sway;
  if (!sway.Started()) return state.SkipWithError("no Wayland desktop");
  auto& v = sway.FValues;
  std::vector<std::string> launcher;
  if (getuid() == 0) {
    const std::string user = v["DESKTOP_USER"];
    launcher = {"/usr/bin/setpriv", "--reuid=" + user, "--regid=" + user, "--init-groups", "--"};
  }
  RunStarts(state, launcher,
            {"DISPLAY=" + v["DISPLAY"], "XDG_RUNTIME_DIR=" + v["XDG_RUNTIME_DIR"],
             "DBUS_SESSION_BUS_ADDRESS=" + v["DBUS_SESSION_BUS_ADDRESS"],
             "HOME=" + v["DESKTOP_DIR"] + "/home", "PATH=/usr/bin:/bin"});
}

// One start per repetition, so that the median over starts is reported; a loaded machine
// makes single starts wander far from it.
void StartFigure(benchmark::internal::Benchmark* b) {
  b->UseManualTime()
      ->Iterations(1)
      ->Repetitions(25)
      ->ReportAggregatesOnly(true)
      ->ComputeStatistics(
          "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
      ->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_StartToDockedIcon)->Apply(StartFigure);
BENCHMARK(BM_StartToDockedIconWithSessionBus)->Apply(StartFigure);
BENCHMARK(BM_StartToRegisteredItemOnSway)->Apply(StartFigure);

// Copies the screen under a hidden 356 x 259 window, then shows it and waits for its first
// paint to reach the screen.
void BM_ShowWindowWithScreenCopy(benchmark::State& state) {
  if (!Desktop().Started()) return state.SkipWithError("no virtual desktop");
  static bool painted = false;
  WNDCLASSA cls{};
  cls.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_PAINT) painted = true;
    return DefWindowProcA(h, m, w, l);
  };
  cls.lpszClassName = "ShowFigure";
  RegisterClassA(&cls);
  HWND hwnd = CreateWindowExA(0, "ShowFigure", "figure", WS_POPUP, 300, 200, 356, 259, nullptr,
                              nullptr, nullptr, nullptr);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP copy = CreateCompatibleBitmap(screen, 356, 259);
  HGDIOBJ old = SelectObject(memory, copy);
  for (auto _ : state) {
    painted = false;
    BitBlt(memory, 0, 0, 356, 259, screen, 300, 200, SRCCOPY);
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (!painted && GetMessageA(&msg, nullptr, 0, 0) > 0)
      DispatchMessageA(&msg);
    state.PauseTiming();
    ShowWindow(hwnd, SW_HIDE);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&msg);
    state.ResumeTiming();
  }
  SelectObject(memory, old);
  DeleteObject(copy);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DestroyWindow(hwnd);
}
BENCHMARK(BM_ShowWindowWithScreenCopy)->Unit(benchmark::kMillisecond)->Iterations(20);

// The copy of the screen under the window alone.
void BM_ReadScreenUnderWindow(benchmark::State& state) {
  if (!Desktop().Started()) return state.SkipWithError("no virtual desktop");
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP copy = CreateCompatibleBitmap(screen, 356, 259);
  HGDIOBJ old = SelectObject(memory, copy);
  for (auto _ : state)
    BitBlt(memory, 0, 0, 356, 259, screen, 300, 200, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(copy);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}
BENCHMARK(BM_ReadScreenUnderWindow)->Unit(benchmark::kMillisecond);

}  // namespace
