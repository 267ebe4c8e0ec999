// The faces of the shaped button: working rasters, bevel rings, shading, and the images built
// from them. Program layer (controls/circbutton).
#include "controls/circbutton/MorCircFace.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr double kInvPi = 0.31830988618379067;

}  // namespace

// --- Working bitmaps ---

namespace {

// 0x00RRGGBB and 0x00BBGGRR are each other's mirror.
constexpr uint32_t SwapRedBlue(uint32_t c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace

TMorRaster::TMorRaster(int width, int height, COLORREF fill)
    : FWidth(std::max(width, 0)),
      FHeight(std::max(height, 0)),
      FPixels(size_t(FWidth) * FHeight, fill & 0xFFFFFF) {}

void TMorRaster::Fill(COLORREF color) {
  std::fill(FPixels.begin(), FPixels.end(), color & 0xFFFFFF);
}

void TMorRaster::Combine(const TMorRaster& source, DWORD rop) {
  const int width = std::min(FWidth, source.FWidth);
  const int height = std::min(FHeight, source.FHeight);
  for (int y = 0; y < height; ++y) {
    COLORREF* d = FPixels.data() + size_t(y) * FWidth;
    const COLORREF* s = source.FPixels.data() + size_t(y) * source.FWidth;
    for (int x = 0; x < width; ++x) {
      switch (rop) {
        case SRCCOPY:
          d[x] = s[x];
          break;
        case SRCAND:
          d[x] &= s[x];
          break;
        case SRCPAINT:
          d[x] |= s[x];
          break;
        case SRCERASE:
          d[x] = s[x] & ~d[x] & 0xFFFFFF;
          break;
        case NOTSRCCOPY:
          d[x] = ~s[x] & 0xFFFFFF;
          break;
        default:
          return;
      }
    }
  }
}

void TMorRaster::ReadFrom(HDC dc, HBITMAP bitmap) {
  if (Empty() || !ReadPixels32(dc, bitmap, FWidth, FHeight, FPixels.data())) return;
  for (COLORREF& c : FPixels)
    c = SwapRedBlue(c);
}

void TMorRaster::WriteTo(HDC dc, HBITMAP bitmap) const {
  if (Empty()) return;
  std::vector<uint32_t> bits(FPixels.size());
  std::transform(FPixels.begin(), FPixels.end(), bits.begin(), SwapRedBlue);
  WritePixels32(dc, bitmap, FWidth, FHeight, bits.data());
}

TMorDeviceBitmap::TMorDeviceBitmap(int width, int height) {
  FBitmap = width > 0 && height > 0 ? CreateBitmap(width, height, 1, 32, nullptr) : nullptr;
  FDc = FBitmap ? CreateCompatibleDC(nullptr) : nullptr;
  if (!FDc) {
    if (FBitmap) DeleteObject(FBitmap);
    throw EOutOfResources("Out of system resources");
  }
  FOldBitmap = SelectObject(FDc, FBitmap);
  FWidth = width;
  FHeight = height;
  Fill(kWhite);
}

TMorDeviceBitmap::TMorDeviceBitmap(const TMorRaster& raster)
    : TMorDeviceBitmap(raster.Width(), raster.Height()) {
  // The DIB transfers want the bitmap out of its context, as Win32 asks.
  SelectObject(FDc, FOldBitmap);
  raster.WriteTo(FDc, FBitmap);
  SelectObject(FDc, FBitmap);
}

TMorDeviceBitmap::~TMorDeviceBitmap() {
  SelectObject(FDc, FOldBitmap);
  DeleteDC(FDc);
  DeleteObject(FBitmap);
}

void TMorDeviceBitmap::Fill(COLORREF color) {
  const RECT all{0, 0, FWidth, FHeight};
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(FDc, &all, brush);
  DeleteObject(brush);
}

void TMorDeviceBitmap::Ellipse(int x1, int y1, int x2, int y2, COLORREF pen, bool filled,
                               COLORREF brush) {
  HPEN penHandle = CreatePen(PS_SOLID, 1, pen);
  HBRUSH brushHandle = filled ? CreateSolidBrush(brush) : nullptr;
  HGDIOBJ oldPen = SelectObject(FDc, penHandle);
  HGDIOBJ oldBrush =
      SelectObject(FDc, filled ? static_cast<HGDIOBJ>(brushHandle) : GetStockObject(NULL_BRUSH));
  ::Ellipse(FDc, x1, y1, x2, y2);
  SelectObject(FDc, oldBrush);
  SelectObject(FDc, oldPen);
  if (brushHandle) DeleteObject(brushHandle);
  DeleteObject(penHandle);
}

TMorRaster TMorDeviceBitmap::ToRaster() const {
  TMorRaster raster(FWidth, FHeight);
  SelectObject(FDc, FOldBitmap);
  raster.ReadFrom(FDc, FBitmap);
  SelectObject(FDc, FBitmap);
  return raster;
}

// --- Rounding and colours ---

int MorCeilInt(double x) {
  return static_cast<int>(std::ceil(x));
}

int MorFloorInt(double x) {
  return static_cast<int>(std::floor(x));
}

int MorRound(double x) {
  const double lower = std::floor(x);
  const double rest = x - lower;
  if (rest > 0.5) return static_cast<int>(lower) + 1;
  if (rest < 0.5) return static_cast<int>(lower);
  const int even = static_cast<int>(lower);
  return even % 2 == 0 ? even : even + 1;
}

COLORREF ScaleColor(COLORREF color, double k) {
  COLORREF result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int v = static_cast<int>((color >> shift) & 0xFF);
    const int scaled = std::clamp(v + MorRound(v * k), 0, 255);
    result |= static_cast<COLORREF>(scaled) << shift;
  }
  return result;
}

// --- Bevel ring ---

namespace {

// The square brush of one ring: shades offsets from the ring's centre and writes them at the
// four mirrored positions.
class TRingBrush {
 public:
  TRingBrush(TMorRaster& canvas, double cx, double cy, int reach, bool raised)
      : FCanvas(canvas), FCx(cx), FCy(cy), FReach(reach), FSign(raised ? 1.0 : -1.0) {
    // Offsets whose four positions all lie outside the canvas draw nothing; leaving them out
    // keeps a very wide pen from taking forever on a small button.
    FMaxDx = std::abs(cx) + canvas.Width() + 1;
    FMaxDy = std::abs(cy) + canvas.Height() + 1;
  }

