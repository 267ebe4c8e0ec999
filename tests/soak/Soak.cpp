// The soak's driver: settings from the command line, the private desktop, the shared actions
// of the parts, and the run of every part with its report. Test tooling (tests/soak).
#include "tests/soak/Soak.h"

#include <sys/stat.h>
#include <unistd.h>

#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

namespace soak {

namespace {

constexpr int kOtherX = 20, kOtherY = 560, kOtherWidth = 200, kOtherHeight = 120;
constexpr char kOtherName[] = "Soak other program";
constexpr int kBareX = 40, kBareY = 40;  // a point of the desktop no window covers
constexpr int kIconWait = 20000;
constexpr int kWindowWait = 15000;
// A program that used no processor time over three looks 50 ms apart waits for its user.
constexpr int kQuietLookMs = 50, kQuietLooks = 3, kQuietLimitMs = 10000;
constexpr int kGlanceMs = 100;
constexpr int kIconPlacedWait = 2000;
constexpr int kPointerFreeWait = 3000;

std::string Folder(const std::string& path) {
  return path.substr(0, path.find_last_of('/'));
}

// Window names and the program's texts are Latin-1 here; the report is read in UTF-8.
std::string Utf8(const std::string& latin1) {
  std::string out;
  for (const char c : latin1) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += char(0xC0 | (byte >> 6));
      out += char(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

}  // namespace

std::string Hex(unsigned long value) {
  char text[32];
  std::snprintf(text, sizeof text, "%lx", value);
  return text;
}

// --- Settings and report ---

bool TSettings::Runs(const std::string& part) const {
  return parts.empty() || std::find(parts.begin(), parts.end(), part) != parts.end();
}

void TReport::Figure(const std::string& part, const std::string& text) {
  std::printf("%-11s %s\n", (part + ":").c_str(), Utf8(text).c_str());
  std::fflush(stdout);
}

void TReport::Breach(const std::string& part, const std::string& text) {
  ++FBreaches;
  std::printf("%-11s BREACH: %s\n", (part + ":").c_str(), Utf8(text).c_str());
  std::fflush(stdout);
  // For a look at the desktop as the breach left it (DISPLAY is the soak's).
  if (const char* hold = std::getenv("SOAK_HOLD_SECONDS")) {
    std::printf("soak: holding for %s s on %s\n", hold, std::getenv("DISPLAY"));
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(std::atoi(hold)));
  }
}

// --- What the desktop shows ---

std::optional<TWin> TView::Named(const std::string& name) const {
  for (const TWin& w : FShown)
    if (w.name == name) return w;
  return std::nullopt;
}

std::optional<TWin> TView::Menu() const {
  for (const TWin& w : Own())
    if (w.resClass == kMenuClass) return w;
  return std::nullopt;
}

std::vector<TWin> TView::Own() const {
  std::vector<TWin> own;
  for (const TWin& w : FShown)
    if (w.pid == FPid) own.push_back(w);
  return own;
}

std::optional<TWin> TView::ErrorBox() const {
  // Any process's: a second copy's error would show the same caption. Windows of the
  // application's class with that name are the neighbours' impostors.
  for (const TWin& w : FShown)
    if (w.name == kTitle && w.resClass != kApplicationClass) return w;
  return std::nullopt;
}

std::vector<TWin> TView::VerdictBoxes() const {
  std::vector<TWin> boxes;
  for (const TWin& w : Own())
    if (w.name == "Information" || w.name == "Warning" || w.name == "Error") boxes.push_back(w);
  return boxes;
}

// --- The soak ---

TSoak::TSoak(const TSettings& settings, TDesktop& desktop, TScreen& screen, TReport& report)
    : FSettings(settings), FDesktop(desktop), FScreen(screen), FReport(report) {
  // The desktop's document opener is a stand-in that only notes what it was asked to open.
  const std::string bin = FSettings.workDir + "/bin";
  mkdir(bin.c_str(), 0755);
  const std::string opener = bin + "/xdg-open";
  std::ofstream(opener) << "#!/bin/sh\necho \"$@\" >>'" << FSettings.workDir << "/opened.log'\n";
  chmod(opener.c_str(), 0755);

  FOtherProgram = std::make_unique<TProgram>(
      std::vector<std::string>{FSettings.neighbourExe, "window", std::to_string(kOtherX),
                               std::to_string(kOtherY), std::to_string(kOtherWidth),
                               std::to_string(kOtherHeight), kOtherName},
      FSettings.workDir, std::vector<std::string>{}, FSettings.workDir + "/neighbour.log");
  if (!WaitFor([&] { return FScreen.ShownNamed(kOtherName).has_value(); }, kWindowWait))
    throw std::runtime_error("the other program's window did not show");
  FOther = *FScreen.ShownNamed(kOtherName);
}

TSoak::~TSoak() = default;

bool TSoak::WaitFor(const std::function<bool()>& done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

bool TSoak::StartProgram(const std::vector<std::string>& tool) {
  FSlowdown = tool.empty() ? 1 : 10;
  std::vector<std::string> command = tool;
  command.push_back(FSettings.exe);
  const char* path = std::getenv("PATH");
  FProgram = std::make_unique<TProgram>(
      command, Folder(FSettings.exe),
      std::vector<std::string>{"PATH=" + FSettings.workDir + "/bin:" + (path ? path : "")},
      FSettings.workDir + "/calvix.log");
  return WaitFor([&] { return Icon().has_value() || !FProgram->Alive(); }, Wait(kIconWait)) &&
         FProgram->Alive();
}

bool TSoak::EnsureProgram() {
  if (ProgramAlive()) return false;
  if (!StartProgram()) throw std::runtime_error("the program did not start into the tray");
  return true;
}

TView TSoak::View() {
  return TView(FScreen.Shown(), FProgram != nullptr ? long(FProgram->Pid()) : -1);
}

bool TSoak::KeyboardIsOurs() {
  TWin focus;
  return FProgram != nullptr && FScreen.Describe(FScreen.Focus(), focus) &&
         focus.pid == long(FProgram->Pid());
}

bool TSoak::DoubleClickIcon() {
  // The host may still be placing an icon it has just taken in: the click waits until the icon
  // shows where it is aimed, as a user sees it there before clicking.
  std::optional<TWin> icon;
  auto centreX = [&] { return icon->x + icon->width / 2; };
  auto centreY = [&] { return icon->y + icon->height / 2; };
  WaitFor([&] { return (icon = Icon()) && FScreen.Shows(icon->id, centreX(), centreY()); },
          Wait(kIconPlacedWait));
  if (!icon) return false;
  FScreen.DoubleClickAt(centreX(), centreY());
  return true;
}

bool TSoak::ShowFromTray(std::string& why) {
  // An open menu takes the first click only to close, and the second is then a single click:
  // the double click would be lost before the program saw it.
  if (!WaitFor([&] { return !FScreen.PointerHeld(); }, Wait(kPointerFreeWait))) {
    why =
        "another window held the pointer (a menu left open?), so no double click could reach "
        "the icon";
    return false;
  }
  if (!DoubleClickIcon()) {
    why = "no icon in the tray";
    return false;
  }
  if (!WaitFor([&] { return MainWindow().has_value(); }, Wait(kWindowWait))) {
    why = "a double click on the icon showed no window";
    return false;
  }
  return WaitUntilActive(why);
}

bool TSoak::WaitUntilActive(std::string& why) {
  std::optional<TWin> main;
  if (!WaitFor([&] { return (main = MainWindow()).has_value() && FScreen.Focus() == main->id; },
               Wait(kWindowWait))) {
    if (!main) {
      why = "the window went away";
      return false;
    }
    TWin focus;
    const Window id = FScreen.Focus();
    why =
        "the window did not get the keyboard (it is with 0x" + Hex(id) +
        (FScreen.Describe(id, focus) ? " \"" + focus.name + "\" of class \"" + focus.resClass + "\""
                                     : "") +
        ")";
    return false;
  }
  // A user sees the window before going elsewhere.
  TScreen::Pause(kGlanceMs);
  return true;
}

void TSoak::AwaitProgramQuiet() {
  if (FSlowdown == 1 || !ProgramAlive()) return;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kQuietLimitMs);
  long last = FProgram->ProcessorTicks();
  int still = 0;
  while (still < kQuietLooks && std::chrono::steady_clock::now() < end) {
    TScreen::Pause(kQuietLookMs);
    const long now = FProgram->ProcessorTicks();
    still = now == last ? still + 1 : 0;
    last = now;
  }
}

void TSoak::ClickBareDesktop() {
  FScreen.ClickAt(kBareX, kBareY);
}

bool TSoak::HideByGoingElsewhere(bool toOtherProgram, std::string& why) {
  if (toOtherProgram)
    FScreen.ClickAt(FOther.x + FOther.width / 2, FOther.y + FOther.height / 2);
  else
    ClickBareDesktop();
  if (!WaitFor([&] { return !MainWindow().has_value() && !KeyboardIsOurs(); }, Wait(kWindowWait))) {
    why = std::string("a click on ") + (toOtherProgram ? "another program" : "the bare desktop") +
          (MainWindow() ? " left the window up" : " left the keyboard with the program");
    return false;
  }
  return true;
}

bool TSoak::CloseBox(const TWin& box) {
  auto gone = [&] {
    TWin now;
    return !FScreen.Describe(box.id, now) || !now.viewable;
  };
  // Another window of the program may cover the box (the credits window, opened from the
  // menu while the box was up): the box is brought forward as from the taskbar, and its
  // default button answers Enter.
  for (int attempt = 0; attempt < 3 && !gone(); ++attempt) {
    FScreen.Activate(box.id);
    WaitFor([&] { return FScreen.Focus() == box.id; }, Wait(2000));
    FScreen.Key(XK_Return);
    WaitFor(gone, Wait(3000));
  }
  return gone();
}

}  // namespace soak

// --- The run ---

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: soak --exe MorCalvix --neighbour soak_neighbour --source DIR --work DIR\n"
               "            [--short] [--seed N] [--part NAME]...\n"
               "parts: show-hide random neighbours tray idle memory\n");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace soak;
  TSettings settings;
  settings.seed = std::random_device{}();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        Usage();
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--short") {
      settings.shortMode = true;
    } else if (arg == "--seed") {
      settings.seed = std::stoull(value());
    } else if (arg == "--part") {
      settings.parts.push_back(value());
    } else if (arg == "--exe") {
      settings.exe = value();
    } else if (arg == "--neighbour") {
      settings.neighbourExe = value();
    } else if (arg == "--source") {
      settings.sourceDir = value();
    } else if (arg == "--work") {
      settings.workDir = value();
    } else {
      Usage();
      return 2;
    }
  }
  if (settings.exe.empty() || settings.neighbourExe.empty() || settings.sourceDir.empty() ||
      settings.workDir.empty()) {
    Usage();
    return 2;
  }
  if (settings.shortMode) {
    settings.cycles = 50;
    settings.inputs = 1000;
    settings.secondCopies = 20;
    settings.trayRestarts = 10;
    settings.idleSeconds = 10;
    settings.valgrindCycles = 10;
    settings.valgrindInputs = 150;
  }
  std::printf("soak: %s mode, seed %llu (repeat with --seed %llu)\n",
              settings.shortMode ? "short" : "long", (unsigned long long)settings.seed,
              (unsigned long long)settings.seed);
  std::fflush(stdout);

  TReport report;
  EndChildrenWhenInterrupted();
  try {
    TDesktop desktop(settings.sourceDir);
    TScreen screen(desktop.DisplayName());
    std::printf("soak: desktop %s, its processes %s\n", desktop.DisplayName().c_str(),
                desktop.Processes().c_str());
    TSoak soak(settings, desktop, screen, report);
    // Each part that runs says how long it took, so that the short mode's budget can be kept.
    auto run = [&](const std::string& part, const std::function<void()>& body) {
      if (!settings.Runs(part)) return;
      const auto start = std::chrono::steady_clock::now();
      const int breaches = report.Breaches();
      body();
      // A part that breached may leave the program in the state it found (a box up, a menu
      // open): the next part starts with a new copy, so that it measures its own.
      if (report.Breaches() != breaches && soak.ProgramAlive()) soak.Program().Terminate();
      const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
          std::chrono::steady_clock::now() - start);
      report.Figure(part, "took " + std::to_string(seconds.count()) + " s");
    };
    run("show-hide", [&] { ShowAndHide(soak, settings.cycles, "show-hide", true); });
    run("random", [&] { RandomUse(soak, settings.inputs, settings.seed, "random"); });
    run("neighbours", [&] { Neighbours(soak); });
    run("tray", [&] { TrayHostFaults(soak); });
    run("idle", [&] { Idle(soak); });
    run("memory", [&] { MemoryErrors(soak); });
    if (soak.ProgramAlive()) soak.Program().Terminate();
  } catch (const std::exception& e) {
    report.Breach("soak", e.what());
  }
  std::printf("soak: %s, %d breach%s\n", report.Breaches() == 0 ? "passed" : "FAILED",
              report.Breaches(), report.Breaches() == 1 ? "" : "es");
  return report.Breaches() == 0 ? 0 : 1;
}
