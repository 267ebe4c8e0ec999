// Labels. Toolkit layer.
#include "toolkit/Labels.h"

#include "toolkit/ControlProps.h"
#include "toolkit/Property.h"

// --- TLabel ---

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
}

void TLabel::SetAlignment(TAlignment alignment) {
  ChangeProperty(FAlignment, alignment, [this] { Invalidate(); });
}

void TLabel::SetAutoSize(bool autoSize) {
  ChangeProperty(FAutoSize, autoSize, [this] { AdjustBounds(); });
}

void TLabel::SetTransparent(bool transparent) {
  ChangeProperty(FTransparent, transparent, [this] { Invalidate(); });
}

void TLabel::SetWordWrap(bool wordWrap) {
  ChangeProperty(FWordWrap, wordWrap, [this] {
    AdjustBounds();
    Invalidate();
  });
}

void TLabel::SetShowAccelChar(bool show) {
  ChangeProperty(FShowAccelChar, show, [this] {
    AdjustBounds();
    Invalidate();
  });
}

UINT TLabel::DrawFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  if (FAlignment == taRightJustify) flags |= DT_RIGHT;
  if (FAlignment == taCenter) flags |= DT_CENTER;
  return flags;
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || IsLoading()) return;
  // An empty caption still measures one blank, so that the label keeps the font's height.
  const std::string text = Caption().empty() ? std::string(" ") : Caption();
  const RECT r =
      TextBounds(*Font(), text, DrawFlags() & ~(DT_RIGHT | DT_CENTER), FWordWrap ? Width() : 0);
  const int width = FWordWrap ? Width() : r.right - r.left;
  const int left = FAlignment == taRightJustify ? Left() + Width() - width : Left();
  SetBounds(left, Top(), width, r.bottom - r.top);
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::TextChanged() {
  TGraphicControl::TextChanged();
  AdjustBounds();
}

void TLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TLabel::Paint() {
  TCanvas& canvas = Canvas();
  RECT r = ClientRect();
  if (!FTransparent) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
  }
  canvas.Brush().SetStyle(bsClear);
  if (!Enabled()) {
    RECT shadow{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    canvas.Font().SetColor(clBtnHighlight);
    canvas.DrawText(Caption(), shadow, DrawFlags());
    canvas.Font().SetColor(clBtnShadow);
  }
  canvas.DrawText(Caption(), r, DrawFlags());
}

// --- Published properties ---

namespace {

const std::vector<std::string> kAlignments = {"taLeftJustify", "taRightJustify", "taCenter"};

const bool kRegistered = [] {
  auto label = PublishClass<TLabel, TGraphicControl>("TLabel");
  label.String("Caption", &TLabel::Caption, &TLabel::SetCaption, std::string())
      .Enumeration("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, kAlignments,
                   taLeftJustify)
      .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true)
      .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
      .Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false)
      .Boolean("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar, true)
      .IntegerIdents("Color", &TLabel::Color, &TLabel::SetColor, ColorIdents(), clBtnFace);
  PublishPointer(label);
  return true;
}();

}  // namespace
