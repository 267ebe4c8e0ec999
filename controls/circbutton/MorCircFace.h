// The faces of the shaped button: working rasters, the bevel rings, the lit face and its
// shading, and the computation of the released face, the pressed face and the shape mask.
// Program layer (controls/circbutton), on the platform's GDI and the toolkit's bitmaps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "toolkit/Graphics.h"

// --- Enumerations ---
enum TMorCircBevel : uint8_t { hbNone, hbLowered, hbRaised };

// --- Working bitmaps ---
// A plain 0x00BBGGRR pixel grid in memory: the working bitmaps of a rebuild. The per-pixel
// steps and the raster operations between working bitmaps run here; only ellipses and text
// are drawn by the platform (TMorDeviceBitmap) and read back. A new raster is white.
class TMorRaster {
 public:
  TMorRaster() = default;
  TMorRaster(int width, int height, COLORREF fill = 0xFFFFFF);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FPixels.empty(); }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < FWidth && y < FHeight; }

  // A read outside gives 0xFFFFFFFF and a write outside does nothing, which the rim loops
  // rely on. The high byte of a written colour is dropped.
  COLORREF Pixel(int x, int y) const {
    return Contains(x, y) ? FPixels[size_t(y) * FWidth + x] : 0xFFFFFFFF;
  }
  void SetPixel(int x, int y, COLORREF color) {
    if (Contains(x, y)) FPixels[size_t(y) * FWidth + x] = color & 0xFFFFFF;
  }
  void Fill(COLORREF color);

  // Combines `source` into this raster, pixel by pixel where both have pixels, with one of
  // SRCCOPY, SRCAND, SRCPAINT, SRCERASE and NOTSRCCOPY (others change nothing).
  void Combine(const TMorRaster& source, DWORD rop);

  // Transfers to and from a 32-bit GDI bitmap of the same size.
  void ReadFrom(HDC dc, HBITMAP bitmap);
  void WriteTo(HDC dc, HBITMAP bitmap) const;

  const COLORREF* Data() const { return FPixels.data(); }

 private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<COLORREF> FPixels;
};

// A 32-bit device bitmap selected into a memory device context of its own, for what the
// platform draws: ellipses, text, and the face painted over a parent's pixels. White when new.
class TMorDeviceBitmap {
 public:
  // Raises EOutOfResources when the platform cannot make a bitmap of that size.
  TMorDeviceBitmap(int width, int height);
  explicit TMorDeviceBitmap(const TMorRaster& raster);
  ~TMorDeviceBitmap();
  TMorDeviceBitmap(const TMorDeviceBitmap&) = delete;
  TMorDeviceBitmap& operator=(const TMorDeviceBitmap&) = delete;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  HDC Dc() const { return FDc; }
  void Fill(COLORREF color);
  // An ellipse inscribed in (x1, y1, x2, y2), right and bottom exclusive, outlined with a
  // one-pixel pen of `pen` and filled with `brush`, or outlined only when `filled` is false.
  void Ellipse(int x1, int y1, int x2, int y2, COLORREF pen, bool filled, COLORREF brush = 0);
  TMorRaster ToRaster() const;

 private:
  int FWidth = 0;
  int FHeight = 0;
  HDC FDc = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
};

// --- Face computation ---
// The rounding the face and ring computations are defined with. MorRound sends halves to the
// even neighbour (7.5 to 8, 6.5 to 6).
int MorCeilInt(double x);
int MorFloorInt(double x);
int MorRound(double x);

// The light falls from the upper left and the front; each component is 1/sqrt(3) to ten
// decimals, exactly as the stored faces were computed.
constexpr double kMorLight = 0.5773502692;

// Each component v of `color` becomes v + MorRound(v * k), clamped to 0..255. The high byte of
// `color` is ignored, so a pixel read outside a bitmap counts as white.
COLORREF ScaleColor(COLORREF color, double k);

// Draws one grey bevel ring into `canvas` (white when called): the ellipse whose centre line is
// inscribed in (x1, y1, x2, y2) is traced with the midpoint algorithm in real arithmetic over
// one quadrant, and every traced point paints a square brush reaching CeilInt(penWidth / 2) + 1
// pixels each way, mirrored into the four quadrants. Each brush pixel is shaded as a 45-degree
// wall facing away from the centre (raised) or towards it (lowered), lit by kMorLight.
void DrawBevelRing(TMorRaster& canvas, int x1, int y1, int x2, int y2, int penWidth, bool raised);
// The points a ring with half-axes a and b is traced through, in order: x to the right and y
// upward from the centre, from the top of the ellipse clockwise to its right end.
std::vector<POINT> TraceBevelQuadrant(double a, double b);
// How far the ring brush of a pen reaches each way from a traced point.
int BevelBrushReach(int penWidth);

// Everything the faces of a button depend on.
struct TMorFaceSettings {
  int Width = 25;
  int Height = 25;
  TMorCircBevel BevelOuter = hbLowered;
  TMorCircBevel BevelInner = hbNone;
  int BevelWidth = 2;
  double AttenControl = 1.0;
  uint8_t FaceRed = 128, FaceGreen = 128, FaceBlue = 128;
  bool FaceShaded = true;
  bool FaceTransparent = false;
  // The glyph strip; its bottom-left pixel is the key colour. It is drawn only when
  // GlyphValid is true.
  const TMorRaster* Glyph = nullptr;
  bool GlyphValid = false;
  int NumGlyphs = 1;
  int GlyphIndex = 1;
  bool GlyphShaded = true;
  bool GlyphMapped = false;
  bool GlyphTransparent = true;
  std::string Caption;
  HFONT Font = nullptr;  // null: the device context's default font
  COLORREF FontColor = 0;
  bool Border = false;
  COLORREF BorderColor = 0x808080;
};

// The released face, the pressed face and the shape mask (black on the ellipse, white outside;
// white also on a see-through face).
struct TMorFaceImages {
  TMorRaster Out;
  TMorRaster In;
  TMorRaster Mask;
};

// Computes the three images of a button of at least 2 by 2 pixels. The images are made afresh,
// so a failure part-way leaves the caller's images as they were.
//
// Choices the stored faces leave open: a glyph with NumGlyphs below 1 is shown as one cell
// (the whole strip), and a cell that lies beyond the end of the strip shows no glyph pixels.
TMorFaceImages BuildFaceImages(const TMorFaceSettings& settings);

// Paints the width by height `face` through `mask` onto `target` at (0, 0), over whatever is
// there: the target's pixels stay where the mask is white, the face shows where it is black.
// The result goes onto the target with the target's copy mode. Only whole-canvas copies touch
// the target, so a control's canvas holds its window's context for one copy at a time.
void PaintThroughMask(TCanvas& target, TCanvas& face, TCanvas& mask, int width, int height);
