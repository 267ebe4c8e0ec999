// TMorCircButton: properties, pointer handling, painting and stored images; its faces are
// computed in MorCircFace. Program layer (controls/circbutton).
#include "controls/circbutton/MorCircBut.h"

#include <utility>
#include <vector>

#include "toolkit/ControlProps.h"
#include "toolkit/Graphics.h"
#include "toolkit/Property.h"
#include "toolkit/Streaming.h"

// --- The button: construction ---

TMorCircButton::TMorCircButton(TComponent* owner)
    : TGraphicControl(owner),
      FFont(std::make_unique<TFont>()),
      FImageOut(std::make_unique<TBitmap>()),
      FImageIn(std::make_unique<TBitmap>()),
      FImageMask(std::make_unique<TBitmap>()),
      FGlyph(std::make_unique<TBitmap>()) {
  // The base's own bounds change: a button made in code has no images until its first real
  // size change or picture-affecting write.
  TGraphicControl::SetBounds(Left(), Top(), 25, 25);
}

TMorCircButton::~TMorCircButton() = default;

// --- The button: properties ---

template <class T>
void TMorCircButton::Change(T& field, const T& value) {
  ChangeProperty(field, value, [this] { Rebuild(); });
}

void TMorCircButton::Rebuild() {
  RebuildImages();
  Invalidate();
}

void TMorCircButton::SetAllowAllUp(bool value) {
  if (value == FAllowAllUp) return;
  if (IsLoading() || FGroupIndex == 0) {
    FAllowAllUp = value;
    return;
  }
  for (TMorCircButton* member : GroupMembers())
    member->FAllowAllUp = value;
}

void TMorCircButton::SetAttenControl(double value) {
  Change(FAttenControl, value);
}
void TMorCircButton::SetBevelInner(TMorCircBevel value) {
  Change(FBevelInner, value);
}
void TMorCircButton::SetBevelOuter(TMorCircBevel value) {
  Change(FBevelOuter, value);
}
void TMorCircButton::SetBorderColor(TColor value) {
  Change(FBorderColor, value);
}
void TMorCircButton::SetBorderStyle(TBorderStyle value) {
  Change(FBorderStyle, value);
}
void TMorCircButton::SetCaption(const std::string& value) {
  Change(FCaption, value);
}
void TMorCircButton::SetFaceShaded(bool value) {
  Change(FFaceShaded, value);
}
void TMorCircButton::SetFaceTransparent(bool value) {
  Change(FFaceTransparent, value);
}
void TMorCircButton::SetGlyphShaded(bool value) {
  Change(FGlyphShaded, value);
}
void TMorCircButton::SetGlyphMapped(bool value) {
  Change(FGlyphMapped, value);
}
void TMorCircButton::SetGlyphTransparent(bool value) {
  Change(FGlyphTransparent, value);
}
void TMorCircButton::SetNumGlyphs(int value) {
  Change(FNumGlyphs, value);
}

void TMorCircButton::SetBevelWidth(int value) {
  if (value >= 1) Change(FBevelWidth, value);
}

void TMorCircButton::SetDown(bool value) {
  if (value == FDown) return;
  FDown = value;
  // Pressing shows the other stored face at once, without waiting for the parent to paint.
  if (Parent() != nullptr && Visible()) Paint();
}

void TMorCircButton::SetFaceColor(TColor value) {
  if (value == FFaceColor) return;
  FFaceColor = value;
  FFaceRed = value & 0xFF;
  FFaceGreen = (value >> 8) & 0xFF;
  FFaceBlue = (value >> 16) & 0xFF;
  Rebuild();
}

void TMorCircButton::SetFont(const TFont& font) {
  FFont->Assign(&font);
  Rebuild();
}

void TMorCircButton::SetGlyph(const TBitmap* glyph) {
  if (glyph == FGlyph.get()) return;
  if (glyph == nullptr) {
    FGlyphValid = false;
  } else {
    FGlyphValid = true;
    FGlyph->Assign(glyph);
    const int width = glyph->Width(), height = glyph->Height();
    FNumGlyphs = height != 0 && width % height == 0 ? width / height : 1;
    FGlyphIndex = 1;
  }
  Rebuild();
}

void TMorCircButton::SetGlyphIndex(int value) {
  const bool accepted = IsLoading() ? value >= 1 : value >= 1 && value <= FNumGlyphs;
  if (accepted) Change(FGlyphIndex, value);
}

std::vector<TMorCircButton*> TMorCircButton::GroupMembers() const {
  std::vector<TMorCircButton*> members;
  if (Owner() == nullptr) {
    members.push_back(const_cast<TMorCircButton*>(this));
    return members;
  }
  for (TComponent* component : Owner()->ComponentList()) {
    auto* button = dynamic_cast<TMorCircButton*>(component);
    if (button != nullptr && button->FGroupIndex == FGroupIndex) members.push_back(button);
  }
  return members;
}

// --- The button: shape and pointer ---

