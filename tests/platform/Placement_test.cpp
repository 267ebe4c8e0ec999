// Where windows are: Z-order walks, showing and minimising, owned windows, SetParent, other
// programs' windows, the update lock and the composed screen.
#include "tests/platform/Recorder.h"

#include <algorithm>

#include "platform/core/Paths.h"
#include "platform/core/WindowSurfaces.h"

using namespace calvix_test;

using PlacementTest = PlatformTest;

TEST_F(PlacementTest, ZOrderWalksFollowCreationShowForegroundAndDestroy) {
  HWND a = Make("a"), b = Make("b"), c = Make("c");
  EXPECT_EQ(Walk(), (std::vector<HWND>{c, b, a})) << "hidden windows are walked too";
  ShowWindow(a, SW_SHOW);
  EXPECT_EQ(Walk(), (std::vector<HWND>{a, c, b}));
  ShowWindow(b, SW_SHOWNA);
  EXPECT_EQ(Walk(), (std::vector<HWND>{b, a, c})) << "SW_SHOWNA raises";
  EXPECT_EQ(GetActiveWindow(), a) << "but does not activate";
  ShowWindow(c, SW_SHOWNOACTIVATE);
  EXPECT_EQ(Walk(), (std::vector<HWND>{b, a, c})) << "SW_SHOWNOACTIVATE keeps the place";
  SetForegroundWindow(a);
  EXPECT_EQ(Walk(), (std::vector<HWND>{b, a, c})) << "the active window is not raised again";
  SetForegroundWindow(b);
  EXPECT_EQ(GetActiveWindow(), b);
  EXPECT_EQ(GetWindow(a, GW_HWNDPREV), b);
  EXPECT_EQ(GetWindow(a, GW_HWNDFIRST), b);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);
  DestroyWindow(a);
  EXPECT_EQ(Walk(), (std::vector<HWND>{b, c}));
  SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(Walk(), (std::vector<HWND>{c, b}));
}

TEST_F(PlacementTest, OtherProgramsWindowsTakePartInTheWalk) {
  HWND ours = Make("ours");
  HWND other = headless::AddForeignWindow({"TApplication", "Calvix", false, false, {}, 1});
  EXPECT_EQ(Walk(), (std::vector<HWND>{ours, other}));
  char buf[64];
  EXPECT_EQ(GetClassNameA(other, buf, 64), 12);
  EXPECT_STREQ(buf, "TApplication");
  EXPECT_EQ(GetWindowTextA(other, buf, 64), 6);
  EXPECT_FALSE(IsWindowVisible(other));
  EXPECT_TRUE(PostMessageA(other, 11084, reinterpret_cast<WPARAM>(other), 0));
  EXPECT_FALSE(ShowWindow(other, SW_RESTORE));
  EXPECT_TRUE(SetForegroundWindow(other));
  const headless::TForeignRecord& r = headless::ForeignRecord(other);
  ASSERT_EQ(r.posted.size(), 1u);
  EXPECT_EQ(r.posted[0].message, 11084u);
  EXPECT_EQ(r.restored, 1);
  EXPECT_EQ(r.broughtForward, 1);
  EXPECT_EQ(Walk().front(), other);
  EXPECT_FALSE(DestroyWindow(other));
  headless::RemoveForeignWindow(other);
  EXPECT_FALSE(IsWindow(other));
}

// A second copy walks every window of the desktop while other programs open and close theirs:
// the walk reads one picture of the order, and a window that goes away under it does not end
// it early (the copy further down would be missed).
TEST_F(PlacementTest, AWalkReadsOnePictureAndGoesOnPastAWindowThatWent) {
  HWND ours = Make("ours");
  HWND a = headless::AddForeignWindow({"A", "a", false, false, {}, 0});
  HWND b = headless::AddForeignWindow({"B", "b", false, false, {}, 1});
  ASSERT_EQ(GetTopWindow(nullptr), a);
  headless::RemoveForeignWindow(a);
  HWND c = headless::AddForeignWindow({"C", "c", false, false, {}, 0});
  EXPECT_FALSE(IsWindow(a));
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), ours);
  SetLastError(0);
  EXPECT_EQ(GetWindow(a, GW_OWNER), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
  // The next walk, or anything after the program has looked at its queue, sees the change.
  EXPECT_EQ(Walk(), (std::vector<HWND>{c, b, ours}));
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), nullptr);
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
  headless::RemoveForeignWindow(c);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);
}

// Over weeks far more windows of other programs come and go than the window table has room
// for: those that went leave it, and the program can still make windows of its own.
TEST_F(PlacementTest, WindowsOfOtherProgramsThatWentLeaveTheTable) {
  for (int i = 0; i < 40000; ++i) {
    headless::RemoveForeignWindow(headless::AddForeignWindow({"Churn", "x", false, false, {}, 0}));
    GetTopWindow(nullptr);
  }
  HWND ours = Make("ours");
  ASSERT_NE(ours, nullptr);
  HWND other = headless::AddForeignWindow({"Kept", "k", false, false, {}, 0});
  EXPECT_EQ(Walk(), (std::vector<HWND>{other, ours}));
  char name[8];
  EXPECT_EQ(GetClassNameA(other, name, sizeof name), 4);
}

