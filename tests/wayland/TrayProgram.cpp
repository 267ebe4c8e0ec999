// A small tray program on the platform alone, started by the Wayland desktop's tests as another
// process: an icon in the notification area whose double click shows a skinned window over a
// copy of the desktop (yellow panel on the left, see-through white on the right), whose right
// press opens a one-entry menu at the pointer ("Fechar" ends the program), and whose window hides
// when the program loses activation. It reports each step on its output, one line each.
#include <cstdio>
#include <cstring>

#include "platform/win32.h"
#include "tests/wayland/TrayProgram.h"

namespace wayland_test {

namespace {

constexpr UINT kCallback = WM_USER + 100;
constexpr UINT kIconId = 42;
constexpr int kSkinWidth = 200, kSkinHeight = 150;
constexpr int kMenuWidth = 120, kMenuHeight = 40;

HWND gOwner = nullptr, gSkin = nullptr, gMenu = nullptr;
HDC gCopy = nullptr;  // the desktop under the skin, taken before each showing

void Say(const char* format, long a = 0, long b = 0) {
  std::printf(format, a, b);
  std::printf("\n");
  std::fflush(stdout);
}

HICON GreenIcon() {
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateCompatibleBitmap(screen, 16, 16);
  HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, colour);
  const RECT all{0, 0, 16, 16};
  HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
  FillRect(dc, &all, green);
  SelectObject(dc, mask);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SelectObject(dc, old);
  DeleteObject(green);
  DeleteDC(dc);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

void NotifyIcon(DWORD message) {
  static HICON icon = GreenIcon();
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = gOwner;
  data.uID = kIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kCallback;
  data.hIcon = icon;
  std::strcpy(data.szTip, "Calvix");
  Say(Shell_NotifyIconA(message, &data) ? "notify %ld ok" : "notify %ld failed", long(message));
}

// As the main window does: the desktop under the window is copied just before it shows.
void ShowSkin() {
  ShowWindow(gSkin, SW_HIDE);
  RECT r;
  GetWindowRect(gSkin, &r);
  HDC screen = GetDC(GetDesktopWindow());
  BitBlt(gCopy, 0, 0, kSkinWidth, kSkinHeight, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(GetDesktopWindow(), screen);
  ShowWindow(gSkin, SW_SHOW);
  SetForegroundWindow(gSkin);
  InvalidateRect(gSkin, nullptr, FALSE);
  Say("shown");
}

void PaintSkin(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  BitBlt(dc, 0, 0, kSkinWidth, kSkinHeight, gCopy, 0, 0, SRCCOPY);
  // The skin through its mask: the left half is a yellow panel, the right half see-through.
  HDC mask = CreateCompatibleDC(dc), picture = CreateCompatibleDC(dc);
  HBITMAP maskBits = CreateCompatibleBitmap(dc, kSkinWidth, kSkinHeight);
  HBITMAP pictureBits = CreateCompatibleBitmap(dc, kSkinWidth, kSkinHeight);
  HGDIOBJ oldMask = SelectObject(mask, maskBits), oldPicture = SelectObject(picture, pictureBits);
  const RECT all{0, 0, kSkinWidth, kSkinHeight}, panel{0, 0, kSkinWidth / 2, kSkinHeight};
  FillRect(mask, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  FillRect(mask, &panel, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  FillRect(picture, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  FillRect(picture, &panel, yellow);
  DeleteObject(yellow);
  BitBlt(dc, 0, 0, kSkinWidth, kSkinHeight, mask, 0, 0, SRCAND);
  BitBlt(dc, 0, 0, kSkinWidth, kSkinHeight, picture, 0, 0, SRCPAINT);
  SelectObject(mask, oldMask);
  SelectObject(picture, oldPicture);
  DeleteObject(maskBits);
  DeleteObject(pictureBits);
  DeleteDC(mask);
  DeleteDC(picture);
  EndPaint(hwnd, &ps);
}

void OpenMenu() {
  POINT at;
  GetCursorPos(&at);
  SetForegroundWindow(gOwner);
  MoveWindow(gMenu, at.x, at.y, kMenuWidth, kMenuHeight, FALSE);
  ShowWindow(gMenu, SW_SHOW);
  Say("menu %ld %ld", at.x, at.y);
}

void Close() {
  NotifyIcon(NIM_DELETE);
  PostQuitMessage(0);
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != kCallback) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (lParam == WM_LBUTTONDBLCLK) ShowSkin();
  if (lParam == WM_RBUTTONDOWN) OpenMenu();
  return 0;
}

LRESULT CALLBACK SkinProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      PaintSkin(hwnd);
      return 0;
    case WM_ACTIVATEAPP:
      // The main window's rule: it hides when the program loses activation.
      if (!wParam && IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_HIDE);
        Say("deactivated");
      }
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT CALLBACK MenuProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      const RECT all{0, 0, kMenuWidth, kMenuHeight};
      HBRUSH face = CreateSolidBrush(RGB(212, 208, 200));
      FillRect(dc, &all, face);
      DeleteObject(face);
      SetBkMode(dc, TRANSPARENT);
      TextOutA(dc, 10, 12, "Fechar", 6);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_KEYDOWN:
      if (msg == WM_KEYDOWN && wParam != VK_RETURN) return 0;
      ShowWindow(hwnd, SW_HIDE);
      Say("fechar");
      Close();
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

HWND MakeWindow(const char* className, WNDPROC proc, DWORD style, DWORD exStyle, RECT r) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = proc;
  cls.lpszClassName = className;
  RegisterClassA(&cls);
  return CreateWindowExA(exStyle, className, className, style, r.left, r.top, r.right - r.left,
                         r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

int RunTrayProgram() {
  gOwner = MakeWindow("CalvixTrayOwner", OwnerProc, WS_POPUP, 0, {0, 0, 0, 0});
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  const int left = (cx - kSkinWidth) / 2, top = (cy - kSkinHeight) / 2;
  gSkin = MakeWindow("CalvixSkin", SkinProc, WS_POPUP, 0,
                     {left, top, left + kSkinWidth, top + kSkinHeight});
  gMenu = MakeWindow("CalvixMenu", MenuProc, WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                     {0, 0, kMenuWidth, kMenuHeight});
  HDC screen = GetDC(nullptr);
  gCopy = CreateCompatibleDC(screen);
  SelectObject(gCopy, CreateCompatibleBitmap(screen, kSkinWidth, kSkinHeight));
  ReleaseDC(nullptr, screen);
  NotifyIcon(NIM_ADD);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace wayland_test
