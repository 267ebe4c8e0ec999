// Push buttons, windowless, and the modal results they close a modal form with. Toolkit layer.
#pragma once

#include "toolkit/Controls.h"

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
