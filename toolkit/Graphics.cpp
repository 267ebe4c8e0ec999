// Graphics objects over the platform's GDI: fonts, pens, brushes, canvases, bitmaps, icons and
// pictures. Toolkit layer.
#include "toolkit/Graphics.h"
#include "toolkit/Property.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// --- Helpers ---

// A memory context with one bitmap selected for the length of a scope.
class TScopedBitmapDC {
 public:
  explicit TScopedBitmapDC(HBITMAP bitmap) : FDC(CreateCompatibleDC(nullptr)) {
    if (FDC != nullptr && bitmap != nullptr) FOld = SelectObject(FDC, bitmap);
  }
  ~TScopedBitmapDC() {
    if (FDC == nullptr) return;
    if (FOld != nullptr) SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  TScopedBitmapDC(const TScopedBitmapDC&) = delete;
  TScopedBitmapDC& operator=(const TScopedBitmapDC&) = delete;
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
  HGDIOBJ FOld = nullptr;
};

int BitsOf(TPixelFormat format) {
  switch (format) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

TPixelFormat FormatOf(int bits) {
  switch (bits) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 16:
      return pf16bit;
    case 24:
      return pf24bit;
    default:
      return pf32bit;
  }
}

RGBQUAD Quad(BYTE r, BYTE g, BYTE b) {
  return RGBQUAD{b, g, r, 0};
}

// The colour table a new bitmap of `bits` per pixel starts with: black and white; the sixteen
// colours of the classic desktop; or those sixteen followed by a colour cube and greys.
std::vector<RGBQUAD> DefaultColorTable(int bits) {
  static const BYTE kVga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                   {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                   {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                   {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  std::vector<RGBQUAD> table;
  if (bits == 1) return {Quad(0, 0, 0), Quad(255, 255, 255)};
  for (const auto& c : kVga)
    table.push_back(Quad(c[0], c[1], c[2]));
  if (bits == 4) return table;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        table.push_back(Quad(BYTE(r * 51), BYTE(g * 51), BYTE(b * 51)));
  while (table.size() < 256) {
    const BYTE v = BYTE(8 + (table.size() - 232) * 10);
    table.push_back(Quad(v, v, v));
  }
  return table;
}

// A BITMAPINFO with room for a colour table of up to 256 entries.
struct TBitmapInfo {
  BITMAPINFOHEADER Header{};
  RGBQUAD Colors[256]{};
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

int ColorCount(const BITMAPINFOHEADER& h) {
  if (h.biBitCount > 8) return h.biCompression == BI_BITFIELDS ? 3 : 0;
  const int full = 1 << h.biBitCount;
  return h.biClrUsed == 0 || h.biClrUsed > DWORD(full) ? full : int(h.biClrUsed);
}

int64_t Stride(int width, int bits) {
  return ((int64_t(width) * bits + 31) / 32) * 4;
}

constexpr int kMaxBitmapSide = 32768;
constexpr WORD kBmpSignature = 0x4D42;  // "BM"
constexpr int kFileHeaderSize = sizeof(BITMAPFILEHEADER);

// The header of a 32-bit top-down DIB: pixels 0x00RRGGBB, row 0 first.
BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

const std::string kIcoExtension = ".ico";
const std::string kBmpExtension = ".bmp";

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && SameText(text.substr(text.size() - tail.size()), tail);
}

}  // namespace

// --- Pixels ---

bool ReadPixels32(HDC dc, HBITMAP bitmap, int width, int height, void* pixels) {
  BITMAPINFO info = TopDownInfo(width, height);
  return GetDIBits(dc, bitmap, 0, UINT(height), pixels, &info, DIB_RGB_COLORS) != 0;
}

bool WritePixels32(HDC dc, HBITMAP bitmap, int width, int height, const void* pixels) {
  const BITMAPINFO info = TopDownInfo(width, height);
  return SetDIBits(dc, bitmap, 0, UINT(height), pixels, &info, DIB_RGB_COLORS) != 0;
}

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

// --- TCanvas ---

TCanvas::TCanvas() {
  FFont.OnChange = [this](TObject*) {
    if (FState & stFont) {
      SelectObject(FHandle, FOldFont);
      FState &= ~stFont;
    }
  };
  FPen.OnChange = [this](TObject*) {
    if (FState & stPen) {
      SelectObject(FHandle, FOldPen);
      FState &= ~stPen;
    }
  };
  FBrush.OnChange = [this](TObject*) {
    if (FState & stBrush) {
      SelectObject(FHandle, FOldBrush);
      FState &= ~stBrush;
    }
  };
}

TCanvas::~TCanvas() {
  DeselectTools();
}

HDC TCanvas::Handle() {
  if (FHandle == nullptr) CreateHandle();
  return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == FHandle) return;
  DeselectTools();
  FHandle = dc;
}

void TCanvas::DeselectTools() {
  if (FHandle == nullptr) return;
  if (FState & stFont) SelectObject(FHandle, FOldFont);
  if (FState & stPen) SelectObject(FHandle, FOldPen);
  if (FState & stBrush) SelectObject(FHandle, FOldBrush);
  FState = 0;
}

bool TCanvas::Require(int state) {
  if (Handle() == nullptr) return false;
  const int missing = state & ~FState;
  if (missing & stFont) {
    FOldFont = SelectObject(FHandle, FFont.Handle());
    SetTextColor(FHandle, ColorToRGB(FFont.Color()));
  }
  if (missing & stPen) {
    FOldPen = SelectObject(FHandle, FPen.Handle());
    SetROP2(FHandle, FPen.Mode());
  }
  if (missing & stBrush) {
    FOldBrush = SelectObject(FHandle, FBrush.Handle());
    SetBkColor(FHandle, ColorToRGB(FBrush.Color()));
    SetBkMode(FHandle, FBrush.Style() == bsClear ? TRANSPARENT : OPAQUE);
  }
  FState |= missing;
  return true;
}

void TCanvas::Changing() {
  OnChanging(this);
}
void TCanvas::Changed() {
  OnChange(this);
}

TColor TCanvas::Pixels(int x, int y) {
  TUse use(*this);
  if (Handle() == nullptr) return TColor(CLR_INVALID);
  return TColor(GetPixel(FHandle, x, y));
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  TUse use(*this);
  if (Handle() == nullptr) return;
  Changing();
  SetPixel(FHandle, x, y, ColorToRGB(color));
  Changed();
}

void TCanvas::FillRect(const RECT& rect) {
  TUse use(*this);
  if (!Require(stBrush)) return;
  Changing();
  ::FillRect(FHandle, &rect, FBrush.Handle());
  Changed();
}

void TCanvas::FrameRect(const RECT& rect) {
  TUse use(*this);
  if (!Require(stBrush)) return;
  Changing();
  ::FrameRect(FHandle, &rect, FBrush.Handle());
  Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  TUse use(*this);
  if (!Require(stPen | stBrush)) return;
  Changing();
  ::Rectangle(FHandle, x1, y1, x2, y2);
  Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  TUse use(*this);
  if (!Require(stPen | stBrush)) return;
  Changing();
  ::Ellipse(FHandle, x1, y1, x2, y2);
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  TUse use(*this);
  FPenPos = {x, y};
  if (Handle() != nullptr) MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  TUse use(*this);
  if (!Require(stPen | stBrush)) return;
  Changing();
  MoveToEx(FHandle, FPenPos.x, FPenPos.y, nullptr);
  ::LineTo(FHandle, x, y);
  FPenPos = {x, y};
  Changed();
}

void TCanvas::Polygon(const std::vector<POINT>& points) {
  TUse use(*this);
  if (points.empty() || !Require(stPen | stBrush)) return;
  Changing();
  ::Polygon(FHandle, points.data(), static_cast<int>(points.size()));
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  TUse use(*this);
  if (!Require(stFont | stBrush)) return;
  Changing();
  TextOutA(FHandle, x, y, text.data(), static_cast<int>(text.size()));
  SIZE size{0, 0};
  GetTextExtentPoint32A(FHandle, text.data(), static_cast<int>(text.size()), &size);
  FPenPos = {x + size.cx, y};
  Changed();
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text) {
  TUse use(*this);
  if (!Require(stFont | stBrush)) return;
  Changing();
  const UINT options = ETO_CLIPPED | (FBrush.Style() == bsClear ? 0 : ETO_OPAQUE);
  ExtTextOutA(FHandle, x, y, options, &rect, text.data(), UINT(text.size()), nullptr);
  Changed();
}

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT format) {
  TUse use(*this);
  if (!Require(stFont | stBrush)) return 0;
  const bool draws = !(format & DT_CALCRECT);
  if (draws) Changing();
  const int height = DrawTextA(FHandle, text.data(), static_cast<int>(text.size()), &rect, format);
  if (draws) Changed();
  return height;
}

namespace {

// A canvas on a memory context without a bitmap: enough to measure text.
class TMeasureCanvas : public TCanvas {
 public:
  TMeasureCanvas() { SetHandle(CreateCompatibleDC(nullptr)); }
  ~TMeasureCanvas() override {
    HDC dc = Handle();
    SetHandle(nullptr);
    DeleteDC(dc);
  }
};

}  // namespace

RECT TextBounds(const TFont& font, const std::string& text, UINT format, int maxWidth) {
  TMeasureCanvas canvas;
  canvas.SetFont(font);
  RECT rect{0, 0, maxWidth, 0};
  canvas.DrawText(text, rect, format | DT_CALCRECT);
  return rect;
}

SIZE TCanvas::TextExtent(const std::string& text) {
  TUse use(*this);
  SIZE size{0, 0};
  if (Require(stFont))
    GetTextExtentPoint32A(FHandle, text.data(), static_cast<int>(text.size()), &size);
  return size;
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& canvas, const RECT& source) {
  TUse use(*this);
  TUse sourceUse(canvas);
  if (!Require(stBrush) || canvas.Handle() == nullptr) return;
  Changing();
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  if (dw == sw && dh == sh)
    BitBlt(FHandle, dest.left, dest.top, dw, dh, canvas.Handle(), source.left, source.top,
           FCopyMode);
  else
    StretchBlt(FHandle, dest.left, dest.top, dw, dh, canvas.Handle(), source.left, source.top, sw,
               sh, FCopyMode);
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  TUse use(*this);
  if (graphic == nullptr || graphic->Empty()) return;
  StretchDraw(RECT{x, y, x + graphic->Width(), y + graphic->Height()}, graphic);
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic* graphic) {
  TUse use(*this);
  if (graphic == nullptr || graphic->Empty() || Handle() == nullptr) return;
  Changing();
  graphic->Draw(*this, rect);
  Changed();
}

// --- TGraphic ---

void TGraphic::SetTransparent(bool transparent) {
  ChangeProperty(FTransparent, transparent, [this] { Changed(); });
}

void TGraphic::Changed() {
  OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) const {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}

// --- TBitmap ---

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) {
  SetSize(width, height);
}

