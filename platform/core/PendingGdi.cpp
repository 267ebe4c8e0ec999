// TEMPORARY: window device contexts until the drawing side of the platform lands GetDC and
// ReleaseDC. Whoever lands second deletes this file.
#include "platform/win32.h"

extern "C" HDC WINAPI GetDC(HWND hWnd) {
  return reinterpret_cast<HDC>(hWnd ? hWnd : reinterpret_cast<HWND>(1));
}
extern "C" int WINAPI ReleaseDC(HWND, HDC hDC) {
  return hDC ? 1 : 0;
}
