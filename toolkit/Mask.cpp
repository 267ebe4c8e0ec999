// The masked edit. Toolkit layer.
#include "toolkit/Mask.h"

#include "toolkit/ControlProps.h"

void TMaskEdit::SetEditMask(const std::string& mask) {
  if (mask == FEditMask) return;
  const std::string text = Text();
  FEditMask = mask;
  FMask = TMaskFormat(mask);
  FEdit = FMask.EditFromText(text);
  if (IsMasked()) SetMaxLength(FMask.Length());
  Store(FEdit, 0);
}

bool TMaskEdit::IsBlank() const {
  return IsMasked() ? FMask.IsBlank(FEdit) : Text().empty();
}

std::string TMaskEdit::EditText() const {
  return IsMasked() ? FEdit : Text();
}

void TMaskEdit::SetText(const std::string& text) {
  if (!IsMasked()) return TCustomEdit::SetText(text);
  FEdit = FMask.EditFromText(text);
  TCustomEdit::SetText(FMask.TextFromEdit(FEdit));
}

void TMaskEdit::Store(const std::string& edit, int caret) {
  if (!IsMasked()) return;
  FEdit = edit;
  // The field's text follows the shown text; the caret is placed by the editing step.
  ReplaceEditText(FMask.TextFromEdit(FEdit), caret);
  FEdit = edit;
}

int TMaskEdit::ClearSelection() {
  const int start = SelStart(), end = start + SelLength();
  for (int pos = start; pos < end; ++pos)
    if (!FMask.IsLiteral(pos)) FEdit[pos] = FMask.Blank();
  return start;
}

void TMaskEdit::TypeChar(char c) {
  if (!IsMasked()) return TCustomEdit::TypeChar(c);
  std::string edit = FEdit;
  const int pos = FMask.NextInput(SelLength() > 0 ? SelStart() : CaretPos());
  if (pos >= FMask.Length() || !FMask.Accepts(pos, c)) return;  // refused: nothing changes
  if (SelLength() > 0) {
    ClearSelection();
    edit = FEdit;
  }
  edit[pos] = c;
  Store(edit, FMask.NextInput(pos + 1));
}

void TMaskEdit::EraseBack() {
  if (!IsMasked()) return TCustomEdit::EraseBack();
  if (SelLength() > 0) return Store(FEdit, ClearSelection());
  const int pos = FMask.PrevInput(CaretPos());
  if (pos < 0) return;
  std::string edit = FEdit;
  edit[pos] = FMask.Blank();
  Store(edit, pos);
}

void TMaskEdit::EraseForward() {
  if (!IsMasked()) return TCustomEdit::EraseForward();
  if (SelLength() > 0) return Store(FEdit, ClearSelection());
  const int pos = FMask.NextInput(CaretPos());
  if (pos >= FMask.Length()) return;
  std::string edit = FEdit;
  edit[pos] = FMask.Blank();
  Store(edit, CaretPos());
}

void TMaskEdit::PasteText(const std::string& text) {
  if (!IsMasked()) return TCustomEdit::PasteText(text);
  for (char c : text)
    TypeChar(c);
}

void TMaskEdit::KeyDown(WORD& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  // The caret never rests before a literal: it moves on to the next position it can fill.
  if (IsMasked() && !shift.Contains(ssShift) && (key == VK_RIGHT || key == VK_HOME)) {
    const int pos = FMask.NextInput(CaretPos());
    if (pos < FMask.Length()) MoveCaret(pos, false);
  }
}

namespace {

const bool kRegistered = [] {
  auto mask = PublishClass<TMaskEdit, TWinControl>("TMaskEdit");
  mask.String("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask, std::string());
  PublishKeyboard(mask);
  PublishPointer(mask, crIBeam);
  mask.Integer("MaxLength", &TMaskEdit::MaxLength, &TMaskEdit::SetMaxLength, 0)
      .Boolean("Ctl3D", &TMaskEdit::Ctl3D, &TMaskEdit::SetCtl3D, true)
      .Boolean("AutoSelect", &TMaskEdit::AutoSelect, &TMaskEdit::SetAutoSelect, true)
      .IntegerIdents("Color", &TMaskEdit::Color, &TMaskEdit::SetColor, ColorIdents(), clWindow)
      .String("Text", &TMaskEdit::Text, &TMaskEdit::SetText, std::string())
      .Event("OnChange", Inherited<TMaskEdit>(&TMaskEdit::OnChange));
  return true;
}();

}  // namespace