TBitmap::~TBitmap() {
  FCanvas.reset();
  if (FBitmap != nullptr) DeleteObject(FBitmap);
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(*this);
    FCanvas->OnChange = [this](TObject*) { Changed(); };
  }
  return *FCanvas;
}

HBITMAP TBitmap::MakeBitmap(int width, int height, TPixelFormat format) const {
  if (width <= 0 || height <= 0) return nullptr;
  if (width > kMaxBitmapSide || height > kMaxBitmapSide)
    throw EOutOfResources("Bitmap of " + IntToStr(width) + " by " + IntToStr(height) +
                          " pixels is too large");
  HBITMAP bitmap = nullptr;
  if (format == pfDevice) {
    bitmap = CreateBitmap(width, height, 1, 32, nullptr);
  } else {
    TBitmapInfo bi;
    bi.Header.biSize = sizeof(BITMAPINFOHEADER);
    bi.Header.biWidth = width;
    bi.Header.biHeight = height;
    bi.Header.biPlanes = 1;
    bi.Header.biBitCount = WORD(BitsOf(format));
    bi.Header.biCompression = BI_RGB;
    const std::vector<RGBQUAD> table =
        BitsOf(format) <= 8 ? DefaultColorTable(BitsOf(format)) : std::vector<RGBQUAD>();
    std::copy(table.begin(), table.end(), bi.Colors);
    bi.Header.biClrUsed = DWORD(table.size());
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, bi.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  if (bitmap == nullptr) throw EOutOfResources("Out of system resources");
  TScopedBitmapDC dc(bitmap);
  PatBlt(dc, 0, 0, width, height, WHITENESS);
  return bitmap;
}

void TBitmap::ReleaseContext() const {
  if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::Replace(HBITMAP bitmap, int width, int height, TPixelFormat format) {
  if (FCanvas) FCanvas->FreeContext();
  if (FBitmap != nullptr) DeleteObject(FBitmap);
  FBitmap = bitmap;
  FWidth = bitmap ? width : 0;
  FHeight = bitmap ? height : 0;
  FPixelFormat = format;
  Changed();
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FWidth && height == FHeight) return;
  HBITMAP bitmap = MakeBitmap(width, height, FPixelFormat);
  ReleaseContext();
  if (bitmap != nullptr && FBitmap != nullptr) {
    TScopedBitmapDC to(bitmap), from(FBitmap);
    BitBlt(to, 0, 0, std::min(width, FWidth), std::min(height, FHeight), from, 0, 0, SRCCOPY);
  }
  Replace(bitmap, width, height, FPixelFormat);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == FPixelFormat) return;
  if (FBitmap == nullptr) {
    FPixelFormat = format;
    return;
  }
  HBITMAP bitmap = MakeBitmap(FWidth, FHeight, format);
  ReleaseContext();
  {
    TScopedBitmapDC to(bitmap), from(FBitmap);
    BitBlt(to, 0, 0, FWidth, FHeight, from, 0, 0, SRCCOPY);
  }
  Replace(bitmap, FWidth, FHeight, format);
}

