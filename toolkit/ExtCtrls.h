// Timers, images and bevels. A timer fires OnTimer every Interval milliseconds while enabled,
// through a platform timer on a utility window of its own. Toolkit layer.
#pragma once

#include <memory>

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"
#include "toolkit/UtilWindow.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  // Milliseconds; 0 stops the timer.
  UINT Interval() const { return FInterval; }
  void SetInterval(UINT interval);

  TNotifyEvent OnTimer;

 protected:
  void Loaded() override;

 private:
  static constexpr UINT_PTR kTimerId = 1;
  void UpdateTimer();
  void WndProc(TMessage& message);

  bool FEnabled = true;
  UINT FInterval = 1000;
  bool FRunning = false;
  TUtilityWindow FWindow;
};

// --- Images ---
// A picture on the parent's surface, drawn at its natural size from the top-left corner, or
// stretched over the control, or centred. A transparent image leaves the pixels of its
// picture's transparent colour (the bottom-left pixel's) unpainted.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture& Picture() { return FPicture; }
  void SetPicture(const TPicture* picture) { FPicture.Assign(picture); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool stretch);
  bool Center() const { return FCenter; }
  void SetCenter(bool center);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool transparent);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool autoSize);
  // The image's own drawing surface, as programs draw on an image: its picture as a bitmap,
  // made at the control's size when the picture is empty (it hides the control's canvas over
  // the parent). Raises EInvalidOperation when the picture is an icon.
  TCanvas& Canvas();

 protected:
  void Paint() override;

 private:
  void PictureChanged();
  RECT DestRect() const;

  TPicture FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FTransparent = false;
  bool FAutoSize = false;
};

// --- Bevels ---
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// A sunken or raised frame or line.
class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape shape);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle style);

 protected:
  void Paint() override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};
