// The message queue: posting and sending, retrieval in Windows' order, translation, dispatch
// and the default window procedure. Part of the platform's portable core.
#include <cstdio>

#include "platform/core/Core.h"
#include "platform/core/DriverSink.h"

namespace platform::core {
namespace {

const HWND kThreadOnly = reinterpret_cast<HWND>(-1);

bool IsSelfOrDescendant(HWND hwnd, HWND ancestor) {
  for (TWindow* w = FindOwn(hwnd); w; w = FindOwn(w->parent))
    if (w->handle == ancestor) return true;
  return false;
}

bool InRange(UINT message, UINT min, UINT max) {
  return (min == 0 && max == 0) || (message >= min && message <= max);
}

bool Matches(const MSG& m, HWND filter, UINT min, UINT max) {
  if (filter == kThreadOnly) {
    if (m.hwnd) return false;
  } else if (filter && !IsSelfOrDescendant(m.hwnd, filter)) {
    return false;
  }
  return InRange(m.message, min, max);
}

MSG Make(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return {hwnd, message, wParam, lParam, TickFor(Now()), TheDriver().CursorPos()};
}

bool TakePosted(MSG& out, HWND filter, UINT min, UINT max, bool remove) {
  TState& st = State();
  for (auto it = st.posted.begin(); it != st.posted.end(); ++it) {
    if (!Matches(*it, filter, min, max)) continue;
    out = *it;
    if (remove) st.posted.erase(it);
    return true;
  }
  return false;
}

bool TakeInput(MSG& out, HWND filter, UINT min, UINT max, bool remove) {
  TState& st = State();
  for (auto it = st.input.begin(); it != st.input.end(); ++it) {
    if (!Matches(it->msg, filter, min, max)) continue;
    out = it->msg;
    if (!remove) return true;
    const TInput in = *it;
    st.input.erase(it);
    ApplyKeyState(in);
    if (in.msg.message == WM_KEYDOWN) {
      st.lastKey = in.msg;
      st.lastKeyTyped = in.typed;
    }
    ActivateOnClick(in.msg);
    SetCursorForInput(in.msg);
    return true;
  }
  return false;
}

bool TakePaint(MSG& out, HWND filter, UINT min, UINT max) {
  if (!InRange(WM_PAINT, min, max) || filter == kThreadOnly) return false;
  for (auto& slot : State().slots) {
    TWindow* w = slot.get();
    if (!w || !w->alive || w->foreign || !w->updatePending || w->Iconic()) continue;
    if (!ReallyVisible(*w) || (filter && !IsSelfOrDescendant(w->handle, filter))) continue;
    out = Make(w->handle, WM_PAINT, 0, 0);
    return true;
  }
  return false;
}

bool Take(MSG& out, HWND filter, UINT min, UINT max, bool remove) {
  TState& st = State();
  TheDriver().Poll();
  // Other programs may have changed their windows since the program last looked.
  ForgetTopLevelPicture();
  CollectGarbage();
  if (TakePosted(out, filter, min, max, remove)) return true;
  if (st.quitPending) {
    out = Make(nullptr, WM_QUIT, WPARAM(st.quitCode), 0);
    if (remove) st.quitPending = false;
    return true;
  }
  if (TakeInput(out, filter, min, max, remove)) return true;
  if (TakePaint(out, filter, min, max)) return true;
  return TakeDueTimer(filter, min, max, remove, out);
}

// Waits in the driver until something may have arrived: a native event or the next timer
// that the caller's filter lets through.
void WaitForMore(HWND filter, UINT min, UINT max) {
  FlushPresents();
  uint64_t due = 0;
  const bool timer = InRange(WM_TIMER, min, max) && NextTimerDue(filter, due);
  if (TheDriver().Wait(TickFor(due), !timer)) return;
  DeadlockError error{
      "the program waits for a message that can never come: nothing is queued, no timer "
      "is set and the driver has nothing that could wake it"};
  std::fprintf(stderr, "platform: %s\n", error.what.c_str());
  throw error;
}

bool CheckFilter(HWND filter) {
  if (!filter || filter == kThreadOnly || FindOwn(filter)) return true;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return false;
}

void PostTo(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  State().posted.push_back(Make(hwnd, msg, wParam, lParam));
}

}  // namespace

void PostInput(const TInput& in) {
  TState& st = State();
  // Windows keeps only the latest position of a pointer that moves faster than it is read.
  if (in.msg.message == WM_MOUSEMOVE && !st.input.empty() &&
      st.input.back().msg.message == WM_MOUSEMOVE && st.input.back().msg.hwnd == in.msg.hwnd) {
    st.input.back() = in;
    return;
  }
  st.input.push_back(in);
}

}  // namespace platform::core

using namespace platform;
using namespace platform::core;

