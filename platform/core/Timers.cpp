// Window and thread timers, and the clock they run on: the driver's 32-bit tick count seen
// as a 64-bit count that never wraps. Part of the platform's portable core.
#include <algorithm>

#include "platform/core/Core.h"
#include "platform/core/DriverSink.h"

namespace platform::core {
namespace {

bool TimerMatches(const TTimer& t, HWND filter) {
  if (filter == reinterpret_cast<HWND>(-1)) return !t.hwnd;
  if (!filter) return true;
  for (TWindow* w = FindOwn(t.hwnd); w; w = FindOwn(w->parent))
    if (w->handle == filter) return true;
  return false;
}

TTimer* FindTimer(HWND hwnd, UINT_PTR id) {
  for (TTimer& t : State().timers)
    if (t.hwnd == hwnd && t.id == id) return &t;
  return nullptr;
}

}  // namespace

uint64_t Now() {
  TState& st = State();
  const DWORD tick = TheDriver().TickCount();
  if (!st.clockStarted) {
    st.clockStarted = true;
    st.clock = tick;
  } else {
    st.clock += DWORD(tick - st.lastTick);
  }
  st.lastTick = tick;
  return st.clock;
}

DWORD TickFor(uint64_t when) {
  return DWORD(when);
}

bool NextTimerDue(HWND filter, uint64_t& due) {
  bool any = false;
  for (const TTimer& t : State().timers) {
    if (!TimerMatches(t, filter)) continue;
    due = any ? std::min(due, t.due) : t.due;
    any = true;
  }
  return any;
}

bool TakeDueTimer(HWND filter, UINT min, UINT max, bool remove, MSG& out) {
  if ((min || max) && (WM_TIMER < min || WM_TIMER > max)) return false;
  const uint64_t now = Now();
  TTimer* first = nullptr;
  for (TTimer& t : State().timers)
    if (t.due <= now && TimerMatches(t, filter) && (!first || t.due < first->due)) first = &t;
  if (!first) return false;
  out = {first->hwnd,  WM_TIMER,
         first->id,    reinterpret_cast<LPARAM>(first->proc),
         TickFor(now), TheDriver().CursorPos()};
  if (remove) first->due = now + first->interval;
  return true;
}

void KillWindowTimers(HWND hwnd) {
  std::erase_if(State().timers, [&](const TTimer& t) { return t.hwnd == hwnd; });
}

}  // namespace platform::core

using namespace platform::core;

extern "C" UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  TState& st = State();
  if (hwnd && !FindOrFail(hwnd)) return 0;
  elapse = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  TTimer* timer = FindTimer(hwnd, id);
  if (!timer && !hwnd) {
    do {
      id = st.nextThreadTimer++;
    } while (FindTimer(nullptr, id));
  }
  if (!timer) timer = &st.timers.emplace_back(TTimer{hwnd, id});
  timer->interval = elapse;
  timer->proc = proc;
  timer->due = Now() + elapse;
  return hwnd && id == 0 ? 1 : id;
}

extern "C" BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
  if (hwnd && !FindOrFail(hwnd)) return FALSE;
  TState& st = State();
  const size_t before = st.timers.size();
  std::erase_if(st.timers, [&](const TTimer& t) { return t.hwnd == hwnd && t.id == id; });
  return st.timers.size() != before;
}

extern "C" DWORD WINAPI GetTickCount() {
  return TheDriver().TickCount();
}

uint64_t platform::sink::Now() {
  return platform::core::Now();
}

bool platform::sink::NextTimerDue(uint64_t& due) {
  return platform::core::NextTimerDue(nullptr, due);
}
