// Tests of the system-information snapshot, with the facts and the registry supplied by the
// headless driver's controls.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/MORTypes.h"
#include "platform/headless/headless.h"
#include "sysinfo/MorSystemInfo.h"
#include "validation/MorVerifyCard.h"

namespace {

constexpr char kWindowsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char kWindowsNTKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

OSVERSIONINFOA VersionRecord(DWORD major, DWORD minor, DWORD build, DWORD platform,
                             const char* servicePack) {
  OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = sizeof(record);
  record.dwMajorVersion = major;
  record.dwMinorVersion = minor;
  record.dwBuildNumber = build;
  record.dwPlatformId = platform;
  std::strncpy(record.szCSDVersion, servicePack, sizeof(record.szCSDVersion));
  return record;
}

// The three installation values under a key, each marked with the key's own label.
void AddInstallation(platform::RegistryHive& hive, const char* path, const std::string& label) {
  hive.SetString(HKEY_LOCAL_MACHINE, path, "ProgramFilesDir", label + " programs");
  hive.SetString(HKEY_LOCAL_MACHINE, path, "RegisteredOwner", label + " owner");
  hive.SetString(HKEY_LOCAL_MACHINE, path, "RegisteredOrganization", label + " company");
}

class MorSystemInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    headless::SetComputerNameText("ESTACAO7");
    headless::SetUserNameText("ana");
    headless::SetCurrentDirectoryText("C:\\Tools");
    headless::SetVersionRecord(VersionRecord(4, 0, 1381, VER_PLATFORM_WIN32_NT, "Service Pack 6"));
    AddInstallation(hive, kWindowsKey, "95");
    AddInstallation(hive, kWindowsNTKey, "NT");
    AddInstallation(hive, "", "root");
    headless::SetRegistryHive(hive);
    previousBox = SetInformationBox([this](const std::string& text) { shown.push_back(text); });
  }
  void TearDown() override {
    SetInformationBox(previousBox);
    headless::ResetSystemFacts();
  }

  // A fresh snapshot, owned by the fixture's owner.
  TMorSystemInfo& Snapshot() { return *new TMorSystemInfo(&owner); }
  void UseHive() { headless::SetRegistryHive(hive); }

  TComponent owner{nullptr};
  platform::RegistryHive hive;
  std::vector<std::string> shown;
  TInformationBox previousBox;
};

}  // namespace

// --- Names and directories ---

TEST_F(MorSystemInfoTest, TakesTheNamesAndDirectories) {
  const TMorSystemInfo& info = Snapshot();
  EXPECT_EQ(info.ComputerName(), "ESTACAO7");
  EXPECT_EQ(info.UserName(), "ana");
  EXPECT_EQ(info.LocalDir(), "C:\\Tools\\");
  EXPECT_EQ(info.WinDir(), "Z:\\usr");
  EXPECT_EQ(info.SysDir(), "Z:\\usr\\lib");
}

TEST_F(MorSystemInfoTest, LocalDirEndsWithASingleBackslash) {
  const std::vector<std::pair<std::string, std::string>> cases{
      {"C:\\", "C:\\"},
      {"Z:\\", "Z:\\"},
      {"Z:\\home\\ana", "Z:\\home\\ana\\"},
      // Without a drive colon nothing is taken away.
      {"\\\\server\\share", "\\\\server\\share\\"},
      {"tools", "tools\\"},
      {"", "\\"},
  };
  for (const auto& [current, expected] : cases) {
    headless::SetCurrentDirectoryText(current);
    EXPECT_EQ(Snapshot().LocalDir(), expected) << current;
  }
}

// Names too long for the component's buffers leave the empty text, never a stray one.
TEST_F(MorSystemInfoTest, NamesThatDoNotFitReadEmpty) {
  headless::SetUserNameText(std::string(49, 'u'));
  EXPECT_EQ(Snapshot().UserName(), std::string(49, 'u'));
  headless::SetUserNameText(std::string(50, 'u'));
  EXPECT_EQ(Snapshot().UserName(), "");
  headless::SetCurrentDirectoryText("Z:\\" + std::string(300, 'd'));
  EXPECT_EQ(Snapshot().LocalDir(), "\\");
}

TEST_F(MorSystemInfoTest, IsASnapshotTakenAtConstruction) {
  const TMorSystemInfo& info = Snapshot();
  headless::SetCurrentDirectoryText("D:\\Other");
  headless::SetUserNameText("bia");
  headless::SetRegistryHive(platform::RegistryHive());
  EXPECT_EQ(info.LocalDir(), "C:\\Tools\\");
  EXPECT_EQ(info.LocalDir(), "C:\\Tools\\");
  EXPECT_EQ(info.UserName(), "ana");
  EXPECT_EQ(info.RegOwner(), "NT owner");
}

// --- The operating system ---

TEST_F(MorSystemInfoTest, FormatsTheVersion) {
  EXPECT_EQ(Snapshot().OSVersion(), "4.0 (1381.Service Pack 6)");
  headless::SetVersionRecord(VersionRecord(5, 1, 2600, VER_PLATFORM_WIN32_NT, ""));
  EXPECT_EQ(Snapshot().OSVersion(), "5.1 (2600.)");
  // Only the low word of the build number counts.
  headless::SetVersionRecord(VersionRecord(4, 10, 67766446, VER_PLATFORM_WIN32_WINDOWS, "A"));
  EXPECT_EQ(Snapshot().OSVersion(), "4.10 (2222.A)");
}