TColor TBitmap::TransparentColor() {
  if (FTransparentMode == tmFixed) return FTransparentColor;
  if (Empty()) return clDefault;
  return Canvas().Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == FTransparentColor && FTransparentMode == tmFixed) return;
  FTransparentColor = color;
  FTransparentMode = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  ChangeProperty(FTransparentMode, mode, [this] { Changed(); });
}

void TBitmap::Changed() {
  FMask.reset();
  FMaskImage.reset();
  TGraphic::Changed();
}

void TBitmap::Assign(const TPersistent* source) {
  if (source == this) return;
  const auto* bitmap = dynamic_cast<const TBitmap*>(source);
  if (bitmap == nullptr) {
    if (source == nullptr) {
      Replace(nullptr, 0, 0, FPixelFormat);
      return;
    }
    return TGraphic::Assign(source);
  }
  HBITMAP copy = MakeBitmap(bitmap->FWidth, bitmap->FHeight, bitmap->FPixelFormat);
  bitmap->ReleaseContext();
  if (copy != nullptr) {
    TScopedBitmapDC to(copy), from(bitmap->FBitmap);
    BitBlt(to, 0, 0, bitmap->FWidth, bitmap->FHeight, from, 0, 0, SRCCOPY);
  }
  FTransparentColor = bitmap->FTransparentColor;
  FTransparentMode = bitmap->FTransparentMode;
  SetTransparent(bitmap->Transparent());
  Replace(copy, bitmap->FWidth, bitmap->FHeight, bitmap->FPixelFormat);
}

