// The queue: retrieval order, WM_QUIT, nested loops, painting, timers and the headless clock.
#include "tests/platform/Recorder.h"

using namespace calvix_test;

using MessagesTest = PlatformTest;

namespace {

std::vector<UINT> DrainNumbers() {
  std::vector<UINT> out;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    out.push_back(msg.message);
    if (msg.message == WM_QUIT) break;
    DispatchMessageA(&msg);
  }
  return out;
}

}  // namespace

TEST_F(MessagesTest, PostedThenInputThenPaintThenTimer) {
  HWND h = Make("w", WS_POPUP | WS_VISIBLE);
  headless::RunPending();
  SetTimer(h, 7, 100, nullptr);
  headless::Advance(100);
  headless::MovePointer(20, 20);
  PostMessageA(h, WM_USER + 1, 0, 0);
  InvalidateRect(h, nullptr, FALSE);
  PostMessageA(h, WM_USER + 2, 0, 0);
  EXPECT_EQ(DrainNumbers(),
            (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_MOUSEMOVE, WM_PAINT, WM_TIMER}));
}

TEST_F(MessagesTest, QuitComesAfterPostedMessagesAndEndsGetMessage) {
  HWND h = Make();
  PostMessageA(h, WM_USER, 0, 0);
  PostQuitMessage(3);
  PostMessageA(h, WM_USER + 1, 0, 0);
  MSG msg;
  EXPECT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, (UINT)WM_USER);
  EXPECT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, (UINT)WM_USER + 1);
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, (UINT)WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessagesTest, PeekWithoutRemovingLeavesTheMessageAndFiltersApply) {
  HWND a = Make("a"), b = Make("b");
  PostMessageA(a, WM_USER, 1, 0);
  PostMessageA(b, WM_USER + 5, 2, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, 2u);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 5, WM_USER + 5, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, b);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, a);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessagesTest, NestedLoopInsideAHandlerSeesLaterMessages) {
  HWND h = Make();
  std::vector<WPARAM> order;
  gHook = [&](HWND hwnd, UINT m, WPARAM w, LPARAM, LRESULT&) {
    if (m != WM_USER) return false;
    order.push_back(w);
    if (w == 1) {  // a modal loop, ended by the message posted after ours
      MSG msg;
      while (GetMessageA(&msg, nullptr, 0, 0)) {
        DispatchMessageA(&msg);
        if (order.back() == 3) break;
      }
    }
    return true;
  };
  PostMessageA(h, WM_USER, 1, 0);
  PostMessageA(h, WM_USER, 2, 0);
  PostMessageA(h, WM_USER, 3, 0);
  PostMessageA(h, WM_USER, 4, 0);
  headless::RunPending();
  EXPECT_EQ(order, (std::vector<WPARAM>{1, 2, 3, 4}));
}

TEST_F(MessagesTest, PaintRepeatsUntilValidatedAndBeginPaintValidates) {
  HWND h = Make("w", WS_POPUP | WS_VISIBLE);
  headless::RunPending();
  RECT r{5, 5, 10, 10};
  InvalidateRect(h, &r, TRUE);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_PAINT);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // not dispatched: still there
  EXPECT_EQ(msg.message, (UINT)WM_PAINT);
  PAINTSTRUCT ps;
  ASSERT_TRUE(BeginPaint(h, &ps));
  EXPECT_EQ(ps.rcPaint.left, 5);
  EXPECT_EQ(ps.rcPaint.right, 10);
  EndPaint(h, &ps);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  ShowWindow(h, SW_HIDE);
  InvalidateRect(h, nullptr, TRUE);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "no paint while hidden";
}

TEST_F(MessagesTest, TimersFireWhenTheClockReachesThemRepeatedlyAndNotAfterKill) {
  HWND h = Make();
  ASSERT_EQ(SetTimer(h, 9, 150, nullptr), 9u);
  MSG msg;
  headless::Advance(149);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  headless::Advance(1);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_TIMER);
  EXPECT_EQ(msg.wParam, 9u);
  headless::Advance(1000);  // many periods pass: one message
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  headless::RunFor(1500);
  EXPECT_EQ(Count(h, WM_TIMER), 10u);
  EXPECT_TRUE(KillTimer(h, 9));
  headless::RunFor(1500);
  EXPECT_EQ(Count(h, WM_TIMER), 10u);
  EXPECT_FALSE(KillTimer(h, 9));
}

TEST_F(MessagesTest, GetMessageMovesTheClockToTheNextTimerButPeekNeverDoes) {
  HWND h = Make();
  SetTimer(h, 1, 250, nullptr);
  const DWORD start = GetTickCount();
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(GetTickCount(), start);
  ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.message, (UINT)WM_TIMER);
  EXPECT_EQ(GetTickCount(), start + 250);
}

TEST_F(MessagesTest, TimersKeepFiringAcrossATickCountThatWraps) {
  headless::SetTick(0xFFFFFF00u);
  HWND h = Make();
  SetTimer(h, 1, 100, nullptr);
  headless::RunFor(1000);
  EXPECT_EQ(Count(h, WM_TIMER), 10u);
  EXPECT_LT(GetTickCount(), 0x1000u);
}

TEST_F(MessagesTest, ThreadTimersCallTheirProcedure) {
  static int calls = 0;
  calls = 0;
  UINT_PTR id = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++calls; });
  ASSERT_NE(id, 0u);
  headless::RunFor(200);
  EXPECT_EQ(calls, 4);
  KillTimer(nullptr, id);
}

TEST_F(MessagesTest, WaitingForNothingIsReportedNotHung) {
  MSG msg;
  EXPECT_THROW(GetMessageA(&msg, nullptr, 0, 0), headless::TDeadlock);
}

TEST_F(MessagesTest, MessagesOfADestroyedWindowAreDropped) {
  HWND h = Make();
  PostMessageA(h, WM_USER, 0, 0);
  SetTimer(h, 1, 10, nullptr);
  DestroyWindow(h);
  headless::Advance(100);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}
