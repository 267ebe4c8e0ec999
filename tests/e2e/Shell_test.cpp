// The notification-area icon and the single-instance search between two processes, through
// the platform's own calls on a real desktop.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "platform/x11/X11Driver.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/Platform.h"

// After GoogleTest: the X headers define macros (None, Bool) that its own names would meet.
#include "platform/x11/X11Display.h"

using namespace e2e;

namespace {

constexpr UINT kCallback = WM_USER + 100;
constexpr UINT kIconId = 42;
constexpr UINT kActivation = 11084;

NOTIFYICONDATAA IconData(HWND owner, HICON icon) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = owner;
  data.uID = kIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kCallback;
  data.hIcon = icon;
  std::strcpy(data.szTip, "E2E tray");
  return data;
}

// The docked icon's slot on the screen.
RECT IconSlot() {
  const std::string id = Output("xdotool search --name '^E2E tray$' | head -1");
  const std::string geometry = Output("xwininfo -id " + id);
  int x = 0, y = 0, w = 0, h = 0;
  auto field = [&](const char* name, int& out) {
    const size_t at = geometry.find(name);
    if (at != std::string::npos) std::sscanf(geometry.c_str() + at + std::strlen(name), "%d", &out);
  };
  field("Absolute upper-left X:", x);
  field("Absolute upper-left Y:", y);
  field("Width:", w);
  field("Height:", h);
  return RECT{x, y, x + w, y + h};
}

std::string IconCentre() {
  const RECT slot = IconSlot();
  return std::to_string((slot.left + slot.right) / 2) + " " +
         std::to_string((slot.top + slot.bottom) / 2);
}

}  // namespace

TEST(Shell, ADockedIconPostsItsCallbackForDoubleAndRightClicks) {
  HWND owner = CreateRecordingWindow("E2EOwner", "E2E owner", WS_POPUP, RECT{0, 0, 10, 10});
  HICON icon = nullptr;  // an empty slot is enough to click
  NOTIFYICONDATAA data = IconData(owner, icon);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  ASSERT_TRUE(PumpUntil([&] { return platform::X11TrayDocked(owner, kIconId); }));

  Recorded().clear();
  e2e::Run("xdotool mousemove " + IconCentre() + " click --repeat 2 --delay 120 1");
  ASSERT_TRUE(PumpUntil([&] { return CountOf(owner, kCallback) >= 5; }));
  int dblclk = 0, leftDown = 0;
  for (const TRecorded& r : Recorded()) {
    if (r.msg != kCallback) continue;
    EXPECT_EQ(r.wParam, kIconId);
    dblclk += r.lParam == WM_LBUTTONDBLCLK;
    leftDown += r.lParam == WM_LBUTTONDOWN;
  }
  EXPECT_EQ(dblclk, 1);
  EXPECT_EQ(leftDown, 1);

  e2e::Run("xdotool click 3");
  EXPECT_TRUE(PumpUntil([&] {
    for (const TRecorded& r : Recorded()) {
      if (r.msg == kCallback && r.lParam == WM_RBUTTONDOWN) return true;
    }
    return false;
  }));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  DestroyWindow(owner);
}

TEST(Shell, ADockedIconShowsItsPictureOverTheTraysBackground) {
  HWND owner = CreateRecordingWindow("E2EOwner", "E2E owner", WS_POPUP, RECT{0, 0, 10, 10});
  // 16 by 16, red, with its four left columns see-through.
  HICON icon = SolidIcon(16, RGB(255, 0, 0), 4);
  NOTIFYICONDATAA data = IconData(owner, icon);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  ASSERT_TRUE(PumpUntil([&] { return platform::X11TrayDocked(owner, kIconId); }));
  const RECT slot = IconSlot();
  ASSERT_GE(slot.right - slot.left, 16);
  // Centred in the slot: columns 4..15 of the icon are red, 0..3 show the tray.
  const int left = (slot.left + slot.right - 16) / 2, top = (slot.top + slot.bottom - 16) / 2;
  const uint32_t red = 0xFF0000;
  EXPECT_TRUE(PumpUntil([&] {
    const TShot shot = Screenshot();
    return shot.width > 0 && shot.At(left + 8, top + 8) == red && shot.At(left + 15, top) == red;
  })) << "the icon's pixels are not on the screen";
  const TShot shot = Screenshot();
  EXPECT_NE(shot.At(left + 1, top + 8), red) << "the see-through part is painted";
  EXPECT_EQ(shot.At(left + 1, top + 8), shot.At(slot.left, slot.top)) << "the tray shows there";

  // A new picture replaces the old one.
  HICON blue = SolidIcon(16, RGB(0, 0, 255), 0);
  data.hIcon = blue;
  data.uFlags = NIF_ICON;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
  EXPECT_TRUE(PumpUntil([&] {
    const TShot now = Screenshot();
    return now.width > 0 && now.At(left + 1, top + 8) == 0x0000FF;
  }));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  DestroyIcon(blue);
  DestroyIcon(icon);
  DestroyWindow(owner);
}

