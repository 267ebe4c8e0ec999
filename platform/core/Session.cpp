// The end of the session, as Windows delivers it at a logoff or shutdown: every top-level window
// of ours is asked and then told, and the loop ends. Part of the platform's portable core.
#include <vector>

#include "platform/core/Core.h"
#include "platform/core/DriverSink.h"

using namespace platform::core;

void platform::sink::SessionEnding() {
  // The top-level windows as they stand now, hidden ones too: Windows asks every top-level
  // window, the hidden utility windows that components keep among them. A window parked under
  // another one is no top-level window and hears nothing, as on Windows.
  const std::vector<HWND> windows = Desktop().children;
  // The system ends the session whatever the windows answer, so the answers are not read; what
  // a window does with the question (a save prompt) is up to it.
  for (HWND hwnd : windows)
    if (FindOwn(hwnd)) SendMessageA(hwnd, WM_QUERYENDSESSION, 0, 0);
  for (HWND hwnd : windows)
    if (FindOwn(hwnd)) SendMessageA(hwnd, WM_ENDSESSION, TRUE, 0);
  // Windows would end the process now; here the program leaves its loop and shuts down the
  // way it always does, with the exit code of a program that ended well.
  PostQuitMessage(0);
}
