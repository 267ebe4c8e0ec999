// Input and activation: pointer messages and double clicks, capture, keys and characters,
// focus, WM_ACTIVATE and WM_ACTIVATEAPP between programs.
#include "platform/core/DriverSink.h"
#include "tests/platform/Recorder.h"

using namespace calvix_test;

using InputTest = PlatformTest;

namespace {

std::vector<UINT> Buttons(HWND h) {
  std::vector<UINT> out;
  for (const TSeen& s : gSeen)
    if (s.hwnd == h && s.msg >= WM_LBUTTONDOWN && s.msg <= WM_MBUTTONDBLCLK) out.push_back(s.msg);
  return out;
}

}  // namespace

TEST_F(InputTest, MouseMessagesGoToTheWindowUnderThePointerInClientCoordinates) {
  HWND below = Make("below", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 200, 200});
  HWND above = Make("above", WS_POPUP | WS_VISIBLE, nullptr, {50, 50, 100, 100});
  headless::RunPending();
  gSeen.clear();
  headless::Click(60, 70);
  headless::Click(10, 10);
  headless::RunPending();
  EXPECT_EQ(Buttons(above), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_EQ(Buttons(below), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  for (const TSeen& s : gSeen)
    if (s.hwnd == above && s.msg == WM_LBUTTONDOWN) {
      EXPECT_EQ(GET_X_LPARAM(s.lParam), 10);
      EXPECT_EQ(GET_Y_LPARAM(s.lParam), 20);
      EXPECT_EQ(s.wParam, (WPARAM)MK_LBUTTON);
    }
}

TEST_F(InputTest, DoubleClicksNeedTheClassTheTimeAndTheDistance) {
  HWND dbl = Make("d", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100}, kDoubleClicks);
  HWND plain = Make("p", WS_POPUP | WS_VISIBLE, nullptr, {200, 0, 300, 100});
  headless::DoubleClick(10, 10);
  headless::DoubleClick(210, 10);
  headless::RunPending();
  EXPECT_EQ(Buttons(dbl),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));
  EXPECT_EQ(Buttons(plain),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
  gSeen.clear();
  headless::Advance(1000);
  headless::Click(10, 10);
  headless::Advance(GetDoubleClickTime() + 1);  // too late
  headless::Click(10, 10);
  headless::Advance(100);
  headless::Click(10 + GetSystemMetrics(SM_CXDOUBLECLK), 10);  // too far
  headless::Advance(100);
  headless::Click(10 + GetSystemMetrics(SM_CXDOUBLECLK), 11, headless::btRight);  // other button
  headless::Advance(GetDoubleClickTime());                                        // just in time
  headless::Click(10 + GetSystemMetrics(SM_CXDOUBLECLK) / 2, 11, headless::btRight);
  headless::RunPending();
  EXPECT_EQ(Buttons(dbl),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP,
                               WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                               WM_RBUTTONDBLCLK, WM_RBUTTONUP}));
}

