// The child roles of the end-to-end test program: other processes on the same desktop.
#include "tests/e2e/Children.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32.h"
#include "tests/e2e/Platform.h"

namespace e2e {

namespace {

// "window TEXT X Y": another program's window, shown until the process is ended.
int OtherWindow(const std::vector<std::string>& args) {
  if (args.size() != 3) return 2;
  const int x = std::atoi(args[1].c_str()), y = std::atoi(args[2].c_str());
  HWND hwnd = CreateRecordingWindow("E2EOther", args[0], WS_POPUP, RECT{x, y, x + 200, y + 150});
  ShowWindow(hwnd, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    DispatchMessageA(&msg);
  return 0;
}

// "find CLASS TEXT MESSAGE": the single-instance search of a second copy. Walks the top-level
// windows, and on the first whose class matches (ignoring case) and whose text matches
// exactly, posts MESSAGE with the window's handle, restores it, brings it forward and ends
// with 0; 1 when none matched.
int FindFirst(const std::vector<std::string>& args) {
  if (args.size() != 3) return 2;
  const UINT message = UINT(std::atoi(args[2].c_str()));
  for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    char className[256] = {}, text[256] = {};
    GetClassNameA(w, className, 255);
    GetWindowTextA(w, text, 255);
    if (strcasecmp(className, args[0].c_str()) != 0 || args[1] != text) continue;
    ShowWindow(w, SW_RESTORE);
    PostMessageA(w, message, WPARAM(w), 0);
    SetForegroundWindow(w);
    return 0;
  }
  return 1;
}

// The session messages that the "tray" role's window received, in order.
std::string sessionHeard;

LRESULT CALLBACK TrayOwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_QUERYENDSESSION) {
    sessionHeard += 'Q';
    return TRUE;
  }
  if (msg == WM_ENDSESSION) {
    sessionHeard += wParam ? 'E' : 'e';
    // As the tray component's hidden window does: the icon leaves the tray with the session.
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = hwnd;
    data.uID = 1;
    Shell_NotifyIconA(NIM_DELETE, &data);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// "tray TIP": a hidden window with a tray icon whose tip is TIP, running its loop until it ends.
// Ends with the loop's code when the window heard WM_QUERYENDSESSION and then WM_ENDSESSION
// (TRUE) once each, 3 when it heard something else, 4 when the icon found no tray.
int TrayUntilTheSessionEnds(const std::vector<std::string>& args) {
  if (args.size() != 1) return 2;
  WNDCLASSA cls{};
  cls.lpfnWndProc = TrayOwnerProc;
  cls.lpszClassName = "E2ETrayOwner";
  RegisterClassA(&cls);
  // A hidden utility window, as the tray component keeps.
  HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, cls.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, nullptr, nullptr);
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = hwnd;
  data.uID = 1;
  data.uFlags = NIF_ICON | NIF_TIP;
  data.hIcon = SolidIcon(16, RGB(0, 128, 255), 0);
  std::snprintf(data.szTip, sizeof data.szTip, "%s", args[0].c_str());
  if (!Shell_NotifyIconA(NIM_ADD, &data)) return 4;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    DispatchMessageA(&msg);
  return sessionHeard == "QE" ? int(msg.wParam) : 3;
}

}  // namespace

int RunChild(const std::string& role, const std::vector<std::string>& args) {
  if (role == "window") return OtherWindow(args);
  if (role == "find") return FindFirst(args);
  if (role == "tray") return TrayUntilTheSessionEnds(args);
  std::fprintf(stderr, "e2e: unknown child role %s\n", role.c_str());
  return 2;
}

}  // namespace e2e
