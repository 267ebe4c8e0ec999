// Standard controls, all windowless: labels, edits, combo boxes with their drop-down list, list
// boxes and push buttons, in the classic grey look. Toolkit layer.
#pragma once

#include <memory>
#include <string>

#include "toolkit/Controls.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// The program's own clipboard: edits cut, copy and paste through it.
std::string& ClipboardText();

// Draws a frame of `width` pixels just inside `rect` and shrinks `rect` by it: the top and
// left sides in `topLeft`, the bottom and right in `bottomRight`.
void Frame3D(TCanvas& canvas, RECT& rect, TColor topLeft, TColor bottomRight, int width = 1);

// --- Labels ---
// A caption drawn on the parent. "&" marks the next character as a mnemonic (underlined) and
// "&&" shows one "&", unless ShowAccelChar is off. With AutoSize the label takes the size of
// its text; a right-justified label keeps its right edge when it does.
class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment alignment);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool wordWrap);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool show);

 protected:
  void Paint() override;
  void Loaded() override;
  void TextChanged() override;
  void FontChanged() override;

 private:
  UINT DrawFlags() const;
  void AdjustBounds();

  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  bool FTransparent = false;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
};

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

// --- Lists ---
// What a list box and a drop-down list share: items drawn one under the other from a top
// index, the chosen one highlighted.
struct TItemListPainter {
  int ItemHeight = 13;
  int TopIndex = 0;
  int Highlighted = -1;
  void Paint(TCanvas& canvas, const TStringList& items, const RECT& area, TColor color,
             bool focused) const;
  // The item under a point of the area, or -1.
  int ItemAt(const TStringList& items, const RECT& area, POINT p) const;
};

enum TComboBoxStyle { csDropDown, csDropDownList };

class TDropDownList;

// An editable drop-down combo box: the user picks an item from the list, opened with the
// button, Alt+Down or F4, or types any text, which stays as it was typed.
class TComboBox : public TCustomEdit {
 public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;

  TStringList& Items() { return FItems; }
  const TStringList& Items() const { return FItems; }
  // The index of the item whose text the field holds, or -1.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int height) { FItemHeight = height > 0 ? height : FItemHeight; }
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int count) { FDropDownCount = count > 0 ? count : 1; }
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle style);
  bool Sorted() const { return FItems.Sorted(); }
  void SetSorted(bool sorted) { FItems.SetSorted(sorted); }

  bool DroppedDown() const { return FList != nullptr; }
  void SetDroppedDown(bool dropped);

  TNotifyEvent OnDropDown;

 protected:
  void Paint() override;
  void TextChanged() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoExit() override;
  TCursor CursorAt(POINT p) const override;

 private:
  friend class TDropDownList;
  RECT ButtonRect() const;
  void Choose(int index);

  TStringList FItems;
  int FItemIndex = -1;
  int FItemHeight = 16;
  int FDropDownCount = 8;
  TComboBoxStyle FStyle = csDropDown;
  std::unique_ptr<TDropDownList> FList;
};

// A list box with a vertical scroll bar when its items do not fit.
class TListBox : public TCustomControl {
 public:
  explicit TListBox(TComponent* owner);

  TStringList& Items() { return FItems; }
  const TStringList& Items() const { return FItems; }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);
  int ItemHeight() const { return FList.ItemHeight; }
  void SetItemHeight(int height);
  int TopIndex() const { return FList.TopIndex; }
  void SetTopIndex(int index);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle style);
  bool Sorted() const { return FItems.Sorted(); }
  void SetSorted(bool sorted) { FItems.SetSorted(sorted); }
  // How many whole items the list shows at once.
  int VisibleItems() const;

 protected:
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool MouseWheel(int delta, TShiftState shift) override;

 private:
  RECT InnerRect() const;
  bool HasScrollBar() const;
  RECT ItemArea() const;
  // The scroll bar's parts: the two arrow buttons and the thumb.
  void ScrollParts(RECT& up, RECT& down, RECT& thumb) const;
  void PaintScrollBar(TCanvas& canvas) const;
  int MaxTopIndex() const;
  void ScrollIntoView(int index);

  TStringList FItems;
  int FItemIndex = -1;
  TItemListPainter FList;
  TBorderStyle FBorderStyle = bsSingle;
  int FThumbGrab = -1;  // pointer offset inside the thumb while it is dragged
};

// --- Buttons ---
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort, mrRetry, mrIgnore, mrYes, mrNo };

// A push button. The default button answers Enter, the cancel button Esc; a button with a
// modal result closes the modal form it is on with that result.
class TButton : public TCustomControl {
 public:
  explicit TButton(TComponent* owner);

  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int result) { FModalResult = result; }

  void Click() override;

 protected:
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool DialogKey(WORD key) override;

 private:
  void SetPressed(bool pressed);
  // Whether Enter presses this button now (drawn with the thick frame).
  bool Active() const;

  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = mrNone;
  bool FPressed = false;
};
