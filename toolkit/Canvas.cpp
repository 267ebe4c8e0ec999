// The canvas and the graphic it draws. Toolkit layer.
#include "toolkit/Canvas.h"
#include "toolkit/Property.h"

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
