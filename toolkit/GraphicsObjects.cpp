// Fonts, pens and brushes over the platform's GDI, and the colours they are made of. Toolkit
// layer.
#include "toolkit/GraphicsObjects.h"
#include "toolkit/Property.h"

#include <cmath>
#include <cstring>

// --- Colours ---

COLORREF ColorToRGB(TColor color) {
  if (color == clNone) return 0x00FFFFFF;
  if (color == clDefault) return 0;
  if (color & kSystemColorFlag) return GetSysColor(color & 0xFF);
  return COLORREF(color) & 0x00FFFFFF;
}

const std::vector<std::pair<std::string, long long>>& ColorIdents() {
  static const std::vector<std::pair<std::string, long long>> kIdents = {
      {"clBlack", clBlack},
      {"clMaroon", clMaroon},
      {"clGreen", clGreen},
      {"clOlive", clOlive},
      {"clNavy", clNavy},
      {"clPurple", clPurple},
      {"clTeal", clTeal},
      {"clGray", clGray},
      {"clSilver", clSilver},
      {"clRed", clRed},
      {"clLime", clLime},
      {"clYellow", clYellow},
      {"clBlue", clBlue},
      {"clFuchsia", clFuchsia},
      {"clAqua", clAqua},
      {"clWhite", clWhite},
      {"clNone", clNone},
      {"clDefault", clDefault},
      {"clBtnFace", clBtnFace},
      {"clWindow", clWindow},
      {"clWindowText", clWindowText},
      {"clBtnShadow", clBtnShadow},
      {"clBtnHighlight", clBtnHighlight},
      {"clHighlight", clHighlight},
      {"clHighlightText", clHighlightText},
      {"clGrayText", clGrayText},
  };
  return kIdents;
}

// --- TGraphicsObject ---

TGraphicsObject::~TGraphicsObject() {
  if (FObject != nullptr) DeleteObject(FObject);
}

void TGraphicsObject::Changed() {
  OnChange(this);
  if (FObject != nullptr) {
    DeleteObject(FObject);
    FObject = nullptr;
  }
}

HGDIOBJ TGraphicsObject::Object() const {
  if (FObject == nullptr) FObject = CreateObject();
  return FObject;
}

// --- TFont ---

void TFont::SetName(const std::string& name) {
  if (name == FName || name.empty()) return;
  FName = name;
  Changed();
}

void TFont::SetHeight(int height) {
  ChangeProperty(FHeight, height, [this] { Changed(); });
}

int TFont::Size() const {
  return -static_cast<int>(std::lround(double(FHeight) * 72 / kPixelsPerInch));
}

void TFont::SetSize(int points) {
  SetHeight(-static_cast<int>(std::lround(double(points) * kPixelsPerInch / 72)));
}

void TFont::SetStyle(TFontStyles style) {
  ChangeProperty(FStyle, style, [this] { Changed(); });
}

void TFont::SetColor(TColor color) {
  ChangeProperty(FColor, color, [this] { Changed(); });
}

void TFont::SetCharset(BYTE charset) {
  ChangeProperty(FCharset, charset, [this] { Changed(); });
}

void TFont::SetPitch(TFontPitch pitch) {
  ChangeProperty(FPitch, pitch, [this] { Changed(); });
}

bool TFont::SameAs(const TFont& o) const {
  return FName == o.FName && FHeight == o.FHeight && FStyle == o.FStyle && FColor == o.FColor &&
         FCharset == o.FCharset && FPitch == o.FPitch;
}

void TFont::Assign(const TPersistent* source) {
  const auto* font = dynamic_cast<const TFont*>(source);
  if (font == nullptr) return TPersistent::Assign(source);
  if (SameAs(*font)) return;
  FName = font->FName;
  FHeight = font->FHeight;
  FStyle = font->FStyle;
  FColor = font->FColor;
  FCharset = font->FCharset;
  FPitch = font->FPitch;
  Changed();
}

HGDIOBJ TFont::CreateObject() const {
  LOGFONTA lf{};
  lf.lfHeight = FHeight;
  lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic);
  lf.lfUnderline = FStyle.Contains(fsUnderline);
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut);
  lf.lfCharSet = FCharset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = FPitch == fpFixed      ? FIXED_PITCH
                        : FPitch == fpVariable ? VARIABLE_PITCH
                                               : DEFAULT_PITCH;
  std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

// --- TPen ---

void TPen::SetColor(TColor color) {
  ChangeProperty(FColor, color, [this] { Changed(); });
}

void TPen::SetWidth(int width) {
  if (width == FWidth || width < 0) return;
  FWidth = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  ChangeProperty(FStyle, style, [this] { Changed(); });
}

void TPen::SetMode(int mode) {
  ChangeProperty(FMode, mode, [this] { Changed(); });
}

void TPen::Assign(const TPersistent* source) {
  const auto* pen = dynamic_cast<const TPen*>(source);
  if (pen == nullptr) return TPersistent::Assign(source);
  FColor = pen->FColor;
  FWidth = pen->FWidth;
  FStyle = pen->FStyle;
  FMode = pen->FMode;
  Changed();
}

HGDIOBJ TPen::CreateObject() const {
  static const int kStyles[] = {PS_SOLID,      PS_DASH, PS_DOT,        PS_DASHDOT,
                                PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
  return CreatePen(kStyles[FStyle], FWidth, ColorToRGB(FColor));
}

// --- TBrush ---

void TBrush::SetColor(TColor color) {
  if (color == FColor && FStyle == bsSolid) return;
  FColor = color;
  FStyle = bsSolid;  // choosing a colour makes a clear brush solid again, as it always did
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  ChangeProperty(FStyle, style, [this] { Changed(); });
}

void TBrush::Assign(const TPersistent* source) {
  const auto* brush = dynamic_cast<const TBrush*>(source);
  if (brush == nullptr) return TPersistent::Assign(source);
  FColor = brush->FColor;
  FStyle = brush->FStyle;
  Changed();
}

HGDIOBJ TBrush::CreateObject() const {
  LOGBRUSH lb{};
  lb.lbStyle = FStyle == bsClear ? BS_NULL : BS_SOLID;
  lb.lbColor = ColorToRGB(FColor);
  return CreateBrushIndirect(&lb);
}