void TBitmap::BuildTransparency() {
  const COLORREF key = ColorToRGB(TransparentColor());
  const uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
  ReleaseContext();
  TScopedBitmapDC dc(nullptr);
  std::vector<uint32_t> image(size_t(FWidth) * FHeight);
  ReadPixels32(dc, FBitmap, FWidth, FHeight, image.data());
  std::vector<uint32_t> mask(image.size());
  for (size_t i = 0; i < image.size(); ++i) {
    const bool see = (image[i] & 0x00FFFFFF) == keyPixel;
    mask[i] = see ? 0x00FFFFFF : 0;
    if (see) image[i] = 0;
  }
  FMask = std::make_unique<TBitmap>(FWidth, FHeight);
  FMaskImage = std::make_unique<TBitmap>(FWidth, FHeight);
  WritePixels32(dc, FMask->FBitmap, FWidth, FHeight, mask.data());
  WritePixels32(dc, FMaskImage->FBitmap, FWidth, FHeight, image.data());
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  HDC dest = canvas.Handle();
  if (!Transparent()) {
    if (&canvas != FCanvas.get()) ReleaseContext();
    TScopedBitmapDC from(FBitmap);
    StretchBlt(dest, rect.left, rect.top, w, h, from, 0, 0, FWidth, FHeight, canvas.CopyMode());
    return;
  }
  // A see-through picture is drawn in two steps: its mask clears the opaque part of the
  // destination, then the picture with black in its transparent pixels is added.
  if (!FMask) BuildTransparency();
  TScopedBitmapDC mask(FMask->FBitmap), image(FMaskImage->FBitmap);
  StretchBlt(dest, rect.left, rect.top, w, h, mask, 0, 0, FWidth, FHeight, SRCAND);
  StretchBlt(dest, rect.left, rect.top, w, h, image, 0, 0, FWidth, FHeight, SRCPAINT);
}

