// The tray icon of the X11 driver with a real tray host: docking, the callback messages of
// clicks, failing without a host and docking again into a new host.
#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "tests/e2e/Desktop.h"

// After GoogleTest: the X headers define macros (None, Bool) that its own names would meet.
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Tray.h"

using namespace platform::x11;

namespace {

constexpr UINT kCallback = 0x0400 + 100;
const HWND kOwner = reinterpret_cast<HWND>(0x1234);
constexpr UINT kId = 42;

struct TPosted {
  HWND owner;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

class X11TrayTest : public testing::Test {
 protected:
  void SetUp() override {
    FDisplay = TX11Display::Open(e2e::TDesktop::Get().DisplayName().c_str());
    ASSERT_NE(FDisplay, nullptr);
    XSelectInput(FDisplay->Dpy(), FDisplay->Root(), StructureNotifyMask);
    FTray = std::make_unique<TX11Tray>(
        *FDisplay,
        [this](HWND o, UINT m, WPARAM w, LPARAM l) {
          FPosted.push_back({o, m, w, l});
        },
        [] { return platform::TClickTracker::TRules{}; });
  }

  // Handles the display's events until `done` holds or five seconds have passed.
  bool PumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    Display* dpy = FDisplay->Dpy();
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      XFlush(dpy);
      pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
      poll(&fd, 1, 50);
      while (XPending(dpy) > 0) {
        XEvent event;
        XNextEvent(dpy, &event);
        FTray->HandleEvent(event, 0);
      }
    }
    return true;
  }

  platform::TrayIcon Icon() const {
    platform::TrayIcon icon;
    icon.owner = kOwner;
    icon.id = kId;
    icon.callbackMessage = kCallback;
    icon.image = platform::Surface(16, 16, 0xFF00A000);
    icon.tip = "Morvane Calvix";
    return icon;
  }

  // The icon's centre on the screen, once the tray host has shown it where it stays: a busy
  // host maps and places an icon some time after it took it, and a click before that lands
  // beside it.
  POINT SettledIconCentre() {
    POINT last{-1, -1};
    EXPECT_TRUE(PumpUntil([&] {
      XWindowAttributes attributes{};
      if (!XGetWindowAttributes(FDisplay->Dpy(), FTray->IconWindow(kOwner, kId), &attributes) ||
          attributes.map_state != IsViewable) {
        return false;
      }
      const POINT now = IconCentre();
      const bool same = now.x == last.x && now.y == last.y;
      last = now;
      return same;
    })) << "the icon shown in the tray";
    return last;
  }

  // The icon's centre on the screen.
  POINT IconCentre() const {
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(FDisplay->Dpy(), FTray->IconWindow(kOwner, kId), FDisplay->Root(), 0, 0,
                          &x, &y, &child);
    return {x + 11, y + 11};
  }

  bool Received(UINT mouseMessage) const {
    for (const TPosted& p : FPosted) {
      if (p.owner == kOwner && p.msg == kCallback && p.wParam == kId &&
          p.lParam == LPARAM(mouseMessage)) {
        return true;
      }
    }
    return false;
  }

  std::unique_ptr<TX11Display> FDisplay;
  std::unique_ptr<TX11Tray> FTray;
  std::vector<TPosted> FPosted;
};

}  // namespace

TEST_F(X11TrayTest, DockedIconPostsDoubleClicksAndRightPressesToItsOwner) {
  ASSERT_TRUE(FTray->Add(Icon()));
  EXPECT_TRUE(FTray->Docked(kOwner, kId)) << "an icon added is in the tray, as on Windows";
  EXPECT_FALSE(FTray->Add(Icon())) << "the same icon twice";

  const POINT c = SettledIconCentre();
  e2e::Run("xdotool mousemove " + std::to_string(c.x) + " " + std::to_string(c.y) +
           " click --repeat 2 --delay 120 1");
  ASSERT_TRUE(PumpUntil([&] { return Received(0x0203); })) << "WM_LBUTTONDBLCLK";
  EXPECT_TRUE(Received(0x0200)) << "WM_MOUSEMOVE";
  EXPECT_TRUE(Received(0x0201)) << "WM_LBUTTONDOWN";
  EXPECT_TRUE(Received(0x0202)) << "WM_LBUTTONUP";

  e2e::Run("xdotool click 3");
  ASSERT_TRUE(PumpUntil([&] { return Received(0x0204); })) << "WM_RBUTTONDOWN";
  EXPECT_TRUE(PumpUntil([&] { return Received(0x0205); })) << "WM_RBUTTONUP";
  EXPECT_FALSE(Received(0x0206)) << "one right press is no double click";

  EXPECT_TRUE(FTray->Delete(kOwner, kId));
  EXPECT_FALSE(FTray->Delete(kOwner, kId));
}

TEST_F(X11TrayTest, WithoutAHostAddFailsAndANewHostTakesTheIconAgain) {
  ASSERT_TRUE(FTray->Add(Icon()));
  ASSERT_TRUE(PumpUntil([&] { return FTray->Docked(kOwner, kId); }));

  ASSERT_TRUE(e2e::TDesktop::Get().StopTray());
  ASSERT_TRUE(PumpUntil([&] { return FTray->HostWindow() == 0; }));
  EXPECT_FALSE(FTray->Docked(kOwner, kId));
  platform::TrayIcon other = Icon();
  other.id = kId + 1;
  EXPECT_FALSE(FTray->Add(other)) << "no tray host runs";

  ASSERT_TRUE(e2e::TDesktop::Get().StartTray());
  EXPECT_TRUE(PumpUntil([&] { return FTray->Docked(kOwner, kId); }));
}
