// Graphics objects over the platform's GDI: fonts, pens, brushes, canvases, bitmaps, icons and
// pictures. Toolkit layer; every GDI handle made here has one owner that releases it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "toolkit/Classes.h"
#include "toolkit/Streaming.h"
#include "toolkit/Streams.h"
#include "toolkit/Types.h"

// --- Colours ---
// A plain colour as it is, a system colour (high byte 0x80) through the platform's current
// setting; clNone and clDefault give white and black.
COLORREF ColorToRGB(TColor color);
// The identifier of a named colour ("clYellow"), or its number; and back. Form descriptions
// store colours this way.
const std::vector<std::pair<std::string, long long>>& ColorIdents();

// --- Graphics objects ---
// A font, pen or brush: a value with a change notification and a GDI object made on demand.
class TGraphicsObject : public TPersistent {
 public:
  TGraphicsObject() = default;
  TGraphicsObject(const TGraphicsObject&) = delete;
  TGraphicsObject& operator=(const TGraphicsObject&) = delete;
  ~TGraphicsObject() override;

  // Fired after every change of a value. A canvas that has the object selected lets go of the
  // old GDI object here, before it is released.
  TNotifyEvent OnChange;

 protected:
  void Changed();
  // Makes the GDI object for the current values.
  virtual HGDIOBJ CreateObject() const = 0;
  HGDIOBJ Object() const;

 private:
  mutable HGDIOBJ FObject = nullptr;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// A font: face name, height in pixels (negative: character height) or size in points, style,
// colour. A new font is the desktop's default: MS Sans Serif, 8 points (11 pixels), black.
class TFont : public TGraphicsObject {
 public:
  // Screen resolution the toolkit converts points with, as the classic desktop did.
  static constexpr int kPixelsPerInch = 96;

  TFont() = default;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& name);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  BYTE Charset() const { return FCharset; }
  void SetCharset(BYTE charset);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch pitch);

  HFONT Handle() const { return static_cast<HFONT>(Object()); }
  void Assign(const TPersistent* source) override;
  bool SameAs(const TFont& other) const;
  bool operator==(const TFont& other) const { return SameAs(other); }

 protected:
  HGDIOBJ CreateObject() const override;

 private:
  std::string FName = "MS Sans Serif";
  int FHeight = -11;
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  BYTE FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style);
  // Binary raster operation of lines (R2_COPYPEN and the others).
  int Mode() const { return FMode; }
  void SetMode(int mode);

  HPEN Handle() const { return static_cast<HPEN>(Object()); }
  void Assign(const TPersistent* source) override;

 protected:
  HGDIOBJ CreateObject() const override;

 private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  int FMode = R2_COPYPEN;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle style);

  HBRUSH Handle() const { return static_cast<HBRUSH>(Object()); }
  void Assign(const TPersistent* source) override;

 protected:
  HGDIOBJ CreateObject() const override;

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

// --- Canvas ---
class TGraphic;

