// How windowless controls take input: a form's window hands them the pointer and the keyboard
// (hit-testing, capture, pointer shapes, focus, tab order, default and cancel keys), and the
// shift state held now. Toolkit layer.
#include <algorithm>
#include <climits>
#include <map>

#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/TypInfo.h"

namespace {

// The control that took the last press and receives the pointer until every button is up.
TControl* sCaptureControl = nullptr;
// A dialog key (Enter, Esc) that the focused control's key-down left alone; it is offered to
// the form's buttons once the focused control's key press has seen its character too.
WORD sPendingDialogKey = 0;

TShiftState ShiftFromMouse(WPARAM keys) {
  TShiftState shift = KeyboardShiftState();
  if (keys & MK_LBUTTON) shift.Include(ssLeft);
  if (keys & MK_RBUTTON) shift.Include(ssRight);
  if (keys & MK_MBUTTON) shift.Include(ssMiddle);
  return shift;
}

POINT PointFromLParam(LPARAM lParam) {
  return POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
}

TCustomForm* ParentFormOf(const TControl* control) {
  const TControl* c = control;
  while (c != nullptr && c->Parent() != nullptr)
    c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

// Walks every control below `root`, depth first, bottom to top.
template <class F>
void ForEachControl(const TWinControl& root, const F& visit) {
  for (TControl* c : root.ControlList()) {
    visit(c);
    if (auto* container = dynamic_cast<TWinControl*>(c)) ForEachControl(*container, visit);
  }
}

}  // namespace

TShiftState KeyboardShiftState() {
  TShiftState shift;
  if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  return shift;
}

TShiftState GetShiftState() {
  TShiftState shift = KeyboardShiftState();
  if (GetKeyState(VK_LBUTTON) < 0) shift.Include(ssLeft);
  if (GetKeyState(VK_MBUTTON) < 0) shift.Include(ssMiddle);
  if (GetKeyState(VK_RBUTTON) < 0) shift.Include(ssRight);
  return shift;
}

// --- Controls: pointer shapes, context menu, capture and pointer events ---

HCURSOR CursorHandle(TCursor cursor) {
  static const std::map<TCursor, LPCSTR> kSystemCursors = {
      {crArrow, IDC_ARROW},          {crCross, IDC_CROSS},
      {crIBeam, IDC_IBEAM},          {crSizeNESW, IDC_SIZENESW},
      {crSizeNS, IDC_SIZENS},        {crSizeNWSE, IDC_SIZENWSE},
      {crSizeWE, IDC_SIZEWE},        {crUpArrow, IDC_UPARROW},
      {crHourGlass, IDC_WAIT},       {crNo, IDC_NO},
      {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
      {crHandPoint, IDC_HAND},       {crSizeAll, IDC_SIZEALL}};
  const auto found = kSystemCursors.find(cursor);
  return found == kSystemCursors.end() ? nullptr : LoadCursorA(nullptr, found->second);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == FPopupMenu) return;
  if (FPopupMenu != nullptr) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = menu;
  if (menu != nullptr) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

bool TControl::MouseCapture() const {
  return sCaptureControl == this;
}

void TControl::SetMouseCapture(bool capture) {
  const HWND window = WindowHandle();
  if (capture) {
    sCaptureControl = this;
    if (window != nullptr) SetCapture(window);
  } else if (sCaptureControl == this) {
    sCaptureControl = nullptr;
    if (window != nullptr && GetCapture() == window) ReleaseCapture();
  }
}

void TControl::CancelMouseCapture() {
  TControl* control = sCaptureControl;
  if (control == nullptr) return;
  sCaptureControl = nullptr;
  control->FClicked = false;
  const HWND window = control->WindowHandle();
  if (window != nullptr && GetCapture() == window) ReleaseCapture();
}

void TControl::ForgetControl() {
  if (sCaptureControl == this) sCaptureControl = nullptr;
  if (TCustomForm* form = ParentFormOf(this)) form->ForgetActiveControl(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
  OnClick(this);
}
void TControl::DblClick() {
  OnDblClick(this);
}

// --- Containers: focus and tab order ---

int TWinControl::TabOrder() const {
  if (Parent() == nullptr) return -1;
  const std::vector<TWinControl*> list = Parent()->TabList();
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (Parent() == nullptr || IsLoading()) {
    FTabOrder = order;
    return;
  }
  std::vector<TWinControl*> list = Parent()->TabList();
  list.erase(std::find(list.begin(), list.end(), this));
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
  for (size_t i = 0; i < list.size(); ++i)
    list[i]->FTabOrder = static_cast<int>(i);
}

std::vector<TWinControl*> TWinControl::TabList() const {
  std::vector<TWinControl*> list;
  for (TControl* c : ControlList())
    if (auto* w = dynamic_cast<TWinControl*>(c)) list.push_back(w);
  // Controls read from a description carry the order they were given; new ones go last.
  std::stable_sort(list.begin(), list.end(), [](const TWinControl* a, const TWinControl* b) {
    const int ka = a->FTabOrder < 0 ? INT_MAX : a->FTabOrder;
    const int kb = b->FTabOrder < 0 ? INT_MAX : b->FTabOrder;
    return ka < kb;
  });
  return list;
}

bool TWinControl::CanFocus() const {
  if (dynamic_cast<const TCustomForm*>(this) != nullptr) return false;
  for (const TControl* c = this; c != nullptr; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return ParentFormOf(this) != nullptr;
}

bool TWinControl::Focused() const {
  const TCustomForm* form = ParentFormOf(this);
  return form != nullptr && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
  if (TCustomForm* form = ParentFormOf(this)) form->SetActiveControl(this);
}

void TWinControl::MoveFocus(TWinControl* from, TWinControl* to) {
  if (from != nullptr && !from->IsDestroying()) {
    from->DoExit();
    from->Invalidate();
  }
  if (to != nullptr) {
    to->DoEnter();
    to->Invalidate();
  }
}

void TWinControl::DoEnter() {
  OnEnter(this);
}
void TWinControl::DoExit() {
  OnExit(this);
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward,
                                          bool checkTabStop) const {
  std::vector<TWinControl*> order;
  std::function<void(const TWinControl&)> collect = [&](const TWinControl& container) {
    for (TWinControl* c : container.TabList()) {
      order.push_back(c);
      collect(*c);
    }
  };
  collect(*this);
  if (order.empty()) return nullptr;
  const auto at = std::find(order.begin(), order.end(), current);
  const int n = static_cast<int>(order.size());
  int start = at == order.end() ? (forward ? -1 : n) : static_cast<int>(at - order.begin());
  for (int step = 1; step <= n; ++step) {
    const int i = ((start + (forward ? step : -step)) % n + n) % n;
    TWinControl* candidate = order[i];
    if (candidate->CanFocus() && (!checkTabStop || candidate->TabStop())) return candidate;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, forward, checkTabStop)) next->SetFocus();
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  OnKeyDown(this, key, shift);
}
void TWinControl::KeyPress(char& key) {
  OnKeyPress(this, key);
}
void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  OnKeyUp(this, key, shift);
}

// --- Containers: the pointer and keys of the form's window ---

TControl* TWinControl::ControlAtPoint(POINT p) const {
  // Focusable controls are drawn above graphic ones, so they are found first.
  for (const bool windowed : {true, false}) {
    for (auto it = ControlList().rbegin(); it != ControlList().rend(); ++it) {
      TControl* c = *it;
      const RECT bounds = c->BoundsRect();
      if (!c->Visible() || !c->Enabled() ||
          (dynamic_cast<TWinControl*>(c) != nullptr) != windowed || !PtInRect(&bounds, p))
        continue;
      if (auto* container = dynamic_cast<TWinControl*>(c)) {
        if (TControl* inner = container->ControlAtPoint({p.x - c->Left(), p.y - c->Top()}))
          return inner;
      }
      return c;
    }
  }
  return nullptr;
}

TCursor TWinControl::CursorAtPoint(POINT p) const {
  const TControl* control = ControlAtPoint(p);
  if (control == nullptr) return Cursor();
  const POINT origin = control->WindowOrigin(), base = WindowOrigin();
  TCursor cursor = control->CursorAt(POINT{p.x + base.x - origin.x, p.y + base.y - origin.y});
  for (const TControl* c = control->Parent(); cursor == crDefault && c != nullptr;
       c = c->Parent()) {
    cursor = c->Cursor();
    if (c == this) break;
  }
  return cursor;
}

bool TWinControl::RouteMouse(TMessage& m) {
  const POINT p = PointFromLParam(m.LParam);
  TShiftState shift = ShiftFromMouse(m.WParam);
  TControl* target = sCaptureControl != nullptr ? sCaptureControl : ControlAtPoint(p);
  if (m.Msg == WM_MOUSEWHEEL) return RouteWheel(static_cast<SHORT>(HIWORD(m.WParam)), shift);
  if (target == nullptr) return false;
  const POINT origin = target->WindowOrigin();
  const int x = p.x - origin.x, y = p.y - origin.y;
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      target->MouseMove(shift, x, y);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return PressControl(target, mbLeft, m.Msg == WM_LBUTTONDBLCLK, shift, x, y);
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return PressControl(target, mbRight, m.Msg == WM_RBUTTONDBLCLK, shift, x, y);
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      return PressControl(target, mbMiddle, m.Msg == WM_MBUTTONDBLCLK, shift, x, y);
    case WM_LBUTTONUP:
      return ReleaseControl(target, mbLeft, shift, x, y);
    case WM_RBUTTONUP:
      return ReleaseControl(target, mbRight, shift, x, y);
    case WM_MBUTTONUP:
      return ReleaseControl(target, mbMiddle, shift, x, y);
    default:
      return false;
  }
}

bool TWinControl::PressControl(TControl* target, TMouseButton button, bool dbl, TShiftState shift,
                               int x, int y) {
  if (auto* focusable = dynamic_cast<TWinControl*>(target);
      focusable != nullptr && button == mbLeft && focusable->CanFocus())
    focusable->SetFocus();
  target->SetMouseCapture(true);
  if (dbl) {
    shift.Include(ssDouble);
    if (button == mbLeft) target->DblClick();
  }
  if (button == mbLeft) target->FClicked = true;
  target->MouseDown(button, shift, x, y);
  return true;
}

bool TWinControl::ReleaseControl(TControl* target, TMouseButton button, TShiftState shift, int x,
                                 int y) {
  const bool buttonsLeft =
      shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle);
  if (!buttonsLeft) target->SetMouseCapture(false);
  if (button == mbLeft && target->FClicked) {
    target->FClicked = false;
    const RECT client = target->ClientRect();
    if (PtInRect(&client, POINT{x, y})) target->Click();
  }
  target->MouseUp(button, shift, x, y);
  if (button == mbRight && target->PopupMenu() != nullptr && target->PopupMenu()->AutoPopup()) {
    const POINT screen = target->ClientToScreen(POINT{x, y});
    target->PopupMenu()->SetPopupComponent(target);
    target->PopupMenu()->Popup(screen.x, screen.y);
  }
  return true;
}

