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

// "window TEXT X Y [tool]": another program's window, shown until the process is ended; a tool
// window has no taskbar button.
int OtherWindow(const std::vector<std::string>& args) {
  if (args.size() != 3 && args.size() != 4) return 2;
  const int x = std::atoi(args[1].c_str()), y = std::atoi(args[2].c_str());
  const DWORD exStyle = args.size() == 4 && args[3] == "tool" ? WS_EX_TOOLWINDOW : 0;
  HWND hwnd = CreateRecordingWindow("E2EOther", args[0], WS_POPUP, RECT{x, y, x + 200, y + 150},
                                    nullptr, exStyle);
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

// --- "shell": an application as the toolkit makes one ---

struct TShell {
  HWND app = nullptr;
  HWND form = nullptr;
};
TShell shell;

LRESULT CALLBACK ShellAppProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Minimised from its taskbar button, the application goes back into the tray.
  if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
    ShowWindow(shell.form, SW_HIDE);
    ShowWindow(hwnd, SW_HIDE);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ShellTrayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER && lParam == WM_LBUTTONDBLCLK) {
    ShowWindow(shell.form, SW_SHOW);
  } else if (msg == WM_USER && lParam == WM_RBUTTONUP) {
    // As the tray restores the application with its default options.
    ShowWindow(shell.app, SW_SHOWNORMAL);
    ShowWindow(shell.form, SW_SHOW);
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// "shell": a hidden application window without area ("E2E app", whose taskbar button shows
// while it is shown), a form that it owns ("E2E form") and a tray icon ("E2E shell tip"). It
// starts into the tray as the program does: the application window shown minimised and hidden
// again at once. A double click on the icon shows the form; a right click shows the application
// window first, as the tray restores the application; minimised from its taskbar button, the
// application goes back into the tray. Runs until the session ends.
int ApplicationShell(const std::vector<std::string>&) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = ShellAppProc;
  cls.lpszClassName = "E2EApplication";
  RegisterClassA(&cls);
  cls.lpfnWndProc = ShellTrayProc;
  cls.lpszClassName = "E2ETray";
  RegisterClassA(&cls);
  const int screenX = GetSystemMetrics(SM_CXSCREEN), screenY = GetSystemMetrics(SM_CYSCREEN);
  shell.app = CreateWindowExA(0, "E2EApplication", "E2E app",
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, screenX / 2,
                              screenY / 2, 0, 0, nullptr, nullptr, nullptr, nullptr);
  shell.form =
      CreateRecordingWindow("E2EForm", "E2E form", WS_POPUP, RECT{300, 200, 500, 350}, shell.app);
  HWND tray = CreateWindowExA(WS_EX_TOOLWINDOW, "E2ETray", "", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, nullptr, nullptr);
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = tray;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_USER;
  data.hIcon = SolidIcon(16, RGB(255, 128, 0), 0);
  std::snprintf(data.szTip, sizeof data.szTip, "E2E shell tip");
  if (!Shell_NotifyIconA(NIM_ADD, &data)) return 4;
  ShowWindow(shell.app, SW_SHOWMINIMIZED);
  ShowWindow(shell.app, SW_HIDE);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    DispatchMessageA(&msg);
  return int(msg.wParam);
}

// "dialog TEXT": a message box as the toolkit makes one, a fixed-size dialog frame owned by the
// application's hidden window, shown until the process is ended.
int MessageBoxWindow(const std::vector<std::string>& args) {
  if (args.size() != 1) return 2;
  HWND app = CreateRecordingWindow("E2EApplication", args[0] + " owner",
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                   RECT{512, 384, 512, 384});
  HWND box = CreateRecordingWindow("E2EMessageBox", args[0],
                                   WS_POPUP | WS_CAPTION | WS_DLGFRAME | WS_SYSMENU,
                                   RECT{350, 300, 650, 420}, app, WS_EX_DLGMODALFRAME);
  ShowWindow(box, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    DispatchMessageA(&msg);
  return int(msg.wParam);
}

// "churn": windows that come and go, named and classed, twenty at a time every few
// milliseconds, until the process is ended: another program whose windows vanish while a walk
// reads them.
int ChurningWindows(const std::vector<std::string>&) {
  constexpr int kBatch = 20;
  std::vector<HWND> batch;
  unsigned round = 0;
  SetTimer(nullptr, 0, 5, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != WM_TIMER) continue;
    for (HWND w : batch)
      DestroyWindow(w);
    batch.clear();
    ++round;
    for (int i = 0; i < kBatch; ++i)
      batch.push_back(CreateRecordingWindow("E2EChurn", "E2E churn " + std::to_string(round),
                                            WS_POPUP, RECT{10, 10, 60, 60}));
  }
  return int(msg.wParam);
}

}  // namespace

int RunChild(const std::string& role, const std::vector<std::string>& args) {
  if (role == "window") return OtherWindow(args);
  if (role == "find") return FindFirst(args);
  if (role == "tray") return TrayUntilTheSessionEnds(args);
  if (role == "shell") return ApplicationShell(args);
  if (role == "dialog") return MessageBoxWindow(args);
  if (role == "churn") return ChurningWindows(args);
  std::fprintf(stderr, "e2e: unknown child role %s\n", role.c_str());
  return 2;
}

}  // namespace e2e
