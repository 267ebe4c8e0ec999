// Windows, classes and texts as the Win32 reference answers: creation and destruction
// messages, truncation, the Z-order walk, showing, parking with SetParent, bad handles.
#include <string>

#include "tests/platform/conformance/Check.h"

using namespace conformance;

namespace {

// Our windows in the order the top-level walk meets them (other windows are skipped).
std::vector<HWND> OursInWalk(const std::vector<HWND>& ours) {
  std::vector<HWND> out;
  for (HWND h = GetTopWindow(NULL); h; h = GetWindow(h, GW_HWNDNEXT))
    for (HWND o : ours)
      if (h == o) out.push_back(h);
  return out;
}

}  // namespace

CONFORMANCE_CASE(CreateAndDestroySendTheirMessagesInOrder) {
  HWND h = MakeRecorder("created", WS_POPUP);
  CHECK(h != NULL);
  std::vector<UINT> seen = SeenBy(h);
  CHECK(IndexOf(seen, WM_NCCREATE) >= 0);
  CHECK(IndexOf(seen, WM_NCCREATE) < IndexOf(seen, WM_CREATE));
  CHECK(IndexOf(seen, WM_CREATE) < IndexOf(seen, WM_SIZE));
  CHECK(IndexOf(seen, WM_SIZE) < IndexOf(seen, WM_MOVE));
  CHECK(DestroyWindow(h));
  seen = SeenBy(h);
  CHECK(IndexOf(seen, WM_DESTROY) >= 0);
  CHECK(IndexOf(seen, WM_DESTROY) < IndexOf(seen, WM_NCDESTROY));
  CHECK_EQ(seen.back(), (UINT)WM_NCDESTROY);
  CHECK(!IsWindow(h));
}

CONFORMANCE_CASE(TextsAndClassNamesAreTruncatedToTheBuffer) {
  const std::string text(300, 'x');
  HWND h = MakeRecorder(text.c_str(), WS_POPUP);
  char buf[300];
  CHECK_EQ(GetWindowTextLengthA(h), 300);
  CHECK_EQ(GetWindowTextA(h, buf, 256), 255);
  CHECK_EQ(std::string(buf).size(), 255u);
  CHECK_EQ(GetWindowTextA(h, buf, 1), 0);
  CHECK_EQ(buf[0], 0);
  CHECK_EQ(GetClassNameA(h, buf, 256), (int)std::string(kRecorderClass).size());
  CHECK_EQ(GetClassNameA(h, buf, 6), 5);
  CHECK(std::string(buf) == "Confo");
  CHECK(SetWindowTextA(h, "Calvix"));
  CHECK_EQ(GetWindowTextA(h, buf, 6), 5);
  CHECK(std::string(buf) == "Calvi");
  DestroyWindow(h);
}

CONFORMANCE_CASE(ClassesIgnoreCaseAndRegisterOnce) {
  WNDCLASSA wc = {};
  CHECK(GetClassInfoA(Instance(), "CONFORMANCErecorder", &wc));
  CHECK(wc.style == CS_DBLCLKS);
  wc.lpszClassName = "conformancerecorder";
  SetLastError(0);
  CHECK_EQ(RegisterClassA(&wc), 0);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_CLASS_ALREADY_EXISTS);
  SetLastError(0);
  CHECK(!GetClassInfoA(Instance(), "NoSuchClassHere", &wc));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
  SetLastError(0);
  CHECK(CreateWindowExA(0, "NoSuchClassHere", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL) ==
        NULL);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
}