  // Paints the brush around the traced point (px, py), dy then dx ascending.
  void Plot(int px, int py) {
    const int dyFirst = static_cast<int>(std::max<double>(py - FReach, -FMaxDy));
    const int dyLast = static_cast<int>(std::min<double>(py + FReach, FMaxDy));
    const int dxFirst = static_cast<int>(std::max<double>(px - FReach, -FMaxDx));
    const int dxLast = static_cast<int>(std::min<double>(px + FReach, FMaxDx));
    for (int dy = dyFirst; dy <= dyLast; ++dy)
      for (int dx = dxFirst; dx <= dxLast; ++dx)
        Shade(dx, dy);
  }

 private:
  void Shade(int dx, int dy) {
    const int right = MorCeilInt(FCx + dx);
    const int left = MorFloorInt(FCx - dx);
    const int up = MorCeilInt(FCy - dy);
    const int down = MorFloorInt(FCy + dy);
    Write(right, up, dx, -dy);
    Write(right, down, dx, dy);
    Write(left, down, -dx, dy);
    Write(left, up, -dx, -dy);
  }

  void Write(int x, int y, int ox, int oy) {
    if (!FCanvas.Contains(x, y)) return;
    const int grey = Grey(ox, oy);
    FCanvas.SetPixel(x, y, RGB(grey, grey, grey));
  }

