// The notification area and documents opened through the shell (shell32).
#pragma once

#include "platform/win32/types.h"

// --- The notification area ---

#ifndef GUID_DEFINED
#define GUID_DEFINED
struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
#endif

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIM_SETFOCUS 0x00000003
#define NIM_SETVERSION 0x00000004

#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004
#define NIF_STATE 0x00000008
#define NIF_INFO 0x00000010

// The record has grown over Windows releases; programs that state the first form in cbSize
// (NOTIFYICONDATAA_V1_SIZE) get its meaning: a tip of 64 characters and nothing after it.
struct NOTIFYICONDATAA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[128];
  DWORD dwState;
  DWORD dwStateMask;
  CHAR szInfo[256];
  union {
    UINT uTimeout;
    UINT uVersion;
  };
  CHAR szInfoTitle[64];
  DWORD dwInfoFlags;
  GUID guidItem;
  HICON hBalloonIcon;
};
using PNOTIFYICONDATAA = NOTIFYICONDATAA*;

#define NOTIFYICONDATAA_V1_SIZE offsetof(NOTIFYICONDATAA, szTip[64])

extern "C" {
// Adds, changes or removes the program's icon in the notification area, and posts
// uCallbackMessage to hWnd with uID in wParam and the mouse message in lParam (WM_MOUSEMOVE,
// the button downs, ups and double clicks of the left, right and middle buttons).
// Differences from Win32: only the first form of the record is read, whatever cbSize says
// beyond it (no NIF_STATE, NIF_INFO balloons, NIM_SETFOCUS or NIM_SETVERSION: they fail); a
// smaller cbSize fails. Without a notification area NIM_ADD fails, and an icon added while one
// runs is docked again into the next one that starts. Icons of a destroyed window stay until
// NIM_DELETE or the end of the program, as they do until the pointer passes over them on Windows.
BOOL WINAPI Shell_NotifyIconA(DWORD dwMessage, PNOTIFYICONDATAA lpData);
}

// --- Documents ---

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31
#define SE_ERR_DLLNOTFOUND 32

extern "C" {
// Opens a web address ("scheme:...") or a file with the desktop's handler (xdg-open, started
// with an argument vector, never through a shell). Returns a value above 32 once the handler
// has started, and 32 or less on failure: SE_ERR_NOASSOC for a verb other than NULL or "open"
// and when no handler can be started, SE_ERR_FNF or SE_ERR_PNF for a missing file. Relative
// file names start at lpDirectory when it is given. Differences from Win32: programs are never
// run, so lpParameters is ignored, and nShowCmd is left to the handler; hwnd owns nothing.
HINSTANCE WINAPI ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                               LPCSTR lpDirectory, INT nShowCmd);
}