// Drawing on a device context with a pen, a brush and a font. The canvas selects its objects
// into the context when a drawing call needs them and lets go of them before they change.
// Subclasses supply the context (a bitmap's memory context, a control's part of its window).
class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // --- The context ---
  // The device context, made on demand; null when none can be had.
  HDC Handle();
  // Uses a context the caller owns (and releases after it has cleared it with nullptr).
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return FHandle != nullptr; }

  // --- Tools ---
  TFont& Font() { return FFont; }
  TPen& Pen() { return FPen; }
  TBrush& Brush() { return FBrush; }
  void SetFont(const TFont& font) { FFont.Assign(&font); }
  // Raster operation of CopyRect and Draw (SRCCOPY and the others).
  DWORD CopyMode() const { return FCopyMode; }
  void SetCopyMode(DWORD mode) { FCopyMode = mode; }
  POINT PenPos() const { return FPenPos; }
  void SetPenPos(POINT pos) { MoveTo(pos.x, pos.y); }

  // --- Pixels ---
  // Outside the surface a read gives 0xFFFFFFFF and a write does nothing.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // --- Shapes ---
  void FillRect(const RECT& rect);
  void FrameRect(const RECT& rect);
  // Right and bottom edges are exclusive; outlined with the pen, filled with the brush.
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
  void Ellipse(int x1, int y1, int x2, int y2);
  void Ellipse(const RECT& rect) { Ellipse(rect.left, rect.top, rect.right, rect.bottom); }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polygon(const std::vector<POINT>& points);

  // --- Text ---
  // The background is the brush's colour, or left as it is when the brush is clear.
  void TextOut(int x, int y, const std::string& text);
  // Text clipped to `rect`, starting at x, y.
  void TextRect(const RECT& rect, int x, int y, const std::string& text);
  // DrawTextA with the canvas's font and brush; with DT_CALCRECT it only measures.
  int DrawText(const std::string& text, RECT& rect, UINT format);
  SIZE TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  // --- Copies ---
  // Copies `source` of `canvas` to `dest` here with CopyMode, stretching when the sizes differ.
  void CopyRect(const RECT& dest, TCanvas& canvas, const RECT& source);
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const RECT& rect, TGraphic* graphic);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  // Called when a drawing call needs a context and none is set.
  virtual void CreateHandle() {}
  // Runs when a drawing call is done with the context (a control's canvas gives it back).
  virtual void AfterUse() {}
  // Lets go of the selected tools, so that the context can be released or the tools changed.
  void DeselectTools();
  void Changing();
  void Changed();

 private:
  enum TState { stFont = 1, stPen = 2, stBrush = 4 };
  // Marks one drawing call; AfterUse runs when the outermost call ends.
  class TUse {
   public:
    explicit TUse(TCanvas& canvas) : FCanvas(canvas) { ++FCanvas.FUseDepth; }
    ~TUse() {
      if (--FCanvas.FUseDepth == 0) FCanvas.AfterUse();
    }
    TUse(const TUse&) = delete;
    TUse& operator=(const TUse&) = delete;

   private:
    TCanvas& FCanvas;
  };

  // Selects the tools named in `state` that are not selected yet; false without a context.
  bool Require(int state);

  HDC FHandle = nullptr;
  int FState = 0;
  HGDIOBJ FOldFont = nullptr;
  HGDIOBJ FOldPen = nullptr;
  HGDIOBJ FOldBrush = nullptr;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
  DWORD FCopyMode = SRCCOPY;
  POINT FPenPos{0, 0};
  int FUseDepth = 0;
};

// The rectangle DrawTextA gives `text` in `font` with `format` (DT_CALCRECT is added), at most
// `maxWidth` wide when the text wraps.
RECT TextBounds(const TFont& font, const std::string& text, UINT format, int maxWidth = 0);

// --- Pixels ---
// The pixels of a bitmap as a 32-bit top-down DIB holds them: 0x00RRGGBB words, row 0 first,
// `width` times `height` of them. `dc` is a device context the bitmap is not selected into (a
// memory DC will do). False when the platform refuses the transfer.
bool ReadPixels32(HDC dc, HBITMAP bitmap, int width, int height, void* pixels);
bool WritePixels32(HDC dc, HBITMAP bitmap, int width, int height, const void* pixels);

// --- Graphics ---
// A picture that can draw itself on a canvas, load and save itself.
class TGraphic : public TPersistent {
 public:
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  // A transparent graphic leaves the pixels of its transparent colour unpainted.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);

  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) const = 0;
  virtual void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
  virtual void Changed();

 private:
  bool FTransparent = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A bitmap with a canvas. New pixels are white. pfDevice bitmaps hold 32 bits per pixel;
