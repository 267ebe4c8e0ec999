// Taskbar entries and the focus on real desktops: the application's hidden window carries the
// program's only taskbar entry while it is shown, without showing anything; a panel (tint2)
// lists it and its clicks do what the Windows taskbar does; windows shown after a user action
// come forward with the focus under a window manager that prevents focus stealing (xfwm4).
#include <gtest/gtest.h>

#include <signal.h>

#include <sstream>

#include "tests/e2e/Desktop.h"
#include "tests/e2e/Platform.h"

// After GoogleTest: the X headers define macros (None, Bool) that its own names would meet.
#include "platform/x11/X11Display.h"

using namespace e2e;

namespace {

constexpr uint32_t kPanelColour = 0x202020;  // scripts/desktop-tint2rc: the panel's background
constexpr int kPanelRow = 745;               // a row through the panel's task buttons
constexpr int kTaskX = 20;                   // inside the first task button

// The names of a process's windows that the window manager lists and that lack
// _NET_WM_STATE_SKIP_TASKBAR: the windows a taskbar shows.
std::vector<std::string> TaskbarEntries(const TDesktop& desktop, int pid) {
  std::vector<std::string> names;
  const std::string list = Output(desktop.On("xprop -root _NET_CLIENT_LIST"));
  const size_t hash = list.find('#');
  if (hash == std::string::npos) return names;
  std::istringstream ids(list.substr(hash + 1));
  std::string id;
  while (std::getline(ids, id, ',')) {
    const std::string props =
        Output(desktop.On("xprop -id " + id + " _NET_WM_PID _NET_WM_STATE WM_NAME"));
    if (props.find("_NET_WM_PID(CARDINAL) = " + std::to_string(pid) + "\n") == std::string::npos)
      continue;
    if (props.find("_NET_WM_STATE_SKIP_TASKBAR") != std::string::npos) continue;
    const size_t quote = props.find("WM_NAME(STRING) = \"");
    names.push_back(quote == std::string::npos
                        ? id
                        : props.substr(quote + 19, props.find('"', quote + 19) - quote - 19));
  }
  return names;
}

// The task buttons the panel draws: runs of other colours along a row of the panel.
int PanelTasks(const TDesktop& desktop) {
  const TShot shot = Screenshot(desktop.DisplayName());
  if (shot.width == 0) return -1;
  int tasks = 0;
  bool inside = false;
  for (int x = 0; x < shot.width * 3 / 4; ++x) {
    const bool task = shot.At(x, kPanelRow) != kPanelColour;
    tasks += task && !inside;
    inside = task;
  }
  return tasks;
}

std::string FocusedName(const TDesktop& desktop) {
  return Output(desktop.On("xdotool getwindowfocus getwindowname 2>/dev/null"));
}

// Runs the window manager's wait of a test: our own loop runs meanwhile.
bool Eventually(const std::function<bool()>& done) {
  return PumpUntil(done, 10);
}

std::string Click(int x, int y, const std::string& how = "click 1") {
  return "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " " + how;
}

// The centre of the docked icon whose tip is `tip` (its tooltip window bears the same name).
POINT IconCentre(const TDesktop& desktop, const std::string& tip) {
  std::istringstream ids(Output(desktop.On("xdotool search --name '^" + tip + "$'")));
  std::string id;
  while (ids >> id) {
    const std::string shell = Output(desktop.On("xdotool getwindowgeometry --shell " + id));
    int x = 0, y = 0, w = 0, h = 0;
    if (std::sscanf(shell.c_str(), "WINDOW=%*d\nX=%d\nY=%d\nWIDTH=%d\nHEIGHT=%d", &x, &y, &w, &h) ==
            4 &&
        w == h && w > 0) {
      return {x + w / 2, y + h / 2};
    }
  }
  return {-1, -1};
}

// The "shell" child on the desktop with xfwm4 and tint2, ended by the session's end.
class TShellOnPanel {
 public:
  TShellOnPanel() : FDesktop(TDesktop::Xfce()) {
    FPid = SpawnChild("shell", {}, FDesktop.DisplayName());
    // Docked: inside the panel, which takes a moment to place the icon on a loaded machine.
    FDocked = Eventually([&] { return Icon().y >= kPanelRow - 15; });
  }
  ~TShellOnPanel() {
    kill(FPid, SIGTERM);
    WaitChild(FPid);
  }
  const TDesktop& Desktop() const { return FDesktop; }
  int Pid() const { return FPid; }
  bool Docked() const { return FDocked; }
  void DoubleClickIcon() const {
    const POINT at = Icon();
    e2e::Run(FDesktop.On(Click(at.x, at.y, "click --repeat 2 --delay 120 1")));
  }
  void RightClickIcon() const {
    const POINT at = Icon();
    e2e::Run(FDesktop.On(Click(at.x, at.y, "click 3")));
  }

 private:
  POINT Icon() const { return IconCentre(FDesktop, "E2E shell tip"); }

  TDesktop& FDesktop;
  int FPid = 0;
  bool FDocked = false;
};

// Another program that holds the focus, clicked by the user (so that it has the latest user
// time), without a taskbar button of its own.
class TOtherProgram {
 public:
  explicit TOtherProgram(const TDesktop& desktop) : FDesktop(desktop) {
    FPid = SpawnChild("window", {"E2E other", "600", "100", "tool"}, desktop.DisplayName());
  }
  ~TOtherProgram() { EndChild(FPid); }
  bool TakeTheFocus() const {
    Run(FDesktop.On(Click(650, 150)));
    return Eventually([&] { return FocusedName(FDesktop) == "E2E other"; });
  }

