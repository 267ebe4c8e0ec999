// Our windows on a real desktop: placement without a frame and off the taskbar, clicks, typed
// accented text, losing activation to another program.
#include <gtest/gtest.h>

#include "tests/e2e/Desktop.h"
#include "tests/e2e/Platform.h"

// Last: Xlib defines names (None, Bool) that the others use.
#include <X11/Xlib.h>

using namespace e2e;

namespace {

constexpr RECT kPlace{100, 120, 456, 379};  // 356 x 259, the main window's size

std::string Xdo(const std::string& args) {
  return "xdotool " + args;
}

std::string At(int x, int y) {
  return "mousemove " + std::to_string(x) + " " + std::to_string(y);
}

std::string ActiveWindowName() {
  return e2e::Output("xdotool getactivewindow getwindowname 2>/dev/null");
}

// Returns once the window manager has handled every request this process sent before: it
// handles requests in order, and a change of the number of desktops asked now shows when it
// got this far.
bool SyncWithWindowManager() {
  const std::string ask = "xprop -root _NET_NUMBER_OF_DESKTOPS | awk '{print $3}'";
  const int count = std::atoi(Output(ask).c_str());
  if (count <= 0) return false;
  const std::string more = std::to_string(count + 1);
  e2e::Run("xdotool set_num_desktops " + more);
  const bool synced = PumpUntil([&] { return Output(ask) == more; });
  e2e::Run("xdotool set_num_desktops " + std::to_string(count));
  return synced && PumpUntil([&] { return Output(ask) == std::to_string(count); });
}

// Shows a recording window at kPlace and waits until it has been painted on the screen and
// the window manager has given it the activation.
HWND ShowPainted(const std::string& text) {
  // Owned, as the program's forms are owned by its application window: no taskbar button.
  static HWND owner = CreateRecordingWindow("E2EOwner", "E2E owner", WS_POPUP, RECT{0, 0, 0, 0});
  HWND hwnd = CreateRecordingWindow("E2EWindow", text, WS_POPUP, kPlace, owner);
  ShowWindow(hwnd, SW_SHOW);
  EXPECT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_PAINT) > 0; }));
  // The window manager maps it a little later; the pointer and keys must find it there.
  EXPECT_TRUE(PumpUntil([&] { return ActiveWindowName() == text; }));
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

TEST(Windows, TheWindowsSurfaceIsWhatTheScreenShows) {
  HWND hwnd = ShowPainted("E2E surface");
  // The first paint may come before the window manager maps the window; the exposure that
  // follows the map draws it again.
  int wrong = -1;
  EXPECT_TRUE(PumpUntil([&] {
    const TShot shot = Screenshot();
    if (shot.width == 0) return false;
    wrong = 0;
    for (int y = 0; y < kPlace.bottom - kPlace.top; ++y) {
      for (int x = 0; x < kPlace.right - kPlace.left; ++x) {
        const COLORREF c = PatternAt(x, y);
        const uint32_t expected = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        wrong += shot.At(kPlace.left + x, kPlace.top + y) != expected;
      }
    }
    return wrong == 0;
  })) << wrong
      << " pixels of the window differ on the screen";
  DestroyWindow(hwnd);
}

