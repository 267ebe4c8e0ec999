// Pixels and rectangle copies: GetPixel, SetPixel, BitBlt, StretchBlt and PatBlt with every
// ternary raster operation, clipped to both surfaces. Internal to platform/ (portable core).
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/core/GdiObjects.h"
#include "platform/win32.h"

using namespace platform;
using namespace platform::gdi;

namespace {

constexpr uint8_t kSrcCopy = 0xCC;

uint8_t RopIndex(DWORD rop) {
  return uint8_t(rop >> 16);
}
bool UsesSource(uint8_t code) {
  return ((code >> 2) ^ code) & 0x33;
}
bool UsesPattern(uint8_t code) {
  return ((code >> 4) ^ code) & 0x0F;
}

// Where a copy takes its pixels: surface coordinates are destination device coordinates plus
// (dx, dy). Colours are converted between monochrome and colour the Win32 way: a monochrome
// source gives the destination's text colour for black and its background colour for white,
// and a colour source gives white on a monochrome destination where it has the source's
// background colour.
struct TBlitSource {
  const Surface* surface = nullptr;
  int dx = 0;
  int dy = 0;
  bool convert = false;
  bool toMono = false;
  uint32_t match = 0;  // toMono: the source background; else the colour for white
  uint32_t other = 0;  // the colour for black

  uint32_t Convert(uint32_t p) const {
    if (!convert) return p;
    if (toMono) return (p & 0x00FFFFFF) == match ? 0xFFFFFF : 0;
    return p ? match : other;
  }
};

TBlitSource MakeSource(const TSource& from, const TTarget& to) {
  TBlitSource s;
  s.surface = from.surface;
  if (from.mono == to.mono) return s;
  s.convert = true;
  s.toMono = to.mono;
  if (to.mono) {
    s.match = PixelFromColorRef(from.dc->state.bkColor & 0xFFFFFF);
  } else {
    s.match = PixelFor(to.dc->state.bkColor, false);
    s.other = PixelFor(to.dc->state.textColor, false);
  }
  return s;
}

// The brush pixel of the destination DC, or false when its brush paints nothing.
bool PatternPixel(const TTarget& target, uint32_t& pixel) {
  const TBrush* brush = Find<TBrush>(target.dc->state.brush);
  if (!brush || brush->style == BS_NULL) return false;
  pixel = PixelFor(brush->color, target.mono);
  return true;
}

// One row of an operation: `op` gives each pixel from pattern, source and destination.
template <class TOp>
void BlitRow(uint32_t* d, const uint32_t* s, const TBlitSource* source, uint32_t pattern, int width,
             TOp op) {
  for (int x = 0; x < width; ++x) {
    const uint32_t sp = s ? source->Convert(s[x]) : 0;
    const uint32_t result = op(pattern, sp, d[x]) & 0xFFFFFF;
    // A see-through pixel stays so while an operation leaves its colour alone (a mask).
    if (!IsSeeThrough(d[x]) || result != (d[x] & 0x00FFFFFF)) d[x] = result;
  }
}

// The operations that drawing through masks and inverting use, written out so that a row runs
// without evaluating the whole truth table at every pixel; the others follow the table.
void OperateRow(uint8_t code, uint32_t* d, const uint32_t* s, const TBlitSource* source,
                uint32_t pattern, int width) {
  using P = uint32_t;
  switch (code) {
    case 0x88:  // SRCAND
      return BlitRow(d, s, source, pattern, width, [](P, P sp, P dp) { return sp & dp; });
    case 0xEE:  // SRCPAINT
      return BlitRow(d, s, source, pattern, width, [](P, P sp, P dp) { return sp | dp; });
    case 0x66:  // SRCINVERT
      return BlitRow(d, s, source, pattern, width, [](P, P sp, P dp) { return sp ^ dp; });
    case 0x44:  // SRCERASE
      return BlitRow(d, s, source, pattern, width, [](P, P sp, P dp) { return sp & ~dp; });
    case 0x33:  // NOTSRCCOPY
      return BlitRow(d, s, source, pattern, width, [](P, P sp, P) { return ~sp; });
    case 0xCC:  // SRCCOPY with a conversion of colours
      return BlitRow(d, s, source, pattern, width, [](P, P sp, P) { return sp; });
    case 0xF0:  // PATCOPY
      return BlitRow(d, s, source, pattern, width, [](P pp, P, P) { return pp; });
    case 0xFF:  // WHITENESS, as every new bitmap of the toolkit starts
      return BlitRow(d, s, source, pattern, width, [](P, P, P) { return P(0xFFFFFF); });
    case 0x00:  // BLACKNESS
      return BlitRow(d, s, source, pattern, width, [](P, P, P) { return P(0); });
    default:
      return BlitRow(d, s, source, pattern, width,
                     [code](P pp, P sp, P dp) { return ApplyRop3(code, pp, sp, dp); });
  }
}

// Carries out the operation on `dest` (device coordinates, already clipped both ways).
void Blit(TTarget& target, const RECT& dest, const TBlitSource* source, uint32_t pattern,
          uint8_t code) {
  if (Empty(dest)) return;
  const int width = dest.right - dest.left;
  Surface copy;
  const Surface* from = source ? source->surface : nullptr;
  int dx = source ? source->dx : 0, dy = source ? source->dy : 0;
  // Copying within one surface reads a copy, so that overlapping areas come out whole.
  if (from == target.surface) {
    copy.Resize(width, dest.bottom - dest.top, 0);
    for (int y = dest.top; y < dest.bottom; ++y)
      std::memcpy(copy.Row(y - dest.top), from->Row(y + dy) + dest.left + dx, width * 4);
    from = &copy;
    dx = -dest.left, dy = -dest.top;
  }
  const bool plainCopy = source && code == kSrcCopy && !source->convert;
  for (int y = dest.top; y < dest.bottom; ++y) {
    uint32_t* d = target.surface->Row(y) + dest.left;
    const uint32_t* s = from ? from->Row(y + dy) + dest.left + dx : nullptr;
    if (source && plainCopy) {
      std::memcpy(d, s, size_t(width) * 4);
      continue;
    }
    OperateRow(code, d, s, source, pattern, width);
  }
}

// Clips the destination rectangle (device) to the target and, moving both together, the
// source rectangle to its surface.
RECT ClipBoth(const TTarget& target, RECT dest, const TBlitSource* source) {
  dest = Intersect(dest, target.clip);
  if (!source) return dest;
  const RECT bounds{-source->dx, -source->dy, source->surface->width - source->dx,
                    source->surface->height - source->dy};
  return Intersect(dest, bounds);
}

// Nearest-neighbour source coordinate of destination step i of n over a source span of m
// (either may be negative, which mirrors).
int Sample(int start, int i, int n, int m) {
  const int64_t num = (2 * int64_t(i) + 1) * m;
  const int64_t den = 2 * int64_t(n);
  int64_t offset = num / den;
  if ((num % den != 0) && ((num < 0) != (den < 0))) --offset;
  return start + int(offset);
}

}  // namespace

