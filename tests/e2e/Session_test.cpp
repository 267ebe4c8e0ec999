// The end of the session on a real desktop: the signal a session manager sends reaches the
// program's windows through its loop, its tray icon leaves the tray and it ends with code 0.
#include <gtest/gtest.h>

#include <signal.h>

#include "tests/e2e/Desktop.h"
#include "tests/e2e/Platform.h"

using namespace e2e;

namespace {

// True while a window named exactly `name` exists, shown or not (a docked icon is named like
// its tip).
bool WindowExists(const std::string& name) {
  return Run("xdotool search --name '^" + name + "$' >/dev/null 2>&1") == 0;
}

bool IconDocked(const std::string& tip) {
  return PumpUntil([&] { return WindowExists(tip); }, 10);
}

}  // namespace

TEST(Session, TheSignalsThatEndASessionTakeTheIconOutOfTheTrayAndEndWithZero) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    const std::string tip = "E2E session " + std::to_string(signal);
    const int pid = SpawnChild("tray", {tip});
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(IconDocked(tip)) << "the icon did not dock";
    kill(pid, signal);
    // 0: the window heard WM_QUERYENDSESSION, then WM_ENDSESSION, and the loop ended with 0.
    EXPECT_EQ(WaitChild(pid), 0) << "signal " << signal;
    EXPECT_FALSE(WindowExists(tip)) << "the icon stayed in the tray";
  }
}
