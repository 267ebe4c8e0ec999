// Our windows on a real desktop: placement without a frame and off the taskbar, clicks, typed
// accented text, losing activation to another program.
#include <gtest/gtest.h>

#include "tests/e2e/Desktop.h"
#include "tests/e2e/Platform.h"

using namespace e2e;

namespace {

constexpr RECT kPlace{100, 120, 456, 379};  // 356 x 259, the main window's size

std::string Xdo(const std::string& args) {
  return "xdotool " + args;
}

std::string At(int x, int y) {
  return "mousemove " + std::to_string(x) + " " + std::to_string(y);
}

// Shows a recording window at kPlace and waits until it has been painted on the screen.
HWND ShowPainted(const std::string& text) {
  // Owned, as the program's forms are owned by its application window: no taskbar button.
  static HWND owner = CreateRecordingWindow("E2EOwner", "E2E owner", WS_POPUP, RECT{0, 0, 0, 0});
  HWND hwnd = CreateRecordingWindow("E2EWindow", text, WS_POPUP, kPlace, owner);
  ShowWindow(hwnd, SW_SHOW);
  EXPECT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_PAINT) > 0; }));
  // The window manager maps it a little later; the pointer and keys must find it there.
  EXPECT_TRUE(PumpUntil(
      [&] { return e2e::Output("xdotool getactivewindow getwindowname 2>/dev/null") == text; }));
  return hwnd;
}

}  // namespace

TEST(Windows, AShownWindowSitsWhereAskedWithoutFrameAndOffTheTaskbar) {
  HWND hwnd = ShowPainted("E2E placed");
  const std::string info = Output("xwininfo -name 'E2E placed'");
  EXPECT_NE(info.find("Absolute upper-left X:  100"), std::string::npos) << info;
  EXPECT_NE(info.find("Absolute upper-left Y:  120"), std::string::npos) << info;
  EXPECT_NE(info.find("Width: 356"), std::string::npos) << info;
  EXPECT_NE(info.find("Height: 259"), std::string::npos) << info;
  const std::string state = Output("xprop -name 'E2E placed' _NET_WM_STATE _NET_FRAME_EXTENTS");
  EXPECT_NE(state.find("_NET_WM_STATE_SKIP_TASKBAR"), std::string::npos) << state;
  EXPECT_NE(state.find("_NET_FRAME_EXTENTS(CARDINAL) = 0, 0, 0, 0"), std::string::npos) << state;

  DestroyWindow(hwnd);
}

TEST(Windows, ClicksAndDoubleClicksArriveAsMouseMessages) {
  HWND hwnd = ShowPainted("E2E clicks");
  Recorded().clear();
  e2e::Run(Xdo(At(kPlace.left + 50, kPlace.top + 60) + " click 1"));
  ASSERT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_LBUTTONUP) == 1; }));
  EXPECT_EQ(CountOf(hwnd, WM_LBUTTONDOWN), 1);
  for (const TRecorded& r : Recorded()) {
    if (r.msg == WM_LBUTTONDOWN) {
      EXPECT_EQ(r.lParam, MAKELPARAM(50, 60));
    }
  }
  // Far enough from the first click that it cannot pair with it.
  e2e::Run(Xdo(At(kPlace.left + 150, kPlace.top + 60) + " click --repeat 2 --delay 120 1"));
  ASSERT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_LBUTTONUP) == 3; }));
  EXPECT_EQ(CountOf(hwnd, WM_LBUTTONDBLCLK), 1);
  EXPECT_EQ(CountOf(hwnd, WM_LBUTTONDOWN), 2);
  DestroyWindow(hwnd);
}

// A Brazilian keyboard, as the program's users have: "1" has a key of its own, "é" is the
// accent key followed by "e". (xdotool would type a character missing from the layout by
// binding a spare key for an instant, which no program can read reliably.)
TEST(Windows, TypedAccentedTextArrivesAsWindows1252Characters) {
  ASSERT_EQ(e2e::Run("setxkbmap -layout br"), 0);
  HWND hwnd = ShowPainted("E2E typing");
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == hwnd; }));
  Recorded().clear();
  e2e::Run(Xdo("type --delay 60 1") + " && " +
           Xdo("key --delay 60 dead_acute e dead_tilde shift+a"));
  const bool allTyped = PumpUntil([&] { return CountOf(hwnd, WM_CHAR) == 3; });
  e2e::Run("setxkbmap -layout us");
  ASSERT_TRUE(allTyped);
  std::string typed;
  for (const TRecorded& r : Recorded()) {
    if (r.msg == WM_CHAR) typed += char(r.wParam);
  }
  EXPECT_EQ(typed, "1\xE9\xC3");
  EXPECT_EQ(CountOf(hwnd, WM_KEYDOWN, '1'), 1);
  EXPECT_EQ(CountOf(hwnd, WM_KEYDOWN, 'E'), 1);
  DestroyWindow(hwnd);
}

TEST(Windows, ClickingAnotherProgramsWindowDeactivatesTheApplication) {
  const int other = SpawnChild("window", {"E2E other", "600", "100"});
  ASSERT_EQ(e2e::Run("xdotool search --sync --name 'E2E other' >/dev/null"), 0);
  HWND hwnd = ShowPainted("E2E active");
  ASSERT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_ACTIVATEAPP, TRUE) > 0; }));
  e2e::Run(Xdo(At(650, 150) + " click 1"));
  EXPECT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_ACTIVATEAPP, FALSE) > 0; }));
  EndChild(other);
  DestroyWindow(hwnd);
}
