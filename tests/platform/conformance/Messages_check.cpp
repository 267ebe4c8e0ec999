// The queue as the Win32 reference answers: posted messages, WM_QUIT, paint and timers in
// GetMessageA's order, filters, and timer ids.
#include "tests/platform/conformance/Check.h"

using namespace conformance;

CONFORMANCE_CASE(PostedThenPaintThenTimer) {
  HWND h = MakeRecorder("order", WS_POPUP | WS_VISIBLE);
  Pump();
  InvalidateRect(h, NULL, TRUE);
  CHECK_EQ(SetTimer(h, 7, 20, NULL), 7u);
  PostMessageA(h, WM_USER + 1, 0, 0);
  PostMessageA(h, WM_USER + 2, 0, 0);
  std::vector<UINT> order;
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0)) {
    if (msg.hwnd == h) order.push_back(msg.message);
    DispatchMessageA(&msg);
    if (msg.message == WM_TIMER) break;
  }
  CHECK(order == (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_PAINT, WM_TIMER}));
  CHECK(KillTimer(h, 7));
  CHECK(!KillTimer(h, 7));
  DestroyWindow(h);
}

CONFORMANCE_CASE(QuitComesAfterThePostedMessages) {
  HWND h = MakeRecorder("quit", WS_POPUP);
  PostMessageA(h, WM_USER, 0, 0);
  PostQuitMessage(5);
  PostMessageA(h, WM_USER + 1, 0, 0);
  MSG msg;
  CHECK(GetMessageA(&msg, NULL, 0, 0));
  CHECK_EQ(msg.message, (UINT)WM_USER);
  CHECK(GetMessageA(&msg, NULL, 0, 0));
  CHECK_EQ(msg.message, (UINT)WM_USER + 1);
  CHECK(!GetMessageA(&msg, NULL, 0, 0));
  CHECK_EQ(msg.message, (UINT)WM_QUIT);
  CHECK_EQ(msg.wParam, 5u);
  CHECK(!PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
  DestroyWindow(h);
}

CONFORMANCE_CASE(PeekFiltersByWindowAndRange) {
  HWND a = MakeRecorder("a", WS_POPUP);
  HWND b = MakeRecorder("b", WS_POPUP);
  PostMessageA(a, WM_USER, 1, 0);
  PostMessageA(b, WM_USER + 5, 2, 0);
  PostMessageA(NULL, WM_USER + 9, 3, 0);
  MSG msg;
  CHECK(PeekMessageA(&msg, b, 0, 0, PM_NOREMOVE));
  CHECK_EQ(msg.wParam, 2u);
  CHECK(PeekMessageA(&msg, NULL, WM_USER + 5, WM_USER + 5, PM_REMOVE));
  CHECK(msg.hwnd == b);
  CHECK(PeekMessageA(&msg, (HWND)-1, 0, 0, PM_REMOVE));
  CHECK_EQ(msg.wParam, 3u);
  CHECK(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE));
  CHECK(msg.hwnd == a);
  DestroyWindow(a);
  DestroyWindow(b);
}

CONFORMANCE_CASE(TimerIdsAndThreadTimers) {
  HWND h = MakeRecorder("timers", WS_POPUP);
  CHECK_EQ(SetTimer(h, 42, 1000, NULL), 42u);
  CHECK_EQ(SetTimer(h, 42, 2000, NULL), 42u);
  CHECK(KillTimer(h, 42));
  UINT_PTR id = SetTimer(NULL, 0, 1000, NULL);
  CHECK(id != 0);
  CHECK(KillTimer(NULL, id));
  DestroyWindow(h);
}

CONFORMANCE_CASE(DefWindowProcCopiesTextWithinTheBuffer) {
  HWND h = MakeRecorder("abcdef", WS_POPUP);
  char buf[8] = "zzzzzzz";
  CHECK_EQ(SendMessageA(h, WM_GETTEXT, 4, (LPARAM)buf), 3);
  CHECK_EQ(buf[3], 0);
  CHECK_EQ(SendMessageA(h, WM_GETTEXTLENGTH, 0, 0), 6);
  CHECK_EQ(SendMessageA(h, WM_GETTEXT, 0, (LPARAM)buf), 0);
  DestroyWindow(h);
}
