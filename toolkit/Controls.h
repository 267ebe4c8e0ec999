// Controls: the visual component base (bounds, parent, visibility, caption, colour, font) and
// the container base that holds child controls. Only forms own a window of the platform; every
// other control is windowless and is drawn and fed by its form. Toolkit layer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

// A window message as the toolkit's handlers see it.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};
using TWndMethod = TEvent<TMessage&>;

class TWinControl;

// --- Controls ---
class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // --- Placement ---
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
  void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
  void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
  void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  // The client area; for windowless controls and frameless windows it is the whole control.
  virtual int ClientWidth() const { return FWidth; }
  virtual int ClientHeight() const { return FHeight; }
  void SetClientWidth(int value) { SetClientSize(value, ClientHeight()); }
  void SetClientHeight(int value) { SetClientSize(ClientWidth(), value); }
  virtual void SetClientSize(int width, int height);
  // Converts between this control's client coordinates and the screen's.
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;
  // The form's window this control is drawn on, or null.
  virtual HWND WindowHandle() const;

  // --- Appearance ---
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);
  // The control's text: a caption for labels and forms, the contents of an edit.
  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& text) { SetText(text); }
  const std::string& Text() const { return FText; }
  virtual void SetText(const std::string& text);
  TColor Color() const { return FColor; }
  virtual void SetColor(TColor color);
  TFont* Font() const { return FFont.get(); }
  void SetFont(const TFont* font) { FFont->Assign(font); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint) { FHint = hint; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value) { FShowHint = value; }

  // Asks for this control's area to be painted again with the next paint of its form.
  virtual void Invalidate();

  // --- Form descriptions ---
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;

 protected:
  // Hooks for the controls built on this base.
  virtual void BoundsChanged() {}
  virtual void VisibleChanged() {}
  virtual void TextChanged() {}
  virtual void FontChanged() {}
  virtual void ColorChanged() {}
  virtual void EnabledChanged() {}
  // Sets the visibility without any of its consequences (a form's initial state).
  void StoreVisible(bool visible) { FVisible = visible; }
  // A message the form hands to this control (mouse, keyboard); false leaves it unhandled.
  virtual bool ControlMessage(TMessage& message) { return false; }

  friend class TWinControl;

 private:
  void CopyParentFont();

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentFont = true;
  bool FShowHint = false;
  bool FCopyingParentFont = false;
  std::string FText;
  std::string FHint;
  TColor FColor = clBtnFace;
  std::unique_ptr<TFont> FFont;
};

// --- Containers ---
// A control that holds child controls, in the order they were placed (the bottom one first).
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const;
  const std::vector<TControl*>& ControlList() const { return FControls; }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // The topmost visible child whose bounds hold the client point, or null.
  TControl* ControlAtPos(POINT p) const;

  void GetChildren(const std::function<void(TComponent*)>& proc,
                   const TComponent* root) const override;

 protected:
  // A child control was added or removed.
  virtual void ControlsChanged() {}

 private:
  std::vector<TControl*> FControls;
};

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// Controls other than forms have no border or a single line: bsNone and bsSingle.
using TBorderStyle = TFormBorderStyle;
