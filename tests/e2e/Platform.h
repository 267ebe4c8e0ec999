// Helpers of the end-to-end tests that run the platform in this process: a window class that
// records its messages and paints a fixed pattern, and a message loop with a deadline.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace e2e {

struct TRecorded {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message that windows of the recording class received, in order.
std::vector<TRecorded>& Recorded();
// The number of times `hwnd` received `msg` (with `wParam`, unless it is -1).
int CountOf(HWND hwnd, UINT msg, WPARAM wParam = WPARAM(-1));

// Creates a window of the recording class (double clicks enabled).
HWND CreateRecordingWindow(const std::string& className, const std::string& text, DWORD style,
                           RECT bounds, HWND owner = nullptr);
// Runs the message loop until `done` holds or `seconds` pass; false on the deadline.
bool PumpUntil(const std::function<bool()>& done, int seconds = 5);

}  // namespace e2e
