// Standard controls: labels, edits, combo boxes, list boxes and push buttons. Toolkit layer.
#include "toolkit/StdCtrls.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/ControlProps.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Forms.h"
#include "toolkit/Property.h"
#include "toolkit/UtilWindow.h"

namespace {

constexpr int kComboButtonWidth = 16;
constexpr int kScrollBarWidth = 16;
constexpr int kMinThumb = 8;
constexpr int kWheelLines = 3;
constexpr int kWheelDelta = 120;
constexpr char kCtrlA = 1, kCtrlC = 3, kCtrlV = 22, kCtrlX = 24, kBackspace = 8;

// A small triangle in `color` pointing up or down, centred in `r`.
void PaintArrow(TCanvas& canvas, const RECT& r, bool down, TColor color) {
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  canvas.Brush().SetColor(color);
  for (int row = 0; row < 4; ++row) {
    const int half = down ? 3 - row : row;
    const int y = cy - 2 + row;
    canvas.FillRect(RECT{cx - half - 1, y, cx + half, y + 1});
  }
}

// A raised button face: white and light grey above and left, grey and black below and right.
void PaintRaisedFace(TCanvas& canvas, RECT r, bool pressed) {
  if (pressed) {
    Frame3D(canvas, r, clBtnShadow, clBtnShadow);
  } else {
    Frame3D(canvas, r, clBtnFace, TColor(kSystemColorFlag | COLOR_3DDKSHADOW));
    Frame3D(canvas, r, clBtnHighlight, clBtnShadow);
  }
  canvas.Brush().SetColor(clBtnFace);
  canvas.FillRect(r);
}

}  // namespace

std::string& ClipboardText() {
  static std::string text;
  return text;
}

void Frame3D(TCanvas& canvas, RECT& rect, TColor topLeft, TColor bottomRight, int width) {
  for (int i = 0; i < width; ++i) {
    canvas.Brush().SetColor(topLeft);
    canvas.FillRect(RECT{rect.left, rect.top, rect.right - 1, rect.top + 1});
    canvas.FillRect(RECT{rect.left, rect.top, rect.left + 1, rect.bottom - 1});
    canvas.Brush().SetColor(bottomRight);
    canvas.FillRect(RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom});
    canvas.FillRect(RECT{rect.right - 1, rect.top, rect.right, rect.bottom});
    rect = RECT{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
  }
}

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

// --- TCustomEdit ---

TCustomEdit::TCustomEdit(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
  SetTabStop(true);
  SetCursor(crIBeam);
}

void TCustomEdit::SetBorderStyle(TBorderStyle style) {
  ChangeProperty(FBorderStyle, style, [this] { Invalidate(); });
}

void TCustomEdit::SetCtl3D(bool ctl3D) {
  ChangeProperty(FCtl3D, ctl3D, [this] { Invalidate(); });
}

