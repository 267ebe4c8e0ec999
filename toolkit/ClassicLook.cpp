// Pieces of the classic grey look that the standard controls share. Toolkit layer.
#include "toolkit/ClassicLook.h"

#include <algorithm>

void Frame3D(TCanvas& canvas, RECT& rect, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width; ++i) {
    canvas.Brush().SetColor(topLeft);
    canvas.FillRect(RECT{rect.left, rect.top, rect.right - 1, rect.top + 1});
    canvas.FillRect(RECT{rect.left, rect.top, rect.left + 1, rect.bottom - 1});
    canvas.Brush().SetColor(bottomRight);
    canvas.FillRect(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom});
    canvas.FillRect(RECT{rect.right - 1, rect.top, rect.right, rect.bottom});
    rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
  }
}

void PaintRaisedFace(TCanvas& canvas, RECT r, bool pressed) {
  if (pressed) {
    Frame3D(canvas, r, clBtnShadow, clBtnShadow);
  } else {
    Frame3D(canvas, r, clBtnFace, TColor(kSystemColorFlag | COLOR_3DDKSHADOW));
    Frame3D(canvas, r, clBtnHighlight, clBtnShadow);
  }
  canvas.Brush().SetColor(clBtnFace);
  canvas.FillRect(r);
}

void PaintArrow(TCanvas& canvas, const RECT& r, bool down, TColor color) {
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  canvas.Brush().SetColor(color);
  for (int row = 0; row < 4; ++row) {
    const int half = down ? 3 - row : row;
    const int y = cy - 2 + row;
    canvas.FillRect(RECT{cx - half - 1, y, cx + half, y + 1});
  }
}

// --- Item lists ---

void TItemListPainter::Paint(TCanvas& canvas, const TStringList& items, const RECT& area,
                             TColor color, bool focused) const {
  canvas.Brush().SetColor(color);
  canvas.FillRect(area);
  for (int i = std::max(0, TopIndex); i < items.Count(); ++i) {
    const int top = area.top + (i - TopIndex) * ItemHeight;
    if (top >= area.bottom) break;
    const RECT row{area.left, top, area.right, std::min<LONG>(top + ItemHeight, area.bottom)};
    const bool lit = i == Highlighted;
    canvas.Brush().SetColor(lit ? clHighlight : color);
    canvas.Font().SetColor(lit ? clHighlightText : clWindowText);
    canvas.TextRect(row, row.left + 2, row.top, items[i]);
    if (lit && focused) {
      canvas.Brush().SetColor(clHighlightText);
      RECT frame = row;
      Frame3D(canvas, frame, clGray, clGray);
    }
  }
}

int TItemListPainter::ItemAt(const TStringList& items, const RECT& area, POINT p) const {
  if (!PtInRect(&area, p)) return -1;
  const int index = TopIndex + (p.y - area.top) / ItemHeight;
  return index >= 0 && index < items.Count() ? index : -1;
}
