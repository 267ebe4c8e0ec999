// The generator's canvas: shapes painted in order on a supersampled grid, then reduced to
// pixels that know how much of them the shapes covered. Part of calvix-assets, the tool that
// draws the program's pictures.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "assets/Shapes.h"

namespace assets {

// A colour with channels from 0 to 255, kept in floating point while samples are averaged.
struct TRgb {
  float r = 0, g = 0, b = 0;
};
constexpr TRgb Hex(uint32_t rgb) {
  return {float((rgb >> 16) & 0xFF), float((rgb >> 8) & 0xFF), float(rgb & 0xFF)};
}
// `t` of the way from a to b.
TRgb Mix(TRgb a, TRgb b, float t);
// Rounded to 0x00RRGGBB.
uint32_t Pack(TRgb color);

// How a shape is coloured at each point.
using TFill = std::function<TRgb(float x, float y)>;
TFill Solid(TRgb color);
// From `from` at row y0 to `to` at row y1, constant beyond them.
TFill Vertical(TRgb from, float y0, TRgb to, float y1);

// One pixel of the result: the mean colour of the samples that shapes covered, and their share.
struct TPixel {
  TRgb color;
  float coverage = 0;
};

class TScene {
 public:
  TScene(int width, int height);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Covers the samples inside `shape` with `fill`, over whatever was painted before.
  void Paint(const TShape& shape, const TFill& fill);
  void Paint(const TShape& shape, TRgb color) { Paint(shape, Solid(color)); }
  // The pixels, top row first.
  std::vector<TPixel> Reduce() const;

 private:
  static constexpr int kGrid = 4;  // samples per pixel along each axis

  int FWidth;
  int FHeight;
  std::vector<TRgb> FColor;       // one entry per sample
  std::vector<uint8_t> FCovered;  // whether any shape covered the sample
};

}  // namespace assets