// What the program does to look see-through: it copies the desktop under its window before
// showing it there.
TEST(Windows, ReadingTheScreenUnderAHiddenWindowGivesWhatAScreenshotShows) {
  HWND hwnd = CreateRecordingWindow("E2EWindow", "E2E copy", WS_POPUP, kPlace);
  const int width = kPlace.right - kPlace.left, height = kPlace.bottom - kPlace.top;
  // The window manager may still be taking away the frame of an earlier test's window: the
  // comparison waits for a screen that holds still around the read.
  std::vector<uint32_t> read;
  TShot shot;
  auto area = [&](const TShot& s) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height && s.width > 0; ++y) {
      for (int x = 0; x < width; ++x)
        pixels.push_back(s.At(kPlace.left + x, kPlace.top + y));
    }
    return pixels;
  };
  ASSERT_TRUE(PumpUntil([&] {
    const TShot before = Screenshot();
    read = ReadScreen(kPlace);
    shot = Screenshot();
    return shot.width > 0 && area(before) == area(shot);
  })) << "the screen never held still";
  const std::vector<uint32_t> expected = area(shot);
  int wrong = 0, likeFirst = 0;
  for (size_t i = 0; i < read.size(); ++i) {
    wrong += read[i] != expected[i];
    likeFirst += read[i] == read[0];
  }
  EXPECT_EQ(wrong, 0) << "pixels that differ from the screenshot";
  EXPECT_LT(likeFirst, int(read.size())) << "a plain area would prove nothing";
  // Partly off the screen: the part on it still comes.
  const int w = shot.width, h = shot.height;
  const std::vector<uint32_t> corner = ReadScreen(RECT{w - 10, h - 10, w + 10, h + 10});
  EXPECT_EQ(corner[0], shot.At(w - 10, h - 10));
  EXPECT_EQ(corner[9 * 20 + 9], shot.At(w - 1, h - 1));
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

namespace {

// Whether another program could take the pointer now: nobody holds it.
bool PointerFree() {
  Display* other = XOpenDisplay(TDesktop::Get().DisplayName().c_str());
  if (other == nullptr) return false;
  const bool free =
      XGrabPointer(other, DefaultRootWindow(other), False, ButtonPressMask, GrabModeAsync,
                   GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
  XCloseDisplay(other);
  return free;
}

}  // namespace

// A capture reaches over other programs' windows only while a button is down, as on Windows: a
// drag started in the window is followed outside until its release, and a capture the program
// keeps after that (a control that missed its release) does not take the user's clicks
// elsewhere.
TEST(Windows, ACaptureHoldsThePointerOnlyWhileAButtonIsDown) {
  HWND hwnd = ShowPainted("E2E capture");
  Recorded().clear();
  e2e::Run(Xdo(At(kPlace.left + 50, kPlace.top + 60) + " mousedown 1"));
  ASSERT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_LBUTTONDOWN) == 1; }));
  SetCapture(hwnd);
  e2e::Run(Xdo(At(900, 600) + " mouseup 1"));
  ASSERT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_LBUTTONUP) == 1; }))
      << "the release outside reaches the capturing window";
  EXPECT_EQ(GetCapture(), hwnd);
  EXPECT_TRUE(PumpUntil(PointerFree)) << "the capture kept holds the pointer";
  ReleaseCapture();
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
  // The other program asks for the activation of its window once it is mapped: that settles
  // first, so that it cannot take the activation back from ours later.
  ASSERT_TRUE(PumpUntil([] { return ActiveWindowName() == "E2E other"; }));
  HWND hwnd = ShowPainted("E2E active");
  ASSERT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_ACTIVATEAPP, TRUE) > 0; }));
  e2e::Run(Xdo(At(650, 150) + " click 1"));
  ASSERT_TRUE(PumpUntil([&] { return CountOf(hwnd, WM_ACTIVATEAPP, FALSE) > 0; }));
  EXPECT_EQ(GetActiveWindow(), nullptr) << "no window of ours is active";
  char text[64] = {};
  GetWindowTextA(GetForegroundWindow(), text, sizeof text);
  EXPECT_STREQ(text, "E2E other") << "the foreground is the other program's window";
  EndChild(other);
  DestroyWindow(hwnd);
}

namespace {

constexpr UINT kAppDeactivated = WM_APP + 7;
WNDPROC gRecordingProc = nullptr;

// Posts a message of its own when the application loses the activation, as the toolkit's
// application does: the program hears of it only when its loop returns that message.
LRESULT CALLBACK PostOnDeactivation(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ACTIVATEAPP && wParam == FALSE) PostMessageA(hwnd, kAppDeactivated, 0, 0);
  return CallWindowProcA(gRecordingProc, hwnd, msg, wParam, lParam);
}

}  // namespace

