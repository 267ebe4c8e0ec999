// ShellExecuteA: what it asks the desktop to open, its answers for verbs and missing files,
// and the real opener, which starts xdg-open with an argument vector and fails cleanly
// without one.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "platform/Driver.h"
#include "platform/core/Shell.h"
#include "platform/headless/headless.h"
#include "platform/win32.h"
#include "tests/support/ResourceFiles.h"

namespace {

INT_PTR Open(LPCSTR verb, LPCSTR file, LPCSTR directory = nullptr) {
  return reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, verb, file, nullptr, directory, SW_SHOWNORMAL));
}

class Shell : public ::testing::Test {
 protected:
  void SetUp() override { headless::Reset(); }
};

// Replaces PATH for one test, so that the real opener finds only what the test puts there.
class TPathOverride {
 public:
  explicit TPathOverride(const std::string& path) : FOld(getenv("PATH") ? getenv("PATH") : "") {
    setenv("PATH", path.c_str(), 1);
  }
  ~TPathOverride() { setenv("PATH", FOld.c_str(), 1); }

 private:
  std::string FOld;
};

// A driver that keeps every default, the real opener included.
class TPlainDriver : public platform::Driver {
 public:
  const char* Name() const override { return "plain"; }
  DWORD TickCount() override { return 0; }
  bool Wait(DWORD, bool) override { return false; }
};

}  // namespace

TEST_F(Shell, WebAddressesAreHandedToTheDesktopAsGiven) {
  EXPECT_GT(Open("open", "http://www.morvane.com.br"), 32);
  EXPECT_GT(Open(nullptr, "mailto:ana@example.com"), 32);
  EXPECT_GT(Open("OPEN", "https://example.com/a?b=1&c=$(x)"), 32);
  const std::vector<std::string> expected = {"http://www.morvane.com.br", "mailto:ana@example.com",
                                             "https://example.com/a?b=1&c=$(x)"};
  EXPECT_EQ(headless::OpenedDocuments(), expected);
}

TEST_F(Shell, TheRecordKeepsEveryArgumentAsTheProgramPassedIt) {
  // The owner window is only recorded: it owns nothing here.
  const HWND owner = reinterpret_cast<HWND>(0x1234);
  EXPECT_GT(
      INT_PTR(ShellExecuteA(owner, "open", "http://a.example", nullptr, nullptr, SW_SHOWNORMAL)),
      32);
  EXPECT_GT(INT_PTR(ShellExecuteA(nullptr, nullptr, "http://b.example", "-x", "", SW_SHOW)), 32);
  const auto& requests = headless::ShellRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].owner, owner);
  EXPECT_EQ(requests[0].operation, std::optional<std::string>("open"));
  EXPECT_EQ(requests[0].file, std::optional<std::string>("http://a.example"));
  EXPECT_FALSE(requests[0].parameters.has_value());
  EXPECT_FALSE(requests[0].directory.has_value());
  EXPECT_EQ(requests[0].showCommand, SW_SHOWNORMAL);
  EXPECT_FALSE(requests[1].operation.has_value());
  EXPECT_EQ(requests[1].parameters, std::optional<std::string>("-x"));
  EXPECT_EQ(requests[1].directory, std::optional<std::string>(""));
  EXPECT_EQ(requests[1].showCommand, SW_SHOW);
}

TEST_F(Shell, OtherVerbsAndFailedHandlersAreFailures) {
  EXPECT_EQ(Open("print", "http://www.morvane.com.br"), SE_ERR_NOASSOC);
  EXPECT_EQ(Open("explore", "http://www.morvane.com.br"), SE_ERR_NOASSOC);
  EXPECT_EQ(Open("open", ""), SE_ERR_FNF);
  EXPECT_TRUE(headless::OpenedDocuments().empty());
  headless::SetOpenDocumentFails(true);
  EXPECT_LE(Open("open", "http://www.morvane.com.br"), 32);
}

TEST_F(Shell, FilesAreOpenedByTheirUnixPath) {
  testfiles::TScratch scratch;
  const std::string file = scratch.Write(
      "licen\xc3\xa7"
      "a.txt",
      {'x'});
  const std::string folder = testfiles::ZPath(scratch.Path(""));
  EXPECT_GT(Open("open", (folder + "licen\xe7"
                                   "a.txt")
                             .c_str()),
            32);
  EXPECT_GT(Open("open",
                 "licen\xe7"
                 "a.txt",
                 folder.c_str()),
            32);
  ASSERT_EQ(headless::OpenedDocuments().size(), 2u);
  EXPECT_EQ(headless::OpenedDocuments()[0], file);
  EXPECT_EQ(headless::OpenedDocuments()[1], file);

  EXPECT_EQ(Open("open", (folder + "missing.txt").c_str()), SE_ERR_FNF);
  EXPECT_EQ(Open("open", (folder + "no\\such\\folder.txt").c_str()), SE_ERR_PNF);
  EXPECT_EQ(Open("open", "C:\\Windows\\win.ini"), SE_ERR_PNF);
  EXPECT_EQ(headless::OpenedDocuments().size(), 2u);
}

TEST_F(Shell, WithoutXdgOpenTheRealOpenerFailsCleanly) {
  testfiles::TScratch scratch;
  TPathOverride path(scratch.Path(""));
  EXPECT_FALSE(platform::OpenWithDesktop("http://www.morvane.com.br"));
  platform::InstallDriver(std::make_unique<TPlainDriver>());
  EXPECT_EQ(Open("open", "http://www.morvane.com.br"), SE_ERR_NOASSOC);
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_NO_ASSOCIATION);
  headless::Reset();
}

TEST_F(Shell, TheRealOpenerPassesTheAddressAsOneArgumentWithoutAShell) {
  testfiles::TScratch scratch;
  const std::string log = scratch.Path("arguments");
  const std::string opener = scratch.Path("xdg-open");
  std::ofstream(opener) << "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" << log << ".tmp'\nmv '"
                        << log << ".tmp' '" << log << "'\n";
  std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  TPathOverride path(scratch.Path("") + ":/usr/bin:/bin");
  const std::string address = "http://example.com/a b?c=1&d=$(touch " + scratch.Path("x") + ")";
  ASSERT_TRUE(platform::OpenWithDesktop(address));
  // The handler runs on its own; wait (boundedly) for the stand-in to write what it was given.
  for (int i = 0; i < 500 && !std::filesystem::exists(log); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::string written;
  std::getline(std::ifstream(log), written);
  EXPECT_EQ(written, "1|" + address + "|");
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("x")));
}
