// The tray-host part of the soak: the notification area's host is killed and started again,
// over and over; each time the icon must dock again, with its tip, within a second of the
// host's return, and the program must never end. Test tooling (tests/soak).
#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "tests/soak/Soak.h"

namespace soak {

namespace {

using TClock = std::chrono::steady_clock;

constexpr long kRedockLimitMs = 1000;
constexpr int kHostWaitMs = 15000;
constexpr int kIconWaitMs = 5000;

// Polls `done` every millisecond (the figure is about milliseconds); false after `ms`.
bool WaitClosely(const std::function<bool()>& done, int ms) {
  const auto end = TClock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (TClock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace

void TrayHostFaults(TSoak& soak) {
  const std::string part = "tray";
  TReport& report = soak.Report();
  if (soak.EnsureProgram()) report.Figure(part, "(started a new copy of the program)");
  std::mt19937 random(unsigned(soak.Settings().seed));
  std::vector<long> redocks;
  const int restarts = soak.Settings().trayRestarts;
  for (int round = 1; round <= restarts; ++round) {
    const std::string which = "restart " + std::to_string(round) + ": ";
    if (!soak.WaitFor([&] { return soak.Icon().has_value(); }, kIconWaitMs)) {
      report.Breach(part, which + "the icon was not in the tray before the host was killed");
      break;
    }
    soak.Desktop().StopTray();
    if (!soak.WaitFor([&] { return !soak.Icon().has_value(); }, kIconWaitMs)) {
      report.Breach(part, which + "the icon still showed after its host was killed");
      break;
    }
    // A host comes back at once or after a while.
    TScreen::Pause(int(random() % 300));
    if (!soak.ProgramAlive()) {
      report.Breach(
          part, which + "the program ended with its host (" + soak.Program().HowItEnded() + ")");
      break;
    }
    bool started = false;
    std::thread starter([&] { started = soak.Desktop().StartTray(); });
    // The host is back when it owns the notification area's selection.
    const bool back = WaitClosely([&] { return soak.Screen().TrayOwner() != 0; }, kHostWaitMs);
    const auto hostBack = TClock::now();
    const bool docked = back && WaitClosely([&] { return soak.Icon().has_value(); }, kIconWaitMs);
    const long ms = long(
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - hostBack).count());
    starter.join();
    if (!back || !started) {
      report.Breach(part, which + "the tray host did not start");
      break;
    }
    if (!docked) {
      std::string names;
      for (const TWin& icon : soak.Screen().DockedIcons())
        names += " \"" + icon.name + "\"";
      report.Breach(part, which + "the icon did not dock again within " +
                              std::to_string(kIconWaitMs / 1000) + " s" +
                              (names.empty() ? "" : "; the tray shows" + names));
      break;
    }
    redocks.push_back(ms);
    if (ms > kRedockLimitMs)
      report.Breach(
          part, which + "the icon docked " + std::to_string(ms) + " ms after the host's return");
    if (!soak.ProgramAlive()) {
      report.Breach(part, which + "the program ended (" + soak.Program().HowItEnded() + ")");
      break;
    }
  }
  std::vector<long> sorted = redocks;
  std::sort(sorted.begin(), sorted.end());
  report.Figure(part, std::to_string(redocks.size()) + " of " + std::to_string(restarts) +
                          " restarts of the tray host docked the icon again with its tip \"" +
                          kTip + "\"; from the host's return: median " +
                          std::to_string(sorted.empty() ? 0 : sorted[sorted.size() / 2]) +
                          " ms, longest " + std::to_string(sorted.empty() ? 0 : sorted.back()) +
                          " ms");
}

}  // namespace soak
