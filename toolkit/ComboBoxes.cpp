// Combo boxes and their drop-down list. Toolkit layer.
#include "toolkit/ComboBoxes.h"

#include <algorithm>

#include "toolkit/ClassicLook.h"
#include "toolkit/ControlProps.h"
#include "toolkit/Forms.h"
#include "toolkit/UtilWindow.h"

namespace {

constexpr int kComboButtonWidth = 16;

}  // namespace

// --- The drop-down list of a combo box ---
// A popup window under the combo box that holds the pointer while it is open: a press outside
// it closes it, a release on an item chooses that item.
class TDropDownList {
 public:
  explicit TDropDownList(TComboBox& combo);
  ~TDropDownList();
  void Highlight(int index);
  int Highlighted() const { return FList.Highlighted; }
  void Repaint() { InvalidateRect(FWindow, nullptr, FALSE); }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void PaintList();
  RECT Area() const;

  TComboBox& FCombo;
  HWND FWindow = nullptr;
  TItemListPainter FList;
  int FWidth = 0, FHeight = 0;
  bool FClosing = false;
};

namespace {
// A class of the toolkit's own: "ComboLBox" would be the system's.
constexpr char kDropDownClass[] = "TDropDownList";
}  // namespace

TDropDownList::TDropDownList(TComboBox& combo) : FCombo(combo) {
  RegisterWindowClass(kDropDownClass, &TDropDownList::WindowProc);
  FList.ItemHeight = combo.ItemHeight();
  FList.Highlighted = combo.ItemIndex();
  const int rows = std::clamp(combo.Items().Count(), 1, combo.DropDownCount());
  FWidth = combo.Width();
  FHeight = rows * FList.ItemHeight + 2;
  if (FList.Highlighted >= rows) FList.TopIndex = FList.Highlighted - rows + 1;
  POINT at = combo.ClientToScreen(POINT{0, combo.Height()});
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (at.y + FHeight > screenHeight) at.y = combo.ClientToScreen(POINT{0, 0}).y - FHeight;
  FWindow = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kDropDownClass, "", WS_POPUP, at.x,
                            at.y, FWidth, FHeight, combo.WindowHandle(), nullptr, nullptr, this);
  SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(FWindow, SW_SHOWNOACTIVATE);
  SetCapture(FWindow);
}

TDropDownList::~TDropDownList() {
  FClosing = true;
  if (GetCapture() == FWindow) ReleaseCapture();
  SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
  DestroyWindow(FWindow);
}

RECT TDropDownList::Area() const {
  return RECT{1, 1, FWidth - 1, FHeight - 1};
}

void TDropDownList::Highlight(int index) {
  const int rows = (FHeight - 2) / FList.ItemHeight;
  FList.Highlighted = std::clamp(index, 0, std::max(0, FCombo.Items().Count() - 1));
  if (FList.Highlighted < FList.TopIndex) FList.TopIndex = FList.Highlighted;
  if (FList.Highlighted >= FList.TopIndex + rows) FList.TopIndex = FList.Highlighted - rows + 1;
  Repaint();
}

LRESULT CALLBACK TDropDownList::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* list = reinterpret_cast<TDropDownList*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (list == nullptr || list->FClosing) return DefWindowProcA(hwnd, msg, wParam, lParam);
  try {
    return list->Handle(msg, wParam, lParam);
  } catch (...) {
    HandleEventException(nullptr);
    return 0;
  }
}

LRESULT TDropDownList::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  const POINT p{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
  const int item = FList.ItemAt(FCombo.Items(), Area(), p);
  switch (msg) {
    case WM_PAINT:
      PaintList();
      return 0;
    case WM_MOUSEMOVE:
      if (item >= 0 && item != FList.Highlighted) Highlight(item);
      return 0;
    case WM_LBUTTONDOWN: {
      const RECT all{0, 0, FWidth, FHeight};
      if (!PtInRect(&all, p)) FCombo.SetDroppedDown(false);
      return 0;
    }
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      FCombo.SetDroppedDown(false);
      return 0;
    case WM_LBUTTONUP:
      // The release that ends the press which opened the list falls on the combo box.
      if (item >= 0) FCombo.Choose(item);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != FWindow) FCombo.SetDroppedDown(false);
      return 0;
    default:
      return DefWindowProcA(FWindow, msg, wParam, lParam);
  }
}

void TDropDownList::PaintList() {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(FWindow, &ps);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.SetFont(*FCombo.Font());
    RECT r{0, 0, FWidth, FHeight};
    Frame3D(canvas, r, clWindowText, clWindowText);
    FList.Paint(canvas, FCombo.Items(), Area(), clWindow, false);
    canvas.SetHandle(nullptr);
  }
  EndPaint(FWindow, &ps);
}

// --- TComboBox ---

TComboBox::TComboBox(TComponent* owner) : TCustomEdit(owner) {
  SetBounds(0, 0, 145, 21);
  FItems.OnChange = [this](TObject*) {
    if (FItemIndex >= FItems.Count()) FItemIndex = -1;
    if (FList) SetDroppedDown(false);
  };
}