  // The wall's normal is (sign * ox, sign * oy, rho) over its length: 45 degrees, facing away
  // from the centre when raised. The centre itself faces the viewer.
  int Grey(int ox, int oy) const {
    const double squared = double(ox) * ox + double(oy) * oy;
    double nx = 0, ny = 0, nz = 1;
    if (squared > 0) {
      const double rho = std::sqrt(squared);
      const double length = std::sqrt(rho * rho + squared);
      nx = FSign * ox / length;
      ny = FSign * oy / length;
      nz = rho / length;
    }
    const double light = -kMorLight * nx - kMorLight * ny + kMorLight * nz;
    return std::clamp(128 + MorRound(128 * light), 0, 255);
  }

  TMorRaster& FCanvas;
  double FCx, FCy;
  int FReach;
  double FSign;
  double FMaxDx, FMaxDy;
};

}  // namespace

std::vector<POINT> TraceBevelQuadrant(double a, double b) {
  const double a2 = a * a;
  const double b2 = b * b;
  std::vector<POINT> points;
  auto plot = [&points](double x, double y) { points.push_back({MorRound(x), MorRound(y)}); };

  // Each update uses x and y from before the step.
  double x = 0;
  double y = b;
  double d1 = b2 - a2 * b + 0.25 * a2;
  plot(x, y);
  while (a2 * (y - 0.5) > b2 * (x + 1)) {
    if (d1 < 0) {
      d1 += b2 * (2 * x + 3);
    } else {
      d1 += b2 * (2 * x + 3) + a2 * (2 - 2 * y);
      y -= 1;
    }
    x += 1;
    plot(x, y);
  }
  double d2 = b2 * (x + 0.5) * (x + 0.5) + a2 * (y - 1) * (y - 1) - a2 * b2;
  while (y > 0) {
    if (d2 < 0) {
      d2 += b2 * (2 * x + 2) + a2 * (3 - 2 * y);
      x += 1;
    } else {
      d2 += a2 * (3 - 2 * y);
    }
    y -= 1;
    plot(x, y);
  }
  return points;
}

void DrawBevelRing(TMorRaster& canvas, int x1, int y1, int x2, int y2, int penWidth, bool raised) {
  const double a = (x2 - x1 - 1) * 0.5;
  const double b = (y2 - y1 - 1) * 0.5;
  TRingBrush brush(canvas, x1 + a, y1 + b, BevelBrushReach(penWidth), raised);
  for (const POINT& point : TraceBevelQuadrant(a, b))
    brush.Plot(point.x, point.y);
}

int BevelBrushReach(int penWidth) {
  return MorCeilInt(penWidth * 0.5) + 1;
}

// --- Face shading ---

namespace {

// Lights the face pixels of both work bitmaps, one quadrant at a time, with the glyph cell
// laid over them.
class TFaceShader {
 public:
  TFaceShader(const TMorFaceSettings& settings, const TMorRaster& innerFace, TMorRaster& released,
              TMorRaster& pressed, TMorRaster& mask)
      : FSettings(settings),
        FInnerFace(innerFace),
        FReleased(released),
        FPressed(pressed),
        FMask(mask),
        FHalfWidth(settings.Width * 0.5),
        FHalfHeight(settings.Height * 0.5),
        FFace(RGB(settings.FaceRed, settings.FaceGreen, settings.FaceBlue)) {
    const TMorRaster* glyph = settings.Glyph;
    FKey = glyph ? glyph->Pixel(0, glyph->Height() - 1) : 0xFFFFFFFF;
    if (settings.GlyphValid && glyph) {
      FGlyph = glyph;
      FCellHeight = glyph->Height();
      if (settings.NumGlyphs <= 1) {
        FCellWidth = glyph->Width();
      } else {
        FCellWidth = glyph->Width() / settings.NumGlyphs;
        FCellLeft = (settings.GlyphIndex - 1) * FCellWidth;
      }
    }
  }

