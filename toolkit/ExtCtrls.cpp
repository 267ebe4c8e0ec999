// Timers. Toolkit layer.
#include "toolkit/ExtCtrls.h"

#include "toolkit/Forms.h"
#include "toolkit/TypInfo.h"

TTimer::TTimer(TComponent* owner) : TComponent(owner), FWindow(TWndMethod(this, &TTimer::WndProc)) {
  UpdateTimer();
}

TTimer::~TTimer() {
  FEnabled = false;
  UpdateTimer();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(UINT interval) {
  if (interval == FInterval) return;
  FInterval = interval;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

// Every change restarts the count from now, as SetTimer does for a running timer.
void TTimer::UpdateTimer() {
  if (FRunning) KillTimer(FWindow.Handle(), kTimerId);
  FRunning = false;
  if (FEnabled && FInterval > 0 && !IsLoading() && !IsDestroying())
    FRunning = SetTimer(FWindow.Handle(), kTimerId, FInterval, nullptr) != 0;
}

void TTimer::WndProc(TMessage& message) {
  if (message.Msg != WM_TIMER) {
    message.Result = DefWindowProcA(FWindow.Handle(), message.Msg, message.WParam, message.LParam);
    return;
  }
  try {
    OnTimer(this);
  } catch (const std::exception&) {
    HandleEventException(this);
  }
}

namespace {

const bool kRegistered = [] {
  PublishClass<TTimer, TComponent>("TTimer")
      .Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
      .Integer("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
      .Event("OnTimer", &TTimer::OnTimer);
  return true;
}();

}  // namespace
