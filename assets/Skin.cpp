// The main window's skin: a yellow panel that carries the fields, a navy title plate above it
// with the medallion and the name, and a navy foot below. Everything that is not drawn stays
// white, the window's see-through colour. Part of calvix-assets.
#include "assets/Colors.h"
#include "assets/Emblem.h"
#include "assets/Pictures.h"
#include "assets/Wordmark.h"

namespace assets {
namespace {

constexpr int kWidth = 356;
constexpr int kHeight = 259;
// The panel covers the columns 3 to 352 and the rows 88 to 238.
constexpr float kPanel[4] = {3, 88, 353, 239};

constexpr TRgb kPanelEdge = Hex(0xD9A21C);
constexpr TRgb kPanelLight = Hex(0xFFF6C2);
constexpr TRgb kPanelShade = Hex(0xEFCB4A);

// The plate behind the name: its lower part lies under the panel, so only its rounded top
// shows. Slanted stripes fill its right end, and a gold line follows its edge.
void PaintPlate(TScene& scene) {
  const TShape plate = Box(14, 36, 342, kPanel[1] + 20, 16);
  scene.Paint(Grow(plate, 1), kInk);
  scene.Paint(plate, Vertical(kNavyLight, 36, kNavyDeep, kPanel[1]));
  const TShape inside = Grow(plate, -3);
  for (int i = 0; i < 3; ++i) {
    const float x = 262 + 18 * i;
    const TShape stripe = Polyline({x + 26, 30, x, 96}, 9);
    scene.Paint(Intersect(stripe, inside), Vertical(Hex(0x4766B4), 36, Hex(0x23397C), kPanel[1]));
  }
  scene.Paint(Rim(Grow(plate, -3), 1), Vertical(kGold, 36, kGoldDeep, kPanel[1]));
}

// The foot under the panel, edged in gold like the plate, with a gold bar at its middle.
void PaintFoot(TScene& scene) {
  const TShape foot = Box(26, kPanel[3] - 20, 330, 252, 10);
  scene.Paint(Grow(foot, 1), kInk);
  scene.Paint(foot, Vertical(kNavy, kPanel[3], kNavyDeep, 252));
  scene.Paint(Rim(Grow(foot, -3), 1), kGoldDeep);
  scene.Paint(Box(148, 243, 208, 247, 2), Vertical(kGoldLight, 243, kGoldDeep, 247));
}

void PaintPanel(TScene& scene) {
  const auto [left, top, right, bottom] = kPanel;
  scene.Paint(Box(left, top, right, bottom), kPanelEdge);
  scene.Paint(Box(left + 1, top + 1, right - 1, bottom - 1), Hex(kPanelYellow));
  // The frame line, one pixel inside the edge, and a faint bevel within it.
  const TShape frame = Box(left + 2, top + 2, right - 2, bottom - 2);
  scene.Paint(Rim(frame, 1), Hex(0x000000));
  scene.Paint(Box(left + 3, top + 3, right - 3, top + 4), kPanelLight);
  scene.Paint(Box(left + 3, top + 3, left + 4, bottom - 3), kPanelLight);
  scene.Paint(Box(left + 3, bottom - 4, right - 3, bottom - 3), kPanelShade);
  scene.Paint(Box(right - 4, top + 4, right - 3, bottom - 3), kPanelShade);
}

void PaintTitle(TScene& scene) {
  const float capHeight = 34, left = 110, baseline = 80;
  const TShape name = Wordmark(left, baseline, capHeight);
  scene.Paint(Shift(name, 1.5f, 1.5f), kInk);
  scene.Paint(name, Vertical(kGoldLight, baseline - capHeight, kGoldDeep, baseline));
  PaintMedallion(scene, 58, 46, 40);
}

}  // namespace

TScene DrawSkin() {
  TScene scene(kWidth, kHeight);
  PaintPlate(scene);
  PaintFoot(scene);
  PaintPanel(scene);
  PaintTitle(scene);
  return scene;
}

}  // namespace assets