TEST_F(InputTest, CaptureTakesThePointerAnywhereUntilReleased) {
  HWND a = Make("a", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
  HWND b = Make("b", WS_POPUP | WS_VISIBLE, nullptr, {200, 0, 300, 100});
  EXPECT_EQ(SetCapture(a), nullptr);
  EXPECT_EQ(GetCapture(), a);
  headless::Click(250, 50);
  headless::RunPending();
  EXPECT_EQ(Buttons(a).size(), 2u);
  EXPECT_TRUE(Buttons(b).empty());
  for (const TSeen& s : gSeen)
    if (s.hwnd == a && s.msg == WM_LBUTTONUP) {
      EXPECT_EQ(GET_X_LPARAM(s.lParam), 250);
    }
  EXPECT_EQ(SetCapture(b), a);
  EXPECT_EQ(Count(a, WM_CAPTURECHANGED), 1u);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(Count(b, WM_CAPTURECHANGED), 1u);
  EXPECT_EQ(GetCapture(), nullptr);
  headless::Click(50, 50);
  headless::RunPending();
  EXPECT_EQ(Buttons(a).size(), 4u);
}

// A press in our window whose release went to another program's window (ours went away under
// the pointer): once the system tells which buttons are held, none is down here either, and the
// next moves carry no button.
TEST_F(InputTest, AReleaseThatWentElsewhereLeavesNoButtonDown) {
  HWND a = Make("a", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
  headless::Press(10, 10);
  headless::RunPending();
  ASSERT_TRUE(platform::sink::KeyHeld(VK_LBUTTON));
  platform::sink::PointerButtonsHeld(false, false, false);
  EXPECT_FALSE(platform::sink::KeyHeld(VK_LBUTTON));
  gSeen.clear();
  headless::MovePointer(20, 20);
  headless::RunPending();
  ASSERT_EQ(Count(a, WM_MOUSEMOVE), 1u);
  for (const TSeen& s : gSeen) {
    if (s.msg == WM_MOUSEMOVE) {
      EXPECT_EQ(s.wParam & MK_LBUTTON, 0u);
    }
  }
  // Buttons held elsewhere are held here too, as the system's state is one for all programs.
  platform::sink::PointerButtonsHeld(false, true, false);
  EXPECT_TRUE(platform::sink::KeyHeld(VK_RBUTTON));
}

TEST_F(InputTest, KeysFollowTheQueueAndTranslateToWindows1252Characters) {
  HWND h = Make("k", WS_POPUP | WS_VISIBLE);
  headless::RunPending();
  ASSERT_EQ(GetFocus(), h);
  headless::TypeText("Ab1\xE7");  // c with cedilla has no key of its own
  EXPECT_GE(GetKeyState(VK_SHIFT), 0) << "the state follows the messages taken";
  std::string typed;
  MSG msg;
  bool sawShiftDown = false;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_KEYDOWN && msg.wParam == 'A') sawShiftDown = GetKeyState(VK_SHIFT) < 0;
    if (msg.message == WM_CHAR) typed += char(msg.wParam);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(typed, "Ab1\xE7");
  EXPECT_TRUE(sawShiftDown);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

// A disabled window cannot hold the keyboard focus; when it is the active one, what the user
// types reaches it as system keys, which type no characters (a form behind a modal box that
// the user brings forward from elsewhere must not run a second check).
TEST_F(InputTest, KeysWithoutAFocusGoToTheActiveWindowAsSystemKeys) {
  HWND h = Make("k", WS_POPUP | WS_VISIBLE);
  headless::RunPending();
  EnableWindow(h, FALSE);
  ASSERT_EQ(GetFocus(), nullptr);
  ASSERT_EQ(GetActiveWindow(), h);
  gSeen.clear();
  headless::TypeText("a");
  headless::KeyPress(VK_RETURN);
  std::vector<UINT> keys;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) keys.push_back(msg.message);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(std::count(keys.begin(), keys.end(), UINT(WM_SYSKEYDOWN)), 2);
  EXPECT_EQ(std::count(keys.begin(), keys.end(), UINT(WM_KEYDOWN)), 0);
  EXPECT_EQ(Count(h, WM_CHAR), 0u);
}

TEST_F(InputTest, ActivationMovesBetweenOurWindowsWithFocus) {
  HWND a = Make("a", WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(Count(a, WM_ACTIVATEAPP), 1u);
  EXPECT_EQ(GetActiveWindow(), a);
  EXPECT_EQ(GetFocus(), a);
  HWND b = Make("b", WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(Count(a, WM_KILLFOCUS), 1u);
  EXPECT_EQ(Count(a, WM_ACTIVATEAPP), 1u) << "no program switch";
  ShowWindow(b, SW_HIDE);
  EXPECT_EQ(GetActiveWindow(), a);
  SetFocus(nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(InputTest, ActivateAppWhenAnotherProgramTakesOverAndWhenWeComeBack) {
  HWND hiddenApp = Make("app", WS_POPUP);  // like a toolkit's hidden application window
  HWND form = Make("form", WS_POPUP | WS_VISIBLE);
  HWND other = headless::AddForeignWindow({"Notepad", "Untitled", true, false, {0, 0, 50, 50}});
  gSeen.clear();
  headless::ActivateForeign(other);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetForegroundWindow(), other);
  for (HWND h : {hiddenApp, form}) {
    ASSERT_EQ(Count(h, WM_ACTIVATEAPP), 1u);
  }
  for (const TSeen& s : gSeen)
    if (s.msg == WM_ACTIVATEAPP) {
      EXPECT_EQ(s.wParam, (WPARAM)FALSE);
    }
  EXPECT_EQ(Seen(form),
            (std::vector<UINT>{WM_NCACTIVATE, WM_ACTIVATE, WM_ACTIVATEAPP, WM_KILLFOCUS}));
  gSeen.clear();
  headless::Click(60, 60);  // back on our form
  headless::RunPending();
  EXPECT_EQ(GetActiveWindow(), form);
  EXPECT_EQ(Count(hiddenApp, WM_ACTIVATEAPP), 1u);
  for (const TSeen& s : gSeen)
    if (s.msg == WM_ACTIVATEAPP) {
      EXPECT_EQ(s.wParam, (WPARAM)TRUE);
    }
  gSeen.clear();
  SetForegroundWindow(GetDesktopWindow());
  EXPECT_EQ(Count(form, WM_ACTIVATEAPP), 1u);
  EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(InputTest, AnotherCopysRequestsActOnOurWindowsOnly) {
  HWND form = Make("form", WS_POPUP | WS_MINIMIZEBOX);
  HWND other = headless::AddForeignWindow({"Notepad", "Untitled", true, true, {0, 0, 50, 50}});
  headless::ActivateForeign(other);
  gSeen.clear();
  // A request naming another program's window or the desktop moves nothing.
  for (HWND h : {other, GetDesktopWindow()}) {
    platform::sink::ShowRequested(h, SW_RESTORE);
    platform::sink::ForegroundRequested(h);
  }
  EXPECT_TRUE(headless::ForeignIconic(other));
  EXPECT_EQ(headless::ForeignRecord(other).broughtForward, 0);
  EXPECT_EQ(GetForegroundWindow(), other);
  // Our window is shown and brought forward as the program's own calls would.
  platform::sink::ShowRequested(form, SW_SHOWNORMAL);
  EXPECT_TRUE(IsWindowVisible(form));
  EXPECT_EQ(Count(form, WM_SHOWWINDOW), 1u);
  platform::sink::ForegroundRequested(form);
  headless::RunPending();
  EXPECT_EQ(GetForegroundWindow(), form);
  EXPECT_EQ(Count(form, WM_ACTIVATEAPP), 1u);
}

TEST_F(InputTest, SystemParametersKeepTheAnimationSetting) {
  ANIMATIONINFO ai{sizeof(ai), 0};
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETANIMATION, sizeof(ai), &ai, 0));
  ai.iMinAnimate = 0;
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETANIMATION, sizeof(ai), &ai, 0));
  ai.iMinAnimate = 5;
  SystemParametersInfoA(SPI_GETANIMATION, sizeof(ai), &ai, 0);
  EXPECT_EQ(ai.iMinAnimate, 0);
  ai.cbSize = 4;
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETANIMATION, sizeof(ai), &ai, 0));
}