// A program idle with its windows hidden holds no pictures of them: a hidden window gives its
// surface back and is painted whole when it is shown again.
TEST_F(PlacementTest, HiddenWindowsGiveTheirSurfaceBackAndArePaintedAgainWhenShown) {
  HWND h = Make();
  ShowWindow(h, SW_SHOW);
  UpdateWindow(h);
  HDC dc = GetDC(h);
  SetPixel(dc, 5, 5, RGB(255, 0, 0));
  ReleaseDC(h, dc);
  EXPECT_GE(headless::WindowSurfaceBytes(), 100u * 100u * 4u);
  ShowWindow(h, SW_HIDE);
  EXPECT_EQ(headless::WindowSurfaceBytes(), 0u);
  const size_t paints = Count(h, WM_PAINT);
  ShowWindow(h, SW_SHOW);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(h, &update, FALSE));
  EXPECT_EQ(update.right - update.left, 100);
  EXPECT_EQ(update.bottom - update.top, 100);
  UpdateWindow(h);
  EXPECT_EQ(Count(h, WM_PAINT), paints + 1);
  dc = GetDC(h);
  EXPECT_NE(GetPixel(dc, 5, 5), RGB(255, 0, 0)) << "nothing of the old picture is shown";
  ReleaseDC(h, dc);
}

// The font files FreeType has mapped into the process.
int MappedFontFiles() {
  std::string maps;
  platform::ReadUnixFile("/proc/self/maps", maps);
  int count = 0;
  for (const char* kind : {".ttf\n", ".otf\n", ".TTF\n", ".pfb\n"})
    for (size_t at = maps.find(kind); at != std::string::npos; at = maps.find(kind, at + 1))
      ++count;
  return count;
}

// Once nothing of ours shows, the font files are closed and the heap's free pages given back.
// An application window of no size, which carries the taskbar button and stays visible while
// the program waits in the tray, shows nothing and does not keep them.
TEST_F(PlacementTest, FontFilesCloseWhenNothingShowsButAWindowOfNoSize) {
  HWND application = Make("Calvix", WS_POPUP | WS_VISIBLE, nullptr, {512, 384, 512, 384});
  ASSERT_TRUE(IsWindowVisible(application));
  HWND h = Make();
  ShowWindow(h, SW_SHOW);
  HDC dc = GetDC(h);
  HFONT font =
      CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
  const HGDIOBJ old = SelectObject(dc, font);
  ASSERT_TRUE(TextOutA(dc, 2, 2, "Verifica", 8));
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(h, dc);
  if (MappedFontFiles() == 0) GTEST_SKIP() << "no font file to watch on this system";
  ShowWindow(h, SW_HIDE);
  EXPECT_EQ(MappedFontFiles(), 0) << "the hidden program still holds its font files";
}

