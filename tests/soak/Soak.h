// The soak of the real program on a virtual desktop: the run's settings, its report of figures
// and breaches, and the actions every part shares (start the program, show its window from the
// tray, go elsewhere, look for its boxes). Test tooling (tests/soak).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/soak/Desktop.h"
#include "tests/soak/Program.h"
#include "tests/soak/Screen.h"

namespace soak {

// Names and places the program shows, as its users see them.
inline constexpr char kMainWindow[] = "Morvane Calvix - Freeware";
inline constexpr char kTip[] = "Morvane Calvix";
inline constexpr char kTitle[] = "Calvix";  // the application's, and its error box's caption
inline constexpr char kApplicationClass[] = "TApplication";
inline constexpr char kMenuClass[] = "TPopupMenuWindow";  // the toolkit's popup menu
inline constexpr char kLicenceWindow[] =
    "Licen\xe7"
    "a de uso";
inline constexpr char kCreditsWindow[] =
    "Cr\xe9"
    "ditos";
inline constexpr int kCpfFieldX = 100, kCpfFieldY = 155;  // in the main window
inline constexpr int kAboveTheFields = 40;  // a point of the main window's skin, off its controls
// How far resident memory may move between two moments that should hold the same.
inline constexpr long kRssSlackKb = 100;
// Two presses of a button on the icon this close together are a double click.
inline constexpr int kDoubleClickMs = 700;

struct TSettings {
  bool shortMode = false;
  uint64_t seed = 0;
  std::vector<std::string> parts;  // empty: every part
  std::string exe;                 // MorCalvix
  std::string neighbourExe;        // the other program
  std::string sourceDir;
  std::string workDir;  // logs and the stand-in for the desktop's document opener
  // How much of each part.
  int cycles = 1000;
  int inputs = 10000;
  int secondCopies = 200;
  int trayRestarts = 100;
  int idleSeconds = 60;
  // Under memcheck the program keeps up with a user's pace: the whole of both parts again.
  int valgrindCycles = 1000;
  int valgrindInputs = 10000;

  bool Runs(const std::string& part) const;
};

// What each part measured, and what it found wrong.
class TReport {
 public:
  void Figure(const std::string& part, const std::string& text);
  void Breach(const std::string& part, const std::string& text);
  int Breaches() const { return FBreaches; }

 private:
  int FBreaches = 0;
};

// What the desktop shows at one moment, as the parts look at it.
class TView {
 public:
  TView(std::vector<TWin> shown, long pid) : FShown(std::move(shown)), FPid(pid) {}
  std::optional<TWin> Named(const std::string& name) const;
  std::optional<TWin> MainWindow() const { return Named(kMainWindow); }
  std::optional<TWin> Menu() const;
  // The program's windows, its menus and boxes included.
  std::vector<TWin> Own() const;
  // The toolkit's box for an error the program let escape: captioned with the title.
  std::optional<TWin> ErrorBox() const;
  std::vector<TWin> VerdictBoxes() const;

 private:
  std::vector<TWin> FShown;
  long FPid = 0;
};

class TSoak {
 public:
  TSoak(const TSettings& settings, TDesktop& desktop, TScreen& screen, TReport& report);
  ~TSoak();

  const TSettings& Settings() const { return FSettings; }
  TDesktop& Desktop() { return FDesktop; }
  TScreen& Screen() { return FScreen; }
  TReport& Report() { return FReport; }

  // --- The program ---
  // Starts the program in its own folder (under `tool` when given, e.g. Valgrind) and waits
  // for its icon; false when the icon did not show.
  bool StartProgram(const std::vector<std::string>& tool = {});
  TProgram& Program() { return *FProgram; }
  bool ProgramAlive() { return FProgram != nullptr && FProgram->Alive(); }
  // Makes sure a program runs for the next part; true when one had to be started.
  bool EnsureProgram();
  // Waiting is stretched under Valgrind, which runs the program many times slower.
  int Wait(int ms) const { return ms * FSlowdown; }
  // Under Valgrind the program takes longer over one input than a user between two: waits (a
  // few seconds at most) until it has stopped running, as a user waits for a slow program.
  // At full speed it returns at once.
  void AwaitProgramQuiet();

  // --- Its windows ---
  TView View();
  std::optional<TWin> MainWindow() { return View().MainWindow(); }
  std::optional<TWin> Menu() { return View().Menu(); }
  std::optional<TWin> Icon() { return FScreen.DockedIcon(kTip); }
  // The keyboard is with a window of the program (its application window included).
  bool KeyboardIsOurs();

  // --- Actions ---
  bool DoubleClickIcon();
  // Double click on the icon, then the window up; false (and why) when it did not come.
  bool ShowFromTray(std::string& why);
  // Waits until the main window has the keyboard, then lets the user glance at it; false (and
  // why) when it did not get the keyboard.
  bool WaitUntilActive(std::string& why);
  // A click on the bare desktop, or on another program's window, then the window gone.
  bool HideByGoingElsewhere(bool toOtherProgram, std::string& why);
  // The other program's window, for clicks that give it the activation.
  const TWin& OtherProgram() const { return FOther; }
  void ClickBareDesktop();
  // Closes a box with Enter once it has the keyboard; true when it went away.
  bool CloseBox(const TWin& box);

  bool WaitFor(const std::function<bool()>& done, int ms);

 private:
  TSettings FSettings;
  TDesktop& FDesktop;
  TScreen& FScreen;
  TReport& FReport;
  std::unique_ptr<TProgram> FProgram;
  std::unique_ptr<TProgram> FOtherProgram;
  TWin FOther;
  int FSlowdown = 1;
};

// A window id or other number in hexadecimal, for the report.
std::string Hex(unsigned long value);

// --- The parts ---
// `measure`: memory and X resources are compared (meaningless under Valgrind).
void ShowAndHide(TSoak& soak, int cycles, const std::string& part, bool measure);
void RandomUse(TSoak& soak, int inputs, uint64_t seed, const std::string& part);
void Neighbours(TSoak& soak);
void TrayHostFaults(TSoak& soak);
void Idle(TSoak& soak);
void MemoryErrors(TSoak& soak);

}  // namespace soak