bool TMorCircButton::PointInFace(int x, int y) const {
  const double hw = Width() / 2.0, hh = Height() / 2.0;
  if (hw <= 0 || hh <= 0) return false;
  double bevels = FBevelWidth * ((FBevelOuter != hbNone) + (FBevelInner != hbNone));
  if (hw - bevels <= 0 || hh - bevels <= 0) bevels = 0;
  const double dx = (x - hw) / (hw - bevels), dy = (y - hh) / (hh - bevels);
  return dx * dx + dy * dy <= 1;
}

void TMorCircButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!PointInFace(x, y) || !Enabled()) return;
  OnMouseDown(this, button, shift, x, y);
  if (button != mbLeft) return;
  FTracking = true;
  FWasDown = FDown;
  SetDown(true);
  if (shift.Contains(ssDouble)) OnDblClick(this);
}

void TMorCircButton::MouseMove(TShiftState shift, int x, int y) {
  if (FTracking && !FWasDown) SetDown(PointInFace(x, y));
  OnMouseMove(this, shift, x, y);
}

void TMorCircButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FTracking) {
    FTracking = false;
    if (PointInFace(x, y)) {
      // The pressed face stays visible while the handler runs.
      OnClick(this);
      if (FGroupIndex == 0) {
        SetDown(false);
      } else if (FAllowAllUp || !FWasDown) {
        for (TMorCircButton* member : GroupMembers())
          if (member != this) member->SetDown(false);
        SetDown(!FWasDown);
      }
    }
  }
  OnMouseUp(this, button, shift, x, y);
}

// --- The button: size, images and painting ---

void TMorCircButton::SetBounds(int left, int top, int width, int height) {
  TGraphicControl::SetBounds(left, top, width, height);
  if ((width != FLastWidth || height != FLastHeight) && !IsLoading()) Rebuild();
  FLastWidth = width;
  FLastHeight = height;
}

TMorFaceSettings TMorCircButton::Settings(TMorRaster& glyph) const {
  TMorFaceSettings s;
  s.Width = Width();
  s.Height = Height();
  s.BevelOuter = FBevelOuter;
  s.BevelInner = FBevelInner;
  s.BevelWidth = FBevelWidth;
  s.AttenControl = FAttenControl;
  s.FaceRed = uint8_t(FFaceRed);
  s.FaceGreen = uint8_t(FFaceGreen);
  s.FaceBlue = uint8_t(FFaceBlue);
  s.FaceShaded = FFaceShaded;
  s.FaceTransparent = FFaceTransparent;
  s.Glyph = &glyph;
  s.GlyphValid = FGlyphValid;
  s.NumGlyphs = FNumGlyphs;
  s.GlyphIndex = FGlyphIndex;
  s.GlyphShaded = FGlyphShaded;
  s.GlyphMapped = FGlyphMapped;
  s.GlyphTransparent = FGlyphTransparent;
  s.Caption = FCaption;
  s.Font = FFont->Handle();
  s.FontColor = ColorToRGB(FFont->Color());
  s.Border = FBorderStyle == bsSingle;
  s.BorderColor = ColorToRGB(FBorderColor);
  return s;
}

