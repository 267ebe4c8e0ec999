// The memory-error part of the soak: the program runs under Valgrind's memcheck through a pass
// of showing and hiding and of random use, then ends by its menu's "Fechar"; no invalid read or
// write, no use of an uninitialised value, and nothing definitely lost may be reported.
// Test tooling (tests/soak).
#include <X11/keysym.h>

#include <cstdio>
#include <fstream>

#include "tests/soak/Soak.h"

namespace soak {

namespace {

constexpr int kExcerptLines = 40;

struct TMemcheck {
  std::string errorSummary;  // Valgrind's own line
  std::string definitelyLost;
  int invalidAccesses = 0;
  int uninitialised = 0;
  std::vector<std::string> firstError;
};

TMemcheck ReadLog(const std::string& path) {
  TMemcheck out;
  std::ifstream in(path);
  std::string line;
  bool inError = false;
  while (std::getline(in, line)) {
    // Lines start with "==PID== ".
    const size_t mark = line.find("== ");
    std::string text = mark == std::string::npos ? line : line.substr(mark + 3);
    text.erase(0, text.find_first_not_of(' '));
    const bool invalid = text.rfind("Invalid read", 0) == 0 ||
                         text.rfind("Invalid write", 0) == 0 || text.rfind("Invalid free", 0) == 0;
    const bool uninitialised = text.find("uninitialised") != std::string::npos &&
                               text.find("Uninitialised value was created") == std::string::npos;
    if (invalid) ++out.invalidAccesses;
    if (uninitialised) ++out.uninitialised;
    if ((invalid || uninitialised ||
         text.find("definitely lost in loss record") != std::string::npos) &&
        out.firstError.empty())
      inError = true;
    if (inError) {
      if (text.empty() || int(out.firstError.size()) >= kExcerptLines)
        inError = false;
      else
        out.firstError.push_back(text);
    }
    if (text.rfind("ERROR SUMMARY:", 0) == 0) out.errorSummary = text;
    if (text.rfind("definitely lost:", 0) == 0) out.definitelyLost = text;
  }
  return out;
}

constexpr int kCloseAttempts = 3;
constexpr int kCloseWaitMs = 10000;
constexpr int kEndWaitMs = 30000;

// Chooses "Fechar", the menu's last item, with the keys; false (and why) when the program did
// not end.
bool Close(TSoak& soak, std::string& why) {
  std::optional<TWin> icon = soak.Icon();
  if (!icon) {
    why = "there was no icon to open the menu from";
    return false;
  }
  // A right press within the double-click time of the last one (random use may have ended on
  // the menu) is a double click, which shows the window instead of the menu.
  TScreen::Pause(kDoubleClickMs);
  soak.Screen().ClickAt(icon->x + icon->width / 2, icon->y + icon->height / 2, 3);
  if (!soak.WaitFor([&] { return soak.Menu().has_value(); }, soak.Wait(10000))) {
    why = "a right click on the icon opened no menu";
    return false;
  }
  // The menu shows before it takes the keyboard, a long moment under Valgrind: keys that came
  // in between went elsewhere, and are typed again while the menu stays up.
  for (int attempt = 0; attempt < kCloseAttempts; ++attempt) {
    soak.Screen().Key(XK_End);
    soak.Screen().Key(XK_Return);
    if (soak.Program().WaitEnd(soak.Wait(kCloseWaitMs))) return true;
    if (!soak.Menu()) break;
  }
  // The menu went: the program is ending, which takes Valgrind's leak check a while.
  if (soak.Program().WaitEnd(soak.Wait(kEndWaitMs))) return true;
  why = "the program did not end";
  return false;
}

}  // namespace

void MemoryErrors(TSoak& soak) {
  const std::string part = "memory";
  TReport& report = soak.Report();
  const TSettings& settings = soak.Settings();
  // A copy that runs already would only hand over to a new one.
  if (soak.ProgramAlive()) soak.Program().Terminate();
  const std::string log = settings.workDir + "/valgrind.log";
  std::remove(log.c_str());
  const std::vector<std::string> memcheck = {
      "valgrind",
      "--tool=memcheck",
      "--leak-check=full",
      "--show-leak-kinds=definite",
      "--errors-for-leak-kinds=definite",
      "--num-callers=30",
      "--suppressions=" + settings.sourceDir + "/tests/soak/valgrind.supp",
      "--log-file=" + log,
  };
  if (!soak.StartProgram(memcheck)) {
    report.Breach(part, "the program under Valgrind did not start into the tray");
    return;
  }
  ShowAndHide(soak, settings.valgrindCycles, part, false);
  RandomUse(soak, settings.valgrindInputs, settings.seed, part);
  if (!soak.ProgramAlive()) {
    report.Breach(part,
                  "the program under Valgrind ended early (" + soak.Program().HowItEnded() + ")");
  } else if (std::string why; !Close(soak, why)) {
    report.Breach(part, "\"Fechar\" did not end the program under Valgrind: " + why);
    soak.Program().Terminate();
  } else if (!soak.Program().ExitedWith(0)) {
    report.Breach(part, "the program ended with " + soak.Program().HowItEnded());
  }
  const TMemcheck found = ReadLog(log);
  report.Figure(part, "Valgrind: " + found.errorSummary + "; " + found.definitelyLost + "; " +
                          std::to_string(found.invalidAccesses) + " invalid accesses, " +
                          std::to_string(found.uninitialised) + " uses of uninitialised values");
  if (found.errorSummary.empty()) {
    report.Breach(part, "Valgrind wrote no summary (" + log + ")");
  } else if (found.errorSummary.rfind("ERROR SUMMARY: 0 errors", 0) != 0) {
    std::string excerpt;
    for (const std::string& line : found.firstError)
      excerpt += "\n              " + line;
    report.Breach(part, "Valgrind reported errors (" + log + "); the first:" + excerpt);
  }
}

}  // namespace soak
