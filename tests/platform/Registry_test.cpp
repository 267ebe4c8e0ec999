// The read-only registry: the hive derived from the system, a hive given by the test, and the
// Win32 answers for absent keys and values, small buffers, other types and writing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/headless/headless.h"
#include "platform/win32.h"

namespace {

constexpr char kNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Reads a REG_SZ value the way a careful caller does: size first, then the data.
std::string ReadText(HKEY key, const char* name, LSTATUS* status = nullptr) {
  DWORD type = 0, size = 0;
  LSTATUS result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  std::string text(size, '\0');
  if (result == ERROR_SUCCESS) {
    result =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
  }
  if (status) *status = result;
  return result == ERROR_SUCCESS && type == REG_SZ ? std::string(text.c_str()) : std::string();
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::RegistryHive hive;
    hive.SetString(HKEY_LOCAL_MACHINE, kNtKey, "RegisteredOwner", "Ana Souza");
    hive.SetString(HKEY_LOCAL_MACHINE, kNtKey, "Empty", "");
    hive.SetDword(HKEY_LOCAL_MACHINE, kNtKey, "InstallDate", 0x12345678);
    hive.SetString(HKEY_LOCAL_MACHINE, "", "ProgramFilesDir", "Z:\\root-value");
    hive.AddKey(HKEY_CURRENT_USER, "Software\\Calvix");
    headless::SetRegistryHive(std::move(hive));
  }
  void TearDown() override { headless::ResetSystemFacts(); }
};

}  // namespace

TEST_F(Registry, KeysAndValuesAreFoundWithoutRegardToCase) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\MICROSOFT\\windows nt\\currentversion", 0,
                          KEY_READ, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(ReadText(key, "registeredowner"), "Ana Souza");
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, AbsentKeysAndValuesAreNotFound) {
  HKEY key = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nothing", 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExA(HKEY_USERS, "Anything", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD size = 99;
  BYTE data[8];
  EXPECT_EQ(RegQueryValueExA(key, "RegisteredOrganization", nullptr, nullptr, data, &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(size, 99u);
  EXPECT_EQ(RegQueryValueExA(key, nullptr, nullptr, nullptr, data, &size), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
}

TEST_F(Registry, TheRootKeyItselfHoldsValuesAndOpensAsItself) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(key, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(ReadText(key, "ProgramFilesDir"), "Z:\\root-value");
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, "ProgramFilesDir"), "Z:\\root-value");
}

TEST_F(Registry, PathsThatStartWithABackslashAreRefused) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                          0, KEY_READ, &key),
            ERROR_BAD_PATHNAME);
  // Doubled and trailing separators are harmless.
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\\\Microsoft\\Windows NT\\CurrentVersion\\",
                          0, KEY_READ, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(Registry, SmallBuffersGetTheSizeNeededAndStayUntouched) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
  char data[16];
  std::memset(data, 'x', sizeof data);
  DWORD type = 0, size = 9;  // "Ana Souza" without room for its terminator
  EXPECT_EQ(RegQueryValueExA(key, "RegisteredOwner", nullptr, &type, (BYTE*)data, &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 10u);
  EXPECT_EQ(type, (DWORD)REG_SZ);
  EXPECT_EQ(data[0], 'x');
  EXPECT_EQ(RegQueryValueExA(key, "RegisteredOwner", nullptr, &type, (BYTE*)data, nullptr),
            ERROR_INVALID_PARAMETER);
  size = 1;
  EXPECT_EQ(RegQueryValueExA(key, "Empty", nullptr, &type, (BYTE*)data, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 1u);
  EXPECT_EQ(data[0], '\0');
  RegCloseKey(key);
}

TEST_F(Registry, ValuesOfOtherTypesReportTheirType) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD type = 0, value = 0, size = sizeof value;
  EXPECT_EQ(RegQueryValueExA(key, "InstallDate", nullptr, &type, (BYTE*)&value, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, (DWORD)REG_DWORD);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(value, 0x12345678u);
  EXPECT_EQ(ReadText(key, "InstallDate"), "");  // a reader that wants text must check the type
  RegCloseKey(key);
}

TEST_F(Registry, NothingCanBeWritten) {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtKey, 0, KEY_WRITE, &key), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtKey, 0, KEY_ALL_ACCESS, &key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNtKey, 0, KEY_READ | KEY_WOW64_64KEY, &key),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST_F(Registry, OpenKeysKeepTheirHiveWhenTheTestReplacesIt) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
  HKEY sub = nullptr;
  headless::SetRegistryHive({});
  EXPECT_EQ(RegOpenKeyExA(key, "Calvix", 0, KEY_READ, &sub), ERROR_SUCCESS);
  RegCloseKey(sub);
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &sub), ERROR_FILE_NOT_FOUND);
  RegCloseKey(key);
  EXPECT_EQ(RegQueryValueExA(key, "x", nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
}

TEST(SystemRegistry, HoldsTheOwnerAndTheProgramFilesFolderOfThisSystem) {
  headless::ResetSystemFacts();
  for (const char* path : {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"}) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key), ERROR_SUCCESS) << path;
    EXPECT_EQ(ReadText(key, "ProgramFilesDir"), "Z:\\opt");
    EXPECT_FALSE(ReadText(key, "RegisteredOwner").empty());
    LSTATUS status = 0;
    EXPECT_EQ(ReadText(key, "RegisteredOrganization", &status), "");
    EXPECT_EQ(status, ERROR_SUCCESS);
    RegCloseKey(key);
  }
  // Nothing lives directly under the root, as on Windows.
  EXPECT_EQ(
      RegQueryValueExA(HKEY_LOCAL_MACHINE, "RegisteredOwner", nullptr, nullptr, nullptr, nullptr),
      ERROR_FILE_NOT_FOUND);
}