// A program's classes are local to its module: a search with no instance finds only the
// system's classes (and global ones), among them "#32768", the menu, and "ComboLBox", the
// drop-down list. A program's class may take a system class's name; it then hides that class
// from the program until it is unregistered.
CONFORMANCE_CASE(OwnClassesAreLocalBesideTheSystemsClasses) {
  WNDCLASSA wc = {};
  SetLastError(0);
  CHECK(!GetClassInfoA(NULL, kRecorderClass, &wc));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
  CHECK(GetClassInfoA(Instance(), kRecorderClass, &wc));
  const WNDPROC recorderProc = wc.lpfnWndProc;
  CHECK_EQ(GetClassInfoA(NULL, "#32768", &wc), 32768);
  CHECK_EQ(GetClassInfoA(NULL, MAKEINTATOM(32768), &wc), 32768);
  CHECK(GetClassInfoA(NULL, "ComboLBox", &wc) != 0);
  CHECK(GetClassInfoA(Instance(), "Button", &wc) != 0);

  WNDCLASSA own = {};
  own.lpfnWndProc = recorderProc;
  own.lpszClassName = "ComboLBox";
  CHECK(RegisterClassA(&own) != 0);  // no instance: the program's module
  own.hInstance = Instance();
  SetLastError(0);
  CHECK_EQ(RegisterClassA(&own), 0);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_CLASS_ALREADY_EXISTS);
  CHECK(GetClassInfoA(Instance(), "ComboLBox", &wc) && wc.lpfnWndProc == recorderProc);
  CHECK(GetClassInfoA(NULL, "ComboLBox", &wc) && wc.lpfnWndProc != recorderProc);
  HWND h = CreateWindowExA(0, "ComboLBox", "own", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
  CHECK(h != NULL);
  CHECK(IndexOf(SeenBy(h), WM_CREATE) >= 0);  // our procedure got it
  DestroyWindow(h);
  CHECK(UnregisterClassA("ComboLBox", Instance()));
  CHECK(GetClassInfoA(Instance(), "ComboLBox", &wc) && wc.lpfnWndProc != recorderProc);
}

CONFORMANCE_CASE(BadHandlesFailWithInvalidWindowHandle) {
  HWND gone = MakeRecorder("gone", WS_POPUP);
  DestroyWindow(gone);
  char buf[8] = "keep";
  SetLastError(0);
  CHECK_EQ(GetWindowTextA(gone, buf, 8), 0);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
  CHECK(!DestroyWindow(gone));  // Wine reports ERROR_ACCESS_DENIED here, Windows 1400
  SetLastError(0);
  CHECK(!PostMessageA(gone, WM_USER, 0, 0));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
  SetLastError(0);
  CHECK(!ShowWindow(gone, SW_SHOW));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
  CHECK(!IsWindowVisible(gone));
  CHECK(!IsIconic(gone));
  CHECK_EQ(GetClassNameA(gone, buf, 8), 0);
  CHECK(GetParent(gone) == NULL);
  CHECK(SetTimer(gone, 1, 100, NULL) == 0);
}

