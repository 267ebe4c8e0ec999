// The notification area of the X11 driver between a real XEmbed tray host and a session bus
// whose watcher comes and goes: the icon docks while no watcher runs, becomes an item when one
// appears, docks again when it goes or the bus closes, never waits for the bus to dock, and
// waits for whichever comes first when neither is there.
#include <gtest/gtest.h>

#include <poll.h>

#include <chrono>
#include <functional>
#include <memory>

#include "tests/e2e/Desktop.h"
#include "tests/support/FakeWatcher.h"

// After GoogleTest: the X headers define macros (None, Bool) that its own names would meet.
#include "platform/x11/X11Display.h"
#include "platform/x11/X11NotifyArea.h"

using namespace platform::x11;
using calvix_test::TFakeWatcher;
using calvix_test::TPrivateBus;

namespace {

const HWND kOwner = reinterpret_cast<HWND>(0x1234);
constexpr UINT kId = 42;

class X11NotifyAreaTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FBus.Started());
    FDisplay = TX11Display::Open(e2e::TDesktop::Get().DisplayName().c_str());
    ASSERT_NE(FDisplay, nullptr);
    XSelectInput(FDisplay->Dpy(), FDisplay->Root(), StructureNotifyMask);
    FTray = std::make_unique<TX11Tray>(
        *FDisplay, [](HWND, UINT, WPARAM, LPARAM) {},
        [] { return platform::TClickTracker::TRules{}; });
    TStatusNotifier::THooks hooks;
    hooks.post = [](HWND, UINT, WPARAM, LPARAM) {};
    hooks.screen = [] { return SIZE{1024, 768}; };
    FArea = std::make_unique<TX11NotifyArea>(*FTray, hooks, FBus.Address().c_str());
  }

  // Handles the display's and the bus's events until `done` holds or five seconds have passed.
  bool PumpUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    Display* dpy = FDisplay->Dpy();
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      XFlush(dpy);
      pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {FArea->Fd(), FArea->Events(), 0}};
      poll(fds, fds[1].fd >= 0 ? 2 : 1, 50);
      while (XPending(dpy) > 0) {
        XEvent event;
        XNextEvent(dpy, &event);
        FTray->HandleEvent(event, 0);
      }
      FArea->Process();
    }
    return true;
  }

  bool Docked() const { return FTray->Docked(kOwner, kId); }
  bool AsItem() const { return FArea->AsItem(kOwner, kId); }

  platform::TrayIcon Icon() const {
    platform::TrayIcon icon;
    icon.owner = kOwner;
    icon.id = kId;
    icon.callbackMessage = 0x0400 + 100;
    icon.image = platform::Surface(16, 16, 0xFF00A000);
    icon.tip = "Morvane Calvix";
    return icon;
  }

  TPrivateBus FBus;
  std::unique_ptr<TX11Display> FDisplay;
  std::unique_ptr<TX11Tray> FTray;
  std::unique_ptr<TX11NotifyArea> FArea;
};

}  // namespace

TEST_F(X11NotifyAreaTest, TheIconMovesBetweenTrayAndWatcherAsTheyComeAndGo) {
  // The bus has not answered yet: the icon docks at once rather than wait for it.
  ASSERT_TRUE(FArea->Add(Icon()));
  EXPECT_TRUE(Docked());
  ASSERT_TRUE(PumpUntil([&] { return FArea->Items()->Watcher() != TStatusNotifier::wsAsking; }));
  EXPECT_TRUE(Docked()) << "no watcher runs";
  EXPECT_FALSE(FArea->Add(Icon())) << "the same icon twice";

  auto watcher = std::make_unique<TFakeWatcher>(FBus.Address());
  ASSERT_TRUE(PumpUntil([&] { return AsItem() && FTray->IconWindow(kOwner, kId) == 0; }))
      << "a watcher that appears takes the icon from the tray";
  EXPECT_TRUE(FArea->Shown(kOwner, kId));
  platform::TrayIcon changed = Icon();
  changed.tip = "Outro";
  EXPECT_TRUE(FArea->Modify(changed));

  watcher.reset();
  ASSERT_TRUE(PumpUntil([&] { return Docked(); })) << "the watcher went: back to the tray";
  EXPECT_FALSE(AsItem());

  watcher = std::make_unique<TFakeWatcher>(FBus.Address());
  ASSERT_TRUE(PumpUntil([&] { return AsItem() && !Docked(); })) << "a restarted panel";
  FBus.Stop();
  ASSERT_TRUE(PumpUntil([&] { return Docked(); })) << "the bus closed: back to the tray";
  watcher.reset();

  EXPECT_TRUE(FArea->Delete(kOwner, kId));
  EXPECT_FALSE(FArea->Delete(kOwner, kId));
  EXPECT_EQ(FTray->IconWindow(kOwner, kId), 0u);
}