  void Run(int bevelCount) {
    const int inset = FSettings.BevelWidth * bevelCount;
    const double faceWidth = FSettings.Width - inset;
    const double faceHeight = FSettings.Height - inset;
    const int lastRow = MorFloorInt(faceHeight * 0.5);
    for (int j = 0; j <= lastRow; ++j) {
      const double ny = j / FHalfHeight;
      const int yTop = MorFloorInt(FHalfHeight - j);
      const int yBottom = MorCeilInt(j + FHalfHeight);
      const int m = MorCeilInt(std::sqrt(std::max(0.0, 1 - ny * ny)) * faceWidth * 0.5);
      if (m <= 1) continue;
      for (int i = 0; i <= m; ++i) {
        const double nx = i / FHalfWidth;
        const double dz = 1 - std::sqrt(nx * nx + ny * ny);
        const int xLeft = MorFloorInt(FHalfWidth - i);
        const int xRight = MorCeilInt(i + FHalfWidth);
        Pixel(xRight, yTop, nx, -ny, dz);
        Pixel(xRight, yBottom, nx, ny, dz);
        Pixel(xLeft, yBottom, -nx, ny, dz);
        Pixel(xLeft, yTop, -nx, -ny, dz);
      }
    }
  }

 private:
  // The glyph's colour at (x, y), when a glyph pixel covers it.
  bool GlyphColor(int x, int y, double px, double py, double dz, COLORREF& color) const {
    if (!FGlyph) return false;
    int gx, gy;
    if (FSettings.GlyphMapped) {
      gx = MorFloorInt(std::atan2(dz, -px) * (FCellWidth - 1) * kInvPi);
      gy = MorFloorInt(std::atan2(dz, -py) * (FCellHeight - 1) * kInvPi);
    } else {
      gx = MorFloorInt(FCellWidth * 0.5 + x - FHalfWidth);
      gy = MorFloorInt(FCellHeight * 0.5 + y - FHalfHeight);
    }
    if (gx < 0 || gx >= FCellWidth || gy < 0 || gy >= FCellHeight) return false;
    if (!FGlyph->Contains(FCellLeft + gx, gy)) return false;
    const COLORREF gc = FGlyph->Pixel(FCellLeft + gx, gy);
    if (gc == FKey && FSettings.GlyphTransparent) return false;
    color = gc;
    return true;
  }

  void Pixel(int x, int y, double px, double py, double dz) {
    COLORREF color = FFace;
    const bool glyphHit = GlyphColor(x, y, px, py, dz, color);
    if (!glyphHit && FSettings.FaceTransparent) {
      if (FInnerFace.Pixel(x, y) != kWhite) FMask.SetPixel(x, y, kWhite);
      return;
    }
    if (glyphHit ? FSettings.GlyphShaded : FSettings.FaceShaded) {
      const double k = FSettings.AttenControl * (-kMorLight * px - kMorLight * py + kMorLight * dz);
      FReleased.SetPixel(x, y, ScaleColor(color, k));
      FPressed.SetPixel(x, y, ScaleColor(color, -k));
    } else {
      FReleased.SetPixel(x, y, color);
      FPressed.SetPixel(x, y, color);
    }
  }

  const TMorFaceSettings& FSettings;
  const TMorRaster& FInnerFace;
  TMorRaster& FReleased;
  TMorRaster& FPressed;
  TMorRaster& FMask;
  double FHalfWidth, FHalfHeight;
  COLORREF FFace;
  COLORREF FKey;
  const TMorRaster* FGlyph = nullptr;
  int FCellWidth = 0, FCellHeight = 0, FCellLeft = 0;
};

// Selects a font into a device context for the life of the guard.
class TFontSelection {
 public:
  TFontSelection(HDC dc, HFONT font) : FDc(dc), FOld(font ? SelectObject(dc, font) : nullptr) {}
  ~TFontSelection() {
    if (FOld) SelectObject(FDc, FOld);
  }
  TFontSelection(const TFontSelection&) = delete;
  TFontSelection& operator=(const TFontSelection&) = delete;

