// The emblem: a yellow card with a navy stripe, and a green check mark over its lower right
// corner, both edged in ink so that they read on light and dark trays alike.
// Part of calvix-assets.
#include "assets/Emblem.h"

#include <algorithm>

#include "assets/Colors.h"

namespace assets {
namespace {

// One drawing of the emblem, in the pixels of its square.
struct TEmblemDrawing {
  float card[4];    // left, top, right, bottom
  float radius;     // of the card's corners
  float edge;       // width of the ink edges
  float stripe[2];  // top and bottom of the stripe
  float digits;     // top of the row of number marks; 0 for none
  float check[6];   // the three points of the check mark
  float checkWidth;
};

// Drawn for the tray's large icon.
constexpr TEmblemDrawing k32 = {
    {1, 5, 27, 24}, 3.5f, 1.5f, {9, 12.5f}, 16.5f, {13, 20, 18.5f, 25.5f, 28, 11}, 4.5f};
// The reference drawing, scaled for every other size.
constexpr TEmblemDrawing k48 = {
    {2, 8, 40, 36}, 5, 2, {13.5f, 18.5f}, 24.5f, {19.5f, 30, 27.5f, 38.5f, 42, 16.5f}, 6.5f};

// The tray's small icon, drawn pixel by pixel: at 16 pixels a smooth outline would only blur.
// k ink, n stripe, y and Y card, g and G check mark, d its edge.
constexpr const char* kSmall[16] = {
    "................",  //
    "................",  //
    ".kkkkkkkkkkkk...",  //
    "kyyyyyyyyyyyyk..",  //
    "knnnnnnnnnnnkddd",  //
    "knnnnnnnnnnkdggd",  //
    "kyyyyyyyyyddggdd",  //
    "kyyyyyyyyddggdd.",  //
    "kyddddyyddggdd..",  //
    "kYdggddddggdd...",  //
    "kYddggddggddk...",  //
    ".kkddGGGGddkk...",  //
    "....ddGGdd......",  //
    ".....dddd.......",  //
    "................",  //
    "................",  //
};

TRgb SmallColor(char c) {
  switch (c) {
    case 'n':
      return kNavyLight;
    case 'y':
      return Hex(0xFFEC90);
    case 'Y':
      return Hex(0xFFCF40);
    case 'g':
      return Hex(0x5CCC6C);
    case 'G':
      return Hex(0x2FA548);
    case 'd':
      return kGreenEdge;
    default:
      return kInk;
  }
}

void PaintSmall(TScene& scene, float left, float top) {
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (kSmall[y][x] != '.')
        scene.Paint(Box(left + x, top + y, left + x + 1, top + y + 1), SmallColor(kSmall[y][x]));
}

void Paint(TScene& scene, const TEmblemDrawing& d, float left, float top, float scale) {
  auto x = [&](float v) { return left + v * scale; };
  auto y = [&](float v) { return top + v * scale; };
  const float edge = d.edge * std::clamp(scale, 1.0f, 1.5f);
  const TShape card = Box(x(d.card[0]), y(d.card[1]), x(d.card[2]), y(d.card[3]), d.radius * scale);
  const TShape face = Grow(card, -edge);
  scene.Paint(card, kInk);
  scene.Paint(face, Vertical(kCardLight, card.top, kCardDeep, card.bottom));
  scene.Paint(Intersect(face, Box(card.left, y(d.stripe[0]), card.right, y(d.stripe[1]))),
              kNavyLight);
  if (d.digits > 0) {
    const float markHeight = (d.stripe[1] - d.stripe[0]) * 0.45f * scale;
    const float markWidth = (d.card[2] - d.card[0]) * 0.16f * scale;
    for (int i = 0; i < 3; ++i) {
      const float markLeft = face.left + edge + i * markWidth * 1.35f;
      scene.Paint(Box(markLeft, y(d.digits), markLeft + markWidth, y(d.digits) + markHeight,
                      markHeight / 2),
                  Hex(0xB88A14));
    }
  }
  const std::vector<float> points = {x(d.check[0]), y(d.check[1]), x(d.check[2]),
                                     y(d.check[3]), x(d.check[4]), y(d.check[5])};
  const TShape check = Polyline(points, d.checkWidth * scale);
  scene.Paint(Grow(check, edge), kGreenEdge);
  scene.Paint(check, Vertical(kGreenLight, check.top, kGreenDeep, check.bottom));
}

}  // namespace

void PaintEmblem(TScene& scene, float left, float top, float size) {
  if (size == 16) return PaintSmall(scene, left, top);
  if (size == 32) return Paint(scene, k32, left, top, 1);
  Paint(scene, k48, left, top, size / 48);
}

void PaintMedallion(TScene& scene, float cx, float cy, float radius) {
  const float ring = radius * 0.16f;
  scene.Paint(Circle(cx, cy, radius), kInk);
  scene.Paint(Circle(cx, cy, radius - 1.5f),
              Vertical(kGoldLight, cy - radius, kGoldDeep, cy + radius));
  scene.Paint(Circle(cx, cy, radius - 1.5f - ring), kInk);
  scene.Paint(Circle(cx, cy, radius - 2.5f - ring),
              Vertical(kNavyLight, cy - radius, kNavyDeep, cy + radius));
  const float size = (radius - ring) * 1.5f;
  PaintEmblem(scene, cx - size / 2, cy - size / 2, size);
}

}  // namespace assets