// The program asks for one of its windows to come forward and the user goes to another program
// before that lands; the window manager never grants it (a stopped one here, as xfwm4's
// focus-stealing prevention may refuse). Once the grace for the request is over, the program
// must hear at once that it lost the activation, not when the server next has an event for it:
// its window would stay up on a desktop the user has left.
TEST(Windows, AnActivationThatNeverLandsEndsInADeactivationThatReachesTheProgramAtOnce) {
  const int other = SpawnChild("window", {"E2E elsewhere", "600", "100"});
  ASSERT_TRUE(PumpUntil([] { return ActiveWindowName() == "E2E elsewhere"; }));
  HWND asked = ShowPainted("E2E asked");
  HWND focused = ShowPainted("E2E focused");
  // The driver reads the focus's arrival here before anything is asked: read later, it would
  // settle the request below as granted.
  ASSERT_TRUE(
      PumpUntil([] { return Output(Xdo("getwindowfocus getwindowname")) == "E2E focused"; }));
  POINT round;
  GetCursorPos(&round);  // a round trip: the server's focus events come before its answer
  for (MSG pending; PeekMessageA(&pending, nullptr, 0, 0, PM_REMOVE);)
    DispatchMessageA(&pending);
  gRecordingProc = WNDPROC(SetWindowLongPtrA(asked, GWLP_WNDPROC, LONG_PTR(&PostOnDeactivation)));
  ASSERT_TRUE(TDesktop::Get().PauseWindowManager(true));
  SetForegroundWindow(asked);
  const DWORD since = GetTickCount();
  e2e::Run(Xdo("search --name '^E2E elsewhere$' windowfocus --sync"));
  // One timer, far beyond the grace, ends the wait; nothing else of ours wakes the loop.
  const UINT_PTR deadline = SetTimer(nullptr, 0, 5000, nullptr);
  DWORD heard = 0;
  MSG msg;
  while (heard == 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == kAppDeactivated) heard = GetTickCount();
    if (msg.message == WM_TIMER && msg.wParam == deadline) break;
    DispatchMessageA(&msg);
  }
  KillTimer(nullptr, deadline);
  // Gone before the window manager goes on, so that the request it finds then asks for nothing.
  DestroyWindow(focused);
  DestroyWindow(asked);
  EXPECT_TRUE(TDesktop::Get().PauseWindowManager(false));
  EndChild(other);
  ASSERT_NE(heard, 0u) << "the program never heard that it lost the activation";
  EXPECT_LT(heard - since, 2000u) << "the deactivation waited for the next event from the server";
}

// A framed window of its own, as the window manager minimises an owned one only with its owner.
TEST(Windows, MinimisingFollowsTheWindowManagerAndBack) {
  HWND hwnd = CreateRecordingWindow("E2EWindow", "E2E minimise",
                                    WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, kPlace);
  ShowWindow(hwnd, SW_SHOW);
  // Its own request for the activation settles first: arriving later, it would restore it.
  ASSERT_TRUE(PumpUntil([&] { return ActiveWindowName() == "E2E minimise"; }));
  e2e::Run("xdotool search --name '^E2E minimise$' windowminimize");
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(hwnd) != FALSE; })) << "the user minimised it";
  ShowWindow(hwnd, SW_RESTORE);
  EXPECT_TRUE(PumpUntil([&] { return ShownWindowNamed("^E2E minimise$"); }));
  EXPECT_FALSE(IsIconic(hwnd));
  EXPECT_EQ(Output("xprop -name 'E2E minimise' WM_STATE").find("Iconic"), std::string::npos);
  // Another window is active, so that minimising this one with SW_SHOWMINIMIZED activates it.
  HWND other = ShowPainted("E2E minimise other");
  ShowWindow(hwnd, SW_SHOWMINIMIZED);  // minimised and active, as Windows allows
  EXPECT_EQ(GetActiveWindow(), hwnd);
  EXPECT_TRUE(PumpUntil([&] {
    return Output("xprop -name 'E2E minimise' WM_STATE").find("Iconic") != std::string::npos;
  })) << "the program minimised it";
  // Nothing the program asked with it restores it behind its back.
  ASSERT_TRUE(SyncWithWindowManager());
  EXPECT_NE(Output("xprop -name 'E2E minimise' WM_STATE").find("Iconic"), std::string::npos);
  DestroyWindow(other);
  DestroyWindow(hwnd);
}