 private:
  HDC FDc;
  HGDIOBJ FOld;
};

// Lays `color` over `target` where `coverage` (drawn black on white by the platform) is dark,
// in proportion to how dark it is: text and outlines drawn once serve every image.
void Cover(TMorRaster& target, const TMorRaster& coverage, COLORREF color) {
  for (int y = 0; y < target.Height(); ++y)
    for (int x = 0; x < target.Width(); ++x) {
      const int alpha = 255 - static_cast<int>(coverage.Pixel(x, y) & 0xFF);
      if (alpha == 0) continue;
      if (alpha == 255) {
        target.SetPixel(x, y, color);
        continue;
      }
      const COLORREF under = target.Pixel(x, y);
      COLORREF mixed = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const int u = static_cast<int>((under >> shift) & 0xFF);
        const int c = static_cast<int>((color >> shift) & 0xFF);
        mixed |= static_cast<COLORREF>(u + ((c - u) * alpha + 127) / 255) << shift;
      }
      target.SetPixel(x, y, mixed);
    }
}

// The caption is centred on the control, drawn unlit on both faces, and kept opaque on a
// see-through face by drawing it black into the mask too.
void CaptionStep(const TMorFaceSettings& settings, TMorRaster& released, TMorRaster& pressed,
                 TMorRaster& mask) {
  if (settings.Caption.empty()) return;
  TMorDeviceBitmap text(settings.Width, settings.Height);
  TFontSelection font(text.Dc(), settings.Font);
  const int length = static_cast<int>(settings.Caption.size());
  SIZE extent{};
  GetTextExtentPoint32A(text.Dc(), settings.Caption.data(), length, &extent);
  const int x = MorRound((settings.Width - 2 - extent.cx) * 0.5);
  const int y = MorRound((settings.Height - 2 - extent.cy) * 0.5);
  SetBkMode(text.Dc(), TRANSPARENT);
  SetTextColor(text.Dc(), kBlack);
  TextOutA(text.Dc(), x, y, settings.Caption.data(), length);
  const TMorRaster coverage = text.ToRaster();
  Cover(released, coverage, settings.FontColor);
  Cover(pressed, coverage, settings.FontColor);
  if (settings.FaceTransparent) Cover(mask, coverage, kBlack);
}

struct TRings {
  int Count = 0;
  TMorRaster First;
  TMorRaster Second;
};

// The rings of the bevels that are set, each clipped to where it shows: the outer (or only)
// ring outside the outer face area, the inner ring between the two face areas.
TRings BevelStep(const TMorFaceSettings& s, const TMorRaster& outerFace,
                 const TMorRaster& innerFace, TMorRaster& keep) {
  TRings rings;
  const int w = s.Width, h = s.Height, bw = s.BevelWidth;
  if (s.BevelOuter == hbNone && s.BevelInner == hbNone) return rings;
  rings.Count = 1;
  rings.First = TMorRaster(w, h);
  if (s.BevelOuter == hbNone) {
    const int r = MorCeilInt(bw * 0.5);
    DrawBevelRing(rings.First, r, r, w - r, h - r, bw, s.BevelInner == hbRaised);
    rings.First.Combine(outerFace, SRCAND);
    return rings;
  }
  const int r = MorFloorInt(bw * 0.5);
  DrawBevelRing(rings.First, r, r, w - r, h - r, bw, s.BevelOuter == hbRaised);
  rings.First.Combine(outerFace, SRCAND);
  if (s.BevelInner == hbNone) return rings;
  rings.Count = 2;
  rings.Second = TMorRaster(w, h);
  const int r2 = MorCeilInt(bw + bw * 0.5);
  DrawBevelRing(rings.Second, r2, r2, w - r2, h - r2, bw, s.BevelInner == hbRaised);
  rings.Second.Combine(innerFace, SRCAND);
  keep.Combine(outerFace, NOTSRCCOPY);
  rings.Second.Combine(keep, SRCAND);
  return rings;
}

// The shape step: the face inside the first bevel, the face inside all bevels, and the mask
// of the whole ellipse, each black on white.
struct TShapes {
  TMorRaster OuterFace, InnerFace, Mask;
};

TShapes ShapeStep(const TMorFaceSettings& s) {
  const int w = s.Width, h = s.Height, bw = s.BevelWidth;
  const bool noBevel = s.BevelOuter == hbNone && s.BevelInner == hbNone;
  const bool twoBevels = s.BevelOuter != hbNone && s.BevelInner != hbNone;
  TShapes shapes;
  TMorDeviceBitmap drawing(w, h);
  if (noBevel)
    drawing.Ellipse(0, 0, w, h, kBlack, true, kBlack);
  else
    drawing.Ellipse(bw, bw, w - bw, h - bw, kBlack, true, kBlack);
  shapes.OuterFace = drawing.ToRaster();
  if (twoBevels) {
    drawing.Fill(kWhite);
    drawing.Ellipse(2 * bw, 2 * bw, w - 2 * bw, h - 2 * bw, kBlack, true, kBlack);
    shapes.InnerFace = drawing.ToRaster();
  } else {
    shapes.InnerFace = shapes.OuterFace;
  }
  if (noBevel) {
    shapes.Mask = shapes.OuterFace;
  } else {
    drawing.Fill(kWhite);
    drawing.Ellipse(0, 0, w, h, kBlack, true, kBlack);
    shapes.Mask = drawing.ToRaster();
  }
  return shapes;
}

// The border: a one-pixel outline on the inner edge of the bevels, on both faces.
void BorderStep(const TMorFaceSettings& s, int inset, TMorFaceImages& images) {
  TMorDeviceBitmap drawing(s.Width, s.Height);
  drawing.Ellipse(inset, inset, s.Width - inset, s.Height - inset, kBlack, false);
  const TMorRaster outline = drawing.ToRaster();
  Cover(images.Out, outline, s.BorderColor);
  Cover(images.In, outline, s.BorderColor);
}

}  // namespace

