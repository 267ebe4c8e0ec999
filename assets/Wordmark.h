// The name "Calvix" in the program's own lettering: geometric strokes with round ends, so the
// pictures need no font. Part of calvix-assets.
#pragma once

#include "assets/Shapes.h"

namespace assets {

// The name with its capital `capHeight` high, starting at `left` on the line `baseline`.
TShape Wordmark(float left, float baseline, float capHeight);
// How wide Wordmark draws the name at that height.
float WordmarkWidth(float capHeight);

}  // namespace assets