TEST(Windows, RaisingOneOfTwoOverlappingWindowsPutsItOnTop) {
  HWND lower = ShowPainted("E2E lower");
  constexpr int kShift = 40;
  HWND upper = CreateRecordingWindow("E2EWindow", "E2E upper", WS_POPUP,
                                     RECT{kPlace.left + kShift, kPlace.top + kShift,
                                          kPlace.right + kShift, kPlace.bottom + kShift});
  ShowWindow(upper, SW_SHOW);
  ASSERT_TRUE(PumpUntil([&] { return ActiveWindowName() == "E2E upper"; }));
  // A point that both cover: the window on top decides its colour.
  const POINT probe{kPlace.left + 50, kPlace.top + 50};
  auto shows = [&](int x, int y) {
    const COLORREF c = PatternAt(x, y);
    const uint32_t expected = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    const TShot shot = Screenshot();
    return shot.width > 0 && shot.At(probe.x, probe.y) == expected;
  };
  ASSERT_NE(PatternAt(50, 50), PatternAt(50 - kShift, 50 - kShift));
  EXPECT_TRUE(PumpUntil([&] { return shows(50 - kShift, 50 - kShift); }));
  SetWindowPos(lower, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_TRUE(PumpUntil([&] { return shows(50, 50); })) << "the raised window is not on top";
  // The system-wide order agrees.
  HWND first = nullptr;
  EXPECT_TRUE(PumpUntil([&] {
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      if (w == lower || w == upper) return (first = w) == lower;
    }
    return false;
  }));
  DestroyWindow(upper);
  DestroyWindow(lower);
}

