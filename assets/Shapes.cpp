// Signed distances of the generator's shapes. Exact for boxes, circles and strokes; the
// combinations keep the sign exact and the distance close, which is all that painting and
// growing by a pixel or two need. Part of calvix-assets.
#include "assets/Shapes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace assets {
namespace {

float Length(float x, float y) {
  return std::sqrt(x * x + y * y);
}

// Distance from p to the segment a-b.
float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  const float dx = bx - ax, dy = by - ay;
  const float lengthSquared = dx * dx + dy * dy;
  float t = lengthSquared > 0 ? ((px - ax) * dx + (py - ay) * dy) / lengthSquared : 0;
  t = std::clamp(t, 0.0f, 1.0f);
  return Length(px - (ax + t * dx), py - (ay + t * dy));
}

}  // namespace

// --- Primitives ---

TShape Box(float left, float top, float right, float bottom, float radius) {
  const float cx = (left + right) / 2, cy = (top + bottom) / 2;
  const float hx = (right - left) / 2 - radius, hy = (bottom - top) / 2 - radius;
  return {[=](float x, float y) {
            const float qx = std::abs(x - cx) - hx, qy = std::abs(y - cy) - hy;
            const float outside = Length(std::max(qx, 0.0f), std::max(qy, 0.0f));
            return outside + std::min(std::max(qx, qy), 0.0f) - radius;
          },
          left, top, right, bottom};
}

TShape Circle(float cx, float cy, float radius) {
  return {[=](float x, float y) { return Length(x - cx, y - cy) - radius; }, cx - radius,
          cy - radius, cx + radius, cy + radius};
}

TShape Stroke(float ax, float ay, float bx, float by, float width) {
  const float h = width / 2;
  return {[=](float x, float y) { return SegmentDistance(x, y, ax, ay, bx, by) - h; },
          std::min(ax, bx) - h, std::min(ay, by) - h, std::max(ax, bx) + h, std::max(ay, by) + h};
}

TShape Polyline(const std::vector<float>& xy, float width) {
  std::vector<TShape> strokes;
  for (size_t i = 0; i + 3 < xy.size(); i += 2)
    strokes.push_back(Stroke(xy[i], xy[i + 1], xy[i + 2], xy[i + 3], width));
  return Union(strokes);
}

TShape OpenRing(float cx, float cy, float radius, float width, float slope) {
  const float h = width / 2;
  const float norm = Length(1, slope);
  const float ex = cx + radius / norm, ey = radius * slope / norm;
  auto ring = [=](float x, float y) {
    const float dx = x - cx, dy = y - cy;
    const float band = std::abs(Length(dx, dy) - radius) - h;
    if (dx > 0 && std::abs(dy) < slope * dx) {  // in the opening: only the rounded ends count
      const float toEnd = std::min(Length(x - ex, y - (cy - ey)), Length(x - ex, y - (cy + ey)));
      return std::max(band, toEnd - h);
    }
    return band;
  };
  return {ring, cx - radius - h, cy - radius - h, cx + radius + h, cy + radius + h};
}

// --- Combinations ---

TShape Union(const std::vector<TShape>& parts) {
  TShape result;
  result.left = result.top = std::numeric_limits<float>::max();
  result.right = result.bottom = std::numeric_limits<float>::lowest();
  for (const TShape& p : parts) {
    result.left = std::min(result.left, p.left);
    result.top = std::min(result.top, p.top);
    result.right = std::max(result.right, p.right);
    result.bottom = std::max(result.bottom, p.bottom);
  }
  result.distance = [parts](float x, float y) {
    float d = std::numeric_limits<float>::max();
    for (const TShape& p : parts)
      d = std::min(d, p.distance(x, y));
    return d;
  };
  return result;
}

TShape Intersect(const TShape& a, const TShape& b) {
  return {[a, b](float x, float y) { return std::max(a.distance(x, y), b.distance(x, y)); },
          std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

TShape Subtract(const TShape& a, const TShape& cut) {
  return {[a, cut](float x, float y) { return std::max(a.distance(x, y), -cut.distance(x, y)); },
          a.left, a.top, a.right, a.bottom};
}

TShape Grow(const TShape& shape, float amount) {
  return {[shape, amount](float x, float y) { return shape.distance(x, y) - amount; },
          shape.left - amount, shape.top - amount, shape.right + amount, shape.bottom + amount};
}

TShape Rim(const TShape& shape, float width) {
  return {[shape, width](float x, float y) {
            const float d = shape.distance(x, y);
            return std::max(d, -d - width);
          },
          shape.left, shape.top, shape.right, shape.bottom};
}

TShape Shift(const TShape& shape, float dx, float dy) {
  return {[shape, dx, dy](float x, float y) { return shape.distance(x - dx, y - dy); },
          shape.left + dx, shape.top + dy, shape.right + dx, shape.bottom + dy};
}

TShape QuarterTurn(const TShape& shape, float cx, float cy) {
  // The point (x, y) of the turned shape was (cx - (y - cy), cy + (x - cx)) before the turn.
  return {
      [shape, cx, cy](float x, float y) { return shape.distance(cx - (y - cy), cy + (x - cx)); },
      cx + (shape.top - cy), cy - (shape.right - cx), cx + (shape.bottom - cy),
      cy - (shape.left - cx)};
}

}  // namespace assets
