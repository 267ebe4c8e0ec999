// Helpers of the end-to-end tests that run the platform in this process.
#include "tests/e2e/Platform.h"

#include <map>

namespace e2e {

namespace {

constexpr UINT kCheckInterval = 50;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Recorded().push_back({hwnd, msg, wParam, lParam});
  if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wParam, lParam);
  // The pattern is drawn once the drawing side of the platform is in; until then the window
  // only takes its paint.
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
  return 0;
}

}  // namespace

std::vector<TRecorded>& Recorded() {
  static std::vector<TRecorded> recorded;
  return recorded;
}

int CountOf(HWND hwnd, UINT msg, WPARAM wParam) {
  int count = 0;
  for (const TRecorded& r : Recorded()) {
    count += r.hwnd == hwnd && r.msg == msg && (wParam == WPARAM(-1) || r.wParam == wParam);
  }
  return count;
}

HWND CreateRecordingWindow(const std::string& className, const std::string& text, DWORD style,
                           RECT bounds, HWND owner) {
  WNDCLASSA cls{};
  cls.style = CS_DBLCLKS;
  cls.lpfnWndProc = RecordingProc;
  cls.lpszClassName = className.c_str();
  WNDCLASSA existing;
  if (!GetClassInfoA(nullptr, className.c_str(), &existing)) RegisterClassA(&cls);
  return CreateWindowExA(0, className.c_str(), text.c_str(), style, bounds.left, bounds.top,
                         bounds.right - bounds.left, bounds.bottom - bounds.top, owner, nullptr,
                         nullptr, nullptr);
}

bool PumpUntil(const std::function<bool()>& done, int seconds) {
  // Some awaited changes (a docked icon, a window mapped) post no message of their own, so a
  // short thread timer wakes the loop to look again until the deadline.
  const UINT_PTR tick = SetTimer(nullptr, 0, kCheckInterval, nullptr);
  const DWORD end = GetTickCount() + DWORD(seconds) * 1000;
  bool ok = done();
  MSG msg;
  while (!ok && int32_t(GetTickCount() - end) < 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ok = done();
  }
  KillTimer(nullptr, tick);
  return ok;
}

}  // namespace e2e
