// The thread's last-error code, as Win32 keeps it.
#include "platform/win32.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" DWORD WINAPI GetLastError() {
  return lastError;
}
extern "C" void WINAPI SetLastError(DWORD dwErrCode) {
  lastError = dwErrCode;
}
