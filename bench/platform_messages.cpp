// The cost of the platform's message loop on the headless driver: posting and dispatching one
// message, and a timer's round trip (set, wait with the clock jumping, dispatch).
#include <benchmark/benchmark.h>

#include "platform/headless/headless.h"
#include "platform/win32.h"

namespace {

int gHandled = 0;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER || msg == WM_TIMER) {
    ++gHandled;
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeWindow() {
  headless::Reset();
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingProc;
  wc.lpszClassName = "BenchWindow";
  RegisterClassA(&wc);
  return CreateWindowExA(0, "BenchWindow", "bench", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         nullptr, nullptr);
}

void PostAndDispatch(benchmark::State& state) {
  HWND hwnd = MakeWindow();
  MSG msg;
  for (auto _ : state) {
    PostMessageA(hwnd, WM_USER, 1, 2);
    GetMessageA(&msg, nullptr, 0, 0);
    DispatchMessageA(&msg);
  }
  benchmark::DoNotOptimize(gHandled);
  DestroyWindow(hwnd);
}
BENCHMARK(PostAndDispatch);

void TimerRoundTrip(benchmark::State& state) {
  HWND hwnd = MakeWindow();
  MSG msg;
  for (auto _ : state) {
    SetTimer(hwnd, 1, 150, nullptr);
    GetMessageA(&msg, nullptr, 0, 0);  // the headless clock jumps to the timer
    DispatchMessageA(&msg);
    KillTimer(hwnd, 1);
  }
  benchmark::DoNotOptimize(gHandled);
  DestroyWindow(hwnd);
}
BENCHMARK(TimerRoundTrip);

}  // namespace