namespace {

// A copy of a toolkit bitmap's pixels.
TMorRaster RasterOf(TBitmap& bitmap) {
  if (bitmap.Empty()) return TMorRaster();
  TMorDeviceBitmap copy(bitmap.Width(), bitmap.Height());
  BitBlt(copy.Dc(), 0, 0, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
  return copy.ToRaster();
}

// Sizes `bitmap` to `raster` (keeping the bitmap's own depth) and copies the pixels in.
void Store(TBitmap& bitmap, const TMorRaster& raster) {
  const TMorDeviceBitmap source(raster);
  bitmap.SetSize(raster.Width(), raster.Height());
  BitBlt(bitmap.Canvas().Handle(), 0, 0, raster.Width(), raster.Height(), source.Dc(), 0, 0,
         SRCCOPY);
}

}  // namespace

void TMorCircButton::RebuildImages() {
  if (IsLoading() || Width() < 2 || Height() < 2) return;
  TMorRaster glyph = RasterOf(*FGlyph);
  const TMorFaceImages images = BuildFaceImages(Settings(glyph));
  Store(*FImageOut, images.Out);
  Store(*FImageIn, images.In);
  Store(*FImageMask, images.Mask);
  ++FRebuildCount;
}

void TMorCircButton::Paint() {
  if (IsLoading() || FImageMask->Empty()) return;
  TBitmap& face = FDown ? *FImageIn : *FImageOut;
  PaintThroughMask(Canvas(), face.Canvas(), FImageMask->Canvas(), FImageMask->Width(),
                   FImageMask->Height());
}

// --- The button: stored form ---

std::vector<uint8_t> TMorCircButton::ImageBytes(const TBitmap& image) {
  return image.SaveToBytes();
}

void TMorCircButton::LoadImage(TBitmap& image, const std::vector<uint8_t>& bytes) {
  // An empty value stands for an empty image, as an empty image is written.
  if (bytes.empty())
    image.Assign(nullptr);
  else
    image.LoadFromBytes(bytes);
}

void TMorCircButton::DefineProperties(TFiler& filer) {
  TGraphicControl::DefineProperties(filer);
  filer.DefineProperty(
      "GlyphValid", [this](const TValue& v) { FGlyphValid = v.AsBoolean(); },
      [this] { return TValue::Boolean(FGlyphValid); }, true);
  const std::pair<const char*, TBitmap*> images[] = {
      {"ImageOut", FImageOut.get()}, {"ImageIn", FImageIn.get()}, {"ImageMask", FImageMask.get()}};
  for (const auto& [name, bitmap] : images) {
    TBitmap* image = bitmap;  // a named copy: structured bindings cannot be captured everywhere
    filer.DefineBinaryProperty(
        name, [image](const std::vector<uint8_t>& bytes) { LoadImage(*image, bytes); },
        [image] { return ImageBytes(*image); }, true);
  }
  filer.DefineBinaryProperty(
      "ImageGlyph", [this](const std::vector<uint8_t>& bytes) { LoadImage(*FGlyph, bytes); },
      [this] { return ImageBytes(*FGlyph); }, FGlyphValid);
}

// --- The button: published properties ---

namespace {

// The button publishes the font and the pointer events of its own; they take the place of the
// control's, so that a description holds each once.
const bool kRegistered = [] {
  auto b = PublishClass<TMorCircButton, TGraphicControl>("TMorCircButton");
  PublishPointer(b);
  b.Boolean("AllowAllUp", &TMorCircButton::AllowAllUp, &TMorCircButton::SetAllowAllUp)
      .Float("AttenControl", &TMorCircButton::AttenControl, &TMorCircButton::SetAttenControl)
      .Enumeration("BevelInner", &TMorCircButton::BevelInner, &TMorCircButton::SetBevelInner,
                   {"hbNone", "hbLowered", "hbRaised"})
      .Enumeration("BevelOuter", &TMorCircButton::BevelOuter, &TMorCircButton::SetBevelOuter,
                   {"hbNone", "hbLowered", "hbRaised"})
      .Integer("BevelWidth", &TMorCircButton::BevelWidth, &TMorCircButton::SetBevelWidth)
      .IntegerIdents("BorderColor", &TMorCircButton::BorderColor, &TMorCircButton::SetBorderColor,
                     ColorIdents())
      .Enumeration("BorderStyle", &TMorCircButton::BorderStyle, &TMorCircButton::SetBorderStyle,
                   {"bsNone", "bsSingle"})
      .String("Caption", &TMorCircButton::Caption, &TMorCircButton::SetCaption)
      .Boolean("Down", &TMorCircButton::Down, &TMorCircButton::SetDown)
      .IntegerIdents("FaceColor", &TMorCircButton::FaceColor, &TMorCircButton::SetFaceColor,
                     ColorIdents())
      .Boolean("FaceShaded", &TMorCircButton::FaceShaded, &TMorCircButton::SetFaceShaded)
      .Boolean("FaceTransparent", &TMorCircButton::FaceTransparent,
               &TMorCircButton::SetFaceTransparent)
      .Object("Font", &TMorCircButton::Font)
      .Integer("GlyphIndex", &TMorCircButton::GlyphIndex, &TMorCircButton::SetGlyphIndex)
      .Boolean("GlyphShaded", &TMorCircButton::GlyphShaded, &TMorCircButton::SetGlyphShaded)
      .Boolean("GlyphMapped", &TMorCircButton::GlyphMapped, &TMorCircButton::SetGlyphMapped)
      .Boolean("GlyphTransparent", &TMorCircButton::GlyphTransparent,
               &TMorCircButton::SetGlyphTransparent)
      .Integer("GroupIndex", &TMorCircButton::GroupIndex, &TMorCircButton::SetGroupIndex)
      .Integer("NumGlyphs", &TMorCircButton::NumGlyphs, &TMorCircButton::SetNumGlyphs)
      .Event("OnClick", &TMorCircButton::OnClick)
      .Event("OnDblClick", &TMorCircButton::OnDblClick)
      // Inherited properties among the button's own, as its descriptions have always held them.
      .Order({"Cursor",      "Hint",       "AllowAllUp",  "AttenControl", "BevelInner",
              "BevelOuter",  "BevelWidth", "BorderColor", "BorderStyle",  "Caption",
              "Down",        "Enabled",    "FaceColor",   "FaceShaded",   "FaceTransparent",
              "Font",        "GlyphIndex", "GlyphShaded", "GlyphMapped",  "GlyphTransparent",
              "GroupIndex",  "NumGlyphs",  "OnClick",     "OnDblClick",   "OnMouseDown",
              "OnMouseMove", "OnMouseUp",  "ParentFont",  "PopupMenu",    "ShowHint",
              "Visible"});
  return true;
}();

}  // namespace
