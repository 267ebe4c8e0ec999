// A small tray program and MorCalvix itself on a real Wayland desktop run headless: the icon is
// an item of waybar's tray, the host's calls open the skinned window (which shows the wallpaper
// through its see-through part, not black) and the menu, the window hides when another program
// takes the activation, and "Fechar" takes the item out of the tray.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kScript = std::string(CALVIX_SOURCE_DIR) + "/scripts/wayland-desktop";
constexpr uint32_t kWallpaper = 0x3070A0;  // scripts/wayland-desktop's background
constexpr uint32_t kYellow = 0xFFFF00;     // the skin's panel
constexpr uint32_t kMenuFace = 0xD4D0C8;
constexpr int kBarHeight = 30;
constexpr const char* kItem = "org.kde.StatusNotifierItem";

struct TResult {
  int status = -1;
  std::string out;
};

TResult Shell(const std::string& command) {
  TResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[65536];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
    result.out.append(buffer, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// Retries `check` for up to `seconds`: the outside programs answer in their own time.
bool Eventually(const std::function<bool()>& check, int seconds = 10) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!check()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

// --- The desktop ---

class TWaylandDesktop {
 public:
  static TWaylandDesktop& Get() {
    static TWaylandDesktop desktop;
    return desktop;
  }
  ~TWaylandDesktop() {
    if (!FValues.empty()) Shell(kScript + " stop " + FValues["DESKTOP_DIR"] + " " + FPids);
  }

  bool Started() const { return !FValues.empty(); }
  const std::string& Failure() const { return FFailure; }
  bool Unsupported() const { return FUnsupported; }

  // A command line that runs `command` as the desktop's user, in its session.
  std::string As(const std::string& command) {
    return kScript + " as " + FValues["DESKTOP_USER"] + " env HOME=" + FValues["DESKTOP_DIR"] +
           "/home XDG_RUNTIME_DIR=" + FValues["XDG_RUNTIME_DIR"] +
           " DBUS_SESSION_BUS_ADDRESS=" + FValues["DBUS_SESSION_BUS_ADDRESS"] +
           " DISPLAY=" + FValues["DISPLAY"] + " WAYLAND_DISPLAY=" + FValues["WAYLAND_DISPLAY"] +
           " " + command;
  }

 private:
  TWaylandDesktop() {
    const TResult started = Shell(kScript + " start 2>&1");
    std::istringstream lines(started.out);
    std::map<std::string, std::string> values;
    for (std::string line; std::getline(lines, line);) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos || line.find(' ') < eq) continue;
      std::string value = line.substr(eq + 1);
      if (value.size() >= 2 && value.front() == '"') value = value.substr(1, value.size() - 2);
      values[line.substr(0, eq)] = value;
    }
    if (started.status != 0 || values.count("DESKTOP_DIR") == 0) {
      FUnsupported = started.status == 3;
      FFailure = started.out;
      return;
    }
    FPids = values["DESKTOP_PIDS"];
    FValues = values;
  }

  std::map<std::string, std::string> FValues;
  std::string FPids;
  std::string FFailure;
  bool FUnsupported = false;
};

// --- Screenshots ---