void TBitmap::LoadFromBytes(const std::vector<uint8_t>& bytes) {
  TMemoryStream stream(bytes);
  LoadFromStream(stream);
}

std::vector<uint8_t> TBitmap::SaveToBytes() const {
  TMemoryStream stream;
  SaveToStream(stream);
  return stream.Bytes();
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::vector<uint8_t> data = stream.ReadRest();
  auto fail = [] { throw EInvalidGraphic("Bitmap image is not valid"); };
  if (data.size() < kFileHeaderSize + sizeof(BITMAPINFOHEADER)) fail();
  BITMAPFILEHEADER file;
  std::memcpy(&file, data.data(), sizeof file);
  if (file.bfType != kBmpSignature) fail();
  const uint32_t offBits = file.bfOffBits;
  TBitmapInfo bi;
  std::memcpy(&bi.Header, &data[kFileHeaderSize], sizeof(BITMAPINFOHEADER));
  const BITMAPINFOHEADER& h = bi.Header;
  const int bits = h.biBitCount;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > data.size()) fail();
  if (h.biWidth <= 0 || h.biWidth > kMaxBitmapSide || h.biHeight == 0 ||
      h.biHeight < -kMaxBitmapSide || h.biHeight > kMaxBitmapSide || h.biPlanes != 1)
    fail();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) fail();
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && bits >= 16)) fail();
  const size_t tableAt = kFileHeaderSize + h.biSize;
  const size_t tableBytes = size_t(ColorCount(h)) * sizeof(RGBQUAD);
  if (tableAt + tableBytes > data.size()) fail();
  std::memcpy(bi.Colors, &data[tableAt], tableBytes);
  bi.Header.biSize = sizeof(BITMAPINFOHEADER);
  const int width = h.biWidth, height = std::abs(h.biHeight);
  const uint64_t pixelBytes = uint64_t(Stride(width, bits)) * height;
  if (offBits < tableAt || offBits > data.size() || data.size() - offBits < pixelBytes) fail();

  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, bi.Info(), DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr) fail();
  {
    TScopedBitmapDC dc(nullptr);
    SetDIBits(dc, bitmap, 0, UINT(height), &data[offBits], bi.Info(), DIB_RGB_COLORS);
  }
  Replace(bitmap, width, height, FormatOf(bits));
}

void TBitmap::SaveToStream(TStream& stream) const {
  if (FBitmap == nullptr) return;
  const int bits = BitsOf(FPixelFormat);
  TBitmapInfo bi;
  bi.Header.biSize = sizeof(BITMAPINFOHEADER);
  bi.Header.biWidth = FWidth;
  bi.Header.biHeight = FHeight;
  bi.Header.biPlanes = 1;
  bi.Header.biBitCount = WORD(bits);
  bi.Header.biCompression = BI_RGB;
  const int colors = bits <= 8 ? 1 << bits : 0;
  const size_t pixelBytes = size_t(Stride(FWidth, bits)) * FHeight;
  std::vector<uint8_t> pixels(pixelBytes);
  ReleaseContext();
  {
    TScopedBitmapDC dc(nullptr);
    if (GetDIBits(dc, FBitmap, 0, UINT(FHeight), pixels.data(), bi.Info(), DIB_RGB_COLORS) == 0)
      throw EInvalidGraphicOperation("Cannot read the bitmap's pixels");
  }
  bi.Header.biSizeImage = DWORD(pixelBytes);
  bi.Header.biClrUsed = 0;
  const uint32_t offBits = kFileHeaderSize + sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD);
  std::vector<uint8_t> out;
  out.reserve(offBits + pixelBytes);
  BITMAPFILEHEADER file{};
  file.bfType = kBmpSignature;
  file.bfSize = DWORD(offBits + pixelBytes);
  file.bfOffBits = offBits;
  const auto* fileHeader = reinterpret_cast<const uint8_t*>(&file);
  out.insert(out.end(), fileHeader, fileHeader + sizeof file);
  const auto* header = reinterpret_cast<const uint8_t*>(&bi.Header);
  out.insert(out.end(), header, header + sizeof(BITMAPINFOHEADER));
  const auto* table = reinterpret_cast<const uint8_t*>(bi.Colors);
  out.insert(out.end(), table, table + colors * sizeof(RGBQUAD));
  out.insert(out.end(), pixels.begin(), pixels.end());
  stream.WriteBuffer(out.data(), int64_t(out.size()));
}

