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
                           RECT bounds, HWND owner = nullptr, DWORD exStyle = 0);
// The colour that windows of the recording class paint at a point of their client area: cells
// of 16 by 16 pixels, each of its own colour, so that a shifted or scaled copy shows.
COLORREF PatternAt(int x, int y);

// What GetDC(NULL) and BitBlt read from the screen in `area`, as 0x00RRGGBB pixels by rows.
std::vector<uint32_t> ReadScreen(const RECT& area);

// A square icon of one colour whose `clearColumns` leftmost columns are see-through.
HICON SolidIcon(int size, COLORREF colour, int clearColumns);

// Runs the message loop until `done` holds or `seconds` pass; false on the deadline.
bool PumpUntil(const std::function<bool()>& done, int seconds = 5);

}  // namespace e2e
