// Flat shapes for the picture generator, each a signed distance (negative inside, in pixels)
// with a box that holds it. Only +, -, ×, ÷ and square roots are used, so that every machine
// computes the same pixels. Part of calvix-assets, the tool that draws the program's pictures.
#pragma once

#include <functional>
#include <vector>

namespace assets {

// A region of the plane. Pixel (x, y) covers [x, x + 1) × [y, y + 1), so a box from 3 to 353
// covers the columns 3 to 352 exactly.
struct TShape {
  std::function<float(float, float)> distance;
  float left = 0, top = 0, right = 0, bottom = 0;
};

// --- Primitives ---
// A rectangle whose corners are rounded with `radius`.
TShape Box(float left, float top, float right, float bottom, float radius = 0);
TShape Circle(float cx, float cy, float radius);
// A stroke of `width` from a to b with round ends.
TShape Stroke(float ax, float ay, float bx, float by, float width);
// A stroke through the points in turn, with round joins and ends.
TShape Polyline(const std::vector<float>& xy, float width);
// A circular stroke of `width` on the circle of `radius`, open on the right where
// |y - cy| < slope × (x - cx); its open ends are rounded.
TShape OpenRing(float cx, float cy, float radius, float width, float slope);

// --- Combinations ---
TShape Union(const std::vector<TShape>& parts);
TShape Intersect(const TShape& a, const TShape& b);
TShape Subtract(const TShape& a, const TShape& cut);
// The shape made larger (or smaller, for a negative amount) all around.
TShape Grow(const TShape& shape, float amount);
// The band of `width` just inside the shape's edge.
TShape Rim(const TShape& shape, float width);
TShape Shift(const TShape& shape, float dx, float dy);
// The shape turned a quarter turn counter-clockwise (as seen on screen) about (cx, cy).
TShape QuarterTurn(const TShape& shape, float cx, float cy);

}  // namespace assets