CONFORMANCE_CASE(TheWalkFollowsCreationShowForegroundAndDestroy) {
  HWND a = MakeRecorder("a", WS_POPUP);
  HWND b = MakeRecorder("b", WS_POPUP);
  HWND c = MakeRecorder("c", WS_POPUP);
  std::vector<HWND> all = {a, b, c};
  CHECK(OursInWalk(all) == (std::vector<HWND>{c, b, a}));
  CHECK_EQ(ShowWindow(a, SW_SHOW), FALSE);
  CHECK(OursInWalk(all) == (std::vector<HWND>{a, c, b}));
  CHECK_EQ(ShowWindow(a, SW_SHOW), TRUE);
  CHECK_EQ(ShowWindow(b, SW_SHOWNA), FALSE);  // raised, not activated
  CHECK(OursInWalk(all) == (std::vector<HWND>{b, a, c}));
  CHECK(GetActiveWindow() == a);
  CHECK_EQ(ShowWindow(c, SW_SHOWNOACTIVATE), FALSE);  // left in its place
  CHECK(OursInWalk(all) == (std::vector<HWND>{b, a, c}));
  CHECK(SetForegroundWindow(a));  // already active: not raised again
  CHECK(OursInWalk(all) == (std::vector<HWND>{b, a, c}));
  CHECK(SetForegroundWindow(c));
  Pump();  // a window manager may restack a moment later
  CHECK(GetActiveWindow() == c);
  CHECK(OursInWalk(all) == (std::vector<HWND>{c, b, a}));
  CHECK(GetWindow(b, GW_HWNDPREV) == c);
  DestroyWindow(b);
  all = {a, c};
  CHECK(OursInWalk(all) == (std::vector<HWND>{c, a}));
  CHECK(SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
  CHECK(OursInWalk(all) == (std::vector<HWND>{a, c}));
  DestroyWindow(a);
  DestroyWindow(c);
}

CONFORMANCE_CASE(ShowWindowReturnsThePreviousVisibility) {
  HWND h = MakeRecorder("shown", WS_POPUP);
  CHECK_EQ(ShowWindow(h, SW_SHOWNORMAL), FALSE);
  CHECK(IsWindowVisible(h));
  CHECK(IndexOf(SeenBy(h), WM_SHOWWINDOW) >= 0);
  CHECK(ShowWindow(h, SW_MINIMIZE) != FALSE);
  CHECK(IsIconic(h));
  CHECK(IsWindowVisible(h));
  CHECK(ShowWindow(h, SW_RESTORE) != FALSE);
  CHECK(!IsIconic(h));
  CHECK(ShowWindow(h, SW_HIDE) != FALSE);
  CHECK_EQ(ShowWindow(h, SW_HIDE), FALSE);
  CHECK(!IsWindowVisible(h));
  DestroyWindow(h);
}

CONFORMANCE_CASE(OwnedWindowsAreHiddenWhileTheOwnerIsMinimised) {
  HWND owner = MakeRecorder("owner", WS_POPUP | WS_VISIBLE);
  HWND owned = MakeRecorder("owned", WS_POPUP | WS_VISIBLE, owner);
  CHECK(GetWindow(owned, GW_OWNER) == owner);
  CHECK(GetParent(owned) == owner);
  ShowWindow(owner, SW_MINIMIZE);
  // "An owned window is hidden when its owner is minimized" (Window Features); Wine leaves
  // it visible, so only Windows' own answer is checked.
  if (!UnderWine()) CHECK(!IsWindowVisible(owned));
  ShowWindow(owner, SW_RESTORE);
  CHECK(IsWindowVisible(owned));
  DestroyWindow(owner);
  CHECK(!IsWindow(owned));
}

CONFORMANCE_CASE(SetParentParksATopLevelWindowAndGivesItBack) {
  HWND park = MakeRecorder("park", WS_POPUP);
  HWND app = MakeRecorder("app", WS_OVERLAPPED | WS_VISIBLE);
  HWND popup = MakeRecorder("popup", WS_POPUP | WS_VISIBLE, app);
  CHECK(SetParent(app, park) == GetDesktopWindow());
  CHECK(!IsWindowVisible(app));
  bool walked = false;
  for (HWND h = GetTopWindow(NULL); h; h = GetWindow(h, GW_HWNDNEXT))
    walked |= h == app;
  CHECK(!walked);
  CHECK(GetParent(app) == NULL);
  CHECK(SetParent(app, NULL) == park);
  CHECK(IsWindowVisible(app));
  CHECK(SetParent(popup, park) == GetDesktopWindow());
  CHECK(GetParent(popup) == app);
  CHECK(SetParent(popup, NULL) == park);
  DestroyWindow(app);
  DestroyWindow(park);
}

// A popup parked under another window keeps its popup style, so bringing it to the foreground
// activates the popup itself, not the window it is parked under.
CONFORMANCE_CASE(AParkedPopupIsActivatedItself) {
  HWND park = MakeRecorder("park2", WS_POPUP);
  HWND app = MakeRecorder("app2", WS_POPUP | WS_CAPTION | WS_VISIBLE);
  HWND other = MakeRecorder("other2", WS_POPUP | WS_VISIBLE);
  SetForegroundWindow(other);
  CHECK(SetParent(app, park) == GetDesktopWindow());
  SetForegroundWindow(app);
  CHECK_EQ((long long)GetActiveWindow(), (long long)app);
  CHECK_EQ((long long)GetForegroundWindow(), (long long)app);
  SetParent(app, NULL);
  CHECK_EQ((long long)GetActiveWindow(), (long long)app);
  DestroyWindow(other);
  DestroyWindow(app);
  DestroyWindow(park);
}

// BeginPaint's device context draws only inside the update region.
CONFORMANCE_CASE(BeginPaintClipsToTheUpdateRegion) {
  HWND h = MakeRecorder("clip", WS_POPUP | WS_VISIBLE);
  ValidateRect(h, NULL);
  RECT part = {5, 6, 20, 30};
  InvalidateRect(h, &part, FALSE);
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT box = {0, 0, 0, 0};
  CHECK(GetClipBox(dc, &box) != ERROR);
  CHECK_EQ(box.left, 5);
  CHECK_EQ(box.top, 6);
  CHECK_EQ(box.right, 20);
  CHECK_EQ(box.bottom, 30);
  EndPaint(h, &ps);
  DestroyWindow(h);
}

CONFORMANCE_CASE(OneWindowUpdateLockAtATime) {
  HWND h = MakeRecorder("locked", WS_POPUP);
  CHECK(LockWindowUpdate(GetDesktopWindow()));
  CHECK(!LockWindowUpdate(h));
  CHECK(LockWindowUpdate(NULL));
  CHECK(LockWindowUpdate(h));
  CHECK(LockWindowUpdate(NULL));
  DestroyWindow(h);
}

CONFORMANCE_CASE(WindowLongsAndRectangles) {
  HWND h = CreateWindowExA(0, kRecorderClass, "r", WS_POPUP, 30, 40, 50, 60, NULL, NULL, Instance(),
                           NULL);
  CHECK_EQ(SetWindowLongPtrA(h, GWLP_USERDATA, 1234), 0);
  CHECK_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), 1234);
  CHECK((GetWindowLongA(h, GWL_STYLE) & WS_POPUP) != 0);
  RECT r;
  CHECK(GetWindowRect(h, &r));
  CHECK_EQ(r.left, 30);
  CHECK_EQ(r.bottom, 100);
  CHECK(GetClientRect(h, &r));
  CHECK_EQ(r.right, 50);
  CHECK_EQ(r.bottom, 60);
  CHECK(MoveWindow(h, 5, 6, 7, 8, TRUE));
  CHECK(GetWindowRect(h, &r));
  CHECK_EQ(r.left, 5);
  CHECK_EQ(r.right, 12);
  DestroyWindow(h);
}

