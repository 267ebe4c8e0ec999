// The program's emblem, a card with a check mark, and the medallion that frames it in the
// larger pictures. Part of calvix-assets.
#pragma once

#include "assets/Scene.h"

namespace assets {

// Paints the emblem in the square of `size` pixels at (left, top). The sizes 16 and 32 have
// drawings of their own, fitted to whole pixels; every other size scales the 48-pixel one.
void PaintEmblem(TScene& scene, float left, float top, float size);

// The emblem on a navy disc inside a gold ring, centred on (cx, cy).
void PaintMedallion(TScene& scene, float cx, float cy, float radius);

}  // namespace assets
