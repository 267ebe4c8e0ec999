// Windows and classes: creation and destruction messages, handles, data, texts and bad input.
#include "tests/platform/Recorder.h"

#include <string>

using namespace calvix_test;

using WindowsTest = PlatformTest;

TEST_F(WindowsTest, CreationAndDestructionSendWindowsMessagesInOrder) {
  HWND h = Make("hello");
  ASSERT_TRUE(h);
  EXPECT_EQ(Seen(h), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
  size_t mark = gSeen.size();
  ASSERT_TRUE(DestroyWindow(h));
  EXPECT_EQ(Seen(h, mark), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(h));
  SetLastError(0);
  EXPECT_FALSE(DestroyWindow(h));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowsTest, CreateFailsWhenTheProcedureRefuses) {
  gHook = [](HWND, UINT m, WPARAM, LPARAM, LRESULT& r) {
    if (m != WM_CREATE) return false;
    r = -1;
    return true;
  };
  EXPECT_EQ(Make(), nullptr);
  EXPECT_EQ(Seen().back(), (UINT)WM_NCDESTROY);
}

TEST_F(WindowsTest, DestroyingAnOwnerDestroysItsOwnedWindowsFirst) {
  HWND owner = Make("owner");
  HWND owned = Make("owned", WS_POPUP, owner);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  size_t mark = gSeen.size();
  DestroyWindow(owner);
  const auto seen = Seen(nullptr, mark);
  std::vector<UINT> destroys;
  for (size_t i = mark; i < gSeen.size(); ++i)
    if (gSeen[i].msg == WM_DESTROY) destroys.push_back(gSeen[i].hwnd == owned ? 1 : 2);
  EXPECT_EQ(destroys, (std::vector<UINT>{1, 2}));
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowsTest, StaleHandlesStayInvalidWhenSlotsAreReused) {
  HWND first = Make();
  DestroyWindow(first);
  HWND second = Make();
  EXPECT_NE(first, second);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(second));
}

TEST_F(WindowsTest, ClassesAreFoundIgnoringCaseAndRegisteredOnce) {
  const HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  EXPECT_TRUE(GetClassInfoA(module, "rECORDER", &wc));
  EXPECT_STREQ(wc.lpszClassName, "Recorder");
  EXPECT_EQ(wc.lpfnWndProc, &RecorderProc);
  EXPECT_EQ(wc.hInstance, module);  // registered with no instance: the program's module
  wc.lpszClassName = "RECORDER";
  SetLastError(0);
  EXPECT_EQ(RegisterClassA(&wc), 0);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_ALREADY_EXISTS);
  SetLastError(0);
  EXPECT_FALSE(GetClassInfoA(module, "Nobody", &wc));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
  EXPECT_EQ(
      CreateWindowExA(0, "Nobody", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
      nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
}

// What a search without an instance finds, and how the program's classes stand beside the
// system's: the cases a toolkit that names its own classes relies on.
TEST_F(WindowsTest, OwnClassesAreLocalAndMayHideTheSystemsClasses) {
  const HINSTANCE module = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  SetLastError(0);
  EXPECT_FALSE(GetClassInfoA(nullptr, "Recorder", &wc));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_DOES_NOT_EXIST);
  EXPECT_EQ(GetClassInfoA(nullptr, "#32768", &wc), 32768);
  EXPECT_EQ(GetClassInfoA(module, "#32768", &wc), 32768);
  EXPECT_NE(GetClassInfoA(nullptr, "combolbox", &wc), 0);
  EXPECT_EQ(wc.hInstance, nullptr);  // the instance asked with, for the system's classes
  EXPECT_EQ(GetClassInfoA(nullptr, MAKEINTATOM(32768), &wc), 32768);

  // A local class of a system class's name hides it from the program, not from the system.
  WNDCLASSA own{};
  own.lpfnWndProc = &RecorderProc;
  own.lpszClassName = "ComboLBox";
  EXPECT_NE(RegisterClassA(&own), 0);
  ASSERT_TRUE(GetClassInfoA(module, "ComboLBox", &wc));
  EXPECT_EQ(wc.lpfnWndProc, &RecorderProc);
  ASSERT_TRUE(GetClassInfoA(nullptr, "ComboLBox", &wc));
  EXPECT_NE(wc.lpfnWndProc, &RecorderProc);
  HWND h =
      CreateWindowExA(0, "ComboLBox", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)), &RecorderProc);
  DestroyWindow(h);
  EXPECT_TRUE(UnregisterClassA("ComboLBox", nullptr));
  ASSERT_NE(GetClassInfoA(module, "ComboLBox", &wc), 0);  // the system's again
  EXPECT_NE(wc.lpfnWndProc, &RecorderProc);

  // A global class is seen without an instance, and may not take a system class's name.
  own.style = CS_GLOBALCLASS;
  own.lpszClassName = "Shared";
  EXPECT_NE(RegisterClassA(&own), 0);
  EXPECT_NE(GetClassInfoA(nullptr, "Shared", &wc), 0);
  own.lpszClassName = "Button";
  SetLastError(0);
  EXPECT_EQ(RegisterClassA(&own), 0);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_CLASS_ALREADY_EXISTS);
}

TEST_F(WindowsTest, TextAndClassNamesAreTruncatedToTheBuffer) {
  const std::string longText(300, 'x');
  HWND h = Make(longText.c_str());
  char buf[256];
  EXPECT_EQ(GetWindowTextLengthA(h), 300);
  EXPECT_EQ(GetWindowTextA(h, buf, 256), 255);
  EXPECT_EQ(std::string(buf), std::string(255, 'x'));
  EXPECT_EQ(GetClassNameA(h, buf, 4), 3);
  EXPECT_STREQ(buf, "Rec");
  EXPECT_EQ(GetClassNameA(h, buf, 256), 8);
  SetWindowTextA(h, "Calvix");
  EXPECT_EQ(GetWindowTextA(h, buf, 7), 6);
  EXPECT_STREQ(buf, "Calvix");
  EXPECT_EQ(GetWindowTextA(h, buf, 6), 5);
  EXPECT_STREQ(buf, "Calvi");
}

TEST_F(WindowsTest, BadHandlesGetWin32Answers) {
  HWND bogus = reinterpret_cast<HWND>(0x12345678);
  char buf[8] = "keep";
  for (HWND h : {HWND(nullptr), bogus}) {
    SetLastError(0);
    EXPECT_EQ(GetWindowTextA(h, buf, 8), 0);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(GetClassNameA(h, buf, 8), 0);
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_FALSE(PostMessageA(bogus, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), 0);
    EXPECT_EQ(SetTimer(bogus, 1, 10, nullptr), 0u);
  }
}

TEST_F(WindowsTest, WindowLongsKeepTheirValues) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = RecorderProc;
  wc.cbWndExtra = 16;
  wc.lpszClassName = "Extra";
  RegisterClassA(&wc);
  HWND h =
      CreateWindowExA(0, "Extra", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(SetWindowLongPtrA(h, GWLP_USERDATA, 42), 0);
  EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), 42);
  EXPECT_EQ(GetWindowLongPtrA(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&RecorderProc));
  EXPECT_EQ(SetWindowLongPtrA(h, 8, -7), 0);
  EXPECT_EQ(GetWindowLongPtrA(h, 8), -7);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrA(h, 9), 0);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_INDEX);
  EXPECT_NE(GetWindowLongA(h, GWL_STYLE) & WS_POPUP, 0u);
}
