// File access by Windows-style names: creation dispositions, reads at the end, seeks, and
// handles that are not ours.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/core/Paths.h"
#include "platform/win32.h"

namespace {

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("calvix-files-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    name = platform::WindowsPathFromUnix((dir / "a.bin").string());
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  HANDLE Open(DWORD access, DWORD disposition) {
    return CreateFileA(name.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
  }

  std::filesystem::path dir;
  std::string name;
};

TEST_F(Files, CreateWriteSeekReadThroughADriveName) {
  ASSERT_EQ(name.rfind("Z:\\", 0), 0u);
  HANDLE h = Open(GENERIC_WRITE | GENERIC_READ, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(h, "hello", 5, &n, nullptr));
  EXPECT_EQ(n, 5u);
  EXPECT_EQ(GetFileSize(h, nullptr), 5u);
  EXPECT_EQ(SetFilePointer(h, -3, nullptr, FILE_END), 2u);
  char buf[8] = {};
  ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(n, 3u);  // a read past the end succeeds with what there was
  EXPECT_EQ(std::string(buf, n), "llo");
  ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(SetFilePointer(h, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_NEGATIVE_SEEK);
  EXPECT_TRUE(CloseHandle(h));
}

TEST_F(Files, DispositionsAndErrors) {
  EXPECT_EQ(Open(GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
  HANDLE h = Open(GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_SUCCESS);
  CloseHandle(h);
  EXPECT_EQ(Open(GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_FILE_EXISTS);
  h = Open(GENERIC_WRITE, OPEN_ALWAYS);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_ALREADY_EXISTS);
  CloseHandle(h);
  const std::string folder = platform::WindowsPathFromUnix(dir.string());
  EXPECT_EQ(CreateFileA(folder.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA("Q:\\x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
}

TEST_F(Files, HandlesThatAreNotOpenFilesFail) {
  HANDLE h = Open(GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_TRUE(CloseHandle(h));
  DWORD n = 0;
  char c = 0;
  EXPECT_FALSE(ReadFile(h, &c, 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(1) << 2)));  // stdin
}

}  // namespace
