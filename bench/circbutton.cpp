// Cost of the shaped button's images: a full rebuild of the main window's 77 by 30 and 21 by 21
// buttons, and one paint of a face through its mask over the parent.
#include <benchmark/benchmark.h>

#include "controls/circbutton/MorCircBut.h"

namespace {

// The settings the main window's buttons share: one lowered bevel of width 1, lit faces.
TMorFaceSettings MainWindowButton(int width, int height, COLORREF face, const char* caption) {
  TMorFaceSettings s;
  s.Width = width;
  s.Height = height;
  s.BevelOuter = hbLowered;
  s.BevelInner = hbNone;
  s.BevelWidth = 1;
  s.FaceRed = GetRValue(face);
  s.FaceGreen = GetGValue(face);
  s.FaceBlue = GetBValue(face);
  s.Caption = caption;
  return s;
}

void BM_Rebuild77x30(benchmark::State& state) {
  const TMorFaceSettings s = MainWindowButton(77, 30, RGB(255, 255, 0), "Verifica CGC");
  for (auto _ : state) {
    TMorFaceImages images = BuildFaceImages(s);
    benchmark::DoNotOptimize(images.Out.Pixel(38, 15));
  }
}
BENCHMARK(BM_Rebuild77x30)->Unit(benchmark::kMicrosecond);

void BM_Rebuild21x21(benchmark::State& state) {
  const TMorFaceSettings s = MainWindowButton(21, 21, RGB(128, 128, 128), "x");
  for (auto _ : state) {
    TMorFaceImages images = BuildFaceImages(s);
    benchmark::DoNotOptimize(images.Out.Pixel(10, 10));
  }
}
BENCHMARK(BM_Rebuild21x21)->Unit(benchmark::kMicrosecond);

void BM_Paint77x30(benchmark::State& state) {
  const TMorFaceImages images =
      BuildFaceImages(MainWindowButton(77, 30, RGB(255, 255, 0), "Verifica CGC"));
  const TMorDeviceBitmap face(images.Out), mask(images.Mask);
  TMorDeviceBitmap parent(77, 30);
  for (auto _ : state)
    PaintThroughMask(parent.Dc(), face.Dc(), mask.Dc(), 77, 30);
}
BENCHMARK(BM_Paint77x30)->Unit(benchmark::kMicrosecond);

}  // namespace
