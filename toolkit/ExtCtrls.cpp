// Timers, images and bevels. Toolkit layer.
#include "toolkit/ExtCtrls.h"

#include "toolkit/ControlProps.h"
#include "toolkit/Forms.h"
#include "toolkit/Property.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/TypInfo.h"

TTimer::TTimer(TComponent* owner) : TComponent(owner), FWindow(TWndMethod(this, &TTimer::WndProc)) {
  UpdateTimer();
}

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
  ChangeProperty(FEnabled, enabled, [this] { UpdateTimer(); });
}

void TTimer::SetInterval(UINT interval) {
  ChangeProperty(FInterval, interval, [this] { UpdateTimer(); });
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

// Every change restarts the count from now, as SetTimer does for a running timer.
void TTimer::UpdateTimer() {
  if (FRunning) KillTimer(FWindow.Handle(), kTimerId);
  FRunning = false;
  if (FEnabled && FInterval > 0 && !IsLoading() && !IsDestroying())
    FRunning = SetTimer(FWindow.Handle(), kTimerId, FInterval, nullptr) != 0;
}

void TTimer::WndProc(TMessage& message) {
  if (message.Msg != WM_TIMER) {
    message.Result = DefWindowProcA(FWindow.Handle(), message.Msg, message.WParam, message.LParam);
    return;
  }
  try {
    OnTimer(this);
  } catch (const std::exception&) {
    HandleEventException(this);
  }
}

namespace {

const bool kRegistered = [] {
  PublishClass<TTimer, TComponent>("TTimer")
      .Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
      .Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
      .Event("OnTimer", &TTimer::OnTimer);
  return true;
}();

}  // namespace

// --- TImage ---

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 105, 105);
  FPicture.OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() {
  FPicture.OnChange = nullptr;
}

void TImage::SetStretch(bool stretch) {
  ChangeProperty(FStretch, stretch, [this] { Invalidate(); });
}

void TImage::SetCenter(bool center) {
  ChangeProperty(FCenter, center, [this] { Invalidate(); });
}

void TImage::SetTransparent(bool transparent) {
  ChangeProperty(FTransparent, transparent, [this] { Invalidate(); });
}

void TImage::SetAutoSize(bool autoSize) {
  FAutoSize = autoSize;
  PictureChanged();
}

void TImage::PictureChanged() {
  if (FAutoSize && FPicture.Width() > 0 && FPicture.Height() > 0)
    SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
  Invalidate();
}

TCanvas& TImage::Canvas() {
  if (FPicture.Graphic() == nullptr) FPicture.Bitmap().SetSize(Width(), Height());
  auto* bitmap = dynamic_cast<TBitmap*>(FPicture.Graphic());
  if (bitmap == nullptr)
    throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return bitmap->Canvas();
}

RECT TImage::DestRect() const {
  const int w = FPicture.Width(), h = FPicture.Height();
  if (FStretch) return ClientRect();
  if (FCenter) {
    const int x = (Width() - w) / 2, y = (Height() - h) / 2;
    return RECT{x, y, x + w, y + h};
  }
  return RECT{0, 0, w, h};
}

void TImage::Paint() {
  TGraphic* graphic = FPicture.Graphic();
  if (graphic == nullptr || graphic->Empty()) return;
  // The picture's own flag follows the image's, as the image is what the form describes.
  if (graphic->Transparent() != FTransparent) {
    FPicture.OnChange = nullptr;
    graphic->SetTransparent(FTransparent);
    FPicture.OnChange = [this](TObject*) { PictureChanged(); };
  }
  TGraphicControl::Canvas().StretchDraw(DestRect(), graphic);
}

// --- TBevel ---

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape shape) {
  ChangeProperty(FShape, shape, [this] { Invalidate(); });
}

void TBevel::SetStyle(TBevelStyle style) {
  ChangeProperty(FStyle, style, [this] { Invalidate(); });
}

void TBevel::Paint() {
  TCanvas& c = Canvas();
  const TColor dark = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor light = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  RECT r = ClientRect();
  auto line = [&](RECT area, TColor color) {
    c.Brush().SetColor(color);
    c.FillRect(area);
  };
  switch (FShape) {
    case bsBox:
      Frame3D(c, r, dark, light);
      break;
    case bsFrame: {
      RECT outer{r.left, r.top, r.right - 1, r.bottom - 1};
      RECT inner{r.left + 1, r.top + 1, r.right, r.bottom};
      Frame3D(c, inner, light, light);
      Frame3D(c, outer, dark, dark);
      break;
    }
    case bsTopLine:
      line(RECT{r.left, r.top, r.right, r.top + 1}, dark);
      line(RECT{r.left, r.top + 1, r.right, r.top + 2}, light);
      break;
    case bsBottomLine:
      line(RECT{r.left, r.bottom - 2, r.right, r.bottom - 1}, dark);
      line(RECT{r.left, r.bottom - 1, r.right, r.bottom}, light);
      break;
    case bsLeftLine:
      line(RECT{r.left, r.top, r.left + 1, r.bottom}, dark);
      line(RECT{r.left + 1, r.top, r.left + 2, r.bottom}, light);
      break;
    case bsRightLine:
      line(RECT{r.right - 2, r.top, r.right - 1, r.bottom}, dark);
      line(RECT{r.right - 1, r.top, r.right, r.bottom}, light);
      break;
    default:
      break;
  }
}

// --- Published properties of images and bevels ---

namespace {

const bool kImageRegistered = [] {
  auto image = PublishClass<TImage, TGraphicControl>("TImage");
  PublishPointer(image);
  image.Object("Picture", [](TImage& image) { return &image.Picture(); })
      .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch, false)
      .Boolean("Center", &TImage::Center, &TImage::SetCenter, false)
      .Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent, false)
      .Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false);
  PublishClass<TBevel, TGraphicControl>("TBevel")
      .Enumeration("Shape", &TBevel::Shape, &TBevel::SetShape,
                   {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine",
                    "bsSpacer"},
                   bsBox)
      .Enumeration("Style", &TBevel::Style, &TBevel::SetStyle, {"bsLowered", "bsRaised"},
                   bsLowered);
  return true;
}();

}  // namespace
