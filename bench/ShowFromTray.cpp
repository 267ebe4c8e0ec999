// The tray icon's double click to the main window shown over its copy of the desktop, measured
// inside the program: MorCalvix's own windows (FormPrincipal, FormLicence, FormCredito) run in
// this process on the X11 driver, on a private virtual desktop, started into the tray as the
// program starts. Each repetition hands the tray icon's hidden window the shell's notifications
// of a double click, as the driver posts them for a real one, and ends when the handler has
// copied the desktop and asked the X server to map the window (ShowWindow returned; the driver
// flushes its requests). The paints of the window that follow, once the window manager has mapped
// it, are timed apart (paint_ms) and added (with_paint_ms); the window manager's own part is
// measured from outside by ShellFigures. Run by hand: build/release/bench/ShowFromTray
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "app/Creditos.h"
#include "app/Licenca.h"
#include "app/Principal.h"
#include "controls/tray/LwTray95.h"
#include "platform/x11/X11Driver.h"
#include "tests/e2e/Desktop.h"
#include "toolkit/Forms.h"

namespace {

using TClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The main window's paints since the last showing: how many, and the milliseconds they took.
int Paints = 0;
double PaintMs = 0;

// One message taken and handled as the application's loop does (its hook first), with the
// main window's paints timed.
bool HandleOne() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  bool handled = false;
  Application->OnMessage(msg, handled);
  if (handled) return true;
  TranslateMessage(&msg);
  const bool paint = msg.message == WM_PAINT && msg.hwnd == FormPrincipal->Handle();
  const auto start = TClock::now();
  DispatchMessageA(&msg);
  if (paint) {
    ++Paints;
    PaintMs += std::chrono::duration<double, std::milli>(TClock::now() - start).count();
  }
  return true;
}

// Handles what arrives for `span`: the window manager's answers, paints, focus.
void Pump(std::chrono::milliseconds span) {
  const auto end = TClock::now() + span;
  // A thread timer wakes the wait when the time is up.
  const UINT_PTR timer = SetTimer(nullptr, 0, UINT(span.count()), nullptr);
  while (TClock::now() < end) {
    if (!HandleOne()) WaitMessage();
  }
  KillTimer(nullptr, timer);
}

HWND TrayWindow() {
  return FormPrincipal->LwTrayIcon951->WindowHandle();
}

// The shell's notification of the double click itself; a function of its own, so that a
// profiler can be told to look at it alone (valgrind --toggle-collect='*NotifyDoubleClick*').
[[gnu::noinline]] void NotifyDoubleClick() {
  SendMessageA(TrayWindow(), kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDBLCLK);
}

// A double click as the shell reports it: down, up, double click. Returns the milliseconds the
// double click's notification took to handle.
double DoubleClick() {
  SendMessageA(TrayWindow(), kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDOWN);
  SendMessageA(TrayWindow(), kTrayCallbackMessage, kTrayIconId, WM_LBUTTONUP);
  const auto start = TClock::now();
  NotifyDoubleClick();
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// The first showing pays for what is made on first use (faces, glyphs); it is kept apart.
double FirstShowing = -1;

// Starts the program's windows on the desktop as MorCalvix's entry point does, from MorCalvix's
// own folder so that the version label finds the program file, and shows the window once.
bool ProgramStarted() {
  static const bool started = [] {
    try {
      e2e::TDesktop::Get();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "ShowFromTray: %s\n", error.what());
      return false;
    }
    const std::string exe = CALVIX_EXE_PATH;
    if (chdir(exe.substr(0, exe.find_last_of('/')).c_str()) != 0) return false;
    Application->Initialize();
    Application->SetTitle("Calvix");
    Application->CreateForm(FormPrincipal);
    Application->CreateForm(FormLicence);
    Application->CreateForm(FormCredito);
    // What the loop does first: the main window is stored minimised, so the application goes
    // into the tray.
    Application->Minimize();
    Pump(1s);
    if (!platform::X11TrayDocked(TrayWindow(), kTrayIconId)) return false;
    FirstShowing = DoubleClick();
    Pump(500ms);
    // A real press on the window, as the user's own clicks give the program the server's time
    // of the user's latest action (which asking for the activation needs).
    const std::string corner =
        std::to_string(FormPrincipal->Left() + 4) + " " + std::to_string(FormPrincipal->Top() + 4);
    e2e::Run("xdotool mousemove " + corner + " click 1");
    Pump(200ms);
    FormPrincipal->Hide();
    Pump(500ms);
    return true;
  }();
  return started;
}

void BM_TrayDoubleClickToShown(benchmark::State& state) {
  if (!ProgramStarted()) return state.SkipWithError("the program did not start into the tray");
  for (auto _ : state) {
    const double ms = DoubleClick();
    state.SetIterationTime(ms / 1000.0);
    if (!FormPrincipal->Visible()) return state.SkipWithError("the window was not shown");
    // Not timed: the window manager maps and activates the window, which paints; then it
    // hides again.
    state.PauseTiming();
    Paints = 0;
    PaintMs = 0;
    Pump(200ms);
    state.counters["paints"] = Paints;
    state.counters["paint_ms"] = PaintMs;
    state.counters["with_paint_ms"] = ms + PaintMs;
    FormPrincipal->Hide();
    Pump(200ms);
    state.ResumeTiming();
  }
  state.counters["first_showing_ms"] = FirstShowing;
}
BENCHMARK(BM_TrayDoubleClickToShown)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(30)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
