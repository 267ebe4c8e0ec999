// Painting and reduction of the generator's canvas. Part of calvix-assets.
#include "assets/Scene.h"

#include <algorithm>
#include <cmath>

namespace assets {

TRgb Mix(TRgb a, TRgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint32_t Pack(TRgb color) {
  auto channel = [](float v) { return uint32_t(std::clamp(v, 0.0f, 255.0f) + 0.5f); };
  return channel(color.r) << 16 | channel(color.g) << 8 | channel(color.b);
}

TFill Solid(TRgb color) {
  return [color](float, float) { return color; };
}

TFill Vertical(TRgb from, float y0, TRgb to, float y1) {
  return
      [=](float, float y) { return Mix(from, to, std::clamp((y - y0) / (y1 - y0), 0.0f, 1.0f)); };
}

TScene::TScene(int width, int height)
    : FWidth(width),
      FHeight(height),
      FColor(size_t(width) * height * kGrid * kGrid),
      FCovered(FColor.size(), 0) {}

void TScene::Paint(const TShape& shape, const TFill& fill) {
  const int columns = FWidth * kGrid, rows = FHeight * kGrid;
  const int left = std::max(0, int(std::floor(shape.left * kGrid)));
  const int top = std::max(0, int(std::floor(shape.top * kGrid)));
  const int right = std::min(columns, int(std::ceil(shape.right * kGrid)) + 1);
  const int bottom = std::min(rows, int(std::ceil(shape.bottom * kGrid)) + 1);
  for (int sy = top; sy < bottom; ++sy) {
    const float y = (float(sy) + 0.5f) / kGrid;
    for (int sx = left; sx < right; ++sx) {
      const float x = (float(sx) + 0.5f) / kGrid;
      if (shape.distance(x, y) >= 0) continue;
      const size_t at = size_t(sy) * columns + sx;
      FColor[at] = fill(x, y);
      FCovered[at] = 1;
    }
  }
}

std::vector<TPixel> TScene::Reduce() const {
  std::vector<TPixel> pixels(size_t(FWidth) * FHeight);
  const int columns = FWidth * kGrid;
  for (int y = 0; y < FHeight; ++y) {
    for (int x = 0; x < FWidth; ++x) {
      TRgb sum;
      int covered = 0;
      for (int j = 0; j < kGrid; ++j) {
        for (int i = 0; i < kGrid; ++i) {
          const size_t at = size_t(y * kGrid + j) * columns + size_t(x * kGrid + i);
          if (!FCovered[at]) continue;
          sum = {sum.r + FColor[at].r, sum.g + FColor[at].g, sum.b + FColor[at].b};
          ++covered;
        }
      }
      TPixel& p = pixels[size_t(y) * FWidth + x];
      p.coverage = float(covered) / (kGrid * kGrid);
      if (covered > 0) p.color = {sum.r / covered, sum.g / covered, sum.b / covered};
    }
  }
  return pixels;
}

}  // namespace assets