void TCustomEdit::SetSelStart(int start) {
  const int len = static_cast<int>(EditText().size());
  FAnchor = FCaret = std::clamp(start, 0, len);
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::SetSelLength(int length) {
  const int len = static_cast<int>(EditText().size());
  FAnchor = SelStart();
  FCaret = std::clamp(FAnchor + length, 0, len);
  Invalidate();
}

std::string TCustomEdit::SelText() const {
  return EditText().substr(SelStart(), SelLength());
}

void TCustomEdit::SelectAll() {
  FAnchor = 0;
  FCaret = static_cast<int>(EditText().size());
  Invalidate();
}

void TCustomEdit::TextChanged() {
  TCustomControl::TextChanged();
  if (!FEditing) {
    // Text set from outside: the caret goes to the start, as the system's edits do.
    FCaret = FAnchor = 0;
    FScrollX = 0;
  }
  OnChange(this);
}

void TCustomEdit::ReplaceEditText(const std::string& text, int caret) {
  FEditing = true;
  try {
    SetText(text);
  } catch (...) {
    FEditing = false;
    throw;
  }
  FEditing = false;
  FCaret = FAnchor = std::clamp(caret, 0, static_cast<int>(EditText().size()));
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::TypeChar(char c) {
  PasteText(std::string(1, c));
}

void TCustomEdit::PasteText(const std::string& text) {
  const std::string current = EditText();
  std::string insert = text;
  if (FMaxLength > 0) {
    const int room = FMaxLength - (static_cast<int>(current.size()) - SelLength());
    if (room <= 0) return;
    if (static_cast<int>(insert.size()) > room) insert.resize(room);
  }
  // A single-line edit keeps the first line of what is pasted.
  insert = insert.substr(0, insert.find_first_of("\r\n"));
  const int start = SelStart();
  ReplaceEditText(current.substr(0, start) + insert + current.substr(start + SelLength()),
                  start + static_cast<int>(insert.size()));
}

void TCustomEdit::EraseBack() {
  const std::string current = EditText();
  if (SelLength() > 0) return PasteText("");
  if (FCaret == 0) return;
  ReplaceEditText(current.substr(0, FCaret - 1) + current.substr(FCaret), FCaret - 1);
}

void TCustomEdit::EraseForward() {
  const std::string current = EditText();
  if (SelLength() > 0) return PasteText("");
  if (FCaret >= static_cast<int>(current.size())) return;
  ReplaceEditText(current.substr(0, FCaret) + current.substr(FCaret + 1), FCaret);
}

void TCustomEdit::CopySelection() const {
  if (SelLength() > 0) ClipboardText() = SelText();
}

void TCustomEdit::CutSelection() {
  if (SelLength() == 0) return;
  CopySelection();
  if (!FReadOnly) PasteText("");
}

void TCustomEdit::MoveCaret(int pos, bool extend) {
  FCaret = std::clamp(pos, 0, static_cast<int>(EditText().size()));
  if (!extend) FAnchor = FCaret;
  ScrollToCaret();
  Invalidate();
}

void TCustomEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  const bool extend = shift.Contains(ssShift);
  switch (key) {
    case VK_LEFT:
      return MoveCaret(FCaret - 1, extend);
    case VK_RIGHT:
      return MoveCaret(FCaret + 1, extend);
    case VK_HOME:
      return MoveCaret(0, extend);
    case VK_END:
      return MoveCaret(static_cast<int>(EditText().size()), extend);
    case VK_DELETE:
      if (shift.Contains(ssShift)) return CutSelection();
      if (!FReadOnly) EraseForward();
      return;
    case VK_INSERT:
      if (shift.Contains(ssCtrl)) return CopySelection();
      if (shift.Contains(ssShift) && !FReadOnly) PasteText(ClipboardText());
      return;
    default:
      return;
  }
}

void TCustomEdit::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  switch (key) {
    case 0:
      return;
    case kCtrlA:
      return SelectAll();
    case kCtrlC:
      return CopySelection();
    case kCtrlX:
      return CutSelection();
    case kCtrlV:
      if (!FReadOnly) PasteText(ClipboardText());
      return;
    case kBackspace:
      if (!FReadOnly) EraseBack();
      return;
    default:
      if (static_cast<unsigned char>(key) >= ' ' && !FReadOnly) TypeChar(key);
      return;
  }
}

RECT TCustomEdit::TextArea() const {
  RECT r = ClientRect();
  const int border = FBorderStyle == bsNone ? 0 : FCtl3D ? 2 : 1;
  return RECT{r.left + border + 1, r.top + border + 1, r.right - border - 1, r.bottom - border};
}

int TCustomEdit::PosFromX(int x) const {
  const std::string text = EditText();
  const int target = x - TextArea().left + FScrollX;
  int best = 0, bestDistance = std::abs(target);
  for (int i = 1; i <= static_cast<int>(text.size()); ++i) {
    const int w = TextBounds(*Font(), text.substr(0, i), DT_SINGLELINE | DT_NOPREFIX).right;
    if (std::abs(target - w) < bestDistance) {
      best = i;
      bestDistance = std::abs(target - w);
    }
    if (w > target) break;
  }
  return best;
}

void TCustomEdit::ScrollToCaret() {
  // A caret at the start needs no measuring, which spares a field filled while its window is
  // being read (a mask's blanks) from looking up its font before the window is ever shown.
  const int caretX =
      FCaret == 0
          ? 0
          : TextBounds(*Font(), EditText().substr(0, FCaret), DT_SINGLELINE | DT_NOPREFIX).right;
  const RECT area = TextArea();
  const int width = std::max(1, static_cast<int>(area.right - area.left) - 1);
  if (caretX - FScrollX > width) FScrollX = caretX - width;
  if (caretX < FScrollX) FScrollX = caretX;
}

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button == mbLeft && !shift.Contains(ssDouble))
    MoveCaret(PosFromX(x), shift.Contains(ssShift));
}

void TCustomEdit::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (shift.Contains(ssLeft) && MouseCapture()) MoveCaret(PosFromX(x), true);
}

void TCustomEdit::DblClick() {
  TCustomControl::DblClick();
  SelectAll();
}

void TCustomEdit::DoEnter() {
  TCustomControl::DoEnter();
  if (FAutoSelect) SelectAll();
}

void TCustomEdit::PaintBorder(TCanvas& canvas, RECT& r) const {
  if (FBorderStyle == bsNone) return;
  if (FCtl3D) {
    Frame3D(canvas, r, clBtnShadow, clBtnHighlight);
    Frame3D(canvas, r, TColor(kSystemColorFlag | COLOR_3DDKSHADOW),
            TColor(kSystemColorFlag | COLOR_3DLIGHT));
  } else {
    Frame3D(canvas, r, TColor(kSystemColorFlag | COLOR_WINDOWFRAME),
            TColor(kSystemColorFlag | COLOR_WINDOWFRAME));
  }
}