TEST(Shell, HoveringOverADockedIconShowsItsTipUntilThePointerLeaves) {
  HWND owner = CreateRecordingWindow("E2EOwner", "E2E owner", WS_POPUP, RECT{0, 0, 10, 10});
  HICON icon = SolidIcon(16, RGB(0, 128, 0), 0);
  NOTIFYICONDATAA data = IconData(owner, icon);
  e2e::Run("xdotool mousemove 0 0");
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  // The icon's own window carries the same name: the tip is the second one shown.
  auto shownNamedLikeTheTip = [] {
    return Output("xdotool search --onlyvisible --name '^E2E tray$' 2>/dev/null | wc -l");
  };
  EXPECT_EQ(shownNamedLikeTheTip(), "1") << "no tip before the pointer comes";
  e2e::Run("xdotool mousemove " + IconCentre());
  EXPECT_TRUE(PumpUntil([&] { return shownNamedLikeTheTip() == "2"; })) << "no tip on hover";
  e2e::Run("xdotool mousemove 0 0");
  EXPECT_TRUE(PumpUntil([&] { return shownNamedLikeTheTip() == "1"; })) << "the tip stays";
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  DestroyIcon(icon);
  DestroyWindow(owner);
}

TEST(Shell, ATipUncoveredByAnotherWindowIsDrawnAgain) {
  HWND owner = CreateRecordingWindow("E2EOwner", "E2E owner", WS_POPUP, RECT{0, 0, 10, 10});
  HICON icon = SolidIcon(16, RGB(0, 128, 0), 0);
  NOTIFYICONDATAA data = IconData(owner, icon);
  e2e::Run("xdotool mousemove 0 0");
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  // The shown windows of the tip's name: the icon (square) and, on hover, the tip (wider).
  auto shownNamedLikeTheTip = [](bool wide, RECT& out) {
    std::istringstream ids(Output("xdotool search --onlyvisible --name '^E2E tray$' 2>/dev/null"));
    std::string id;
    while (ids >> id) {
      const std::string geometry = Output("xdotool getwindowgeometry --shell " + id);
      int x = 0, y = 0, w = 0, h = 0;
      if (std::sscanf(geometry.c_str(), "WINDOW=%*d\nX=%d\nY=%d\nWIDTH=%d\nHEIGHT=%d", &x, &y, &w,
                      &h) == 4 &&
          (w > h) == wide) {
        out = RECT{x, y, x + w, y + h};
        return true;
      }
    }
    return false;
  };
  RECT slot{}, tip{};
  ASSERT_TRUE(PumpUntil([&] { return shownNamedLikeTheTip(false, slot); }));
  e2e::Run("xdotool mousemove " + std::to_string((slot.left + slot.right) / 2) + " " +
           std::to_string((slot.top + slot.bottom) / 2));
  ASSERT_TRUE(PumpUntil([&] { return shownNamedLikeTheTip(true, tip); })) << "no tip on hover";
  // The text's dark pixels on the tip's light background.
  auto textPixels = [&] {
    const TShot shot = Screenshot();
    int dark = 0;
    for (int y = tip.top; y < tip.bottom && shot.width > 0; ++y) {
      for (int x = tip.left; x < tip.right; ++x)
        dark += (shot.At(x, y) & 0xFF) < 0x40;
    }
    return dark;
  };
  ASSERT_TRUE(PumpUntil([&] { return textPixels() > 20; })) << "the tip shows no text";
  const int drawn = textPixels();

  // Another program's window passes over the tip and goes.
  const auto other = platform::x11::TX11Display::Open();
  ASSERT_NE(other, nullptr);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = 0xFFFFFF;
  const Window cover =
      XCreateWindow(other->Dpy(), other->Root(), tip.left - 5, tip.top - 5,
                    tip.right - tip.left + 10, tip.bottom - tip.top + 10, 0, CopyFromParent,
                    InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
  XMapRaised(other->Dpy(), cover);
  XSync(other->Dpy(), False);
  EXPECT_TRUE(PumpUntil([&] { return textPixels() == 0; })) << "the cover did not cover";
  XDestroyWindow(other->Dpy(), cover);
  XSync(other->Dpy(), False);
  EXPECT_TRUE(PumpUntil([&] { return textPixels() == drawn; })) << "the tip lost its text";

  e2e::Run("xdotool mousemove 0 0");
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
  DestroyIcon(icon);
  DestroyWindow(owner);
}

// The second copy runs while this process sits blocked in waiting for it, so this also shows
// that a window reaches the server when it is made, not at the next message loop.
TEST(Shell, ASecondProcessFindsTheHiddenWindowPostsToItAndRestoresIt) {
  HWND app =
      CreateRecordingWindow("TApplication", "E2E Calvix", WS_POPUP, RECT{300, 300, 500, 400});
  ASSERT_FALSE(IsWindowVisible(app));
  // Another hidden window with the same text but another class must not be taken.
  HWND decoy =
      CreateRecordingWindow("TFormPrincipal", "E2E Calvix", WS_POPUP, RECT{300, 300, 500, 400});
  const int child = SpawnChild("find", {"tapplication", "E2E Calvix", std::to_string(kActivation)});
  ASSERT_EQ(WaitChild(child), 0) << "the second copy found nothing";
  ASSERT_TRUE(PumpUntil([&] { return CountOf(app, kActivation) == 1 && IsWindowVisible(app); }));
  EXPECT_EQ(CountOf(decoy, kActivation), 0);
  EXPECT_FALSE(IsWindowVisible(decoy));
  // Restored on the screen, not only in this process's books.
  EXPECT_TRUE(PumpUntil([] { return ShownWindowNamed("^E2E Calvix$"); }));
  DestroyWindow(decoy);
  DestroyWindow(app);

  // With the window gone, the search comes back empty.
  const int again = SpawnChild("find", {"TApplication", "E2E Calvix", "1"});
  EXPECT_EQ(WaitChild(again), 1);
}

// Other programs' windows vanish at any moment, also while a walk reads them: a window that is
// gone reads as empty and as no window, and the X errors it causes end nothing.
TEST(Shell, OtherProgramsWindowsThatVanishReadAsEmptyAndEndNothing) {
  const int other = SpawnChild("window", {"E2E vanishing", "700", "500"});
  HWND found = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      char text[64] = {};
      if (GetWindowTextA(w, text, sizeof text) > 0 && std::strcmp(text, "E2E vanishing") == 0)
        found = w;
    }
    return found != nullptr;
  }));
  EndChild(other);
  // Gone for the program once it next looks at its queue.
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(found); }));
  char className[256] = "stale", text[256] = "stale";
  EXPECT_EQ(GetClassNameA(found, className, 255), 0);
  EXPECT_EQ(GetWindowTextA(found, text, 255), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(GetWindowTextLengthA(found), 0);
  EXPECT_FALSE(IsWindow(found));
  EXPECT_FALSE(IsWindowVisible(found));
  EXPECT_FALSE(PostMessageA(found, WM_USER, 0, 0));

  // Walks over windows that another program makes and destroys as fast as it can.
  const int churn = SpawnChild("churn", {});
  auto churning = [] {
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      char cls[256] = {};
      if (GetClassNameA(w, cls, 255) > 0 && std::strcmp(cls, "E2EChurn") == 0) return true;
    }
    return false;
  };
  ASSERT_TRUE(PumpUntil(churning, 10)) << "the other program made no windows";
  int read = 0, churned = 0;
  const DWORD end = GetTickCount() + 2000;
  while (int32_t(GetTickCount() - end) < 0) {
    // The program looks at its queue between two walks, as a program does between messages.
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
      char cls[256] = {}, name[256] = {};
      GetClassNameA(w, cls, 255);
      GetWindowTextA(w, name, 255);
      RECT r;
      GetWindowRect(w, &r);
      IsWindowVisible(w);
      IsIconic(w);
      ++read;
      // A window of the churn reads whole, or as nothing from the moment it has gone.
      const bool churnClass = std::strcmp(cls, "E2EChurn") == 0;
      const bool churnText = std::string(name).rfind("E2E churn ", 0) == 0;
      churned += churnClass;
      if (churnClass) {
        EXPECT_TRUE(churnText || name[0] == '\0') << name;
      }
      if (churnText) {
        EXPECT_TRUE(churnClass) << "class \"" << cls << "\" with text " << name;
      }
    }
  }
  EndChild(churn);
  EXPECT_GT(read, 100);
  EXPECT_GT(churned, 0) << "the walk never met the churning windows";
}