// --- TBitmapCanvas ---

TBitmapCanvas::~TBitmapCanvas() {
  FreeContext();
}

void TBitmapCanvas::CreateHandle() {
  if (FBitmap.FBitmap == nullptr) return;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return;
  FOldBitmap = SelectObject(dc, FBitmap.FBitmap);
  SetHandle(dc);
}

void TBitmapCanvas::FreeContext() {
  if (!HandleAllocated()) return;
  HDC dc = Handle();
  SetHandle(nullptr);
  SelectObject(dc, FOldBitmap);
  DeleteDC(dc);
}

// --- TIcon ---

TIcon::~TIcon() {
  if (FHandle != nullptr) DestroyIcon(FHandle);
}

void TIcon::SetWidth(int) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}
void TIcon::SetHeight(int) {
  throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHandle(HICON icon) {
  if (icon == FHandle) return;
  if (FHandle != nullptr) DestroyIcon(FHandle);
  FHandle = icon;
  FData.clear();
  FWidth = FHeight = 0;
  ICONINFO info{};
  if (icon != nullptr && GetIconInfo(icon, &info)) {
    BITMAP bm{};
    HBITMAP sized = info.hbmColor != nullptr ? info.hbmColor : info.hbmMask;
    if (GetObjectA(sized, sizeof(bm), &bm) != 0) {
      FWidth = bm.bmWidth;
      FHeight = info.hbmColor != nullptr ? bm.bmHeight : bm.bmHeight / 2;
    }
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  }
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON icon = FHandle;
  FHandle = nullptr;
  FWidth = FHeight = 0;
  FData.clear();
  return icon;
}

void TIcon::LoadFromFile(const std::string& fileName) {
  HANDLE icon = LoadImageA(nullptr, fileName.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
  if (icon == nullptr) throw EInvalidGraphic("Icon image is not valid (" + fileName + ")");
  std::vector<uint8_t> data;
  try {
    TFileStream file(fileName, fmOpenRead);
    data = file.ReadRest();
  } catch (const EStreamError&) {
    // The platform found the file under a name the standard library cannot open; the icon
    // is loaded all the same, it just cannot be saved again.
  }
  SetHandle(static_cast<HICON>(icon));
  FData = std::move(data);
}

void TIcon::LoadFromStream(TStream& stream) {
  LoadFromBytes(stream.ReadRest());
}

namespace {

// The ICO file's directory: a header of three words, then one entry of 16 bytes per image.
constexpr size_t kIcoHeader = 6, kIcoEntry = 16;

uint32_t LittleEndian(const std::vector<uint8_t>& bytes, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = size; i-- > 0;)
    value = (value << 8) | bytes[at + i];
  return value;
}

// The entry closest to the system's icon size (the deepest colours among equals), or -1.
int ChooseIcoEntry(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < kIcoHeader || LittleEndian(bytes, 0, 2) != 0 || LittleEndian(bytes, 2, 2) != 1)
    return -1;
  const size_t count = LittleEndian(bytes, 4, 2);
  if ((bytes.size() - kIcoHeader) / kIcoEntry < count) return -1;
  const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
  int best = -1;
  long long bestScore = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = kIcoHeader + i * kIcoEntry;
    const int width = bytes[at] ? bytes[at] : 256, height = bytes[at + 1] ? bytes[at + 1] : 256;
    const long long score =
        (std::abs(width - cx) + std::abs(height - cy)) * 64LL - LittleEndian(bytes, at + 6, 2);
    if (best < 0 || score < bestScore) best = int(i), bestScore = score;
  }
  return best;
}

}  // namespace

