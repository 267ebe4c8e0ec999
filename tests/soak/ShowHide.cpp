// The show-and-hide part of the soak: the window comes up from the tray and goes when the user
// clicks elsewhere, over and over, with a verdict box now and then; memory and the X server's
// resources must not grow. Test tooling (tests/soak).
#include <X11/keysym.h>

#include "tests/soak/Soak.h"

namespace soak {

namespace {

constexpr int kVerdictEvery = 10;
constexpr int kMeasuredCycle = 10;
constexpr int kSettleMs = 300;
constexpr char kValidCpf[] = "111.444.777-35";
constexpr char kInvalidCpf[] = "111.444.777-36";

std::string Counts(const TResources& r) {
  return std::to_string(r.windows) + " windows, " + std::to_string(r.pixmaps) + " pixmaps, " +
         std::to_string(r.gcs) + " GCs";
}

// Types a CPF into the shown window and answers its verdict box; false (and why) when the
// box did not come, said the wrong thing, or did not go.
bool CheckCpf(TSoak& soak, const TWin& main, bool valid, std::string& why) {
  TScreen& screen = soak.Screen();
  screen.ClickAt(main.x + kCpfFieldX, main.y + kCpfFieldY);
  // The keys must not overtake the click, which the window manager holds while it decides on it
  // (they would go to the field that had the focus).
  soak.WaitFor([&] { return !screen.PointerHeld(); }, soak.Wait(2000));
  screen.Key(XK_Home);
  screen.Type(valid ? kValidCpf : kInvalidCpf);
  screen.Key(XK_Return);
  std::vector<TWin> boxes;
  if (!soak.WaitFor([&] { return !(boxes = soak.View().VerdictBoxes()).empty(); },
                    soak.Wait(10000))) {
    why = "Enter after a CPF showed no verdict box";
    return false;
  }
  const std::string expected = valid ? "Information" : "Warning";
  if (boxes.front().name != expected) {
    why = "the verdict box for a " + std::string(valid ? "valid" : "invalid") + " CPF is \"" +
          boxes.front().name + "\"";
    return false;
  }
  if (!soak.CloseBox(boxes.front())) {
    why = "the verdict box did not close";
    return false;
  }
  if (!soak.MainWindow()) {
    why = "closing the verdict box hid the main window";
    return false;
  }
  // The window takes the keyboard back from its box before the user goes elsewhere.
  if (!soak.WaitUntilActive(why)) {
    why = "after the verdict box, " + why;
    return false;
  }
  return true;
}

}  // namespace

void ShowAndHide(TSoak& soak, int cycles, const std::string& part, bool measure) {
  TReport& report = soak.Report();
  if (soak.EnsureProgram()) report.Figure(part, "(started a new copy of the program)");
  TProcessFigures first{}, last{};
  TResources firstResources{}, lastResources{};
  Window client = 0;  // a window of the program, which names its client to the server
  int done = 0, verdicts = 0;
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    std::string why;
    if (!soak.ShowFromTray(why)) {
      report.Breach(part, "cycle " + std::to_string(cycle) + ": " + why);
      break;
    }
    client = soak.MainWindow()->id;
    if (cycle % kVerdictEvery == 0) {
      if (!CheckCpf(soak, *soak.MainWindow(), cycle % (2 * kVerdictEvery) == 0, why)) {
        report.Breach(part, "cycle " + std::to_string(cycle) + ": " + why);
        break;
      }
      ++verdicts;
    }
    if (!soak.HideByGoingElsewhere(cycle % 2 == 0, why)) {
      report.Breach(part, "cycle " + std::to_string(cycle) + ": " + why);
      break;
    }
    if (!soak.ProgramAlive()) {
      report.Breach(part, "cycle " + std::to_string(cycle) + ": the program ended (" +
                              soak.Program().HowItEnded() + ")");
      break;
    }
    done = cycle;
    if (measure && (cycle == kMeasuredCycle || cycle == cycles)) {
      TScreen::Pause(kSettleMs);
      TProcessFigures& figures = cycle == kMeasuredCycle ? first : last;
      TResources& resources = cycle == kMeasuredCycle ? firstResources : lastResources;
      soak.Program().Figures(figures);
      soak.Screen().Resources(client, resources);
    }
  }
  report.Figure(part, std::to_string(done) + " of " + std::to_string(cycles) +
                          " cycles shown and hidden, " + std::to_string(verdicts) +
                          " verdict boxes answered");
  if (!measure || done < cycles || cycles < kMeasuredCycle) return;
  const long growth = last.rssKb - first.rssKb;
  report.Figure(part, "resident memory at cycle " + std::to_string(kMeasuredCycle) + ": " +
                          std::to_string(first.rssKb) + " kB, at cycle " + std::to_string(cycles) +
                          ": " + std::to_string(last.rssKb) + " kB (" + (growth >= 0 ? "+" : "") +
                          std::to_string(growth) + " kB)");
  // Memory the allocator hands back to the system (it trims its heap now and then) is no
  // creep; only growth is.
  if (growth > kRssSlackKb)
    report.Breach(part, "resident memory grew by more than " + std::to_string(kRssSlackKb) + " kB");
  report.Figure(part, "X resources at cycle " + std::to_string(kMeasuredCycle) + ": " +
                          Counts(firstResources) + "; at cycle " + std::to_string(cycles) + ": " +
                          Counts(lastResources));
  if (lastResources.windows > firstResources.windows ||
      lastResources.pixmaps > firstResources.pixmaps || lastResources.gcs > firstResources.gcs)
    report.Breach(part, "the X server holds more for the program than at cycle " +
                            std::to_string(kMeasuredCycle));
}

}  // namespace soak
