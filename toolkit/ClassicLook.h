// Pieces of the classic grey look that the standard controls share: 3-D frames, raised button
// faces, arrows, and the rows of a list. Toolkit layer.
#pragma once

#include "platform/win32.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

// Draws a frame of `width` pixels just inside `rect` and shrinks `rect` by it: the top and
// left sides in `topLeft`, the bottom and right in `bottomRight`.
void Frame3D(TCanvas& canvas, RECT& rect, TColor topLeft, TColor bottomRight, int width = 1);

// A raised button face: white and light grey above and left, grey and black below and right.
void PaintRaisedFace(TCanvas& canvas, RECT r, bool pressed);

// A small triangle in `color` pointing up or down, centred in `r`.
void PaintArrow(TCanvas& canvas, const RECT& r, bool down, TColor color);

// --- Item lists ---
// What a list box and a drop-down list share: items drawn one under the other from a top
// index, the chosen one highlighted.
struct TItemListPainter {
  int ItemHeight = 13;
  int TopIndex = 0;
  int Highlighted = -1;
  void Paint(TCanvas& canvas, const TStringList& items, const RECT& area, TColor color,
             bool focused) const;
  // The item under a point of the area, or -1.
  int ItemAt(const TStringList& items, const RECT& area, POINT p) const;
};
