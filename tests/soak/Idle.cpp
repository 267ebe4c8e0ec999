// The idle part of the soak: the program sits in the tray with nothing happening, and must
// neither wake up (no context switch at all) nor change its memory. Test tooling (tests/soak).
#include "tests/soak/Soak.h"

namespace soak {

namespace {

constexpr int kQuietBeforeMs = 2000;

std::string Change(long before, long after) {
  return std::to_string(before) +
         (before == after ? " (unchanged)" : " -> " + std::to_string(after));
}

}  // namespace

void Idle(TSoak& soak) {
  const std::string part = "idle";
  TReport& report = soak.Report();
  if (soak.EnsureProgram()) report.Figure(part, "(started a new copy of the program)");
  // Only the icon: the window from the icon hides the information windows, and goes when the
  // user goes elsewhere.
  std::string why;
  if (!soak.ShowFromTray(why) || !soak.HideByGoingElsewhere(false, why)) {
    report.Breach(part, why);
    return;
  }
  // The pointer rests away from the program, and whatever it was doing has ended.
  soak.ClickBareDesktop();
  TScreen::Pause(kQuietBeforeMs);
  TProcessFigures before{}, after{};
  soak.Program().Figures(before);
  const int seconds = soak.Settings().idleSeconds;
  TScreen::Pause(seconds * 1000);
  if (!soak.ProgramAlive() || !soak.Program().Figures(after)) {
    report.Breach(part, "the program ended (" + soak.Program().HowItEnded() + ")");
    return;
  }
  report.Figure(part, std::to_string(seconds) + " s in the tray: voluntary context switches " +
                          Change(before.voluntarySwitches, after.voluntarySwitches) +
                          ", involuntary " +
                          Change(before.involuntarySwitches, after.involuntarySwitches) +
                          ", resident memory " + Change(before.rssKb, after.rssKb) + " kB");
  if (before.voluntarySwitches != after.voluntarySwitches ||
      before.involuntarySwitches != after.involuntarySwitches)
    report.Breach(part, "the program woke up while nothing happened");
  if (before.rssKb != after.rssKb) report.Breach(part, "the program's memory changed while idle");
}

}  // namespace soak