// other formats are kept at their own depth and saved at it (pf15bit and pf16bit are both five
// bits per colour, the layout a plain 16-bit BMP file holds).
class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;

  bool Empty() const override { return FBitmap == nullptr; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int width) override { SetSize(width, FHeight); }
  void SetHeight(int height) override { SetSize(FWidth, height); }
  // Keeps the pixels that stay inside; new ones are white.
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat format);

  TCanvas& Canvas();
  HBITMAP Handle() const { return FBitmap; }

  // tmAuto takes the colour of the bottom-left pixel; tmFixed the colour that was set.
  TColor TransparentColor();
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode mode);

  // Windows BMP files: reads 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed; raises
  // EInvalidGraphic for anything else or for a damaged file. Writes at the bitmap's depth.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  std::vector<uint8_t> SaveToBytes() const;
  void LoadFromBytes(const std::vector<uint8_t>& bytes);

  void Assign(const TPersistent* source) override;

 protected:
  void Draw(TCanvas& canvas, const RECT& rect) override;
  void Changed() override;

 private:
  friend class TBitmapCanvas;
  void Replace(HBITMAP bitmap, int width, int height, TPixelFormat format);
  // A bitmap can be selected into one context at a time: the canvas lets go of it before the
  // bitmap is copied or read as a whole. The canvas selects it again when next drawn on.
  void ReleaseContext() const;
  HBITMAP MakeBitmap(int width, int height, TPixelFormat format) const;
  // The image with its transparent pixels black, and the mask (white where transparent).
  void BuildTransparency();

  HBITMAP FBitmap = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  std::unique_ptr<TBitmapCanvas> FCanvas;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  std::unique_ptr<TBitmap> FMaskImage;  // cached for transparent drawing
  std::unique_ptr<TBitmap> FMask;
};

// A bitmap's canvas: a memory context with the bitmap selected.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& bitmap) : FBitmap(bitmap) {}
  ~TBitmapCanvas() override;
  // Lets go of the context, so that the bitmap can be replaced.
  void FreeContext();

 protected:
  void CreateHandle() override;

 private:
  TBitmap& FBitmap;
  HGDIOBJ FOldBitmap = nullptr;
};

// An icon: loaded from an ICO file or given as a handle, which it then owns.
class TIcon : public TGraphic {
 public:
  TIcon() = default;
  ~TIcon() override;

  bool Empty() const override { return FHandle == nullptr; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // An icon's size comes from its image; setting it raises EInvalidGraphicOperation.
  void SetWidth(int) override;
  void SetHeight(int) override;

  HICON Handle() const { return FHandle; }
  // Takes ownership of `icon` (releasing the previous one) and fires OnChange.
  void SetHandle(HICON icon);
  // Gives up the handle without releasing it.
  HICON ReleaseHandle();

  // ICO files, read by the platform (the image it picks for the system's icon size).
  void LoadFromFile(const std::string& fileName) override;
  // The rest of the stream as an ICO file; raises EInvalidGraphic for a damaged one.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  // The bytes of an ICO file: the image closest to the system's icon size is shown, the whole
  // file is kept for saving. Raises EInvalidGraphic for a damaged file.
  void LoadFromBytes(const std::vector<uint8_t>& bytes);

  void Assign(const TPersistent* source) override;

 protected:
  void Draw(TCanvas& canvas, const RECT& rect) override;
  // An icon travels in form descriptions as "Data", the bytes of its ICO file.
  void DefineProperties(TFiler& filer) override;

 private:
  HICON FHandle = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  std::vector<uint8_t> FData;  // the file it was loaded from, for saving
};

// A picture of any kind: a bitmap or an icon, made on demand by asking for it.
class TPicture : public TPersistent {
 public:
  TPicture() = default;
  ~TPicture() override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Copies `graphic` (or clears the picture with null).
  void SetGraphic(const TGraphic* graphic);
  // The picture as a bitmap: replaces any other kind with an empty bitmap.
  TBitmap& Bitmap();
  TIcon& Icon();
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // By the file's extension: ".bmp" or ".ico"; raises EInvalidGraphic for others.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;
  void Assign(const TPersistent* source) override;

  TNotifyEvent OnChange;

 protected:
  // A bitmap picture travels in form descriptions as "Data", the bytes of its BMP file.
  void DefineProperties(TFiler& filer) override;

 private:
  template <class G>
  G& Ensure();
  void Take(std::unique_ptr<TGraphic> graphic);
  void Changed();

  std::unique_ptr<TGraphic> FGraphic;
};

class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
};

class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};