TComboBox::~TComboBox() {
  FList.reset();
}

void TComboBox::SetStyle(TComboBoxStyle style) {
  FStyle = style;
  SetReadOnly(style == csDropDownList);
  Invalidate();
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= FItems.Count()) index = -1;
  if (index >= 0) {
    ReplaceEditText(FItems[index], static_cast<int>(FItems[index].size()));
    SelectAll();
  }
  FItemIndex = index;
}

void TComboBox::Choose(int index) {
  SetDroppedDown(false);
  SetItemIndex(index);
  Click();
}

void TComboBox::TextChanged() {
  TCustomEdit::TextChanged();
  FItemIndex = FItems.IndexOf(Text());
}

void TComboBox::SetDroppedDown(bool dropped) {
  if (dropped == DroppedDown()) return;
  if (dropped) {
    if (WindowHandle() == nullptr) return;
    // The list takes the pointer from the form for as long as it is open.
    SetMouseCapture(false);
    OnDropDown(this);
    FList = std::make_unique<TDropDownList>(*this);
  } else {
    FList.reset();
  }
  Invalidate();
}

// The field shows the text cursor, the button (and a list that cannot be typed into) the arrow.
TCursor TComboBox::CursorAt(POINT p) const {
  const TCursor cursor = Cursor();
  if (cursor != crIBeam) return cursor;
  const RECT b = ButtonRect();
  const bool onButton = PtInRect(&b, p);
  return FStyle == csDropDownList || onButton ? crDefault : cursor;
}

RECT TComboBox::ButtonRect() const {
  const int border = BorderStyle() == bsNone ? 0 : Ctl3D() ? 2 : 1;
  return RECT{Width() - border - kComboButtonWidth, border, Width() - border, Height() - border};
}

void TComboBox::KeyDown(WORD& key, TShiftState shift) {
  const bool toggle = key == VK_F4 || ((key == VK_DOWN || key == VK_UP) && shift.Contains(ssAlt));
  if (toggle) {
    SetDroppedDown(!DroppedDown());
    key = 0;
    return;
  }
  if (DroppedDown()) {
    switch (key) {
      case VK_DOWN:
        FList->Highlight(FList->Highlighted() + 1);
        key = 0;
        return;
      case VK_UP:
        FList->Highlight(FList->Highlighted() - 1);
        key = 0;
        return;
      case VK_RETURN:
        if (FList->Highlighted() >= 0)
          Choose(FList->Highlighted());
        else
          SetDroppedDown(false);
        key = 0;
        return;
      case VK_ESCAPE:
        SetDroppedDown(false);
        key = 0;
        return;
      default:
        break;
    }
  } else if ((key == VK_DOWN || key == VK_UP) && FItems.Count() > 0) {
    const int next =
        key == VK_DOWN ? std::min(FItemIndex + 1, FItems.Count() - 1) : std::max(FItemIndex - 1, 0);
    SetItemIndex(next);
    key = 0;
    return;
  }
  TCustomEdit::KeyDown(key, shift);
}

void TComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const RECT arrow = ButtonRect();
  if (button == mbLeft && (PtInRect(&arrow, POINT{x, y}) || FStyle == csDropDownList)) {
    OnMouseDown(this, button, shift, x, y);
    SetDroppedDown(!DroppedDown());
    return;
  }
  TCustomEdit::MouseDown(button, shift, x, y);
}

void TComboBox::DoExit() {
  SetDroppedDown(false);
  TCustomEdit::DoExit();
}

void TComboBox::Paint() {
  TCanvas& canvas = Canvas();
  RECT r = ClientRect();
  PaintBorder(canvas, r);
  canvas.Brush().SetColor(Color());
  canvas.FillRect(r);
  const RECT button = ButtonRect();
  if (Ctl3D()) {
    PaintRaisedFace(canvas, button, DroppedDown());
  } else {
    RECT flat = button;
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(flat);
    canvas.Brush().SetColor(TColor(kSystemColorFlag | COLOR_WINDOWFRAME));
    canvas.FillRect(RECT{flat.left, flat.top, flat.left + 1, flat.bottom});
  }
  PaintArrow(canvas, button, true, Enabled() ? clWindowText : clGrayText);
  RECT text = TextArea();
  text.right = button.left - 1;
  PaintText(canvas, text);
}

// --- Published properties ---

namespace {

const bool kRegistered = [] {
  auto combo = PublishClass<TComboBox, TWinControl>("TComboBox");
  PublishEdit(combo);
  combo.Strings("Items", [](TComboBox& c) -> TStringList& { return c.Items(); })
      .Integer("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight, 16)
      .Integer("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8)
      .Boolean("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted, false)
      .Enumeration("Style", &TComboBox::Style, &TComboBox::SetStyle,
                   {"csDropDown", "csDropDownList"}, csDropDown)
      .Event("OnDropDown", &TComboBox::OnDropDown);
  return true;
}();

}  // namespace
