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
constexpr int kForwardWaitMs = 500;
constexpr int kHungCopiesEnough = 3;

std::string LastLine(const std::string& path) {
  std::ifstream in(path);
  std::string line, last;
  while (std::getline(in, line))
    if (!line.empty()) last = line;
  return last;
}

}  // namespace

void Neighbours(TSoak& soak) {
  const std::string part = "neighbours";
  TReport& report = soak.Report();
  const TSettings& settings = soak.Settings();
  if (soak.EnsureProgram()) report.Figure(part, "(started a new copy of the program)");
  // Memory is compared from a moment when the window has been up once (its first showing
  // takes what every later one reuses).
  std::string why;
  if (!soak.ShowFromTray(why) || !soak.HideByGoingElsewhere(false, why)) {
    report.Breach(part, "before the neighbours came, " + why);
    return;
  }
  TProcessFigures before{}, after{};
  soak.Program().Figures(before);

  const std::string churnLog = settings.workDir + "/churn.log";
  std::remove(churnLog.c_str());
  TProgram churn({settings.neighbourExe, "churn", std::to_string(kChurnPerSecond),
                  std::to_string(settings.seed)},
                 settings.workDir, {}, churnLog);
  TScreen::Pause(1000);
  const std::string folder = settings.exe.substr(0, settings.exe.find_last_of('/'));
  std::vector<long> durations;
  int endedWell = 0, cameForward = 0, hung = 0;
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
    // Found the running copy rather than an impostor: its window came forward.
    if (soak.WaitFor([&] { return soak.MainWindow().has_value(); }, kForwardWaitMs)) {
      ++cameForward;
      std::string why;
      if (!soak.HideByGoingElsewhere(copy % 2 == 0, why)) report.Breach(part, which + why);
    }
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
                          std::to_string(cameForward) + "); time to end: median " +
                          std::to_string(median) + " ms, longest " + std::to_string(longest) +
                          " ms");
  if (!soak.ProgramAlive()) {
    report.Breach(part, "the running copy ended (" + soak.Program().HowItEnded() + ")");
    return;
  }
  soak.Program().Figures(after);
  report.Figure(part, "the running copy's resident memory: " + std::to_string(before.rssKb) +
                          " kB before, " + std::to_string(after.rssKb) + " kB after");
  if (after.rssKb - before.rssKb > kRssSlackKb)
    report.Breach(
        part, "the running copy's memory grew by more than " + std::to_string(kRssSlackKb) + " kB");
  if (!soak.ShowFromTray(why) || !soak.HideByGoingElsewhere(false, why))
    report.Breach(part, "afterwards, " + why);
  else
    report.Figure(part, "afterwards the running copy's window shows and hides as before");
}

}  // namespace soak
