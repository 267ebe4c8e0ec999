// System facts, files and paths, the registry, the executable's resources and version
// information (kernel32, advapi32, version).
#pragma once

#include "platform/win32/types.h"

// --- Locale ---
// The user's regional settings and the local clock. On Linux the settings come from the LC_TIME
// locale of the environment; the headless driver lets tests set both (platform/headless).
using LCID = DWORD;
using LCTYPE = DWORD;

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_NOUSEROVERRIDE 0x80000000
#define LOCALE_SDATE 0x0000001D
#define LOCALE_STIME 0x0000001E
#define LOCALE_SSHORTDATE 0x0000001F
#define LOCALE_SLONGDATE 0x00000020
#define LOCALE_IDATE 0x00000021

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;  // 0 is Sunday
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};
using LPSYSTEMTIME = SYSTEMTIME*;

extern "C" {
// Answers for LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT alike (both read the one locale of
// the environment); any other LCID fails with ERROR_INVALID_PARAMETER. Supports LOCALE_SDATE,
// LOCALE_STIME, LOCALE_SSHORTDATE, LOCALE_SLONGDATE and LOCALE_IDATE; other types fail with
// ERROR_INVALID_FLAGS. With cchData 0 it returns the size needed, terminator included.
int WINAPI GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData);
// The local date and time, to the millisecond.
void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime);
}
