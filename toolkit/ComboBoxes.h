// Combo boxes: an edit with a drop-down list of items. Toolkit layer.
#pragma once

#include <memory>

#include "toolkit/Controls.h"
#include "toolkit/Edits.h"

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