// --- Building the images ---

TMorFaceImages BuildFaceImages(const TMorFaceSettings& s) {
  const int w = s.Width, h = s.Height;
  TMorRaster keep(w, h), pressed(w, h), released(w, h);
  TShapes shapes = ShapeStep(s);
  TMorFaceImages images;
  images.Mask = std::move(shapes.Mask);

  TRings rings = BevelStep(s, shapes.OuterFace, shapes.InnerFace, keep);
  TFaceShader(s, shapes.InnerFace, released, pressed, images.Mask).Run(rings.Count);
  CaptionStep(s, released, pressed, images.Mask);

  // Compose step: the faces keep only the inner face, the rings fill the band around it.
  keep.Combine(shapes.InnerFace, NOTSRCCOPY);
  if (rings.Count > 0) {
    released.Combine(keep, SRCAND);
    pressed.Combine(keep, SRCAND);
  }
  images.Out = std::move(released);
  images.In = std::move(pressed);
  for (const TMorRaster* ring : {&rings.First, &rings.Second}) {
    if (ring->Empty()) continue;
    images.Out.Combine(*ring, SRCPAINT);
    images.In.Combine(*ring, SRCPAINT);
  }
  if (s.Border) BorderStep(s, rings.Count * s.BevelWidth, images);
  return images;
}

// --- Painting ---

void PaintThroughMask(TCanvas& target, TCanvas& face, TCanvas& mask, int width, int height) {
  if (width <= 0 || height <= 0) return;
  const RECT all{0, 0, width, height};
  TBitmap background(width, height), shape(width, height);
  TCanvas& back = background.Canvas();
  back.CopyRect(all, target, all);
  // Black on the shape, the parent's pixels outside it.
  back.SetCopyMode(SRCAND);
  back.CopyRect(all, mask, all);
  shape.Canvas().CopyRect(all, mask, all);
  // The face on the shape, black outside it.
  shape.Canvas().SetCopyMode(SRCERASE);
  shape.Canvas().CopyRect(all, face, all);
  back.SetCopyMode(SRCPAINT);
  back.CopyRect(all, shape.Canvas(), all);
  target.CopyRect(all, back, all);
}
