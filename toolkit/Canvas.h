// The canvas, drawing on a device context with a pen, a brush and a font; and the graphic, the
// picture that draws itself on a canvas. Toolkit layer.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"
#include "toolkit/Classes.h"
#include "toolkit/GraphicsObjects.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

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

// --- Graphic ---
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

// --- Errors ---

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
