// Controls and containers as a tree: parents and children, bounds and coordinates, the values
// every control has (visibility, caption, colour, font), invalidation, and finding a child by
// position; the published properties of fonts and controls. Toolkit layer.
#include "toolkit/Controls.h"

#include <algorithm>

#include "toolkit/Property.h"
#include "toolkit/TypInfo.h"

// --- Controls ---

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {
  FFont->OnChange = [this](TObject*) {
    if (!FCopyingParentFont) FParentFont = false;
    FontChanged();
    Invalidate();
  };
}

TControl::~TControl() {
  ForgetControl();
  if (FParent != nullptr) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent != nullptr) FParent->RemoveControl(this);
  if (parent != nullptr) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  Invalidate();
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  BoundsChanged();
  Invalidate();
}

void TControl::SetClientSize(int width, int height) {
  SetBounds(FLeft, FTop, FWidth - ClientWidth() + width, FHeight - ClientHeight() + height);
}

POINT TControl::ClientToScreen(POINT p) const {
  const TControl* c = this;
  for (; c->FParent != nullptr; c = c->FParent) {
    p.x += c->FLeft;
    p.y += c->FTop;
  }
  if (const HWND window = c->WindowHandle()) ::ClientToScreen(window, &p);
  return p;
}

POINT TControl::ScreenToClient(POINT p) const {
  const POINT origin = ClientToScreen(POINT{0, 0});
  return POINT{p.x - origin.x, p.y - origin.y};
}

POINT TControl::WindowOrigin() const {
  POINT origin{0, 0};
  for (const TControl* c = this; c->Parent() != nullptr; c = c->Parent()) {
    origin.x += c->Left();
    origin.y += c->Top();
  }
  return origin;
}

HWND TControl::WindowHandle() const {
  return FParent ? FParent->WindowHandle() : nullptr;
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  Invalidate();
  FVisible = visible;
  VisibleChanged();
  Invalidate();
}

void TControl::SetEnabled(bool enabled) {
  ChangeProperty(FEnabled, enabled, [this] {
    EnabledChanged();
    Invalidate();
  });
}

void TControl::SetText(const std::string& text) {
  ChangeProperty(FText, text, [this] {
    TextChanged();
    Invalidate();
  });
}

void TControl::SetColor(TColor color) {
  ChangeProperty(FColor, color, [this] {
    ColorChanged();
    Invalidate();
  });
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (value && FParent != nullptr) CopyParentFont();
}

void TControl::CopyParentFont() {
  FCopyingParentFont = true;
  FFont->Assign(FParent->Font());
  FCopyingParentFont = false;
}

void TControl::Invalidate() {
  const HWND window = WindowHandle();
  if (window == nullptr || IsLoading()) return;
  if (FParent == nullptr) {
    InvalidateRect(window, nullptr, FALSE);
    return;
  }
  if (!FVisible) return;
  const POINT origin = WindowOrigin();
  const RECT area{origin.x, origin.y, origin.x + FWidth, origin.y + FHeight};
  InvalidateRect(window, &area, FALSE);
}

TComponent* TControl::GetParentComponent() const {
  return FParent;
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* container = dynamic_cast<TWinControl*>(parent)) SetParent(container);
}

// --- Containers ---

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  // Children may call on their parent while they go, so they go while it is still whole.
  DestroyComponents();
  while (!FControls.empty()) {
    TControl* child = FControls.back();
    RemoveControl(child);
  }
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount())
    throw ERangeError("Control index out of bounds (" + std::to_string(index) + ")");
  return FControls[static_cast<size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) {
  if (control->FParent == this) return;
  if (control->FParent != nullptr) control->FParent->RemoveControl(control);
  FControls.push_back(control);
  control->FParent = this;
  if (control->FParentFont) control->CopyParentFont();
  ControlsChanged();
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it == FControls.end()) return;
  control->Invalidate();
  FControls.erase(it);
  control->FParent = nullptr;
  ControlsChanged();
}

TControl* TWinControl::ControlAtPos(POINT p) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    const TControl* c = *it;
    if (c->Visible() && p.x >= c->Left() && p.y >= c->Top() && p.x < c->Left() + c->Width() &&
        p.y < c->Top() + c->Height())
      return *it;
  }
  return nullptr;
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc,
                              const TComponent* root) const {
  // The root also lists what it owns outside the control tree (menus, timers), first, so that
  // the controls that name them are read after them.
  if (this == root) TComponent::GetChildren(proc, root);
  for (TControl* c : FControls)
    if (c->Owner() == root) proc(c);
}

// --- Published properties ---

namespace {

const bool kRegistered = [] {
  PublishClass<TFont, TPersistent>("TFont")
      .IntegerIdents("Color", &TFont::Color, &TFont::SetColor, ColorIdents(), clWindowText)
      .Integer("Height", &TFont::Height, &TFont::SetHeight, -11)
      .String("Name", &TFont::Name, &TFont::SetName, std::string("MS Sans Serif"))
      .Set("Style", &TFont::Style, &TFont::SetStyle,
           {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, std::optional(TFontStyles{}));
  PublishClass<TControl, TComponent>("TControl")
      .Integer("Left", &TControl::Left, &TControl::SetLeft, 0)
      .Integer("Top", &TControl::Top, &TControl::SetTop, 0)
      .Integer("Width", &TControl::Width, &TControl::SetWidth)
      .Integer("Height", &TControl::Height, &TControl::SetHeight)
      .String("Hint", &TControl::Hint, &TControl::SetHint, std::string())
      .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true)
      .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
      .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
      .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
      .Object("Font", [](TControl& c) { return c.Font(); })
      .StoredWhen([](const TControl& c) { return !c.ParentFont(); })
      .Event("OnClick", &TControl::OnClick)
      .Event("OnDblClick", &TControl::OnDblClick);
  PublishClass<TWinControl, TControl>("TWinControl");
  return true;
}();

}  // namespace