struct TShot {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB
  uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

TShot Grab() {
  TShot shot;
  const TResult ppm = Shell(TWaylandDesktop::Get().As("grim -t ppm -"));
  int maxValue = 0, consumed = 0;
  if (std::sscanf(ppm.out.c_str(), "P6 %d %d %d%n", &shot.width, &shot.height, &maxValue,
                  &consumed) != 3 ||
      maxValue != 255) {
    return TShot{};
  }
  const size_t start = size_t(consumed) + 1;
  if (ppm.out.size() < start + size_t(shot.width) * shot.height * 3) return TShot{};
  shot.pixels.resize(size_t(shot.width) * shot.height);
  for (size_t i = 0; i < shot.pixels.size(); ++i) {
    const auto* p = reinterpret_cast<const unsigned char*>(ppm.out.data() + start + 3 * i);
    shot.pixels[i] = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
  }
  return shot;
}

// The bounding box of the pixels of one colour, or an empty one.
struct TBox {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool Empty() const { return right < left; }
};
TBox Find(const TShot& shot, uint32_t colour, int top = 0, int bottom = -1) {
  TBox box;
  if (bottom < 0) bottom = shot.height;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      if (shot.At(x, y) != colour) continue;
      box.left = std::min(box.left, x), box.right = std::max(box.right, x);
      box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

// --- The program under test, as the desktop's user ---

class TProgram {
 public:
  explicit TProgram(const std::string& command) {
    int out[2];
    if (pipe(out) != 0) return;
    FPid = fork();
    if (FPid == 0) {
      dup2(out[1], 1);
      close(out[0]);
      close(out[1]);
      execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    FOut = out[0];
  }
  ~TProgram() {
    if (FPid > 0 && Wait(0) == -2) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
    if (FOut >= 0) close(FOut);
  }
  pid_t Pid() const { return FPid; }

  // Reads the program's output until it says `line`; false after `seconds`.
  bool Says(const std::string& line, int seconds = 10) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
      for (size_t at; (at = FBuffer.find('\n')) != std::string::npos;) {
        const std::string said = FBuffer.substr(0, at);
        FBuffer.erase(0, at + 1);
        if (said == line) return true;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd fd{FOut, POLLIN, 0};
      if (poll(&fd, 1, int(left.count())) <= 0) continue;
      char buffer[512];
      const ssize_t n = read(FOut, buffer, sizeof buffer);
      if (n <= 0) return false;
      FBuffer.append(buffer, size_t(n));
    }
  }
  // The exit status once the program has ended within `seconds`, or -2.
  int Wait(int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
      int status = 0;
      if (waitpid(FPid, &status, WNOHANG) == FPid) {
        FPid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() >= end) return -2;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

 private:
  pid_t FPid = -1;
  int FOut = -1;
  std::string FBuffer;
};

std::string SelfPath() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return std::string(path, n > 0 ? size_t(n) : 0);
}

std::string RegisteredItems() {
  return Shell(TWaylandDesktop::Get().As("busctl --user get-property org.kde.StatusNotifierWatcher "
                                         "/StatusNotifierWatcher org.kde.StatusNotifierWatcher "
                                         "RegisteredStatusNotifierItems"))
      .out;
}

int CallItem(const std::string& service, const std::string& method, int x, int y) {
  return Shell(TWaylandDesktop::Get().As("busctl --user call " + service + " /StatusNotifierItem " +
                                         kItem + " " + method + " ii " + std::to_string(x) + " " +
                                         std::to_string(y)))
      .status;
}

class SwayTest : public testing::Test {
 protected:
  void SetUp() override {
    TWaylandDesktop& desktop = TWaylandDesktop::Get();
    if (desktop.Unsupported())
      GTEST_SKIP() << "this machine cannot run sway:\n" << desktop.Failure();
    ASSERT_TRUE(desktop.Started()) << desktop.Failure();
  }
};

}  // namespace

TEST_F(SwayTest, TheIconIsAnItemOfWaybarsTrayAndItsCallsOpenTheWindowAndTheMenu) {
  TWaylandDesktop& desktop = TWaylandDesktop::Get();
  TProgram program(desktop.As(SelfPath() + " --child=tray"));
  ASSERT_TRUE(program.Says("notify 0 ok")) << "NIM_ADD";
  const std::string service = std::string(kItem) + "-" + std::to_string(program.Pid()) + "-1";
  EXPECT_TRUE(Eventually([&] { return RegisteredItems().find(service) != std::string::npos; }))
      << RegisteredItems();
  // waybar draws the icon's pixels in its bar at the top of the screen.
  EXPECT_TRUE(Eventually([&] { return !Find(Grab(), 0x00A000, 0, kBarHeight).Empty(); }))
      << "the green icon in waybar's tray";

  // The host's open gesture: the window shows the wallpaper through its see-through part.
  ASSERT_EQ(CallItem(service, "Activate", 1000, 10), 0);
  ASSERT_TRUE(program.Says("shown"));
  TShot shot;
  ASSERT_TRUE(Eventually([&] { return !Find(shot = Grab(), kYellow).Empty(); })) << "the panel";
  const TBox panel = Find(shot, kYellow);
  EXPECT_EQ(panel.right - panel.left + 1, 100);
  EXPECT_EQ(panel.bottom - panel.top + 1, 150);
  const int middle = (panel.top + panel.bottom) / 2;
  for (int x = panel.right + 1; x < panel.right + 100 && x < shot.width; x += 9) {
    EXPECT_EQ(shot.At(x, middle), kWallpaper) << "see-through at " << x << "," << middle;
  }

  // Another program takes the activation: the window hides.
  TProgram other(desktop.As("xmessage -center other"));
  EXPECT_TRUE(program.Says("deactivated"));
  EXPECT_TRUE(Eventually([&] { return Find(Grab(), kYellow).Empty(); })) << "the panel hidden";
  kill(other.Pid(), SIGTERM);

  // The host's context menu: the program's own menu opens at the point given.
  ASSERT_EQ(CallItem(service, "ContextMenu", 600, 300), 0);
  ASSERT_TRUE(program.Says("menu 600 300"));
  EXPECT_TRUE(Eventually([&] { return Grab().At(710, 305) == kMenuFace; })) << "the menu";
  // "Fechar", chosen with the keyboard the menu holds.
  Shell(desktop.As("xdotool key Return"));
  EXPECT_TRUE(program.Says("fechar"));
  EXPECT_EQ(program.Wait(10), 0);
  EXPECT_TRUE(Eventually([&] { return RegisteredItems().find(service) == std::string::npos; }))
      << "the item leaves the tray";
  EXPECT_TRUE(Eventually([&] { return Find(Grab(), 0x00A000, 0, kBarHeight).Empty(); }));
}

// --- The program itself ---

namespace {

constexpr char kMainWindow[] = "^Morvane Calvix - Freeware$";
constexpr int kFecharDowns = 4;  // the entries of the icon's menu, as the down arrow reaches them

std::string Xdo(const std::string& arguments) {
  std::string out = Shell(TWaylandDesktop::Get().As("xdotool " + arguments + " 2>/dev/null")).out;
  while (!out.empty() && out.back() == '\n')
    out.pop_back();
  return out;
}

// How many pixels of the bar's right end differ between two screenshots.
int TrayChanges(const TShot& before, const TShot& after) {
  int changed = 0;
  for (int y = 0; y < kBarHeight; ++y)
    for (int x = before.width - 200; x < before.width; ++x)
      changed += before.At(x, y) != after.At(x, y);
  return changed;
}

}  // namespace

TEST_F(SwayTest, MorCalvixLivesInWaybarsTrayAndItsWindowShowsTheWallpaperThroughTheSkin) {
  TWaylandDesktop& desktop = TWaylandDesktop::Get();
  const TShot empty = Grab();
  ASSERT_GT(empty.width, 0);
  TProgram program(desktop.As(CALVIX_EXE_PATH));
  std::string service;
  ASSERT_TRUE(Eventually([&] {
    service = std::string(kItem) + "-" + std::to_string(program.Pid()) + "-1";
    return RegisteredItems().find(service) != std::string::npos;
  })) << RegisteredItems();
  EXPECT_TRUE(Eventually([&] { return TrayChanges(empty, Grab()) > 50; })) << "the icon drawn";
  EXPECT_TRUE(Xdo("search --onlyvisible --name '" + std::string(kMainWindow) + "'").empty());

  // waybar's click: the window comes up with the wallpaper where its skin is white.
  ASSERT_EQ(CallItem(service, "Activate", 1000, 15), 0);
  std::string main;
  ASSERT_TRUE(Eventually([&] {
    return !(main = Xdo("search --onlyvisible --name '" + std::string(kMainWindow) + "'")).empty();
  })) << "Activate showed no window";
  const std::string geometry = Xdo("getwindowgeometry " + main);
  int x = 0, y = 0;
  ASSERT_EQ(std::sscanf(geometry.c_str() + geometry.find("Position:"), "Position: %d,%d", &x, &y),
            2)
      << geometry;
  // The skin is white (see-through) left and right of its panel, at mid height.
  TShot shot;
  EXPECT_TRUE(Eventually([&] {
    shot = Grab();
    return shot.At(x + 1, y + 150) == kWallpaper && shot.At(x + 354, y + 150) == kWallpaper;
  })) << std::hex
      << shot.At(x + 1, y + 150) << " " << shot.At(x + 354, y + 150);
  EXPECT_NE(shot.At(x + 100, y + 150), kWallpaper) << "the panel is opaque";
  EXPECT_EQ(Xdo("getactivewindow"), main) << "the window has the keyboard";

  // waybar's right click: the program's menu; "Fechar" ends the program and the item leaves.
  ASSERT_EQ(CallItem(service, "ContextMenu", 900, 15), 0);
  ASSERT_TRUE(Eventually([] {
    return !Xdo("search --onlyvisible --class '^TPopupMenuWindow$'").empty();
  })) << "the menu did not open";
  std::string keys;
  for (int i = 0; i < kFecharDowns; ++i)
    keys += " Down";
  Xdo("key" + keys + " Return");
  EXPECT_EQ(program.Wait(10), 0);
  EXPECT_TRUE(Eventually([&] { return RegisteredItems().find(service) == std::string::npos; }));
  EXPECT_TRUE(Eventually([&] { return TrayChanges(empty, Grab()) == 0; })) << "the icon gone";
}
