// Cost of the shaped button's images: a full rebuild of the main window's 77 by 30 and 21 by 21
// buttons through the button itself, and one paint of a face through its mask over a form.
#include <benchmark/benchmark.h>

#include <memory>

#include "controls/circbutton/MorCircBut.h"
#include "platform/headless/headless.h"
#include "toolkit/Forms.h"

namespace {

// A button with the main window's settings: one lowered bevel of width 1, lit faces.
std::unique_ptr<TMorCircButton> MainWindowButton(int width, int height, TColor face,
                                                 const char* caption) {
  auto button = std::make_unique<TMorCircButton>(nullptr);
  button->SetBevelWidth(1);
  button->SetFaceColor(face);
  button->SetCaption(caption);
  button->SetBounds(0, 0, width, height);
  return button;
}

// Each caption write rebuilds the three images; the two captions alternate so that every
// write is a change.
void RebuildLoop(benchmark::State& state, TMorCircButton& button, const char* a, const char* b) {
  bool flip = false;
  for (auto _ : state) {
    button.SetCaption((flip = !flip) ? a : b);
    benchmark::DoNotOptimize(button.RebuildCount());
  }
}

void BM_Rebuild77x30(benchmark::State& state) {
  const auto button = MainWindowButton(77, 30, clYellow, "Verifica CGC");
  RebuildLoop(state, *button, "Verifica CPF", "Verifica CGC");
}
BENCHMARK(BM_Rebuild77x30)->Unit(benchmark::kMicrosecond);

void BM_Rebuild21x21(benchmark::State& state) {
  const auto button = MainWindowButton(21, 21, clGray, "x");
  RebuildLoop(state, *button, "", "x");
}
BENCHMARK(BM_Rebuild21x21)->Unit(benchmark::kMicrosecond);

// One paint: Down switches the face, which paints at once onto the form's window.
void BM_Paint77x30(benchmark::State& state) {
  headless::Reset();
  Application->Initialize();
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr));
  form->SetBounds(0, 0, 200, 100);
  auto* button = new TMorCircButton(form.get());
  button->SetParent(form.get());
  button->SetBevelWidth(1);
  button->SetFaceColor(clYellow);
  button->SetBounds(10, 10, 77, 30);
  form->Show();
  headless::RunPending();
  for (auto _ : state)
    button->SetDown(!button->Down());
  form.reset();
  DoneApplication();
}
BENCHMARK(BM_Paint77x30)->Unit(benchmark::kMicrosecond);

}  // namespace
