// TMorCircButton: the windowless elliptic push button with a lit face, bevel rings, a border
// and a caption, whose released and pressed faces are computed once and stored with the form.
// Program layer (controls/circbutton), on the toolkit's graphic controls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "toolkit/Controls.h"
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

// --- The button ---
// A windowless push button whose visible shape is the ellipse inscribed in its bounds; outside
// it the parent shows through. Its released face, pressed face and shape mask are computed
// whenever a property that affects the picture or the size changes (never while it is being
// read from a form description), and they travel with the form description, so a loaded form
// shows exactly the stored images. Buttons with the same owner and a non-zero GroupIndex
// behave as a radio group.
//
// Where the behaviour is open, this button:
// - without an owner has no other group members: a release or an AllowAllUp write with a
//   non-zero GroupIndex acts on this button alone;
// - when its bevels leave no face (width or height at most twice the bevel allowance) counts
//   the whole ellipse as its face, so it can still be clicked; with a width or height of 0
//   nothing is on the face;
// - with a glyph and NumGlyphs below 1 shows the whole strip as one cell, and a cell beyond
//   the end of the strip (an index accepted while loading) shows no glyph pixels;
// - stores a Down change at once but paints it only when it has a parent and is visible.
class TMorCircButton : public TGraphicControl {
 public:
  explicit TMorCircButton(TComponent* owner);
  ~TMorCircButton() override;

  // --- Properties ---
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value);
  double AttenControl() const { return FAttenControl; }
  void SetAttenControl(double value);
  TMorCircBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TMorCircBevel value);
  TMorCircBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TMorCircBevel value);
  // At least 1; a smaller value is ignored.
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int value);
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value);
  bool Down() const { return FDown; }
  // Shows the matching face at once; other members of the group are left as they are.
  void SetDown(bool value);
  // Only the low three bytes count: a system colour is not translated.
  TColor FaceColor() const { return FFaceColor; }
  void SetFaceColor(TColor value);
  int FaceRed() const { return FFaceRed; }
  int FaceGreen() const { return FFaceGreen; }
  int FaceBlue() const { return FFaceBlue; }
  bool FaceShaded() const { return FFaceShaded; }
  void SetFaceShaded(bool value);
  bool FaceTransparent() const { return FFaceTransparent; }
  void SetFaceTransparent(bool value);
  // The caption's own font. Changing the font object in place does not rebuild the faces;
  // assigning a font does, always.
  TFont& Font() { return *FFont; }
  void SetFont(const TFont& font);
  // The glyph strip: NumGlyphs cells side by side; its bottom-left pixel is the key colour.
  // Assigning null keeps the old pixels but stops drawing them.
  const TBitmap& Glyph() const { return *FGlyph; }
  void SetGlyph(const TBitmap* glyph);
  bool GlyphValid() const { return FGlyphValid; }
  // 1 to NumGlyphs; while loading any value of 1 or more, since it is read before NumGlyphs.
  int GlyphIndex() const { return FGlyphIndex; }
  void SetGlyphIndex(int value);
  bool GlyphShaded() const { return FGlyphShaded; }
  void SetGlyphShaded(bool value);
  bool GlyphMapped() const { return FGlyphMapped; }
  void SetGlyphMapped(bool value);
  bool GlyphTransparent() const { return FGlyphTransparent; }
  void SetGlyphTransparent(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value) { FGroupIndex = value; }
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int value);

  // The stored faces and mask, and how often they have been computed.
  const TBitmap& ImageOut() const { return *FImageOut; }
  const TBitmap& ImageIn() const { return *FImageIn; }
  const TBitmap& ImageMask() const { return *FImageMask; }
  int RebuildCount() const { return FRebuildCount; }

  // Whether (x, y), relative to the button, lies on the face inside the bevel rings.
  bool PointInFace(int x, int y) const;

  void SetBounds(int left, int top, int width, int height) override;

  // --- Events ---
  // Fired only by the button's own pointer handling; Sender is the button.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DefineProperties(TFiler& filer) override;

 private:
  // Stores a picture-affecting value, then recomputes the faces and asks for a repaint.
  template <class T>
  void Change(T& field, const T& value);
  void Rebuild();
  void RebuildImages();
  TMorFaceSettings Settings(TMorRaster& glyph) const;
  // The buttons of this button's owner with the same GroupIndex, this one included.
  std::vector<TMorCircButton*> GroupMembers() const;
  static std::vector<uint8_t> ImageBytes(const TBitmap& image);
  static void LoadImage(TBitmap& image, const std::vector<uint8_t>& bytes);

  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TBitmap> FImageOut;
  std::unique_ptr<TBitmap> FImageIn;
  std::unique_ptr<TBitmap> FImageMask;
  std::unique_ptr<TBitmap> FGlyph;
  bool FAllowAllUp = false;
  double FAttenControl = 1.0;
  TMorCircBevel FBevelInner = hbNone;
  TMorCircBevel FBevelOuter = hbLowered;
  int FBevelWidth = 2;
  TColor FBorderColor = clGray;
  TBorderStyle FBorderStyle = bsNone;
  std::string FCaption;
  bool FDown = false;
  TColor FFaceColor = clGray;
  int FFaceRed = 128, FFaceGreen = 128, FFaceBlue = 128;
  bool FFaceShaded = true;
  bool FFaceTransparent = false;
  bool FGlyphValid = false;
  int FGlyphIndex = 1;
  bool FGlyphShaded = true;
  bool FGlyphMapped = false;
  bool FGlyphTransparent = true;
  int FGroupIndex = 0;
  int FNumGlyphs = 1;
  int FLastWidth = -1;
  int FLastHeight = -1;
  bool FTracking = false;
  bool FWasDown = false;
  int FRebuildCount = 0;
};
