// Push buttons. Toolkit layer.
#include "toolkit/Buttons.h"

#include "toolkit/ClassicLook.h"
#include "toolkit/ControlProps.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"
#include "toolkit/Property.h"

// --- TButton ---

TButton::TButton(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::SetDefault(bool value) {
  ChangeProperty(FDefault, value, [this] { Invalidate(); });
}

void TButton::SetPressed(bool pressed) {
  ChangeProperty(FPressed, pressed, [this] { Invalidate(); });
}

void TButton::Click() {
  TCustomControl::Click();
  if (FModalResult == mrNone) return;
  TControl* top = this;
  while (top->Parent() != nullptr)
    top = top->Parent();
  if (auto* form = dynamic_cast<TModalForm*>(top)) form->SetModalResult(FModalResult);
}

void TButton::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_SPACE) SetPressed(true);
}

void TButton::KeyUp(WORD& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key == VK_SPACE && FPressed) {
    SetPressed(false);
    Click();
  }
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button == mbLeft) SetPressed(true);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  const RECT client = ClientRect();
  if (MouseCapture() && shift.Contains(ssLeft)) SetPressed(PtInRect(&client, POINT{x, y}));
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  SetPressed(false);
  TCustomControl::MouseUp(button, shift, x, y);
}

bool TButton::Active() const {
  // A focused button answers Enter in place of the default one, which answers only while
  // the focus is on a control that is no button.
  if (Focused()) return true;
  const TControl* top = this;
  while (top->Parent() != nullptr)
    top = top->Parent();
  const auto* form = dynamic_cast<const TCustomForm*>(top);
  return FDefault && (form == nullptr || dynamic_cast<TButton*>(form->ActiveControl()) == nullptr);
}

bool TButton::DialogKey(WORD key) {
  const bool answers = (key == VK_RETURN && Active()) || (key == VK_ESCAPE && FCancel);
  if (answers) Click();
  return answers;
}

void TButton::Paint() {
  TCanvas& canvas = Canvas();
  RECT r = ClientRect();
  if (Active()) Frame3D(canvas, r, clWindowText, clWindowText);
  PaintRaisedFace(canvas, r, FPressed);
  const int shift = FPressed ? 1 : 0;
  RECT text{r.left + shift, r.top + shift, r.right + shift, r.bottom + shift};
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(Enabled() ? Font()->Color() : clGrayText);
  canvas.DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    // The dotted focus frame of the period, one pixel in two.
    const RECT f{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
    for (int x = f.left; x < f.right; x += 2) {
      canvas.SetPixels(x, f.top, clWindowText);
      canvas.SetPixels(x, f.bottom - 1, clWindowText);
    }
    for (int y = f.top; y < f.bottom; y += 2) {
      canvas.SetPixels(f.left, y, clWindowText);
      canvas.SetPixels(f.right - 1, y, clWindowText);
    }
  }
}

// --- Published properties ---

namespace {

const bool kRegistered = [] {
  auto button = PublishClass<TButton, TWinControl>("TButton");
  PublishKeyboard(button);
  button.String("Caption", &TButton::Caption, &TButton::SetCaption, std::string())
      .Boolean("Default", &TButton::Default, &TButton::SetDefault, false)
      .Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
      .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0);
  PublishPointer(button);
  return true;
}();

}  // namespace
