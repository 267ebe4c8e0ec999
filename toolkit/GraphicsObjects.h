// Fonts, pens and brushes over the platform's GDI, and the colours they are made of. Toolkit
// layer; each object makes its GDI object on demand and is the one that releases it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"
#include "toolkit/Classes.h"
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
