// Figures of the program itself on a private virtual desktop, each beside what the same run
// measures for a minimal Xlib tray program (bench/minimal/MinimalXlibTray.cpp): process start to
// the icon docked in the tray, a double click on the icon to the window mapped as another
// client sees it (the window manager's part included), and resident memory and wake-ups while
// idle in the tray after the window was shown once. Run by hand: build/release/bench/ShellFigures
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "bench/shell/DesktopObserver.h"
#include "bench/shell/RunningProgram.h"
#include "tests/e2e/Desktop.h"

namespace {

using bench::TClock;
using namespace std::chrono_literals;

// The two programs measured side by side, and the name each gives its main window.
struct TSubject {
  const char* label;
  const char* path;
  const char* windowName;
};
constexpr TSubject kCalvix{"calvix", CALVIX_EXE_PATH, "Morvane Calvix - Freeware"};
constexpr TSubject kMinimal{"minimal", MINIMAL_TRAY_PATH, "Minimal tray window"};
// Where a click reaches the bare desktop: the main windows hide when the user goes there.
constexpr int kElsewhereX = 40, kElsewhereY = 40;
// The pause between the two clicks of a double click, as xdotool and a quick user make it.
constexpr auto kDoubleClickGap = 80ms;
constexpr auto kLookAtWindow = 300ms;

double Ms(TClock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Mb(long kb) {
  return double(kb) / 1024.0;
}

// --- The desktop, for the whole run ---

bool DesktopReady() {
  static const bool ready = [] {
    try {
      e2e::TDesktop::Get();
      return true;
    } catch (const std::exception& error) {
      std::fprintf(stderr, "ShellFigures: %s\n", error.what());
      return false;
    }
  }();
  return ready;
}

// Opened once the desktop has set DISPLAY.
bench::TDesktopObserver& Observer() {
  static bench::TDesktopObserver observer;
  return observer;
}

// Google Benchmark keeps the message's pointer, so the text must outlive the run.
void Skip(benchmark::State& state, const std::string& why) {
  static std::string message;
  message = why;
  std::fprintf(stderr, "ShellFigures: %s\n", why.c_str());
  state.SkipWithError(message.c_str());
}

bool Ready(benchmark::State& state) {
  if (DesktopReady() && Observer().Opened()) return true;
  state.SkipWithError("no virtual desktop");
  return false;
}

// --- Start to docked ---

struct TStart {
  double ms = -1;          // from making the process to its icon mapped inside the tray host
  double cpuMs = -1;       // the processor time the process had used by then
  double pageFaults = -1;  // and the pages it had touched first
};

// One start of `subject`, until its icon is docked as the user sees it; negative figures when
// it never docked.
TStart StartToDocked(const TSubject& subject) {
  bench::TDesktopObserver& observer = Observer();
  bench::TRunningProgram program(subject.path);
  TClock::time_point docked{};
  const Window icon = observer.AwaitDockedIcon(TClock::now() + 10s, docked);
  bench::TProcessFigures figures;
  TStart start;
  if (icon != 0 && bench::ReadProcessFigures(program.Pid(), figures)) {
    start.ms = Ms(docked - program.Started());
    start.cpuMs = double(figures.cpuNs) / 1e6;
    start.pageFaults = double(figures.pageFaults);
  }
  program.Stop();
  if (icon != 0) observer.AwaitDestroyed(icon, TClock::now() + 5s);
  // The tray host lays out its icons again before the next start.
  observer.Idle(TClock::now() + 200ms);
  return start;
}

void BM_StartToDockedIcon(benchmark::State& state) {
  if (!Ready(state)) return;
  static int round = 0;
  for (auto _ : state) {
    // Each goes first every other round, so that a drifting load weighs on both alike.
    TStart calvix, minimal;
    if (round++ % 2 == 0) {
      calvix = StartToDocked(kCalvix);
      minimal = StartToDocked(kMinimal);
    } else {
      minimal = StartToDocked(kMinimal);
      calvix = StartToDocked(kCalvix);
    }
    if (calvix.ms < 0 || minimal.ms < 0) return state.SkipWithError("an icon did not dock");
    state.SetIterationTime(calvix.ms / 1000.0);
    state.counters["calvix_ms"] = calvix.ms;
    state.counters["minimal_ms"] = minimal.ms;
    state.counters["ratio"] = calvix.ms / minimal.ms;
    state.counters["calvix_cpu_ms"] = calvix.cpuMs;
    state.counters["minimal_cpu_ms"] = minimal.cpuMs;
    state.counters["calvix_faults"] = calvix.pageFaults;
    state.counters["minimal_faults"] = minimal.pageFaults;
  }
}
// One start of each per repetition; the median over the repetitions is the figure.
BENCHMARK(BM_StartToDockedIcon)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// --- Both programs running in the tray ---

struct TInTray {
  explicit TInTray(const TSubject& s) : subject(s) {}
  const TSubject& subject;
  std::unique_ptr<bench::TRunningProgram> process;
  Window icon = 0;
  bench::TProcessFigures docked;  // just after docking, before any window was shown
};

struct TSideBySide {
  TInTray calvix{kCalvix};
  TInTray minimal{kMinimal};
  bool shownOnce = false;
};

bool Dock(TInTray& program) {
  program.process = std::make_unique<bench::TRunningProgram>(program.subject.path);
  TClock::time_point at{};
  program.icon = Observer().AwaitDockedIcon(TClock::now() + 10s, at);
  Observer().Idle(TClock::now() + 500ms);
  return program.icon != 0 && bench::ReadProcessFigures(program.process->Pid(), program.docked);
}

// Started at first use and kept for the figures that follow; null when a program did not dock.
TSideBySide* SideBySide() {
  static const std::unique_ptr<TSideBySide> programs = [] {
    auto both = std::make_unique<TSideBySide>();
    if (!Dock(both->calvix) || !Dock(both->minimal)) both.reset();
    return both;
  }();
  return programs.get();
}

struct TShowFigure {
  double ms = -1;        // the second press sent to the window's MapNotify read here
  double serverMs = -1;  // the same between two server timestamps, at 1 ms resolution
  std::string failure;   // what went wrong, when the figures are negative
};

// Double-clicks the icon, waits for the main window, then clicks the bare desktop so that the
// window hides again.
TShowFigure DoubleClickToMapped(const TInTray& program) {
  bench::TDesktopObserver& observer = Observer();
  int x = 0, y = 0;
  if (!observer.Centre(program.icon, x, y)) return {-1, -1, "the icon is gone"};
  observer.MoveTo(x, y);
  observer.Click();
  observer.Idle(TClock::now() + kDoubleClickGap);
  const Time before = observer.ServerTime();
  const TClock::time_point pressed = TClock::now();
  observer.Click();
  TClock::time_point mapped{};
  const Window main = observer.AwaitMapped(program.subject.windowName, TClock::now() + 5s, mapped);
  if (main == 0) return {-1, -1, std::string(program.subject.label) + ": no window came up"};
  const Time after = observer.ServerTime();
  // The user looks at the window before going elsewhere; meanwhile the window manager gives it
  // the focus, which it must have for the click elsewhere to take it away.
  observer.Idle(TClock::now() + kLookAtWindow);
  observer.MoveTo(kElsewhereX, kElsewhereY);
  observer.Click();
  if (!observer.AwaitUnmapped(main, TClock::now() + 5s)) {
    return {-1, -1, std::string(program.subject.label) + ": the window stayed up"};
  }
  return {Ms(mapped - pressed), double(after - before), ""};
}

void BM_TrayDoubleClickToWindowMapped(benchmark::State& state) {
  if (!Ready(state)) return;
  TSideBySide* programs = SideBySide();
  if (programs == nullptr) return state.SkipWithError("an icon did not dock");
  for (auto _ : state) {
    // Each goes first every other round, as for the starts.
    static int round = 0;
    TShowFigure calvix, minimal;
    if (round++ % 2 == 0) {
      calvix = DoubleClickToMapped(programs->calvix);
      minimal = DoubleClickToMapped(programs->minimal);
    } else {
      minimal = DoubleClickToMapped(programs->minimal);
      calvix = DoubleClickToMapped(programs->calvix);
    }
    if (calvix.ms < 0 || minimal.ms < 0) {
      return Skip(state, calvix.failure + minimal.failure);
    }
    programs->shownOnce = true;
    state.SetIterationTime(calvix.ms / 1000.0);
    state.counters["calvix_ms"] = calvix.ms;
    state.counters["calvix_server_ms"] = calvix.serverMs;
    state.counters["minimal_ms"] = minimal.ms;
    state.counters["minimal_server_ms"] = minimal.serverMs;
  }
}
BENCHMARK(BM_TrayDoubleClickToWindowMapped)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// Resident memory after the window was shown once and both programs sat idle a few seconds,
// then the wake-ups of each while nothing happens on the desktop for 30 seconds. The pointer
// rests on the bare desktop, away from the icons and their tips.
void BM_IdleInTray(benchmark::State& state) {
  if (!Ready(state)) return;
  TSideBySide* programs = SideBySide();
  if (programs == nullptr) return state.SkipWithError("an icon did not dock");
  if (!programs->shownOnce) {
    const TShowFigure calvix = DoubleClickToMapped(programs->calvix);
    const TShowFigure minimal = DoubleClickToMapped(programs->minimal);
    if (calvix.ms < 0 || minimal.ms < 0) {
      return Skip(state, calvix.failure + minimal.failure);
    }
    programs->shownOnce = true;
  }
  const pid_t calvixPid = programs->calvix.process->Pid();
  const pid_t minimalPid = programs->minimal.process->Pid();
  for (auto _ : state) {
    Observer().Idle(TClock::now() + 3s);
    bench::TProcessFigures calvix, minimal, calvixAfter, minimalAfter;
    if (!bench::ReadProcessFigures(calvixPid, calvix) ||
        !bench::ReadProcessFigures(minimalPid, minimal)) {
      return state.SkipWithError("a program ended");
    }
    const auto start = TClock::now();
    Observer().Idle(start + 30s);
    if (!bench::ReadProcessFigures(calvixPid, calvixAfter) ||
        !bench::ReadProcessFigures(minimalPid, minimalAfter)) {
      return state.SkipWithError("a program ended");
    }
    state.SetIterationTime(std::chrono::duration<double>(TClock::now() - start).count());
    state.counters["calvix_docked_rss_MB"] = Mb(programs->calvix.docked.residentKb);
    state.counters["calvix_rss_MB"] = Mb(calvix.residentKb);
    state.counters["calvix_anon_MB"] = Mb(calvix.anonKb);
    state.counters["calvix_pss_MB"] = Mb(calvix.proportionalKb);
    state.counters["minimal_docked_rss_MB"] = Mb(programs->minimal.docked.residentKb);
    state.counters["minimal_rss_MB"] = Mb(minimal.residentKb);
    state.counters["minimal_anon_MB"] = Mb(minimal.anonKb);
    state.counters["minimal_pss_MB"] = Mb(minimal.proportionalKb);
    state.counters["calvix_wakeups"] = double(calvixAfter.switches - calvix.switches);
    state.counters["calvix_timeslices"] = double(calvixAfter.timeslices - calvix.timeslices);
    state.counters["minimal_wakeups"] = double(minimalAfter.switches - minimal.switches);
    state.counters["minimal_timeslices"] = double(minimalAfter.timeslices - minimal.timeslices);
  }
}
BENCHMARK(BM_IdleInTray)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