TEST_F(X11NotifyAreaTest, WithAWatcherRunningTheIconIsAnItemOnceAdded) {
  TFakeWatcher watcher(FBus.Address());
  ASSERT_TRUE(PumpUntil([&] { return FArea->Items()->Watcher() == TStatusNotifier::wsPresent; }));
  ASSERT_TRUE(FArea->Add(Icon())) << "returns once the watcher has taken it";
  EXPECT_TRUE(AsItem());
  EXPECT_EQ(FTray->IconWindow(kOwner, kId), 0u) << "never docked";
  EXPECT_EQ(watcher.Registered().size(), 1u);
}

TEST_F(X11NotifyAreaTest, WithNeitherTrayNorWatcherTheIconWaitsForTheFirstToCome) {
  ASSERT_TRUE(e2e::TDesktop::Get().StopTray());
  ASSERT_TRUE(PumpUntil([&] { return FTray->HostWindow() == 0; }));
  // A session bus runs: the icon is kept for the panel that is still starting.
  EXPECT_TRUE(FArea->Add(Icon()));
  EXPECT_FALSE(FArea->Shown(kOwner, kId));
  {
    TFakeWatcher watcher(FBus.Address());
    EXPECT_TRUE(PumpUntil([&] { return AsItem(); })) << "the watcher came first";
  }
  ASSERT_TRUE(PumpUntil([&] { return !AsItem(); }));
  EXPECT_FALSE(FArea->Shown(kOwner, kId)) << "no tray to go back to";
  ASSERT_TRUE(e2e::TDesktop::Get().StartTray());
  EXPECT_TRUE(PumpUntil([&] { return Docked(); })) << "then a tray";
}

TEST(X11NotifyAreaWithoutBus, WithNoTrayTheIconWaitsForOne) {
  auto display = TX11Display::Open(e2e::TDesktop::Get().DisplayName().c_str());
  ASSERT_NE(display, nullptr);
  XSelectInput(display->Dpy(), display->Root(), StructureNotifyMask);
  TX11Tray tray(
      *display, [](HWND, UINT, WPARAM, LPARAM) {},
      [] { return platform::TClickTracker::TRules{}; });
  TStatusNotifier::THooks hooks;
  hooks.post = [](HWND, UINT, WPARAM, LPARAM) {};
  hooks.screen = [] { return SIZE{1024, 768}; };
  // An address where no bus listens: the area works without one.
  TX11NotifyArea area(tray, hooks, "unix:path=/nonexistent/calvix-bus");
  ASSERT_TRUE(e2e::TDesktop::Get().StopTray());
  platform::TrayIcon icon;
  icon.owner = kOwner;
  icon.id = kId;
  icon.image = platform::Surface(16, 16, 0xFF00A000);
  icon.tip = "Morvane Calvix";
  EXPECT_TRUE(area.Add(icon)) << "kept for the tray still to come";
  EXPECT_FALSE(area.Shown(kOwner, kId));
  ASSERT_TRUE(e2e::TDesktop::Get().StartTray());
  Display* dpy = display->Dpy();
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (!tray.Docked(kOwner, kId) && std::chrono::steady_clock::now() < end) {
    XFlush(dpy);
    pollfd fd{ConnectionNumber(dpy), POLLIN, 0};
    poll(&fd, 1, 50);
    while (XPending(dpy) > 0) {
      XEvent event;
      XNextEvent(dpy, &event);
      tray.HandleEvent(event, 0);
    }
  }
  EXPECT_TRUE(tray.Docked(kOwner, kId)) << "docked once a tray came";
}