// A framed window's client area is what its frame leaves: a window made as large as
// AdjustWindowRectEx says has exactly the client area asked for, placed inside by the frame,
// and WM_SIZE and WM_MOVE tell the client area's size and place, for each frame the toolkit's
// forms use. (Our windows have no frame, so there the two rectangles are one.)
CONFORMANCE_CASE(AWindowSizedForAClientAreaHasIt) {
  const struct {
    DWORD style, exStyle;
  } kFrames[] = {
      {WS_POPUP, 0},
      {WS_POPUP | WS_CAPTION | WS_DLGFRAME | WS_SYSMENU, WS_EX_DLGMODALFRAME},
      {WS_CAPTION | WS_BORDER | WS_SYSMENU, 0},
      {WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX, 0},
      {WS_CAPTION | WS_BORDER, WS_EX_TOOLWINDOW},
  };
  for (const auto& frame : kFrames) {
    RECT r = {0, 0, 211, 97};
    CHECK(AdjustWindowRectEx(&r, frame.style, FALSE, frame.exStyle));
    CHECK(r.left <= 0 && r.top <= 0 && r.right >= 211 && r.bottom >= 97);
    HWND h = CreateWindowExA(frame.exStyle, kRecorderClass, "framed", frame.style, 40, 30,
                             r.right - r.left, r.bottom - r.top, NULL, NULL, Instance(), NULL);
    RECT client, window;
    CHECK(GetClientRect(h, &client) && GetWindowRect(h, &window));
    CHECK_EQ(client.right, 211);
    CHECK_EQ(client.bottom, 97);
    CHECK_EQ(window.right - window.left, r.right - r.left);
    POINT origin = {0, 0};
    CHECK(ClientToScreen(h, &origin));
    CHECK_EQ(origin.x - window.left, -r.left);
    CHECK_EQ(origin.y - window.top, -r.top);
    // Windows sends a framed window's first WM_SIZE only when it is shown; a move sends both.
    CHECK(MoveWindow(h, 50, 35, r.right - r.left + 10, r.bottom - r.top + 5, FALSE));
    LPARAM size = 0, place = 0;
    for (const TSeenMessage& s : Seen()) {
      if (s.hwnd == h && s.msg == WM_SIZE) size = s.lParam;
      if (s.hwnd == h && s.msg == WM_MOVE) place = s.lParam;
    }
    CHECK_EQ(size, MAKELPARAM(221, 102));
    CHECK_EQ(place, MAKELPARAM(50 - r.left, 35 - r.top));
    DestroyWindow(h);
  }
}
