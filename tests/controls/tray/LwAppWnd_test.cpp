// The hidden "TLwApplication" window and showing windows without the minimise animation.
#include "controls/tray/LwAppWnd.h"

#include <gtest/gtest.h>

#include "tests/controls/tray/TrayHarness.h"

namespace {

int WindowsOfClass(const char* className) {
  int count = 0;
  for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    char name[64] = {};
    GetClassNameA(h, name, sizeof name);
    count += std::string(name) == className;
  }
  return count;
}

TEST_F(TrayTest, TheHiddenWindowIsMadeOnceAt50By50InTheMiddleOfTheScreen) {
  EXPECT_FALSE(IsAppWindowCreated());
  const HWND window = GetAppWindow();
  EXPECT_TRUE(IsAppWindowCreated());
  EXPECT_EQ(GetAppWindow(), window);
  EXPECT_EQ(WindowsOfClass(kLwApplicationClass), 1);
  RECT bounds{};
  GetWindowRect(window, &bounds);
  EXPECT_EQ(bounds.left, 400);
  EXPECT_EQ(bounds.top, 300);
  EXPECT_EQ(bounds.right - bounds.left, 50);
  EXPECT_EQ(bounds.bottom - bounds.top, 50);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS, LONG(WS_POPUP));
  DestroyAppWindow();
  EXPECT_FALSE(IsAppWindowCreated());
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(TrayTest, ATrayIconMadeAfterTheHiddenWindowTakesTheApplicationWindowOutOfIt) {
  SetParent(Application->Handle(), GetAppWindow());
  new TLwTrayIcon95(MainForm);
  EXPECT_EQ(GetParent(Application->Handle()), nullptr);
  EXPECT_FALSE(IsWindowVisible(Application->Handle()));
}

TEST_F(TrayTest, ShowWinNoAnimateSwitchesTheAnimationOffOnlyForTheCall) {
  const HWND window = GetAppWindow();
  ANIMATIONINFO info{sizeof(ANIMATIONINFO), 1};
  SystemParametersInfoA(SPI_SETANIMATION, sizeof info, &info, 0);
  ShowWinNoAnimate(window, SW_SHOWNORMAL);
  EXPECT_TRUE(IsWindowVisible(window));
  SystemParametersInfoA(SPI_GETANIMATION, sizeof info, &info, 0);
  EXPECT_NE(info.iMinAnimate, 0);
  info.iMinAnimate = 0;
  SystemParametersInfoA(SPI_SETANIMATION, sizeof info, &info, 0);
  ShowWinNoAnimate(window, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(window));
  SystemParametersInfoA(SPI_GETANIMATION, sizeof info, &info, 0);
  EXPECT_EQ(info.iMinAnimate, 0);
}

}  // namespace
