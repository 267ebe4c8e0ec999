// The end of the session: every top-level window is asked and told, in that order, and the
// loop ends with exit code 0, whatever the windows answer.
#include "tests/platform/Recorder.h"

using namespace calvix_test;

using SessionTest = PlatformTest;

namespace {

// The session messages, as "Q" (asked) or "E" (told, with its wParam) and the window's text.
std::vector<std::string> SessionMessages() {
  std::vector<std::string> out;
  for (const TSeen& s : gSeen) {
    if (s.msg != WM_QUERYENDSESSION && s.msg != WM_ENDSESSION) continue;
    char text[32] = {};
    GetWindowTextA(s.hwnd, text, sizeof text);
    std::string entry = s.msg == WM_QUERYENDSESSION ? "Q " : "E" + std::to_string(s.wParam) + " ";
    out.push_back(entry + (text[0] ? text : "(gone)"));
  }
  return out;
}

// Runs the loop as a program does; the exit code it ends with.
WPARAM RunLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0)
    DispatchMessageA(&msg);
  return msg.wParam;
}

}  // namespace

TEST_F(SessionTest, EveryTopLevelWindowIsAskedThenToldAndTheLoopEndsWithZero) {
  HWND shown = Make("shown", WS_POPUP | WS_VISIBLE);
  // A hidden utility window, as components keep to receive messages, hears it too.
  HWND utility = CreateWindowExA(WS_EX_TOOLWINDOW, kRecorder, "utility", WS_POPUP, 0, 0, 0, 0,
                                 nullptr, nullptr, nullptr, nullptr);
  HWND owned = Make("owned", WS_POPUP, shown);
  // Neither a child window nor a window parked under another is a top-level window.
  Make("child", WS_CHILD | WS_VISIBLE, shown);
  HWND parked = Make("parked");
  SetParent(parked, utility);
  PostMessageA(shown, WM_USER, 0, 0);
  headless::RunPending();
  gSeen.clear();

  headless::EndSession();
  EXPECT_TRUE(gSeen.empty()) << "nothing happens before the program looks at its queue";
  PostMessageA(owned, WM_USER + 1, 0, 0);
  EXPECT_EQ(RunLoop(), 0u);
  // The top-level windows in their Z order, newest first.
  EXPECT_EQ(SessionMessages(), (std::vector<std::string>{"Q owned", "Q utility", "Q shown",
                                                         "E1 owned", "E1 utility", "E1 shown"}));
  EXPECT_EQ(Count(owned, WM_USER + 1), 1u) << "what was posted before the end still arrives";
}

TEST_F(SessionTest, TheEndCannotBeRefusedAndWindowsGoneMeanwhileHearNoMore) {
  HWND first = Make("first", WS_POPUP | WS_VISIBLE);
  HWND second = Make("second", WS_POPUP | WS_VISIBLE);
  // The top window refuses and destroys the other one while it is asked.
  gHook = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& result) {
    if (h != second || m != WM_QUERYENDSESSION) return false;
    DestroyWindow(first);
    result = FALSE;
    return true;
  };
  headless::EndSession();
  EXPECT_EQ(RunLoop(), 0u);
  EXPECT_EQ(SessionMessages(), (std::vector<std::string>{"Q second", "E1 second"}));
  EXPECT_FALSE(IsWindow(first));
}

TEST_F(SessionTest, AnEndingSessionWakesALoopThatHasNothingElseToWaitFor) {
  Make("idle", WS_POPUP);
  headless::EndSession();
  // Without the end of the session this wait would be a deadlock: nothing queued, no timer.
  MSG msg;
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, UINT(WM_QUIT));
  EXPECT_EQ(SessionMessages(), (std::vector<std::string>{"Q idle", "E1 idle"}));
}
