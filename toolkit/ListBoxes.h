// List boxes: a windowless list of items with a vertical scroll bar. Toolkit layer.
#pragma once

#include "toolkit/ClassicLook.h"
#include "toolkit/Controls.h"

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
