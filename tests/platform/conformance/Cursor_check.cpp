// Pointer shapes as the Win32 reference answers: the shared system cursors, SetCursor and
// GetCursor, and the default handling of WM_SETCURSOR (the class cursor, frames, children).
#include "tests/platform/conformance/Check.h"

using namespace conformance;

namespace {

const char* const kIBeamClass = "ConformanceIBeam";
const char* const kAnsweringClass = "ConformanceAnswersSetCursor";

// A window whose class carries the text cursor and whose procedure is the default one.
HWND MakeIBeamWindow(DWORD style, HWND parent) {
  WNDCLASSA wc = {};
  if (!GetClassInfoA(Instance(), kIBeamClass, &wc)) {
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(NULL, IDC_IBEAM);
    wc.lpszClassName = kIBeamClass;
    RegisterClassA(&wc);
  }
  return CreateWindowExA(0, kIBeamClass, "ibeam", style, 0, 0, 50, 50, parent, NULL, Instance(),
                         NULL);
}

// A window that takes WM_SETCURSOR itself: it shows the hand and answers TRUE.
LRESULT CALLBACK AnsweringProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_SETCURSOR) {
    SetCursor(LoadCursorA(NULL, IDC_HAND));
    return TRUE;
  }
  return DefWindowProcA(h, m, w, l);
}

HWND MakeAnsweringWindow() {
  WNDCLASSA wc = {};
  if (!GetClassInfoA(Instance(), kAnsweringClass, &wc)) {
    wc.lpfnWndProc = AnsweringProc;
    wc.hInstance = Instance();
    wc.lpszClassName = kAnsweringClass;
    RegisterClassA(&wc);
  }
  return CreateWindowExA(0, kAnsweringClass, "answers", WS_POPUP, 0, 0, 80, 80, NULL, NULL,
                         Instance(), NULL);
}

LRESULT SendSetCursor(HWND to, HWND pointed, int hitTest) {
  return SendMessageA(to, WM_SETCURSOR, (WPARAM)pointed, MAKELPARAM(hitTest, WM_MOUSEMOVE));
}

}  // namespace

CONFORMANCE_CASE(SystemCursorsAreShared) {
  const HCURSOR arrow = LoadCursorA(NULL, IDC_ARROW);
  const HCURSOR ibeam = LoadCursorA(NULL, IDC_IBEAM);
  const HCURSOR hand = LoadCursorA(NULL, IDC_HAND);
  CHECK(arrow != NULL);
  CHECK(ibeam != NULL);
  CHECK(hand != NULL);
  CHECK(arrow != ibeam);
  CHECK(arrow != hand);
  CHECK(ibeam != hand);
  CHECK(LoadCursorA(NULL, IDC_ARROW) == arrow);
  CHECK(LoadCursorA(NULL, IDC_WAIT) != NULL);
  CHECK(LoadCursorA(NULL, IDC_SIZEALL) != NULL);
  SetLastError(0);
  CHECK(LoadCursorA(NULL, MAKEINTRESOURCEA(4321)) == NULL);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_TYPE_NOT_FOUND);
}

CONFORMANCE_CASE(SetCursorAnswersThePreviousOne) {
  const HCURSOR arrow = LoadCursorA(NULL, IDC_ARROW);
  const HCURSOR hand = LoadCursorA(NULL, IDC_HAND);
  SetCursor(arrow);
  CHECK(GetCursor() == arrow);
  CHECK(SetCursor(hand) == arrow);
  CHECK(GetCursor() == hand);
  CHECK(SetCursor(NULL) == hand);
  CHECK(GetCursor() == NULL);
  CHECK(SetCursor(arrow) == NULL);
}

CONFORMANCE_CASE(DefaultSetCursorShowsTheClassCursorAndAnswersFalse) {
  const HWND h = MakeIBeamWindow(WS_POPUP, NULL);
  SetCursor(LoadCursorA(NULL, IDC_HAND));
  CHECK_EQ(SendSetCursor(h, h, HTCLIENT), 0);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_IBEAM));
  // The class cursor is the pointed window's (wParam), not the receiver's.
  const HWND plain = MakeRecorder("plain", WS_POPUP);
  SetCursor(LoadCursorA(NULL, IDC_HAND));
  CHECK_EQ(SendSetCursor(plain, h, HTCLIENT), 0);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_IBEAM));
  DestroyWindow(plain);
  DestroyWindow(h);
}

CONFORMANCE_CASE(DefaultSetCursorKeepsTheShapeWithoutAClassCursor) {
  const HWND h = MakeRecorder("no cursor", WS_POPUP);
  SetCursor(LoadCursorA(NULL, IDC_HAND));
  CHECK_EQ(SendSetCursor(h, h, HTCLIENT), 0);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_HAND));
  DestroyWindow(h);
}

CONFORMANCE_CASE(DefaultSetCursorOnTheFrameShowsArrows) {
  const HWND h = MakeIBeamWindow(WS_POPUP, NULL);
  SetCursor(LoadCursorA(NULL, IDC_HAND));
  CHECK_EQ(SendSetCursor(h, h, HTCAPTION), 0);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_ARROW));
  SendSetCursor(h, h, HTLEFT);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_SIZEWE));
  SendSetCursor(h, h, HTBOTTOM);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_SIZENS));
  SendSetCursor(h, h, HTTOPLEFT);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_SIZENWSE));
  SendSetCursor(h, h, HTBOTTOMLEFT);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_SIZENESW));
  DestroyWindow(h);
}

CONFORMANCE_CASE(DefaultSetCursorLetsTheParentChooseFirst) {
  const HWND parent = MakeAnsweringWindow();
  const HWND child = MakeIBeamWindow(WS_CHILD | WS_VISIBLE, parent);
  CHECK(child != NULL);
  SetCursor(LoadCursorA(NULL, IDC_ARROW));
  CHECK_EQ(SendSetCursor(child, child, HTCLIENT), TRUE);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_HAND));
  // On the sizing border the child decides alone.
  SendSetCursor(child, child, HTRIGHT);
  CHECK(GetCursor() == LoadCursorA(NULL, IDC_SIZEWE));
  DestroyWindow(parent);
}
