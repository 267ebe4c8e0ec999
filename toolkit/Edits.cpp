// Single-line edits. Toolkit layer.
#include "toolkit/Edits.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/ClassicLook.h"
#include "toolkit/ControlProps.h"
#include "toolkit/Property.h"

namespace {

constexpr char kCtrlA = 1, kCtrlC = 3, kCtrlV = 22, kCtrlX = 24, kBackspace = 8;

}  // namespace

std::string& ClipboardText() {
  static std::string text;
  return text;
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

// --- Published properties ---

namespace {

const bool kRegistered = [] {
  auto edit = PublishClass<TEdit, TWinControl>("TEdit");
  PublishEdit(edit);
  PublishPointer(edit, crIBeam);
  return true;
}();

}  // namespace
