// Single-line edits, windowless, and the program's clipboard they cut, copy and paste through.
// Toolkit layer.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>

#include "toolkit/Controls.h"

// The program's own clipboard: edits cut, copy and paste through it.
std::string& ClipboardText();

// --- Edits ---
// A single-line edit: caret, selection, typing, Backspace, Delete, Home, End, arrows (Shift
// extends the selection), Ctrl+C, Ctrl+X, Ctrl+V and Ctrl+A through the program's clipboard.
class TCustomEdit : public TCustomControl {
 public:
  explicit TCustomEdit(TComponent* owner);

  // 0: no limit. Typing and pasting stop at the limit; setting Text does not.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int length) { FMaxLength = length < 0 ? 0 : length; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool autoSelect) { FAutoSelect = autoSelect; }
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style);
  // A sunken 3-D border; without it the border is a flat line.
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool ctl3D);

  // --- Caret and selection, in positions of the shown text ---
  int SelStart() const { return std::min(FCaret, FAnchor); }
  int SelLength() const { return std::abs(FCaret - FAnchor); }
  void SetSelStart(int start);
  void SetSelLength(int length);
  std::string SelText() const;
  void SelectAll();
  int CaretPos() const { return FCaret; }

  // The text the field shows; for a plain edit it is Text.
  virtual std::string EditText() const { return Text(); }

  TNotifyEvent OnChange;

 protected:
  void Paint() override;
  void TextChanged() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void DblClick() override;
  void DoEnter() override;

  // --- Editing, overridden by masked edits ---
  virtual void TypeChar(char c);
  virtual void EraseBack();
  virtual void EraseForward();
  virtual void PasteText(const std::string& text);
  // Replaces the shown text and puts the caret at `caret`.
  virtual void ReplaceEditText(const std::string& text, int caret);
  void CutSelection();
  void CopySelection() const;

  // The area inside the border and the text drawn in it.
  RECT TextArea() const;
  void PaintBorder(TCanvas& canvas, RECT& rect) const;
  void PaintText(TCanvas& canvas, const RECT& area);
  void MoveCaret(int pos, bool extend);
  int PosFromX(int x) const;

 private:
  void ScrollToCaret();

  int FMaxLength = 0;
  bool FReadOnly = false;
  bool FAutoSelect = true;
  TBorderStyle FBorderStyle = bsSingle;
  bool FCtl3D = true;
  int FCaret = 0;
  int FAnchor = 0;
  int FScrollX = 0;       // pixels of text hidden on the left
  bool FEditing = false;  // the text changes through editing, which places the caret itself
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};
