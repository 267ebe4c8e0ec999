// Costs of the tray icon family on the headless desktop: one tick of the timer manager over
// many items (one platform timer drives them all), a deferred call's round trip through the
// hidden window, and a tooltip change that reaches the shell.
#include <benchmark/benchmark.h>

#include "controls/tray/LwAppWnd.h"
#include "controls/tray/LwTray95.h"
#include "platform/headless/headless.h"
#include "toolkit/Forms.h"

namespace {

// A fresh application with one form that owns whatever the benchmark makes.
class TDesktop {
 public:
  TDesktop() {
    DoneApplication();
    DestroyAppWindow();
    headless::Reset();
    Application->CreateForm(Form);
  }
  ~TDesktop() {
    DoneApplication();
    DestroyAppWindow();
  }
  TForm* Form = nullptr;
};

// One tick of the base period with `range(0)` enabled items, none of them due: the cost of
// looking at the items, which every tick pays.
void BM_TimerTickOverItems(benchmark::State& state) {
  TDesktop desktop;
  auto* manager = new TLwTimerManager(desktop.Form);
  manager->SetEnabled(true);
  int fired = 0;
  for (int64_t i = 0; i < state.range(0); ++i)
    manager->AddTimer(true, kMaxTimerInterval, [&](TObject*) { ++fired; });
  for (auto _ : state)
    headless::RunFor(TLwTimerManager::kBasePeriod);
  state.counters["base_ms"] = manager->BasePeriod();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TimerTickOverItems)->Arg(3)->Arg(64)->Arg(1024);

// Posting a deferred call and running it from the hidden window's queue.
void BM_DeferredCallRoundTrip(benchmark::State& state) {
  TDesktop desktop;
  auto* tray = new TLwTrayIcon95(desktop.Form);
  int ran = 0;
  for (auto _ : state) {
    tray->PostDeferredCall(tray, [&](TObject*) { ++ran; });
    headless::RunPending();
  }
  if (ran != state.iterations()) state.SkipWithError("a deferred call was lost");
}
BENCHMARK(BM_DeferredCallRoundTrip);

// A new hint on an active icon: the tip is rebuilt and NIM_MODIFY goes to the shell.
void BM_HintChangeToShell(benchmark::State& state) {
  TDesktop desktop;
  auto* tray = new TLwTrayIcon95(desktop.Form);
  tray->SetActive(true);
  bool odd = false;
  for (auto _ : state) {
    tray->SetHint((odd = !odd) ? "Calvix - verifica CPF e CGC" : "Calvix");
    headless::ClearTrayCalls();
  }
}
BENCHMARK(BM_HintChangeToShell);

}  // namespace
