// Pointer shapes: WM_SETCURSOR sent while mouse messages are taken from the queue, the class
// cursor through DefWindowProcA, and the shape the driver is told for the window under the
// pointer. (The rules of DefWindowProcA itself are checked against the Win32 reference in
// conformance/Cursor_check.cpp.)
#include "tests/platform/Recorder.h"

using namespace calvix_test;
using platform::PointerShape;

namespace {

class CursorsTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecorderProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
    wc.lpszClassName = kTextClass;
    ASSERT_TRUE(RegisterClassA(&wc));
  }
  static constexpr const char* kTextClass = "RecorderText";
};

}  // namespace

TEST_F(CursorsTest, EveryMouseMessageIsPrecededByWmSetCursorToItsWindow) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
  headless::RunPending();
  gSeen.clear();
  headless::MovePointer(20, 20);
  headless::RunPending();
  headless::Click(30, 30, headless::btRight);
  headless::RunPending();
  size_t mouse = 0;
  for (size_t i = 0; i < gSeen.size(); ++i) {
    const TSeen& s = gSeen[i];
    if (s.hwnd != w || s.msg < WM_MOUSEFIRST || s.msg > WM_MOUSELAST) continue;
    ++mouse;
    ASSERT_GT(i, 0u);
    const TSeen& before = gSeen[i - 1];
    EXPECT_EQ(before.hwnd, w);
    EXPECT_EQ(before.msg, (UINT)WM_SETCURSOR);
    EXPECT_EQ(before.wParam, reinterpret_cast<WPARAM>(w));
    EXPECT_EQ(before.lParam, MAKELPARAM(HTCLIENT, s.msg));
  }
  EXPECT_GE(mouse, 3u);  // a move, the press and the release
  EXPECT_EQ(Count(w, WM_SETCURSOR), mouse);
}

TEST_F(CursorsTest, NoWmSetCursorWhileThePointerIsCaptured) {
  HWND w = Make("w", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100});
  headless::RunPending();
  SetCapture(w);
  gSeen.clear();
  headless::MovePointer(20, 20);
  headless::MovePointer(300, 300);
  headless::RunPending();
  EXPECT_EQ(Count(w, WM_MOUSEMOVE), 1u);
  EXPECT_EQ(Count(w, WM_SETCURSOR), 0u);
  ReleaseCapture();
}

TEST_F(CursorsTest, TheClassCursorShowsInItsWindowAndKeepsTheShapeElsewhere) {
  HWND text = Make("text", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100}, kTextClass);
  HWND plain = Make("plain", WS_POPUP | WS_VISIBLE, nullptr, {200, 0, 300, 100});
  headless::RunPending();
  EXPECT_EQ(headless::PointerShapeWindow(), nullptr);

  headless::MovePointer(10, 10);
  headless::RunPending();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_EQ(headless::PointerShape(), PointerShape::psIBeam);
  EXPECT_EQ(headless::PointerShapeWindow(), text);

  // A class without a cursor leaves the shape as it was, now shown in the other window.
  headless::MovePointer(210, 10);
  headless::RunPending();
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_EQ(headless::PointerShape(), PointerShape::psIBeam);
  EXPECT_EQ(headless::PointerShapeWindow(), plain);
}

TEST_F(CursorsTest, AWindowThatAnswersChoosesTheShapeAndSetCursorShowsAtOnce) {
  HWND text = Make("text", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 100, 100}, kTextClass);
  headless::RunPending();
  gHook = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& result) {
    if (m != WM_SETCURSOR) return false;
    SetCursor(LoadCursorA(nullptr, IDC_HAND));
    result = TRUE;
    return true;
  };
  headless::MovePointer(10, 10);
  headless::RunPending();
  EXPECT_EQ(headless::PointerShape(), PointerShape::psHand);
  EXPECT_EQ(headless::PointerShapeWindow(), text);

  EXPECT_EQ(SetCursor(nullptr), LoadCursorA(nullptr, IDC_HAND));
  EXPECT_EQ(headless::PointerShape(), PointerShape::psNone);
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  EXPECT_EQ(headless::PointerShape(), PointerShape::psWait);
}

TEST_F(CursorsTest, SystemCursorsSurviveAResetAndCannotBeDestroyed) {
  const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  headless::Reset();
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
  EXPECT_EQ(GetCursor(), nullptr);
  DestroyIcon(arrow);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(arrow, &info));
  EXPECT_FALSE(info.fIcon);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), IDC_ARROW), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_TYPE_NOT_FOUND);
}