 private:
  const TDesktop& FDesktop;
  int FPid = 0;
};

}  // namespace

TEST(Taskbar, OnAPanelOnlyTheShownApplicationWindowHasAnEntryAndItsClicksWorkAsOnWindows) {
  TShellOnPanel shell;
  ASSERT_TRUE(shell.Docked());
  const TDesktop& desktop = shell.Desktop();
  // Started into the tray: nothing of ours on the taskbar, not even for an instant's flash.
  EXPECT_TRUE(TaskbarEntries(desktop, shell.Pid()).empty());
  EXPECT_EQ(PanelTasks(desktop), 0);

  TOtherProgram other(desktop);
  ASSERT_TRUE(other.TakeTheFocus());
  // A double click shows the form, in front with the focus, still without an entry.
  shell.DoubleClickIcon();
  EXPECT_TRUE(Eventually([&] { return FocusedName(desktop) == "E2E form"; }))
      << "the focus stayed with " << FocusedName(desktop);
  EXPECT_TRUE(TaskbarEntries(desktop, shell.Pid()).empty());

  // The application restored: its window carries the one entry, and shows nothing.
  shell.RightClickIcon();
  EXPECT_TRUE(Eventually(
      [&] { return TaskbarEntries(desktop, shell.Pid()) == std::vector<std::string>{"E2E app"}; }));
  EXPECT_EQ(PanelTasks(desktop), 1);
  const std::string shape = Output(desktop.On("xwininfo -shape -name 'E2E app'"));
  EXPECT_NE(shape.find("Window shape extents:  0x0+0+0"), std::string::npos) << shape;
  EXPECT_EQ(FocusedName(desktop), "E2E form");

  // From another program, a click on the entry brings the application's last window forward.
  ASSERT_TRUE(other.TakeTheFocus());
  e2e::Run(desktop.On(Click(kTaskX, kPanelRow)));
  EXPECT_TRUE(Eventually([&] { return FocusedName(desktop) == "E2E form"; }))
      << "the focus went to " << FocusedName(desktop);
  // The entry of the active application minimises it, and the application goes into the tray.
  e2e::Run(desktop.On(Click(kTaskX, kPanelRow)));
  EXPECT_TRUE(Eventually(
      [&] { return TaskbarEntries(desktop, shell.Pid()).empty() && PanelTasks(desktop) == 0; }));
  EXPECT_NE(e2e::Run(desktop.On("xdotool search --onlyvisible --name '^E2E form$' >/dev/null")), 0);
}

// A second copy asks the first to come forward: it acts on its user's behalf, and the window
// manager lets the first copy's window take the focus from the program the user used last.
TEST(Taskbar, AnotherProcessOfOursBringsAWindowForwardOnItsUsersBehalf) {
  TShellOnPanel shell;
  ASSERT_TRUE(shell.Docked());
  const TDesktop& desktop = shell.Desktop();
  TOtherProgram other(desktop);
  shell.DoubleClickIcon();
  ASSERT_TRUE(Eventually([&] { return FocusedName(desktop) == "E2E form"; }));
  ASSERT_TRUE(other.TakeTheFocus());
  const int second = SpawnChild("find", {"E2EForm", "E2E form", "11084"}, desktop.DisplayName());
  EXPECT_EQ(WaitChild(second), 0);
  EXPECT_TRUE(Eventually([&] { return FocusedName(desktop) == "E2E form"; }))
      << "the focus stayed with " << FocusedName(desktop);
}

// Under openbox, in this process: the application window shown minimised and hidden again in
// one go (the start into the tray) is never mapped, and its states reach the window manager.
TEST(Taskbar, TheApplicationWindowReachesTheWindowManagerOnlyInTheStateItSettledIn) {
  HWND app = CreateRecordingWindow("E2EApplication", "E2E openbox app",
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                   RECT{512, 384, 512, 384});
  const std::string id = Output("xdotool search --name '^E2E openbox app$' | head -1");
  ASSERT_FALSE(id.empty());
  // Another connection watches the window: a window manager that takes a window on sets its
  // WM_STATE, minimised or not.
  const auto watch = platform::x11::TX11Display::Open();
  ASSERT_NE(watch, nullptr);
  XSelectInput(watch->Dpy(), Window(std::stoul(id)), PropertyChangeMask);
  XSync(watch->Dpy(), False);
  ShowWindow(app, SW_SHOWMINIMIZED);
  ShowWindow(app, SW_HIDE);
  PumpUntil([] { return false; }, 1);
  XSync(watch->Dpy(), False);
  bool managed = false;
  while (XPending(watch->Dpy()) > 0) {
    XEvent event;
    XNextEvent(watch->Dpy(), &event);
    managed =
        managed || (event.type == PropertyNotify && event.xproperty.atom == watch->Atoms().wmState);
  }
  EXPECT_FALSE(managed) << "the window flashed on the taskbar";

  auto state = [&] { return Output("xprop -id " + id + " WM_STATE _NET_WM_STATE"); };
  ShowWindow(app, SW_SHOWNORMAL);
  EXPECT_TRUE(PumpUntil([&] { return state().find("Normal") != std::string::npos; })) << state();
  EXPECT_EQ(state().find("SKIP_TASKBAR"), std::string::npos) << state();
  ShowWindow(app, SW_MINIMIZE);
  EXPECT_TRUE(PumpUntil([&] { return state().find("Iconic") != std::string::npos; })) << state();
  EXPECT_TRUE(IsIconic(app)) << "the window manager's answer changed nothing";
  ShowWindow(app, SW_HIDE);
  EXPECT_TRUE(PumpUntil([&] { return state().find("window state") == std::string::npos; }))
      << state();
  DestroyWindow(app);
}
