// The last-error code is kept per thread.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32.h"

TEST(LastError, IsKeptPerThread) {
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  DWORD other = 1;
  std::thread([&] { other = GetLastError(); }).join();
  EXPECT_EQ(other, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_WINDOW_HANDLE);
}