TEST_F(PlacementTest, ShowWindowReportsThePreviousVisibilityAndSendsItsMessages) {
  HWND h = Make();
  EXPECT_FALSE(ShowWindow(h, SW_SHOWNORMAL));
  EXPECT_TRUE(ShowWindow(h, SW_SHOW));
  EXPECT_EQ(Count(h, WM_SHOWWINDOW), 1u);
  EXPECT_TRUE(ShowWindow(h, SW_MINIMIZE));
  EXPECT_TRUE(IsIconic(h));
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_NE(GetActiveWindow(), h);
  EXPECT_TRUE(ShowWindow(h, SW_RESTORE));
  EXPECT_FALSE(IsIconic(h));
  EXPECT_EQ(GetActiveWindow(), h);
  EXPECT_TRUE(ShowWindow(h, SW_HIDE));
  EXPECT_FALSE(ShowWindow(h, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_FALSE(ShowWindow(h, SW_SHOWMINIMIZED));
  EXPECT_TRUE(IsIconic(h));
  EXPECT_EQ(GetActiveWindow(), h);
}

TEST_F(PlacementTest, OwnedWindowsHideWhileTheirOwnerIsMinimised) {
  HWND owner = Make("owner", WS_POPUP | WS_VISIBLE);
  HWND shown = Make("shown", WS_POPUP | WS_VISIBLE, owner);
  HWND hidden = Make("hidden", WS_POPUP, owner);
  ShowWindow(owner, SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(shown));
  EXPECT_FALSE(IsWindowVisible(hidden));
  for (const TSeen& s : gSeen)
    if (s.hwnd == shown && s.msg == WM_SHOWWINDOW && !s.wParam) {
      EXPECT_EQ(s.lParam, SW_PARENTCLOSING);
    }
  ShowWindow(owner, SW_RESTORE);
  EXPECT_TRUE(IsWindowVisible(shown));
  EXPECT_FALSE(IsWindowVisible(hidden)) << "only what the minimise hid comes back";
  const auto walk = Walk();
  EXPECT_LT(std::find(walk.begin(), walk.end(), shown), std::find(walk.begin(), walk.end(), owner))
      << "owned windows stay above their owner";
}

// The frame's minimise button and the taskbar ask the window first, as on Windows, so that a
// program can answer its own way (into the tray) or not at all.
TEST_F(PlacementTest, TheUserMinimisingThroughTheSystemAsksTheWindowFirst) {
  HWND plain = Make("plain", WS_POPUP | WS_VISIBLE);
  headless::MinimiseBySystem(plain, true);
  EXPECT_TRUE(IsIconic(plain)) << "the default answer minimises";
  headless::MinimiseBySystem(plain, false);
  EXPECT_FALSE(IsIconic(plain));
  EXPECT_EQ(Count(plain, WM_SYSCOMMAND), 2u);

  HWND trayed = Make("trayed", WS_POPUP | WS_VISIBLE);
  HWND stubborn = Make("stubborn", WS_POPUP | WS_VISIBLE);
  gHook = [&](HWND h, UINT m, WPARAM w, LPARAM, LRESULT& result) {
    if (m != WM_SYSCOMMAND || (w & 0xFFF0) != SC_MINIMIZE) return false;
    if (h == trayed) ShowWindow(h, SW_HIDE);
    result = 0;
    return h == trayed || h == stubborn;
  };
  headless::MinimiseBySystem(trayed, true);
  EXPECT_FALSE(IsWindowVisible(trayed));
  EXPECT_FALSE(IsIconic(trayed));
  headless::MinimiseBySystem(stubborn, true);
  EXPECT_TRUE(IsWindowVisible(stubborn));
  EXPECT_FALSE(IsIconic(stubborn)) << "a window that refuses stays as it was";
}

TEST_F(PlacementTest, SetParentParksATopLevelWindowAndGivesItBack) {
  HWND park = Make("park", WS_POPUP);
  HWND app = Make("app", WS_OVERLAPPED | WS_VISIBLE);
  HWND popup = Make("popup", WS_POPUP | WS_VISIBLE, app);
  EXPECT_EQ(SetParent(app, park), GetDesktopWindow());
  EXPECT_FALSE(IsWindowVisible(app)) << "under a hidden window";
  EXPECT_NE(GetWindowLongA(app, GWL_STYLE) & WS_VISIBLE, 0u);
  const auto walk = Walk();
  EXPECT_EQ(std::count(walk.begin(), walk.end(), app), 0);
  EXPECT_EQ(GetParent(app), nullptr) << "not a child, not a popup";
  EXPECT_EQ(GetAncestor(app, GA_PARENT), park);
  EXPECT_EQ(SetParent(app, nullptr), park);
  EXPECT_TRUE(IsWindowVisible(app));
  EXPECT_EQ(Walk(), (std::vector<HWND>{popup, app, park})) << "back on top, below its popup";
  EXPECT_EQ(SetParent(popup, park), GetDesktopWindow());
  EXPECT_EQ(GetParent(popup), app) << "a popup's parent is its owner";
  EXPECT_EQ(SetParent(park, popup), nullptr) << "no cycles";
  EXPECT_EQ(SetParent(reinterpret_cast<HWND>(0x4242), nullptr), nullptr);
}

TEST_F(PlacementTest, LockWindowUpdateLocksOneWindowSystemWide) {
  HWND a = Make(), b = Make();
  EXPECT_TRUE(LockWindowUpdate(GetDesktopWindow()));
  EXPECT_FALSE(LockWindowUpdate(a));
  EXPECT_TRUE(LockWindowUpdate(nullptr));
  EXPECT_TRUE(LockWindowUpdate(b));
  EXPECT_EQ(headless::LockedWindow(), b);
  DestroyWindow(b);
  EXPECT_EQ(headless::LockedWindow(), nullptr);
  EXPECT_EQ(headless::LockWindowUpdateCalls(),
            (std::vector<HWND>{GetDesktopWindow(), a, nullptr, b}));
}

TEST_F(PlacementTest, MovesAndSizesReachTheWindowAndTheScreen) {
  HWND h = Make("w", WS_POPUP | WS_VISIBLE, nullptr, {10, 20, 30, 40});
  gSeen.clear();
  MoveWindow(h, 100, 50, 40, 30, TRUE);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.bottom, 80);
  GetClientRect(h, &r);
  EXPECT_EQ(r.right, 40);
  EXPECT_EQ(Count(h, WM_MOVE), 1u);
  EXPECT_EQ(Count(h, WM_SIZE), 1u);
  platform::Surface& wall = headless::Wallpaper();
  for (uint32_t& p : wall.pixels)
    p = 0x00112233;
  platform::Surface* s = platform::WindowSurface(h);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->width, 40);
  s->At(0, 0) = 0x00FF0000;
  platform::Surface screen = headless::Screen();
  EXPECT_EQ(screen.At(100, 50), 0x00FF0000u);
  EXPECT_EQ(screen.At(99, 50), 0x00112233u);
  ShowWindow(h, SW_HIDE);
  EXPECT_EQ(headless::Screen().At(100, 50), 0x00112233u);
}