// A menu is a popup that holds the pointer while it is up, so that the press that should
// close it reaches it even outside.
TEST(Windows, AShownMenuHoldsThePointerSoAPressOutsideReachesIt) {
  HWND owner = ShowPainted("E2E menu owner");
  const RECT place{kPlace.left + 10, kPlace.top + 10, kPlace.left + 110, kPlace.top + 90};
  HWND menu = CreateRecordingWindow("E2EWindow", "E2E menu", WS_POPUP, place, owner,
                                    WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  ShowWindow(menu, SW_SHOWNA);
  ASSERT_TRUE(PumpUntil([&] { return CountOf(menu, WM_PAINT) > 0; }));
  ASSERT_TRUE(PumpUntil([&] { return ShownWindowNamed("^E2E menu$"); }));
  Recorded().clear();
  // Far outside the menu, over the other window and then over the bare desktop.
  e2e::Run(Xdo(At(kPlace.left + 300, kPlace.top + 200) + " click 1"));
  e2e::Run(Xdo(At(900, 600) + " click 1"));
  ASSERT_TRUE(PumpUntil([&] { return CountOf(menu, WM_LBUTTONUP) == 2; }));
  EXPECT_EQ(CountOf(owner, WM_LBUTTONDOWN), 0) << "the press went past the menu";
  for (const TRecorded& r : Recorded()) {
    if (r.hwnd == menu && r.msg == WM_LBUTTONDOWN) {
      EXPECT_GT(short(LOWORD(r.lParam)), place.right - place.left) << "outside, to the right";
    }
  }
  ShowWindow(menu, SW_HIDE);
  DestroyWindow(menu);
  DestroyWindow(owner);
}

namespace {

// What the window manager offers for a window: its allowed actions, without the prefix.
std::string AllowedActions(const std::string& on, const std::string& name) {
  return Output(on + "xprop -name '" + name + "' _NET_WM_ALLOWED_ACTIONS");
}

}  // namespace

// A message box, as the toolkit makes one: a fixed-size dialog frame owned by the application's
// hidden window. The window manager takes it as a dialog of its owner and offers neither
// resizing nor maximising; where it offers minimising anyway (openbox), the box stays up, as
// it cannot be minimised on Windows.
TEST(Windows, AMessageBoxIsAFixedSizeDialogOfItsOwnerThatStaysUp) {
  HWND app = CreateRecordingWindow("E2EApplication", "E2E box owner",
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                   RECT{512, 384, 512, 384});
  HWND box = CreateRecordingWindow("E2EMessageBox", "E2E box",
                                   WS_POPUP | WS_CAPTION | WS_DLGFRAME | WS_SYSMENU,
                                   RECT{350, 300, 650, 420}, app, WS_EX_DLGMODALFRAME);
  ShowWindow(box, SW_SHOW);
  ASSERT_TRUE(PumpUntil([] { return ActiveWindowName() == "E2E box"; }));
  const std::string owner = Output("xdotool search --name '^E2E box owner$' | head -1");
  const std::string props =
      Output("xprop -name 'E2E box' WM_TRANSIENT_FOR _NET_WM_WINDOW_TYPE WM_NORMAL_HINTS");
  char transientFor[32];
  std::snprintf(transientFor, sizeof transientFor, "window id # 0x%lx", std::stoul(owner));
  EXPECT_NE(props.find(transientFor), std::string::npos) << props;
  EXPECT_NE(props.find("_NET_WM_WINDOW_TYPE_DIALOG"), std::string::npos) << props;
  EXPECT_NE(props.find("program specified minimum size: 300 by 120"), std::string::npos) << props;
  EXPECT_NE(props.find("program specified maximum size: 300 by 120"), std::string::npos) << props;
  const std::string actions = AllowedActions("", "E2E box");
  EXPECT_NE(actions.find("_NET_WM_ACTION_CLOSE"), std::string::npos) << actions;
  EXPECT_EQ(actions.find("_NET_WM_ACTION_RESIZE"), std::string::npos) << actions;
  EXPECT_EQ(actions.find("_NET_WM_ACTION_MAXIMIZE"), std::string::npos) << actions;

  Recorded().clear();
  e2e::Run("xdotool search --name '^E2E box$' windowminimize");
  ASSERT_TRUE(SyncWithWindowManager());
  EXPECT_TRUE(PumpUntil([] {
    return Output("xprop -name 'E2E box' WM_STATE").find("Normal") != std::string::npos;
  })) << "the box stayed minimised";
  EXPECT_FALSE(IsIconic(box));
  EXPECT_EQ(CountOf(box, WM_SYSCOMMAND), 0);
  DestroyWindow(box);
  DestroyWindow(app);
}

// The same box under xfwm4, another program's: a dialog without minimise, maximise or resize.
TEST(Windows, UnderXfwm4AMessageBoxOffersNoMinimiseMaximiseOrResize) {
  const TDesktop& xfce = TDesktop::Xfce();
  const int child = SpawnChild("dialog", {"E2E xfwm4 box"}, xfce.DisplayName());
  EXPECT_TRUE(PumpUntil([&] {
    return AllowedActions("DISPLAY=" + xfce.DisplayName() + " ", "E2E xfwm4 box")
               .find("_NET_WM_ACTION_CLOSE") != std::string::npos;
  }));
  const std::string actions =
      AllowedActions("DISPLAY=" + xfce.DisplayName() + " ", "E2E xfwm4 box");
  for (const char* action : {"MINIMIZE", "MAXIMIZE", "RESIZE"})
    EXPECT_EQ(actions.find(std::string("_NET_WM_ACTION_") + action), std::string::npos) << actions;
  EXPECT_NE(Output(xfce.On("xprop -name 'E2E xfwm4 box' _NET_WM_WINDOW_TYPE")).find("DIALOG"),
            std::string::npos);
  EndChild(child);
}
