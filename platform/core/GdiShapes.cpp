// Shapes: FillRect, FrameRect, Rectangle, Ellipse, lines and polygons, outlined with the DC's
// pen and filled with its brush through its binary raster operation. Internal to platform/.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/core/GdiObjects.h"
#include "platform/win32.h"

using namespace platform;
using namespace platform::gdi;

namespace {

// The pen and brush of one drawing call, as pixels of the target.
struct TPaint {
  bool pen = false;
  bool brush = false;
  int penWidth = 1;
  bool insideFrame = false;
  uint32_t penPixel = 0;
  uint32_t brushPixel = 0;
  int rop2 = R2_COPYPEN;
};

TPaint PaintOf(const TTarget& target) {
  TPaint paint;
  paint.rop2 = target.dc->state.rop2;
  if (const TPen* pen = Find<TPen>(target.dc->state.pen); pen && pen->style != PS_NULL) {
    paint.pen = true;
    paint.penWidth = pen->width;
    paint.insideFrame = pen->style == PS_INSIDEFRAME;
    paint.penPixel = PixelFor(pen->color, target.mono);
  }
  if (const TBrush* brush = Find<TBrush>(target.dc->state.brush);
      brush && brush->style != BS_NULL) {
    paint.brush = true;
    paint.brushPixel = PixelFor(brush->color, target.mono);
  }
  return paint;
}

// A set of device pixels, each drawn once whatever the raster operation.
using TPixels = std::vector<POINT>;

void Plot(TTarget& target, TPixels pixels, uint32_t pixel, int rop2, RECT& changed) {
  std::sort(pixels.begin(), pixels.end(),
            [](const POINT& a, const POINT& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  pixels.erase(std::unique(pixels.begin(), pixels.end(),
                           [](const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }),
               pixels.end());
  for (const POINT& p : pixels) {
    const RECT one{p.x, p.y, p.x + 1, p.y + 1};
    FillDevice(target, one, pixel, rop2);
    changed = {std::min(changed.left, one.left), std::min(changed.top, one.top),
               std::max(changed.right, one.right), std::max(changed.bottom, one.bottom)};
  }
}

// Widens a one-pixel outline to the pen's width with a round nib centred on each pixel.
TPixels Widen(const TPixels& outline, int width) {
  if (width <= 1) return outline;
  TPixels wide;
  const int lo = -(width - 1) / 2, hi = width / 2;
  const double radius = width / 2.0;
  for (const POINT& p : outline)
    for (int dy = lo; dy <= hi; ++dy)
      for (int dx = lo; dx <= hi; ++dx)
        if ((dx - (hi + lo) / 2.0) * (dx - (hi + lo) / 2.0) +
                (dy - (hi + lo) / 2.0) * (dy - (hi + lo) / 2.0) <=
            radius * radius)
          wide.push_back({p.x + dx, p.y + dy});
  return wide;
}

// Bresenham's line from a to b, without b (as LineTo leaves the end point).
void LinePixels(POINT a, POINT b, TPixels& out) {
  const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
  const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  while (a.x != b.x || a.y != b.y) {
    out.push_back(a);
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, a.x += sx;
    if (e2 <= dx) err += dx, a.y += sy;
  }
}

// The lower-right quarter of the ellipse inscribed in a width by height box, relative to the
// box's top-left corner, by Alois Zingl's integer algorithm (as the Win32 reference traces it).
TPixels QuarterEllipse(int width, int height) {
  const int64_t a = width - 1, b = height - 1;
  const int64_t asq = 8 * a * a, bsq = 8 * b * b;
  int64_t dx = 4 * b * b * (1 - a);
  int64_t dy = 4 * a * a * (1 + b % 2);
  int64_t err = dx + dy + a * a * (b % 2);
  TPixels points;
  POINT p{LONG(a), LONG(height / 2)};
  while (p.x >= width / 2) {
    points.push_back(p);
    const int64_t e2 = 2 * err;
    if (e2 >= dx) --p.x, dx += bsq, err += dx;
    if (e2 <= dy) ++p.y, dy += asq, err += dy;
  }
  return points;
}

TPixels EllipseOutline(const RECT& r) {
  TPixels outline;
  for (const POINT& q : QuarterEllipse(r.right - r.left, r.bottom - r.top)) {
    const LONG x = r.left + q.x, y = r.top + q.y;
    const LONG mx = r.left + r.right - 1 - x, my = r.top + r.bottom - 1 - y;
    outline.insert(outline.end(), {{x, y}, {mx, y}, {x, my}, {mx, my}});
  }
  return outline;
}

// Runs of pixels inside a shape, one rectangle per row piece.
using TSpans = std::vector<RECT>;

// The pixels between the outline's ends on each row; with `inclusive` the outline's own too.
// The outline is convex, so on each row it is one run or a run at each end.
TSpans Interior(TPixels outline, bool inclusive) {
  std::sort(outline.begin(), outline.end(),
            [](const POINT& a, const POINT& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  TSpans spans;
  for (size_t i = 0; i < outline.size();) {
    size_t j = i;
    while (j < outline.size() && outline[j].y == outline[i].y)
      ++j;
    const LONG y = outline[i].y;
    LONG left = outline[i].x, right = outline[j - 1].x;
    if (!inclusive) {
      size_t a = i, b = j - 1;
      while (a + 1 < j && outline[a + 1].x - outline[a].x <= 1)
        ++a;
      while (b > a && outline[b].x - outline[b - 1].x <= 1)
        --b;
      left = outline[a].x + 1, right = b > a ? outline[b].x - 1 : left - 1;
    }
    if (left <= right) spans.push_back({left, y, right + 1, y + 1});
    i = j;
  }
  return spans;
}

// Fills with the alternate rule: a pixel is inside when its centre is crossed an odd number
// of times to its left, so that left and top edges are drawn and right and bottom ones not.
TSpans PolygonInterior(const std::vector<POINT>& points) {
  TSpans inside;
  if (points.size() < 3) return inside;
  LONG top = points[0].y, bottom = points[0].y;
  for (const POINT& p : points)
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  for (LONG y = top; y < bottom; ++y) {
    const double cy = y + 0.5;
    std::vector<double> crossings;
    for (size_t i = 0; i < points.size(); ++i) {
      const POINT& a = points[i];
      const POINT& b = points[(i + 1) % points.size()];
      if ((a.y <= cy) == (b.y <= cy)) continue;
      crossings.push_back(a.x + (cy - a.y) * double(b.x - a.x) / double(b.y - a.y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2)
      inside.push_back(
          {LONG(std::ceil(crossings[i] - 0.5)), y, LONG(std::ceil(crossings[i + 1] - 0.5)), y + 1});
  }
  return inside;
}

// Draws an interior with the brush and an outline with the pen.
BOOL Draw(HDC hdc, const TSpans& interior, const TPixels& outline) {
  TTarget target;
  if (!OpenTarget(hdc, target)) return FALSE;
  const TPaint paint = PaintOf(target);
  RECT changed{0x7FFFFFFF, 0x7FFFFFFF, -0x7FFFFFFF, -0x7FFFFFFF};
  for (const RECT& span : paint.brush ? interior : TSpans{}) {
    if (Empty(span)) continue;
    FillDevice(target, span, paint.brushPixel, paint.rop2);
    changed = {std::min(changed.left, span.left), std::min(changed.top, span.top),
               std::max(changed.right, span.right), std::max(changed.bottom, span.bottom)};
  }
  if (paint.pen) Plot(target, Widen(outline, paint.penWidth), paint.penPixel, paint.rop2, changed);
  CloseTarget(target, changed);
  return TRUE;
}

// The device rectangle of a shape, moved inwards for an inside-frame pen.
bool ShapeRect(HDC hdc, int left, int top, int right, int bottom, RECT& r, int& penWidth) {
  TTarget target;
  if (!OpenTarget(hdc, target)) return false;
  const POINT a = target.Device(left, top), b = target.Device(right, bottom);
  r = Normalised(a.x, a.y, b.x, b.y);
  const TPaint paint = PaintOf(target);
  penWidth = paint.pen ? paint.penWidth : 0;
  if (paint.insideFrame && penWidth > 1) {
    r.left += penWidth / 2, r.top += penWidth / 2;
    r.right -= (penWidth - 1) / 2, r.bottom -= (penWidth - 1) / 2;
  }
  return true;
}

std::vector<POINT> DevicePoints(HDC hdc, const POINT* apt, int cpt) {
  std::vector<POINT> points;
  TTarget target;
  if (!apt || cpt <= 0 || !OpenTarget(hdc, target)) return points;
  for (int i = 0; i < cpt; ++i)
    points.push_back(target.Device(apt[i].x, apt[i].y));
  return points;
}

TPixels PolylinePixels(const std::vector<POINT>& points, bool closed) {
  TPixels outline;
  for (size_t i = 0; i + 1 < points.size(); ++i)
    LinePixels(points[i], points[i + 1], outline);
  if (closed && points.size() > 1) LinePixels(points.back(), points.front(), outline);
  return outline;
}

}  // namespace

extern "C" {

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  TTarget target;
  if (!lprc || !OpenTarget(hDC, target)) return 0;
  // A system colour index plus one stands for that colour's brush; not kept here.
  const TBrush* brush = Find<TBrush>(hbr);
  if (!brush) return 0;
  if (brush->style == BS_NULL) return 1;
  const POINT a = target.Device(lprc->left, lprc->top);
  const POINT b = target.Device(lprc->right, lprc->bottom);
  const RECT area{a.x, a.y, b.x, b.y};  // an inverted rectangle fills nothing
  FillDevice(target, area, PixelFor(brush->color, target.mono), R2_COPYPEN);
  CloseTarget(target, area);
  return 1;
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  if (!lprc) return 0;
  const RECT& r = *lprc;
  if (r.right <= r.left || r.bottom <= r.top) return Find<TBrush>(hbr) ? 1 : 0;
  const RECT sides[4] = {{r.left, r.top, r.right, r.top + 1},
                         {r.left, r.bottom - 1, r.right, r.bottom},
                         {r.left, r.top, r.left + 1, r.bottom},
                         {r.right - 1, r.top, r.right, r.bottom}};
  for (const RECT& side : sides)
    if (!FillRect(hDC, &side, hbr)) return 0;
  return 1;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  RECT r;
  int pen = 0;
  if (!ShapeRect(hdc, left, top, right, bottom, r, pen)) return FALSE;
  if (Empty(r)) return TRUE;
  // The outline runs on the rectangle's last column and row; without a pen the fill stops
  // one pixel short of the right and bottom edges.
  const RECT inner{r.left + (pen + 1) / 2, r.top + (pen + 1) / 2, r.right - 1 - pen / 2,
                   r.bottom - 1 - pen / 2};
  const std::vector<POINT> corners{
      {r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}};
  // A one-pixel rectangle has no outline to draw: the Win32 reference leaves it empty.
  return Draw(hdc, {inner}, PolylinePixels(corners, true));
}

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  RECT r;
  int pen = 0;
  if (!ShapeRect(hdc, left, top, right, bottom, r, pen)) return FALSE;
  if (Empty(r)) return TRUE;
  // Too thin to round: Win32 draws the rectangle instead.
  if (r.right - r.left <= 2 || r.bottom - r.top <= 2) {
    TTarget target;
    OpenTarget(hdc, target);
    const POINT o = target.offset;
    return Rectangle(hdc, r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y);
  }
  const TPixels outline = EllipseOutline(r);
  return Draw(hdc, Interior(outline, pen == 0), outline);
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc) return FALSE;
  if (lppt) *lppt = dc->state.position;
  dc->state.position = {x, y};
  return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc) return FALSE;
  const POINT line[2] = {dc->state.position, {x, y}};
  dc->state.position = {x, y};
  return Polyline(hdc, line, 2);
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
  if (cpt < 2) return FALSE;
  const std::vector<POINT> points = DevicePoints(hdc, apt, cpt);
  if (points.empty()) return FALSE;
  TTarget target;
  OpenTarget(hdc, target);
  const TPaint paint = PaintOf(target);
  if (!paint.pen) return TRUE;
  RECT changed{0x7FFFFFFF, 0x7FFFFFFF, -0x7FFFFFFF, -0x7FFFFFFF};
  Plot(target, Widen(PolylinePixels(points, false), paint.penWidth), paint.penPixel, paint.rop2,
       changed);
  CloseTarget(target, changed);
  return TRUE;
}

BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
  if (cpt < 2) return FALSE;
  const std::vector<POINT> points = DevicePoints(hdc, apt, cpt);
  if (points.empty()) return FALSE;
  return Draw(hdc, PolygonInterior(points), PolylinePixels(points, true));
}

}  // extern "C"