void TIcon::LoadFromBytes(const std::vector<uint8_t>& bytes) {
  const int entry = ChooseIcoEntry(bytes);
  HICON icon = nullptr;
  if (entry >= 0) {
    const size_t at = kIcoHeader + size_t(entry) * kIcoEntry;
    const size_t size = LittleEndian(bytes, at + 8, 4), offset = LittleEndian(bytes, at + 12, 4);
    if (offset <= bytes.size() && size <= bytes.size() - offset)
      icon = CreateIconFromResourceEx(const_cast<uint8_t*>(bytes.data()) + offset, DWORD(size),
                                      TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
  }
  if (icon == nullptr) throw EInvalidGraphic("Icon image is not valid");
  SetHandle(icon);
  FData = bytes;
}

void TIcon::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](const std::vector<uint8_t>& bytes) { LoadFromBytes(bytes); },
      [this] { return FData; }, !FData.empty());
}

void TIcon::SaveToStream(TStream& stream) const {
  if (FData.empty()) throw EInvalidGraphicOperation("Icon has no image to save");
  stream.WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TIcon::Assign(const TPersistent* source) {
  const auto* icon = dynamic_cast<const TIcon*>(source);
  if (icon == nullptr) return TGraphic::Assign(source);
  if (icon == this) return;
  HICON copy = nullptr;
  ICONINFO info{};
  if (icon->FHandle != nullptr && GetIconInfo(icon->FHandle, &info)) {
    copy = CreateIconIndirect(&info);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  }
  std::vector<uint8_t> data = icon->FData;
  SetHandle(copy);
  FData = std::move(data);
}

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
  DrawIconEx(canvas.Handle(), rect.left, rect.top, FHandle, rect.right - rect.left,
             rect.bottom - rect.top, 0, nullptr, DI_NORMAL);
}

// --- TPicture ---

TPicture::~TPicture() = default;

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::Changed() {
  OnChange(this);
}

template <class G>
G& TPicture::Ensure() {
  if (auto* g = dynamic_cast<G*>(FGraphic.get())) return *g;
  Take(std::make_unique<G>());
  return static_cast<G&>(*FGraphic);
}

TBitmap& TPicture::Bitmap() {
  return Ensure<TBitmap>();
}
TIcon& TPicture::Icon() {
  return Ensure<TIcon>();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (graphic == nullptr) return Take(nullptr);
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<const TBitmap*>(graphic))
    copy = std::make_unique<TBitmap>();
  else if (dynamic_cast<const TIcon*>(graphic))
    copy = std::make_unique<TIcon>();
  else
    throw EInvalidGraphic("Unknown picture kind");
  copy->Assign(graphic);
  Take(std::move(copy));
}

void TPicture::LoadFromFile(const std::string& fileName) {
  std::unique_ptr<TGraphic> graphic;
  if (EndsWithNoCase(fileName, kBmpExtension))
    graphic = std::make_unique<TBitmap>();
  else if (EndsWithNoCase(fileName, kIcoExtension))
    graphic = std::make_unique<TIcon>();
  else
    throw EInvalidGraphic("Unknown picture file extension (" + fileName + ")");
  graphic->LoadFromFile(fileName);
  Take(std::move(graphic));
}

void TPicture::SaveToFile(const std::string& fileName) const {
  if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::DefineProperties(TFiler& filer) {
  auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get());
  filer.DefineBinaryProperty(
      "Data", [this](const std::vector<uint8_t>& bytes) { Bitmap().LoadFromBytes(bytes); },
      [bitmap] { return bitmap ? bitmap->SaveToBytes() : std::vector<uint8_t>(); },
      bitmap != nullptr && !bitmap->Empty());
}

void TPicture::Assign(const TPersistent* source) {
  if (source == nullptr) return SetGraphic(nullptr);
  if (const auto* picture = dynamic_cast<const TPicture*>(source))
    return SetGraphic(picture->Graphic());
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) return SetGraphic(graphic);
  TPersistent::Assign(source);
}
