// List boxes. Toolkit layer.
#include "toolkit/ListBoxes.h"

#include <algorithm>

#include "toolkit/ControlProps.h"
#include "toolkit/Property.h"

namespace {

constexpr int kScrollBarWidth = 16;
constexpr int kMinThumb = 8;
constexpr int kWheelLines = 3;
constexpr int kWheelDelta = 120;

}  // namespace

// --- TListBox ---

TListBox::TListBox(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
  SetTabStop(true);
  FList.ItemHeight = 13;
  FItems.OnChange = [this](TObject*) {
    if (FItemIndex >= FItems.Count()) FItemIndex = -1;
    FList.TopIndex = std::clamp(FList.TopIndex, 0, MaxTopIndex());
    Invalidate();
  };
}

void TListBox::SetItemIndex(int index) {
  if (index < -1 || index >= FItems.Count()) index = -1;
  if (index == FItemIndex) return;
  FItemIndex = index;
  if (index >= 0) ScrollIntoView(index);
  Invalidate();
}

void TListBox::SetItemHeight(int height) {
  if (height <= 0 || height == FList.ItemHeight) return;
  FList.ItemHeight = height;
  Invalidate();
}

void TListBox::SetTopIndex(int index) {
  index = std::clamp(index, 0, MaxTopIndex());
  if (index == FList.TopIndex) return;
  FList.TopIndex = index;
  Invalidate();
}

void TListBox::SetBorderStyle(TBorderStyle style) {
  ChangeProperty(FBorderStyle, style, [this] { Invalidate(); });
}

RECT TListBox::InnerRect() const {
  const int border = FBorderStyle == bsNone ? 0 : 2;
  return RECT{border, border, Width() - border, Height() - border};
}

int TListBox::VisibleItems() const {
  const RECT r = InnerRect();
  return std::max(1, static_cast<int>(r.bottom - r.top) / FList.ItemHeight);
}

bool TListBox::HasScrollBar() const {
  return FItems.Count() > VisibleItems();
}

int TListBox::MaxTopIndex() const {
  return std::max(0, FItems.Count() - VisibleItems());
}

RECT TListBox::ItemArea() const {
  RECT r = InnerRect();
  if (HasScrollBar()) r.right -= kScrollBarWidth;
  return r;
}

void TListBox::ScrollIntoView(int index) {
  if (index < FList.TopIndex) SetTopIndex(index);
  if (index >= FList.TopIndex + VisibleItems()) SetTopIndex(index - VisibleItems() + 1);
}

void TListBox::ScrollParts(RECT& up, RECT& down, RECT& thumb) const {
  const RECT inner = InnerRect();
  const int left = inner.right - kScrollBarWidth;
  const int arrow = std::min<int>(kScrollBarWidth, (inner.bottom - inner.top) / 2);
  up = RECT{left, inner.top, inner.right, inner.top + arrow};
  down = RECT{left, inner.bottom - arrow, inner.right, inner.bottom};
  const int track = down.top - up.bottom;
  const int count = std::max(1, FItems.Count());
  const int size = std::max(kMinThumb, track * VisibleItems() / count);
  const int range = std::max(1, MaxTopIndex());
  const int top = up.bottom + (track - size) * FList.TopIndex / range;
  thumb = RECT{left, top, inner.right, top + size};
}

void TListBox::PaintScrollBar(TCanvas& canvas) const {
  RECT up, down, thumb;
  ScrollParts(up, down, thumb);
  canvas.Brush().SetColor(TColor(0xE0E0E0));
  canvas.FillRect(RECT{up.left, up.bottom, up.right, down.top});
  PaintRaisedFace(canvas, up, false);
  PaintArrow(canvas, up, false, clWindowText);
  PaintRaisedFace(canvas, down, false);
  PaintArrow(canvas, down, true, clWindowText);
  PaintRaisedFace(canvas, thumb, false);
}

void TListBox::Paint() {
  TCanvas& canvas = Canvas();
  RECT r = ClientRect();
  if (FBorderStyle != bsNone) {
    Frame3D(canvas, r, clBtnShadow, clBtnHighlight);
    Frame3D(canvas, r, TColor(kSystemColorFlag | COLOR_3DDKSHADOW),
            TColor(kSystemColorFlag | COLOR_3DLIGHT));
  }
  TItemListPainter painter = FList;
  painter.Highlighted = FItemIndex;
  painter.Paint(canvas, FItems, ItemArea(), Color(), Focused());
  if (HasScrollBar()) PaintScrollBar(canvas);
}

void TListBox::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const int page = VisibleItems();
  int target = FItemIndex;
  switch (key) {
    case VK_UP:
      target = FItemIndex - 1;
      break;
    case VK_DOWN:
      target = FItemIndex + 1;
      break;
    case VK_PRIOR:
      target = FItemIndex - page;
      break;
    case VK_NEXT:
      target = FItemIndex + page;
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = FItems.Count() - 1;
      break;
    default:
      return;
  }
  if (FItems.Count() == 0) return;
  SetItemIndex(std::clamp(target, 0, FItems.Count() - 1));
  Click();
}

void TListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  if (HasScrollBar() && x >= ItemArea().right) {
    RECT up, down, thumb;
    ScrollParts(up, down, thumb);
    if (PtInRect(&up, POINT{x, y}))
      SetTopIndex(FList.TopIndex - 1);
    else if (PtInRect(&down, POINT{x, y}))
      SetTopIndex(FList.TopIndex + 1);
    else if (PtInRect(&thumb, POINT{x, y}))
      FThumbGrab = y - thumb.top;
    else if (y < thumb.top)
      SetTopIndex(FList.TopIndex - VisibleItems());
    else
      SetTopIndex(FList.TopIndex + VisibleItems());
    return;
  }
  const int item = FList.ItemAt(FItems, ItemArea(), POINT{x, y});
  if (item >= 0) SetItemIndex(item);
}

void TListBox::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (FThumbGrab < 0 || !shift.Contains(ssLeft)) return;
  RECT up, down, thumb;
  ScrollParts(up, down, thumb);
  const int track = down.top - up.bottom - (thumb.bottom - thumb.top);
  if (track <= 0) return;
  const int offset = y - FThumbGrab - up.bottom;
  SetTopIndex((offset * MaxTopIndex() + track / 2) / track);
}

void TListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  FThumbGrab = -1;
  TCustomControl::MouseUp(button, shift, x, y);
}

bool TListBox::MouseWheel(int delta, TShiftState shift) {
  SetTopIndex(FList.TopIndex - delta / kWheelDelta * kWheelLines);
  return true;
}

// --- Published properties ---

namespace {

const bool kRegistered = [] {
  auto list = PublishClass<TListBox, TWinControl>("TListBox");
  PublishKeyboard(list);
  list.Strings("Items", [](TListBox& c) -> TStringList& { return c.Items(); })
      .Integer("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight, 13)
      .Boolean("Sorted", &TListBox::Sorted, &TListBox::SetSorted, false)
      .Enumeration("BorderStyle", &TListBox::BorderStyle, &TListBox::SetBorderStyle, kBorderStyles,
                   bsSingle)
      .IntegerIdents("Color", &TListBox::Color, &TListBox::SetColor, ColorIdents(), clWindow);
  PublishPointer(list);
  return true;
}();

}  // namespace
