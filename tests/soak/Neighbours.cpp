// The neighbours part of the soak: while a hostile program churns top-level windows (some of
// them impostors of Calvix's application window that vanish within milliseconds), second copies
// of Calvix start one after another; each must end with exit code 0, and the running copy must
// go on working. Test tooling (tests/soak).
#include <algorithm>
#include <chrono>
#include <fstream>

#include "tests/soak/Soak.h"

namespace soak {

namespace {

constexpr int kChurnPerSecond = 300;
constexpr int kCopyPatienceMs = 60000;
constexpr int kForwardWaitMs = 3000;
constexpr int kSettledMs = 500;
constexpr int kSettleLimitMs = 5000;
constexpr int kHungCopiesEnough = 3;
constexpr int kMeasuredCopy = 10;

std::string LastLine(const std::string& path) {
  std::ifstream in(path);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  return last;
}

// The running copy comes forward in steps (its application window takes the keyboard, then its
// window shows and takes it over): waits until the keyboard and the window have stayed as they
// are for a while, as a user looks at the result before going elsewhere.
void Settle(TSoak& soak) {
  using TClock = std::chrono::steady_clock;
  const auto end = TClock::now() + std::chrono::milliseconds(kSettleLimitMs);
  auto state = [&] { return std::make_pair(soak.Screen().Focus(), soak.MainWindow().has_value()); };
  auto last = state();
  auto since = TClock::now();
  while (TClock::now() < end && TClock::now() - since < std::chrono::milliseconds(kSettledMs)) {
    TScreen::Pause(10);
    if (const auto now = state(); now != last) {
      last = now;
      since = TClock::now();
    }
  }
}

}  // namespace

void Neighbours(TSoak& soak) {
  const std::string part = "neighbours";
  TReport& report = soak.Report();
  const TSettings& settings = soak.Settings();
  if (soak.EnsureProgram()) report.Figure(part, "(started a new copy of the program)");
  // The window has been up once before (its first showing takes what every later one reuses).
  std::string why;
  if (!soak.ShowFromTray(why) || !soak.HideByGoingElsewhere(false, why)) {
    report.Breach(part, "before the neighbours came, " + why);
    return;
  }
  // Memory is compared from the tenth copy on: by then the running copy has met as many of the
  // neighbour's windows at once as it ever will, and what it keeps for them is in use.
  TProcessFigures before{}, measured{}, after{};
  soak.Program().Figures(before);
  const int measuredCopy = std::min(kMeasuredCopy, settings.secondCopies);

  const std::string churnLog = settings.workDir + "/churn.log";
  std::remove(churnLog.c_str());
  TProgram churn({settings.neighbourExe, "churn", std::to_string(kChurnPerSecond),
                  std::to_string(settings.seed)},
                 settings.workDir, {}, churnLog);
  TScreen::Pause(1000);
  const std::string folder = settings.exe.substr(0, settings.exe.find_last_of('/'));
  std::vector<long> durations;
  int endedWell = 0, cameForward = 0, windowShown = 0, withoutKeyboard = 0, hung = 0;
  for (int copy = 1; copy <= settings.secondCopies; ++copy) {
    const std::string which = "copy " + std::to_string(copy) + ": ";
    if (!soak.ProgramAlive()) {
      report.Breach(part, which + "the running copy ended (" + soak.Program().HowItEnded() + ")");
      break;
    }
    if (!churn.Alive()) {
      report.Breach(part, which + "the neighbour ended (" + churn.HowItEnded() + ")");
      break;
    }
    const auto start = std::chrono::steady_clock::now();
    TProgram second({settings.exe}, folder, {}, settings.workDir + "/second-copies.log");
    if (!second.WaitEnd(kCopyPatienceMs)) {
      report.Breach(part,
                    which + "still running after " + std::to_string(kCopyPatienceMs / 1000) + " s");
      second.Terminate();
      // A copy that stays is a second running copy: the next would only find it.
      if (++hung == kHungCopiesEnough) break;
      continue;
    }
    durations.push_back(long(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count()));
    if (second.ExitedWith(0))
      ++endedWell;
    else
      report.Breach(part, which + "ended with " + second.HowItEnded());
    // Found the running copy rather than an impostor: the running copy came forward. It takes
    // the keyboard in its application window, or in its main window when that comes up too (a
    // copy that finds the application in the tray restores it with its window; one that finds
    // it restored already only activates it). The window manager may still be granting the
    // activation when a window shows, and a user sees the result before going elsewhere.
    const bool forward = soak.WaitFor([&] { return soak.KeyboardIsOurs(); }, kForwardWaitMs);
    Settle(soak);
    cameForward += forward ? 1 : 0;
    if (const std::optional<TWin> main = soak.MainWindow()) {
      ++windowShown;
      if (!soak.KeyboardIsOurs()) {
        // A busy window manager let the window come up without the keyboard: the user clicks
        // it (above its fields) to use it.
        ++withoutKeyboard;
        soak.Screen().ClickAt(main->x + main->width / 2, main->y + kAboveTheFields);
      }
    }
    std::string why;
    if ((forward || soak.MainWindow()) && !soak.HideByGoingElsewhere(copy % 2 == 0, why))
      report.Breach(part, which + why);
    if (copy == measuredCopy) soak.Program().Figures(measured);
  }
  churn.Terminate();
  if (!churn.ExitedWith(0)) report.Breach(part, "the neighbour ended with " + churn.HowItEnded());
  report.Figure(part, LastLine(churnLog));

  std::sort(durations.begin(), durations.end());
  const long median = durations.empty() ? 0 : durations[durations.size() / 2];
  const long longest = durations.empty() ? 0 : durations.back();
  report.Figure(part, std::to_string(endedWell) + " of " + std::to_string(settings.secondCopies) +
                          " second copies ended with exit code 0 (the running copy came "
                          "forward for " +
                          std::to_string(cameForward) + ", with its window for " +
                          std::to_string(windowShown) + ", " + std::to_string(withoutKeyboard) +
                          " of them without the keyboard); time to end: median " +
                          std::to_string(median) + " ms, longest " + std::to_string(longest) +
                          " ms");
  if (!soak.ProgramAlive()) {
    report.Breach(part, "the running copy ended (" + soak.Program().HowItEnded() + ")");
    return;
  }
  soak.Program().Figures(after);
  report.Figure(part, "the running copy's resident memory: " + std::to_string(before.rssKb) +
                          " kB before the neighbours, " + std::to_string(measured.rssKb) +
                          " kB at copy " + std::to_string(measuredCopy) + ", " +
                          std::to_string(after.rssKb) + " kB after the last");
  if (after.rssKb - measured.rssKb > kRssSlackKb)
    report.Breach(part, "the running copy's memory grew by more than " +
                            std::to_string(kRssSlackKb) + " kB from copy " +
                            std::to_string(measuredCopy));
  if (!soak.ShowFromTray(why) || !soak.HideByGoingElsewhere(false, why))
    report.Breach(part, "afterwards, " + why);
  else
    report.Figure(part, "afterwards the running copy's window shows and hides as before");
}

}  // namespace soak