// --- Posting and sending ---

extern "C" BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) {
    PostTo(nullptr, msg, wParam, lParam);
    return TRUE;
  }
  if (hwnd == HWND_BROADCAST) {
    for (HWND h : Desktop().children)
      PostTo(h, msg, wParam, lParam);
    return TRUE;
  }
  TWindow* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->foreign) {
    if (TheDriver().PostTo(w->foreignKey, msg, wParam, lParam)) return TRUE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  PostTo(hwnd, msg, wParam, lParam);
  return TRUE;
}

extern "C" LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == HWND_BROADCAST) {
    for (HWND h : std::vector<HWND>(Desktop().children))
      CallProc(h, msg, wParam, lParam);
    return 0;
  }
  TWindow* w = Find(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (w->foreign) {
    TheDriver().PostTo(w->foreignKey, msg, wParam, lParam);
    return 0;
  }
  return CallProc(hwnd, msg, wParam, lParam);
}

void platform::sink::ForeignMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (FindOwn(hwnd) || !hwnd) PostTo(hwnd, msg, wParam, lParam);
}

// --- Retrieval ---

extern "C" BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (!CheckFilter(hwnd)) return -1;
  while (!Take(*msg, hwnd, min, max, true))
    WaitForMore(hwnd, min, max);
  State().messageTime = msg->time;
  return msg->message != WM_QUIT;
}

extern "C" BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT min, UINT max, UINT flags) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!CheckFilter(hwnd)) return FALSE;
  if (Take(*msg, hwnd, min, max, (flags & PM_REMOVE) != 0)) {
    State().messageTime = msg->time;
    return TRUE;
  }
  FlushPresents();
  return FALSE;
}

extern "C" BOOL WINAPI WaitMessage() {
  MSG msg;
  while (!Take(msg, nullptr, 0, 0, false))
    WaitForMore(nullptr, 0, 0);
  return TRUE;
}

extern "C" DWORD WINAPI GetMessageTime() {
  return State().messageTime;
}

extern "C" void WINAPI PostQuitMessage(int exitCode) {
  State().quitPending = true;
  State().quitCode = exitCode;
}

// --- Translation and dispatch ---

extern "C" BOOL WINAPI TranslateMessage(const MSG* msg) {
  if (!msg) return FALSE;
  if (msg->message != WM_KEYDOWN)
    return msg->message == WM_KEYUP || msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSKEYUP;
  const TState& st = State();
  const MSG& last = st.lastKey;
  char typed;
  if (last.hwnd == msg->hwnd && last.wParam == msg->wParam && last.lParam == msg->lParam &&
      last.time == msg->time) {
    typed = st.lastKeyTyped;
  } else {
    typed = sink::TypedOnUsKeyboard(BYTE(msg->wParam), GetKeyState(VK_SHIFT) < 0,
                                    GetKeyState(VK_CONTROL) < 0);
  }
  if (typed) PostTo(msg->hwnd, WM_CHAR, WPARAM(static_cast<unsigned char>(typed)), msg->lParam);
  return TRUE;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (!msg->hwnd) return 0;
  if (!FindOwn(msg->hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

extern "C" LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam,
                                          LPARAM lParam) {
  return proc ? proc(hwnd, msg, wParam, lParam) : 0;
}

// --- The default window procedure ---

namespace {

LRESULT DefaultSysCommand(HWND hwnd, WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE:
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
      break;
    case SC_MINIMIZE:
      ShowWindow(hwnd, SW_MINIMIZE);
      break;
    case SC_RESTORE:
      ShowWindow(hwnd, SW_RESTORE);
      break;
  }
  return 0;
}

void DefaultActivate(HWND hwnd, WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE || HIWORD(wParam) != 0) return;
  const HWND focus = State().focus;
  for (TWindow* w = FindOwn(focus); w; w = FindOwn(w->parent))
    if (w->handle == hwnd) return;
  SetFocus(hwnd);
}

}  // namespace

extern "C" LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TWindow* w = FindOwn(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
        DefaultText(*w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cs->lpszName));
      return TRUE;
    }
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      return DefaultText(*w, msg, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGED:
      DefaultPosChanged(*w, *reinterpret_cast<const WINDOWPOS*>(lParam));
      return 0;
    case WM_ACTIVATE:
      DefaultActivate(hwnd, wParam);
      return 0;
    case WM_SYSCOMMAND:
      return DefaultSysCommand(hwnd, wParam);
    case WM_QUERYENDSESSION:
    case WM_NCACTIVATE:
      return TRUE;
    case WM_MOUSEACTIVATE:
      return MA_ACTIVATE;
    case WM_SETCURSOR:
      return DefaultSetCursor(hwnd, wParam, lParam);
  }
  return 0;
}
