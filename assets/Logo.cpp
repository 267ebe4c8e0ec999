// The pictures of the licence and credits windows: the tall logo, a navy banner with the
// medallion and the name read upwards, and the maker's small badge with its monogram.
// Both stand on white, the colour of those windows. Part of calvix-assets.
#include "assets/Colors.h"
#include "assets/Emblem.h"
#include "assets/Pictures.h"
#include "assets/Wordmark.h"

namespace assets {
namespace {

// A navy surface with an ink edge and a gold line just inside it.
void PaintBanner(TScene& scene, const TShape& banner) {
  scene.Paint(Grow(banner, 1), kInk);
  scene.Paint(banner, Vertical(kNavyLight, banner.top, kNavyDeep, banner.bottom));
  scene.Paint(Rim(Grow(banner, -3), 1), Vertical(kGold, banner.top, kGoldDeep, banner.bottom));
}

// Slanted stripes of lighter navy across the banner, between the rows top and bottom.
void PaintStripes(TScene& scene, const TShape& banner, float top, float bottom) {
  const TShape inside = Grow(banner, -4);
  for (int i = 0; i < 4; ++i) {
    const float y = top + 16 * i;
    const TShape stripe = Intersect(Stroke(banner.left, y + 40, banner.right, y, 7), inside);
    scene.Paint(Intersect(stripe, Box(banner.left, top, banner.right, bottom)),
                Vertical(Hex(0x4766B4), top, Hex(0x23397C), bottom));
  }
}

}  // namespace

TScene DrawLogo() {
  constexpr int kWidth = 114, kHeight = 322;
  TScene scene(kWidth, kHeight);
  const TShape banner = Box(4, 4, kWidth - 4, kHeight - 4, 14);
  PaintBanner(scene, banner);
  PaintStripes(scene, banner, 274, kHeight - 8);
  PaintMedallion(scene, kWidth / 2.0f, 56, 44);
  // The name reads upwards along the banner, centred under the medallion.
  const float capHeight = 40, length = WordmarkWidth(capHeight);
  const float cx = kWidth / 2.0f, cy = 114 + length / 2;
  const TShape level = Wordmark(cx - length / 2, cy + capHeight / 2, capHeight);
  const TShape name = QuarterTurn(level, cx, cy);
  scene.Paint(Shift(name, 2, 2), kInk);
  scene.Paint(name, [&](float x, float) {
    return Mix(kGoldLight, kGoldDeep, (x - (cx - capHeight / 2)) / capHeight);
  });
  return scene;
}

TScene DrawMakerPicture() {
  constexpr int kWidth = 81, kHeight = 57;
  TScene scene(kWidth, kHeight);
  const TShape badge = Box(3, 3, kWidth - 3, kHeight - 3, 10);
  PaintBanner(scene, badge);
  // The monogram: an M drawn as two peaks, with a sun rising between them.
  const float cx = kWidth / 2.0f;
  scene.Paint(Circle(cx, 19, 6), Vertical(kCardLight, 13, kCardDeep, 25));
  const TShape monogram = Polyline({17, 42, 29, 19, cx, 35, 52, 19, 64, 42}, 6);
  scene.Paint(Shift(monogram, 1.5f, 1.5f), kInk);
  scene.Paint(monogram, Vertical(kGoldLight, 20, kGold, 44));
  scene.Paint(Box(18, 46, kWidth - 18, 49, 1.5f), Vertical(kCardLight, 46, kCardDeep, 49));
  return scene;
}

}  // namespace assets