TEST_F(MorSystemInfoTest, NamesThePlatformAndReadsItsKey) {
  struct Case {
    DWORD platform;
    const char* name;
    const char* label;
  };
  for (const Case& c :
       {Case{0, "Windows 3.1", "root"}, Case{1, "Windows 95", "95"}, Case{2, "Windows NT", "NT"},
        Case{3, "", "root"}, Case{VER_PLATFORM_CALVIX_LINUX, "", "root"}}) {
    headless::SetVersionRecord(VersionRecord(5, 0, 2195, c.platform, ""));
    const TMorSystemInfo& info = Snapshot();
    const std::string label = c.label;
    EXPECT_EQ(info.OSPlatform(), c.name) << c.platform;
    EXPECT_EQ(info.ProgFilesDir(), label + " programs") << c.platform;
    EXPECT_EQ(info.RegOwner(), label + " owner") << c.platform;
    EXPECT_EQ(info.RegCompany(), label + " company") << c.platform;
  }
}

TEST_F(MorSystemInfoTest, AFailedVersionQueryLeavesItsTextsEmptyAndReadsTheRoot) {
  headless::FailVersionQuery();
  const TMorSystemInfo& info = Snapshot();
  EXPECT_EQ(info.OSVersion(), "");
  EXPECT_EQ(info.OSPlatform(), "");
  EXPECT_EQ(info.RegOwner(), "root owner");
}

// --- The registry ---

TEST_F(MorSystemInfoTest, MissingKeysAndValuesReadEmpty) {
  hive = platform::RegistryHive();
  hive.SetString(HKEY_LOCAL_MACHINE, kWindowsNTKey, "RegisteredOwner", "Ana");
  UseHive();
  const TMorSystemInfo& info = Snapshot();
  EXPECT_EQ(info.RegOwner(), "Ana");
  EXPECT_EQ(info.RegCompany(), "");
  EXPECT_EQ(info.ProgFilesDir(), "");

  headless::SetRegistryHive(platform::RegistryHive());
  const TMorSystemInfo& bare = Snapshot();
  EXPECT_EQ(bare.RegOwner(), "");
  EXPECT_EQ(bare.ProgFilesDir(), "");
  EXPECT_EQ(bare.OSVersion(), "4.0 (1381.Service Pack 6)");
}

// A value of another type must not keep the window that owns the component from opening.
TEST_F(MorSystemInfoTest, AValueThatIsNotTextReadsEmpty) {
  hive.SetDword(HKEY_LOCAL_MACHINE, kWindowsNTKey, "RegisteredOwner", 7);
  hive.SetValue(HKEY_LOCAL_MACHINE, kWindowsNTKey, "RegisteredOrganization", REG_BINARY,
                {'A', 'B'});
  UseHive();
  const TMorSystemInfo& info = Snapshot();
  EXPECT_EQ(info.RegOwner(), "");
  EXPECT_EQ(info.RegCompany(), "");
  EXPECT_EQ(info.ProgFilesDir(), "NT programs");
}

TEST_F(MorSystemInfoTest, TextValuesStopAtTheirFirstNulOrTheirEnd) {
  hive.SetValue(HKEY_LOCAL_MACHINE, kWindowsNTKey, "RegisteredOwner", REG_SZ,
                {'A', 'n', 'a', 0, 'x'});
  hive.SetValue(HKEY_LOCAL_MACHINE, kWindowsNTKey, "RegisteredOrganization", REG_SZ,
                {'M', 'o', 'r'});
  hive.SetValue(HKEY_LOCAL_MACHINE, kWindowsNTKey, "ProgramFilesDir", REG_EXPAND_SZ,
                {'C', ':', '\\', 0});
  UseHive();
  const TMorSystemInfo& info = Snapshot();
  EXPECT_EQ(info.RegOwner(), "Ana");
  EXPECT_EQ(info.RegCompany(), "Mor");
  EXPECT_EQ(info.ProgFilesDir(), "C:\\");
}

// --- The message-box properties ---

TEST_F(MorSystemInfoTest, MessageBoxPropertiesShowTheirTextsAndReadFalse) {
  TMorSystemInfo& info = Snapshot();
  info.SetAbout(false);
  info.SetAjuda(true);
  EXPECT_FALSE(info.About());
  EXPECT_FALSE(info.Ajuda());
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], MorAboutText());
  EXPECT_EQ(shown[1],
            "Exemplo de utiliza\xE7\xE3o dos m\xE9todos contidos neste objeto\r\r"
            " aux := MorSystemInfo.username;\r"
            " aux := MorSystemInfo.computername;\r"
            " aux := MorSystemInfo.windir;\r"
            " aux := MorSystemInfo.sysdir;\r"
            " aux := MorSystemInfo.localdir;\r"
            " aux := MorSystemInfo.progfilesdir;\r"
            " aux := MorSystemInfo.regowner; \r"
            " aux := MorSystemInfo.regcompany;\r"
            " aux := MorSystemInfo.osversion;\r"
            " aux := MorSystemInfo.osplatform;");
}
