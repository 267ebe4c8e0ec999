// The letters of "Calvix", each built from strokes on a grid of the capital's height: a round
// C and a, straight l and i, pointed v and crossed x. Part of calvix-assets.
#include "assets/Wordmark.h"

namespace assets {
namespace {

// Proportions, in capital heights.
constexpr float kStroke = 0.19f;
constexpr float kXHeight = 0.70f;
constexpr float kVWidth = 0.66f;
constexpr float kXWidth = 0.62f;
constexpr float kDotGap = 0.10f;

// The letters' left edges and the name's width, in capital heights: round and pointed sides
// sit a little closer to their neighbours than straight ones, so the gaps look even.
constexpr float kC = 0.0f;
constexpr float kA = kC + 1.0f + 0.09f;
constexpr float kL = kA + kXHeight + 0.13f;
constexpr float kV = kL + kStroke + 0.08f;
constexpr float kI = kV + kVWidth + 0.09f;
constexpr float kX = kI + kStroke + 0.09f;
constexpr float kWidth = kX + kXWidth;

}  // namespace

TShape Wordmark(float left, float baseline, float capHeight) {
  const float h = capHeight, w = kStroke * h, half = w / 2, xh = kXHeight * h;
  const float base = baseline - half, xTop = baseline - xh + half;
  auto at = [&](float x) { return left + x * h; };
  std::vector<TShape> letters;
  // C: a ring open to the right.
  letters.push_back(OpenRing(at(kC) + h / 2, baseline - h / 2, (h - w) / 2, w, 0.85f));
  // a: a ring with a stem on its right.
  const float aRadius = (xh - w) / 2;
  letters.push_back(OpenRing(at(kA) + xh / 2, baseline - xh / 2, aRadius, w, 0));
  letters.push_back(Stroke(at(kA) + xh - half, xTop, at(kA) + xh - half, base, w));
  // l: a stem the capital's height.
  letters.push_back(Stroke(at(kL) + half, baseline - h + half, at(kL) + half, base, w));
  // v
  const float vw = kVWidth * h;
  letters.push_back(
      Polyline({at(kV) + half, xTop, at(kV) + vw / 2, base, at(kV) + vw - half, xTop}, w));
  // i: a stem and its dot.
  letters.push_back(Stroke(at(kI) + half, xTop, at(kI) + half, base, w));
  const float dotRadius = half * 1.05f;
  letters.push_back(Circle(at(kI) + half, baseline - xh - kDotGap * h - dotRadius, dotRadius));
  // x
  const float xw = kXWidth * h;
  letters.push_back(Stroke(at(kX) + half, xTop, at(kX) + xw - half, base, w));
  letters.push_back(Stroke(at(kX) + xw - half, xTop, at(kX) + half, base, w));
  return Union(letters);
}

float WordmarkWidth(float capHeight) {
  return kWidth * capHeight;
}

}  // namespace assets