bool TWinControl::RouteWheel(int delta, TShiftState shift) {
  TCustomForm* form = ParentFormOf(this);
  auto* focused = form ? dynamic_cast<TWinControl*>(form->ActiveControl()) : nullptr;
  return focused != nullptr && focused->MouseWheel(delta, shift);
}

bool TWinControl::RouteKey(TMessage& m) {
  TCustomForm* form = ParentFormOf(this);
  auto* focused = form ? dynamic_cast<TWinControl*>(form->ActiveControl()) : nullptr;
  if (focused != nullptr && !focused->CanFocus()) focused = nullptr;
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(m.WParam);
      const TShiftState shift = KeyboardShiftState();
      sPendingDialogKey = 0;
      if (focused != nullptr) focused->KeyDown(key, shift);
      if (key == VK_TAB && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
        SelectNext(focused, !shift.Contains(ssShift), true);
      } else if (key == VK_RETURN || key == VK_ESCAPE) {
        // The focused control sees the character first; without one the buttons answer now.
        if (focused != nullptr)
          sPendingDialogKey = key;
        else
          OfferDialogKey(key);
      }
      return true;
    }
    case WM_CHAR: {
      char c = static_cast<char>(m.WParam);
      if (focused != nullptr) focused->KeyPress(c);
      const WORD pending = sPendingDialogKey;
      sPendingDialogKey = 0;
      if (c != 0 && pending != 0 && (c == '\r' || c == 27)) OfferDialogKey(pending);
      return true;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD key = static_cast<WORD>(m.WParam);
      if (focused != nullptr) focused->KeyUp(key, KeyboardShiftState());
      return true;
    }
    default:
      return false;
  }
}

void TWinControl::OfferDialogKey(WORD key) {
  bool taken = false;
  ForEachControl(*this, [&](TControl* c) {
    if (!taken && c->Visible() && c->Enabled()) taken = c->DialogKey(key);
  });
}
