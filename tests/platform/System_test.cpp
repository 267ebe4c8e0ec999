// System facts: names with their Win32 buffer rules, the operating-system version, the
// directories and the program's own module.
#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <cstring>
#include <string>

#include "platform/core/Paths.h"
#include "platform/core/Resources.h"
#include "platform/headless/headless.h"
#include "platform/win32.h"

namespace {

class System : public ::testing::Test {
 protected:
  void TearDown() override { headless::ResetSystemFacts(); }
};

}  // namespace

TEST_F(System, ComputerNameCountsWithoutTheTerminatorAndOverflowsWithIt) {
  headless::SetComputerNameText("CALVIXHOST");
  char buffer[32];
  std::memset(buffer, 'x', sizeof buffer);
  DWORD size = 10;
  SetLastError(0);
  EXPECT_FALSE(GetComputerNameA(buffer, &size));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_BUFFER_OVERFLOW);
  EXPECT_EQ(size, 11u);
  EXPECT_EQ(buffer[0], 'x');

  EXPECT_TRUE(GetComputerNameA(buffer, &size));
  EXPECT_EQ(size, 10u);
  EXPECT_STREQ(buffer, "CALVIXHOST");

  size = 0;
  EXPECT_FALSE(GetComputerNameA(nullptr, &size));
  EXPECT_EQ(size, 11u);
}

TEST_F(System, TheSystemsComputerNameFitsANetBiosName) {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof buffer;
  ASSERT_TRUE(GetComputerNameA(buffer, &size));
  EXPECT_EQ(size, std::strlen(buffer));
  EXPECT_LE(size, (DWORD)MAX_COMPUTERNAME_LENGTH);
  EXPECT_EQ(std::strchr(buffer, '.'), nullptr);
}

TEST_F(System, UserNameCountsTheTerminator) {
  headless::SetUserNameText("ana");
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  DWORD size = 3;
  SetLastError(0);
  EXPECT_FALSE(GetUserNameA(buffer, &size));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_TRUE(GetUserNameA(buffer, &size));
  EXPECT_EQ(size, 4u);
  EXPECT_STREQ(buffer, "ana");

  headless::ResetSystemFacts();
  size = sizeof buffer;
  char big[UNLEN + 1];
  size = sizeof big;
  EXPECT_TRUE(GetUserNameA(big, &size));
  EXPECT_GT(std::strlen(big), 0u);
}

TEST_F(System, VersionRecordSizeMustBeOneOfTheTwoLayouts) {
  for (const DWORD size : {0u, 147u, 149u, 155u, 157u, 300u}) {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = size;
    SetLastError(0);
    EXPECT_FALSE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) << size;
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER) << size;
    EXPECT_EQ(info.dwMajorVersion, 0u) << size;
  }
  OSVERSIONINFOEXA extended;
  std::memset(&extended, 0xAB, sizeof extended);
  extended.dwOSVersionInfoSize = sizeof extended;
  ASSERT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended)));
  EXPECT_EQ(extended.dwOSVersionInfoSize, 156u);
  EXPECT_EQ(extended.wServicePackMajor, 0);
  EXPECT_EQ(extended.wReserved, 0);
}

TEST_F(System, VersionReportsTheKernelOutsideTheWindowsPlatforms) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(sizeof info, 148u);
  EXPECT_GT(info.dwPlatformId, (DWORD)VER_PLATFORM_WIN32_NT);
  utsname names{};
  ASSERT_EQ(uname(&names), 0);
  const std::string release = names.release;
  EXPECT_EQ(
      release.rfind(
          std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + ".", 0),
      0u)
      << release;
  EXPECT_STREQ(info.szCSDVersion, names.sysname);
}

TEST_F(System, VersionRecordAndFailureComeFromTheTest) {
  OSVERSIONINFOA given{};
  given.dwMajorVersion = 4;
  given.dwMinorVersion = 10;
  given.dwBuildNumber = 67766446;
  given.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
  std::strcpy(given.szCSDVersion, "A");
  headless::SetVersionRecord(given);
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(info.dwOSVersionInfoSize, 148u);
  EXPECT_EQ(info.dwBuildNumber, 67766446u);
  EXPECT_EQ(info.dwPlatformId, (DWORD)VER_PLATFORM_WIN32_WINDOWS);
  EXPECT_STREQ(info.szCSDVersion, "A");

  headless::FailVersionQuery();
  EXPECT_FALSE(GetVersionExA(&info));
}

TEST_F(System, DirectoriesFollowTheLengthOrSizeNeededRule) {
  char buffer[MAX_PATH + 1];
  EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 6u);
  EXPECT_STREQ(buffer, "Z:\\usr");
  EXPECT_EQ(GetSystemDirectoryA(buffer, sizeof buffer), 10u);
  EXPECT_STREQ(buffer, "Z:\\usr\\lib");

  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetWindowsDirectoryA(buffer, 6), 7u);  // no room for the terminator
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(GetWindowsDirectoryA(buffer, 7), 6u);
  EXPECT_EQ(GetSystemDirectoryA(nullptr, 0), 11u);
}

TEST_F(System, CurrentDirectoryIsPresentedOnDriveZ) {
  char buffer[4096];
  const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::string(buffer), platform::WindowsPathFromUnix(platform::UnixCurrentDirectory()));
  EXPECT_EQ(GetCurrentDirectoryA(length, buffer), length + 1);
  EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), length + 1);

  headless::SetCurrentDirectoryText("C:\\Tools");
  EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 8u);
  EXPECT_STREQ(buffer, "C:\\Tools");
}

TEST_F(System, ModuleFileNameIsTheProgramOnDriveZ) {
  char buffer[4096];
  const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  ASSERT_GT(length, 3u);
  EXPECT_EQ(std::string(buffer), platform::WindowsPathFromUnix(platform::OwnFileUnixPath()));
  EXPECT_EQ(std::string(buffer, 3), "Z:\\");
  EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), buffer, sizeof buffer), length);

  // Since Windows Vista a short buffer gets the name cut and terminated.
  const std::string full = buffer;
  std::memset(buffer, 'x', sizeof buffer);
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 5), 5u);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::string(buffer), full.substr(0, 4));
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, length), length);
  EXPECT_EQ(buffer[length - 1], '\0');
}

TEST_F(System, OnlyTheProgramItselfIsAModule) {
  const HMODULE own = GetModuleHandleA(nullptr);
  ASSERT_NE(own, nullptr);
  // The instance is the address of the program's image, which starts with the ELF magic.
  EXPECT_EQ(std::memcmp(own,
                        "\x7f"
                        "ELF",
                        4),
            0);
  char name[4096];
  GetModuleFileNameA(nullptr, name, sizeof name);
  EXPECT_EQ(GetModuleHandleA(name), own);
  EXPECT_EQ(GetModuleHandleA("PLATFORM_TESTS"), own);

  SetLastError(0);
  EXPECT_EQ(GetModuleHandleA("user32.dll"), nullptr);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(name), name, sizeof name), 0u);
}