void TCustomEdit::PaintText(TCanvas& canvas, const RECT& area) {
  const std::string text = EditText();
  const int x = area.left - FScrollX, y = area.top;
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().SetColor(Enabled() ? Font()->Color() : clGrayText);
  canvas.TextRect(area, x, y, text);
  if (!Focused()) return;
  auto xOf = [&](int pos) {
    return x + TextBounds(*Font(), text.substr(0, pos), DT_SINGLELINE | DT_NOPREFIX).right;
  };
  const int height = TextBounds(*Font(), "Wg", DT_SINGLELINE).bottom;
  if (SelLength() > 0) {
    const int x1 = xOf(SelStart()), x2 = xOf(SelStart() + SelLength());
    const RECT sel{std::max<LONG>(x1, area.left), y, std::min<LONG>(x2, area.right), y + height};
    canvas.Brush().SetColor(clHighlight);
    canvas.Font().SetColor(clHighlightText);
    canvas.TextRect(sel, x1, y, SelText());
  }
  const int cx = xOf(FCaret);
  if (cx >= area.left && cx < area.right) {
    canvas.Brush().SetColor(clWindowText);
    canvas.FillRect(RECT{cx, y, cx + 1, std::min<LONG>(y + height, area.bottom)});
  }
}

void TCustomEdit::Paint() {
  TCanvas& canvas = Canvas();
  RECT r = ClientRect();
  PaintBorder(canvas, r);
  canvas.Brush().SetColor(Color());
  canvas.FillRect(r);
  PaintText(canvas, TextArea());
}

// --- Item lists ---

void TItemListPainter::Paint(TCanvas& canvas, const TStringList& items, const RECT& area,
                             TColor color, bool focused) const {
  canvas.Brush().SetColor(color);
  canvas.FillRect(area);
  for (int i = std::max(0, TopIndex); i < items.Count(); ++i) {
    const int top = area.top + (i - TopIndex) * ItemHeight;
    if (top >= area.bottom) break;
    const RECT row{area.left, top, area.right, std::min<LONG>(top + ItemHeight, area.bottom)};
    const bool lit = i == Highlighted;
    canvas.Brush().SetColor(lit ? clHighlight : color);
    canvas.Font().SetColor(lit ? clHighlightText : clWindowText);
    canvas.TextRect(row, row.left + 2, row.top, items[i]);
    if (lit && focused) {
      canvas.Brush().SetColor(clHighlightText);
      RECT frame = row;
      Frame3D(canvas, frame, clGray, clGray);
    }
  }
}

int TItemListPainter::ItemAt(const TStringList& items, const RECT& area, POINT p) const {
  if (!PtInRect(&area, p)) return -1;
  const int index = TopIndex + (p.y - area.top) / ItemHeight;
  return index >= 0 && index < items.Count() ? index : -1;
}

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

const std::vector<std::string> kAlignments = {"taLeftJustify", "taRightJustify", "taCenter"};
const std::vector<std::string> kBorderStyles = {"bsNone", "bsSingle"};

template <class T>
void PublishEdit(TClassBuilder<T>& b) {
  PublishKeyboard(b);
  b.String("Text", &T::Text, &T::SetText, std::string())
      .Integer("MaxLength", &T::MaxLength, &T::SetMaxLength, 0)
      .Boolean("ReadOnly", &T::ReadOnly, &T::SetReadOnly, false)
      .Boolean("AutoSelect", &T::AutoSelect, &T::SetAutoSelect, true)
      .Boolean("Ctl3D", &T::Ctl3D, &T::SetCtl3D, true)
      .Enumeration("BorderStyle", &T::BorderStyle, &T::SetBorderStyle, kBorderStyles, bsSingle)
      .IntegerIdents("Color", &T::Color, &T::SetColor, ColorIdents(), clWindow)
      .Event("OnChange", Inherited<T>(&T::OnChange));
}

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

  auto edit = PublishClass<TEdit, TWinControl>("TEdit");
  PublishEdit(edit);
  PublishPointer(edit, crIBeam);

  auto combo = PublishClass<TComboBox, TWinControl>("TComboBox");
  PublishEdit(combo);
  combo.Strings("Items", [](TComboBox& c) -> TStringList& { return c.Items(); })
      .Integer("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight, 16)
      .Integer("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8)
      .Boolean("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted, false)
      .Enumeration("Style", &TComboBox::Style, &TComboBox::SetStyle,
                   {"csDropDown", "csDropDownList"}, csDropDown)
      .Event("OnDropDown", &TComboBox::OnDropDown);

  auto list = PublishClass<TListBox, TWinControl>("TListBox");
  PublishKeyboard(list);
  list.Strings("Items", [](TListBox& c) -> TStringList& { return c.Items(); })
      .Integer("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight, 13)
      .Boolean("Sorted", &TListBox::Sorted, &TListBox::SetSorted, false)
      .Enumeration("BorderStyle", &TListBox::BorderStyle, &TListBox::SetBorderStyle, kBorderStyles,
                   bsSingle)
      .IntegerIdents("Color", &TListBox::Color, &TListBox::SetColor, ColorIdents(), clWindow);
  PublishPointer(list);

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
