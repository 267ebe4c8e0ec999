// Controls: the visual component base (bounds, parent, visibility, caption, colour, font) and
// the container base that holds child controls. Only forms own a window of the platform; every
// other control is windowless and is drawn and fed by its form. Toolkit layer.
//
// TControl and TWinControl are implemented by concern, in three files:
// - ControlTree.cpp: parents and children, bounds and coordinates, the values every control has,
//   invalidation, finding a child by position, and the published properties of TFont, TControl
//   and TWinControl;
// - ControlInput.cpp: the pointer and the keyboard as the form's window hands them on (hit
//   testing, capture, pointer shapes, focus, tab order, dialog keys) and the shift state;
// - ControlPainting.cpp: painting a container's controls on the form's window, control
//   canvases, and the painting bases TGraphicControl and TCustomControl.
#pragma once

#include <functional>
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
class TPopupMenu;

// Pointer shapes by number, as the toolkit's ancestors named them. crDefault leaves the choice
// to the control's parent, and in the end to the window's class (the arrow).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// The system's pointer for a shape; null for crNone (no pointer) and for crDefault.
HCURSOR CursorHandle(TCursor cursor);

// --- Shift state ---
// The modifier keys held down now (ssShift, ssCtrl, ssAlt), as key events report them.
TShiftState KeyboardShiftState();
// The modifier keys and the mouse buttons held down now; never contains ssDouble.
TShiftState GetShiftState();

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

  // --- Pointer ---
  // The pointer's shape over the control; it takes effect the next time the pointer moves.
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor) { FCursor = cursor; }
  // The menu a right click on the control opens.
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);
  // Whether the pointer is captured by this control (a button went down on it).
  bool MouseCapture() const;
  void SetMouseCapture(bool capture);
  // Ends the press a control holds, without a release: a modal box or a menu takes the
  // pointer from here on.
  static void CancelMouseCapture();
  // The control's top-left corner in the client area of the form's window.
  POINT WindowOrigin() const;
  RECT ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }
  // Paints the invalid part of the form's window now.
  void Update();
  void Repaint();

  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

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
  // The pointer's shape at a point of the control (client coordinates); controls whose parts
  // differ (a combo box's field and button) choose by the point.
  virtual TCursor CursorAt(POINT p) const { return FCursor; }

  // --- Pointer notifications, in client coordinates of the control ---
  // The form's window holds the pointer from a press until every button is up, so move and
  // release reach the control that took the press even off its bounds.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // A left press and release on the control, and a double click.
  virtual void Click();
  virtual void DblClick();
  // The wheel turned over the control or while it had the focus; true when it scrolled.
  virtual bool MouseWheel(int delta, TShiftState shift) { return false; }
  // Paints the control on `dc`, whose origin is the control's top-left corner and whose clip
  // area is its bounds.
  virtual void PaintTo(HDC dc) {}
  // Enter and Esc that the focused control left alone are offered to every control: default
  // and cancel buttons answer them.
  virtual bool DialogKey(WORD key) { return false; }
  void Notification(TComponent* component, TOperation operation) override;

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
  // Lets go of the pointer and the keyboard focus when the control goes.
  void ForgetControl();

  TCursor FCursor = crDefault;
  TPopupMenu* FPopupMenu = nullptr;
  bool FClicked = false;  // a left press began on the control
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

  // --- Keyboard focus and tab order ---
  // The place among the parent's focusable children that Tab follows, from 0.
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool tabStop) { FTabStop = tabStop; }
  // Visible and enabled up to its form, and not a form itself.
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // The focusable children in tab order.
  std::vector<TWinControl*> TabList() const;
  // The control after (or before) `current` among every focusable control below this one.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const;
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);
  // The topmost visible, enabled control under a client point, searched into containers.
  TControl* ControlAtPoint(POINT p) const;
  // The pointer's shape at a client point: the shape of the control there, or of the first of
  // its parents that sets one; crDefault when none does.
  TCursor CursorAtPoint(POINT p) const;

  // The key is passed by reference: a handler that sets it to 0 keeps the control from
  // acting on it; otherwise the control's own processing goes on.
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  // A child control was added or removed.
  virtual void ControlsChanged() {}

  // --- Keyboard ---
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void DoEnter();
  virtual void DoExit();

  // --- The form's window, shared by its windowless controls ---
  // Paints the children that meet `area` (client coordinates): graphic controls first,
  // focusable ones above them.
  void PaintControls(HDC dc, const RECT& area);
  // Hands a mouse or keyboard message of the form's window to the control it concerns.
  bool RouteMouse(TMessage& message);
  bool RouteKey(TMessage& message);
  // Tells the controls that the keyboard focus moved.
  static void MoveFocus(TWinControl* from, TWinControl* to);

 private:
  bool PressControl(TControl* target, TMouseButton button, bool dbl, TShiftState shift, int x,
                    int y);
  bool ReleaseControl(TControl* target, TMouseButton button, TShiftState shift, int x, int y);
  bool RouteWheel(int delta, TShiftState shift);
  void OfferDialogKey(WORD key);

  int FTabOrder = -1;  // -1: after the others, in the order of placing
  bool FTabStop = false;
  std::vector<TControl*> FControls;
};

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
// Controls other than forms have no border or a single line: bsNone and bsSingle.
using TBorderStyle = TFormBorderStyle;

// Names an event a class inherits as a member of that class, as the registration of its
// published properties asks: `.Event("OnEnter", Inherited<TEdit>(&TEdit::OnEnter))`.
template <class T, class B, class E>
constexpr E T::*Inherited(E B::*member) {
  return static_cast<E T::*>(member);
}

// --- Painting bases ---
// A canvas over a control's part of its form's window. While the form paints, it draws on the
// paint context; at other times each drawing call takes a context of the window for itself.
class TControlCanvas : public TCanvas {
 public:
  explicit TControlCanvas(TControl& control) : FControl(control) {}
  ~TControlCanvas() override;
  // Runs `paint` with the canvas drawing on `dc` in the control's font, and lets the
  // context go again whatever `paint` does.
  void PaintOn(HDC dc, const std::function<void()>& paint);

 protected:
  void CreateHandle() override;
  void AfterUse() override;

 private:
  void FreeWindowContext();
  void BeginPaint(HDC dc);
  void EndPaint();

  TControl& FControl;
  HWND FWindow = nullptr;  // set while a context of the window is held
};

// A control without a window that paints on its parent's surface through its canvas.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas& Canvas() { return *FCanvas; }

 protected:
  virtual void Paint() {}
  void PaintTo(HDC dc) override;

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// A focusable windowless control that paints itself through its canvas (edits, lists).
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas& Canvas() { return *FCanvas; }

 protected:
  virtual void Paint() {}
  void PaintTo(HDC dc) override;

 private:
  std::unique_ptr<TControlCanvas> FCanvas;
};
