// Drawing speed: a window-sized BitBlt against a plain memcpy of the same bytes, the shaped
// button's ellipse, one pixel written and read back, and a short caption drawn as text.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/win32.h"

namespace {

constexpr int kWindowWidth = 356;
constexpr int kWindowHeight = 259;

// A memory DC with a 32-bit bitmap of its own, released at the end of the benchmark.
struct TCanvas {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;
  TCanvas(int w, int h)
      : dc(CreateCompatibleDC(nullptr)), bitmap(CreateBitmap(w, h, 1, 32, nullptr)) {
    previous = SelectObject(dc, bitmap);
  }
  ~TCanvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

void BM_BitBltSrcCopy356x259(benchmark::State& state) {
  TCanvas from(kWindowWidth, kWindowHeight), to(kWindowWidth, kWindowHeight);
  for (auto _ : state) {
    BitBlt(to.dc, 0, 0, kWindowWidth, kWindowHeight, from.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWindowWidth * kWindowHeight * 4);
}
BENCHMARK(BM_BitBltSrcCopy356x259);

void BM_MemcpySame356x259(benchmark::State& state) {
  std::vector<uint32_t> from(size_t(kWindowWidth) * kWindowHeight, 1), to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWindowWidth * kWindowHeight * 4);
}
BENCHMARK(BM_MemcpySame356x259);

void BM_Ellipse77x30(benchmark::State& state) {
  TCanvas canvas(77, 30);
  SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
  for (auto _ : state)
    benchmark::DoNotOptimize(Ellipse(canvas.dc, 0, 0, 77, 30));
}
BENCHMARK(BM_Ellipse77x30);

void BM_SetPixelGetPixel(benchmark::State& state) {
  TCanvas canvas(77, 30);
  int i = 0;
  for (auto _ : state) {
    const int x = i % 77, y = (i / 77) % 30;
    SetPixel(canvas.dc, x, y, RGB(i & 0xFF, 0, 0));
    benchmark::DoNotOptimize(GetPixel(canvas.dc, x, y));
    ++i;
  }
}
BENCHMARK(BM_SetPixelGetPixel);

void BM_TextOutCaption(benchmark::State& state) {
  TCanvas canvas(77, 30);
  HFONT font =
      CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
  HGDIOBJ old = SelectObject(canvas.dc, font);
  SetBkMode(canvas.dc, TRANSPARENT);
  for (auto _ : state)
    benchmark::DoNotOptimize(TextOutA(canvas.dc, 8, 8, "Verifica CGC", 12));
  SelectObject(canvas.dc, old);
  DeleteObject(font);
}
BENCHMARK(BM_TextOutCaption);

}  // namespace
