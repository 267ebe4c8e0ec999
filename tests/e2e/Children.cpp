// The child roles of the end-to-end test program: other processes on the same desktop.
#include "tests/e2e/Children.h"

#include <strings.h>
#include <cstdio>
#include <cstdlib>
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

}  // namespace

int RunChild(const std::string& role, const std::vector<std::string>& args) {
  if (role == "window") return OtherWindow(args);
  if (role == "find") return FindFirst(args);
  std::fprintf(stderr, "e2e: unknown child role %s\n", role.c_str());
  return 2;
}

}  // namespace e2e
