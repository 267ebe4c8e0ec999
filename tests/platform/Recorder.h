// A window class for platform tests that records every message its windows receive, and a
// fixture that starts each test on a fresh headless desktop.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/win32.h"

namespace calvix_test {

struct TSeen {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// Every message seen by a recorder window, in order; a hook may answer instead of the default.
inline std::vector<TSeen> gSeen;
inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> gHook;

inline LRESULT CALLBACK RecorderProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  gSeen.push_back({h, m, w, l});
  LRESULT result = 0;
  if (gHook && gHook(h, m, w, l, result)) return result;
  return DefWindowProcA(h, m, w, l);
}

inline constexpr const char* kRecorder = "Recorder";
inline constexpr const char* kDoubleClicks = "RecorderDbl";

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    gSeen.clear();
    gHook = nullptr;
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecorderProc;
    wc.lpszClassName = kRecorder;
    ASSERT_TRUE(RegisterClassA(&wc));
    wc.style = CS_DBLCLKS;
    wc.lpszClassName = kDoubleClicks;
    ASSERT_TRUE(RegisterClassA(&wc));
  }
  void TearDown() override { gHook = nullptr; }

  static HWND Make(const char* text = "w", DWORD style = WS_POPUP, HWND owner = nullptr,
                   RECT r = {10, 10, 110, 110}, const char* cls = kRecorder) {
    return CreateWindowExA(0, cls, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           owner, nullptr, nullptr, nullptr);
  }
  // The messages of one window (or all), numbers only, from the given point of the record.
  static std::vector<UINT> Seen(HWND hwnd = nullptr, size_t from = 0) {
    std::vector<UINT> out;
    for (size_t i = from; i < gSeen.size(); ++i)
      if (!hwnd || gSeen[i].hwnd == hwnd) out.push_back(gSeen[i].msg);
    return out;
  }
  static size_t Count(HWND hwnd, UINT msg) {
    size_t n = 0;
    for (const TSeen& s : gSeen)
      n += s.hwnd == hwnd && s.msg == msg;
    return n;
  }
  static std::vector<HWND> Walk() {
    std::vector<HWND> out;
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
      out.push_back(h);
    return out;
  }
};

}  // namespace calvix_test
