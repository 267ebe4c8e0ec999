// Timers: a component that fires OnTimer every Interval milliseconds while enabled, through a
// platform timer on a utility window of its own. Toolkit layer.
#pragma once

#include <memory>

#include "toolkit/Classes.h"
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