extern "C" {

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  TSource source;
  if (!OpenSource(hdc, {x, y, x + 1, y + 1}, source)) return CLR_INVALID;
  const int sx = x + source.offset.x, sy = y + source.offset.y;
  if (!source.surface->Contains(sx, sy)) return CLR_INVALID;
  const TDcState& s = source.dc->state;
  if (s.clipped && source.dc->kind != TDcKind::dkScreen) {
    const POINT d{x + s.viewportOrg.x - s.windowOrg.x, y + s.viewportOrg.y - s.windowOrg.y};
    if (d.x < s.clip.left || d.x >= s.clip.right || d.y < s.clip.top || d.y >= s.clip.bottom)
      return CLR_INVALID;
  }
  return ColorRefFromPixel(source.surface->At(sx, sy) & 0xFFFFFF);
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  TTarget target;
  if (!Find<TDc>(hdc)) return CLR_INVALID;
  const TDcState& state = Find<TDc>(hdc)->state;
  const int dy = y + state.viewportOrg.y - state.windowOrg.y;
  const RECT row{-0x40000000, dy, 0x40000000, dy + 1};
  if (!OpenTarget(hdc, target, &row)) return CLR_INVALID;
  const uint32_t pixel = PixelFor(color, target.mono);
  const POINT p = target.Device(x, y);
  const RECT area{p.x, p.y, p.x + 1, p.y + 1};
  FillDevice(target, area, pixel, target.dc->state.rop2);
  CloseTarget(target, area);
  return ColorRefFromPixel(pixel);
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  return SetPixel(hdc, x, y, color) == CLR_INVALID ? FALSE : TRUE;
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  const uint8_t code = RopIndex(rop);
  TTarget target;
  if (UsesSource(code) || !OpenTarget(hdc, target)) return FALSE;
  uint32_t pattern = 0;
  if (UsesPattern(code) && !PatternPixel(target, pattern)) return TRUE;
  const POINT p = target.Device(x, y);
  const RECT dest = ClipBoth(target, Normalised(p.x, p.y, p.x + w, p.y + h), nullptr);
  Blit(target, dest, nullptr, pattern, code);
  CloseTarget(target, dest);
  return TRUE;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
  const uint8_t code = RopIndex(rop);
  if (!UsesSource(code)) return PatBlt(hdc, x, y, cx, cy, rop);
  TTarget target;
  TSource from;
  if (!OpenTarget(hdc, target)) return FALSE;
  if (!OpenSource(hdcSrc, {x1, y1, x1 + cx, y1 + cy}, from)) return FALSE;
  if (cx <= 0 || cy <= 0) return TRUE;
  uint32_t pattern = 0;
  if (UsesPattern(code) && !PatternPixel(target, pattern)) return TRUE;
  const POINT p = target.Device(x, y);
  TBlitSource source = MakeSource(from, target);
  source.dx = x1 + from.offset.x - p.x;
  source.dy = y1 + from.offset.y - p.y;
  const RECT dest = ClipBoth(target, {p.x, p.y, p.x + cx, p.y + cy}, &source);
  Blit(target, dest, &source, pattern, code);
  CloseTarget(target, dest);
  return TRUE;
}

BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc,
                       int xSrc, int ySrc, int wSrc, int hSrc, DWORD rop) {
  if (wDest == wSrc && hDest == hSrc && wDest > 0 && hDest > 0)
    return BitBlt(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, rop);
  const uint8_t code = RopIndex(rop);
  if (!UsesSource(code)) return PatBlt(hdcDest, xDest, yDest, wDest, hDest, rop);
  TTarget target;
  TSource from;
  if (!OpenTarget(hdcDest, target)) return FALSE;
  const RECT area = Normalised(xSrc, ySrc, xSrc + wSrc, ySrc + hSrc);
  if (!OpenSource(hdcSrc, area, from)) return FALSE;
  if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0) return TRUE;
  uint32_t pattern = 0;
  if (UsesPattern(code) && !PatternPixel(target, pattern)) return TRUE;
  // Sample the source into a picture of the destination's size; destination pixels whose
  // sample falls outside the source keep what they have.
  const RECT whole{0, 0, std::abs(wDest), std::abs(hDest)};
  Surface sampled(whole.right, whole.bottom, 0);
  RECT valid{whole.right, whole.bottom, 0, 0};
  const bool flipX = wDest < 0, flipY = hDest < 0;
  for (int j = 0; j < whole.bottom; ++j) {
    const int sy =
        Sample(ySrc, flipY ? whole.bottom - 1 - j : j, whole.bottom, hSrc) + from.offset.y;
    if (sy < 0 || sy >= from.surface->height) continue;
    for (int i = 0; i < whole.right; ++i) {
      const int sx =
          Sample(xSrc, flipX ? whole.right - 1 - i : i, whole.right, wSrc) + from.offset.x;
      if (sx < 0 || sx >= from.surface->width) continue;
      sampled.At(i, j) = from.surface->At(sx, sy);
      valid = {std::min<LONG>(valid.left, i), std::min<LONG>(valid.top, j),
               std::max<LONG>(valid.right, i + 1), std::max<LONG>(valid.bottom, j + 1)};
    }
  }
  const POINT p = target.Device(std::min(xDest, xDest + wDest), std::min(yDest, yDest + hDest));
  TBlitSource source = MakeSource(from, target);
  source.surface = &sampled;
  source.dx = -p.x, source.dy = -p.y;
  RECT dest{p.x + valid.left, p.y + valid.top, p.x + valid.right, p.y + valid.bottom};
  dest = ClipBoth(target, dest, &source);
  Blit(target, dest, &source, pattern, code);
  CloseTarget(target, dest);
  return TRUE;
}

}  // extern "C"
