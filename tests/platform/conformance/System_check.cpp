// System facts, the registry, resources and version information as the Win32 reference
// answers: the buffer-size rules of each call, absent keys and values, and the walk of a
// version block. The program carries the resources of Conformance.rc.
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/conformance/Check.h"

using namespace conformance;

namespace {

std::string OwnFileName() {
  char name[MAX_PATH + 1] = {};
  GetModuleFileNameA(NULL, name, sizeof name);
  return name;
}

// The buffer GetFileVersionInfoA fills for the program's own file.
std::vector<char> OwnVersionInfo() {
  const std::string name = OwnFileName();
  DWORD handle = 7;
  const DWORD size = GetFileVersionInfoSizeA(name.c_str(), &handle);
  std::vector<char> buffer(size + 1);
  if (size == 0 || !GetFileVersionInfoA(name.c_str(), 0, size + 1, buffer.data())) buffer.clear();
  return buffer;
}

std::string Text(std::vector<char>& info, const char* path) {
  void* value = NULL;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), path, &value, &length)) return "<none>";
  return static_cast<const char*>(value);
}

}  // namespace

// --- System facts ---

CONFORMANCE_CASE(ComputerNameCountsWithoutTheTerminator) {
  char name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD size = sizeof name;
  CHECK(GetComputerNameA(name, &size));
  const DWORD length = size;
  CHECK_EQ(length, (DWORD)std::strlen(name));
  std::memset(name, 'x', sizeof name);
  size = length;
  SetLastError(0);
  CHECK(!GetComputerNameA(name, &size));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_BUFFER_OVERFLOW);
  CHECK_EQ(size, length + 1);
  CHECK_EQ(name[0], 'x');
  size = 0;
  CHECK(!GetComputerNameA(NULL, &size));
  CHECK_EQ(size, length + 1);
}

CONFORMANCE_CASE(UserNameCountsTheTerminator) {
  char name[257];  // UNLEN + 1; UNLEN lives in lmcons.h, outside windows.h
  DWORD size = sizeof name;
  CHECK(GetUserNameA(name, &size));
  const DWORD needed = size;
  CHECK_EQ(needed, (DWORD)std::strlen(name) + 1);
  size = needed - 1;
  SetLastError(0);
  CHECK(!GetUserNameA(name, &size));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
  CHECK_EQ(size, needed);
}

CONFORMANCE_CASE(VersionRecordSizeMustBeOneOfTheTwoLayouts) {
  CHECK_EQ(sizeof(OSVERSIONINFOA), (size_t)148);
  CHECK_EQ(sizeof(OSVERSIONINFOEXA), (size_t)156);
  OSVERSIONINFOEXA info = {};
  for (DWORD size : {0u, 147u, 149u, 155u, 300u}) {
    info.dwOSVersionInfoSize = size;
    SetLastError(0);
    CHECK(!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)));
    CHECK_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
  }
  info.dwOSVersionInfoSize = 148;
  CHECK(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)));
  CHECK(info.dwMajorVersion > 0);
  info.dwOSVersionInfoSize = 156;
  CHECK(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)));
}

CONFORMANCE_CASE(DirectoriesAnswerTheSizeNeededWhenTheBufferIsShort) {
  char buffer[MAX_PATH + 1];
  const UINT windows = GetWindowsDirectoryA(buffer, sizeof buffer);
  CHECK(windows > 2);
  CHECK(buffer[1] == ':');
  std::memset(buffer, 'x', sizeof buffer);
  CHECK_EQ(GetWindowsDirectoryA(buffer, windows), windows + 1);
  CHECK_EQ(buffer[0], 'x');
  CHECK_EQ(GetWindowsDirectoryA(buffer, windows + 1), windows);
  const UINT system = GetSystemDirectoryA(buffer, sizeof buffer);
  CHECK(system > windows);
  CHECK_EQ(GetSystemDirectoryA(NULL, 0), system + 1);
  const DWORD current = GetCurrentDirectoryA(sizeof buffer, buffer);
  CHECK(current > 2);
  CHECK(buffer[1] == ':');
  CHECK_EQ(GetCurrentDirectoryA(current, buffer), current + 1);
  CHECK_EQ(GetCurrentDirectoryA(0, NULL), current + 1);
}

CONFORMANCE_CASE(TheProgramIsItsOwnModule) {
  const HMODULE own = GetModuleHandleA(NULL);
  CHECK(own != NULL);
  const std::string name = OwnFileName();
  CHECK(name.size() > 3 && name[1] == ':' && name[2] == '\\');
  CHECK(GetModuleHandleA(name.c_str()) == own);
  char buffer[MAX_PATH + 1];
  SetLastError(0);
  CHECK_EQ(GetModuleFileNameA(NULL, buffer, (DWORD)name.size()), (DWORD)name.size());
  CHECK_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
  SetLastError(0);
  CHECK(GetModuleHandleA("no-such-module.dll") == NULL);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_MOD_NOT_FOUND);
}

// --- The registry ---

CONFORMANCE_CASE(RegistryAnswersForPathsKeysAndValues) {
  HKEY key = NULL;
  CHECK_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft", 0, KEY_READ, &key),
           (LONG)ERROR_BAD_PATHNAME);
  CHECK_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\No Such Calvix Key", 0, KEY_READ, &key),
           (LONG)ERROR_FILE_NOT_FOUND);
  CHECK_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, &key), (LONG)ERROR_SUCCESS);
  CHECK(key == HKEY_LOCAL_MACHINE);
  CHECK_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), (LONG)ERROR_SUCCESS);

  CHECK_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\microsoft\\windows\\currentversion", 0,
                         KEY_READ, &key),
           (LONG)ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  CHECK_EQ(RegQueryValueExA(key, "programfilesdir", NULL, &type, NULL, &size), (LONG)ERROR_SUCCESS);
  CHECK_EQ(type, (DWORD)REG_SZ);
  const DWORD needed = size;
  CHECK(needed > 3);
  char data[MAX_PATH + 1];
  std::memset(data, 'x', sizeof data);
  size = needed - 1;
  CHECK_EQ(RegQueryValueExA(key, "ProgramFilesDir", NULL, &type, (BYTE*)data, &size),
           (LONG)ERROR_MORE_DATA);
  CHECK_EQ(size, needed);
  CHECK_EQ(data[0], 'x');
  size = sizeof data;
  CHECK_EQ(RegQueryValueExA(key, "ProgramFilesDir", NULL, &type, (BYTE*)data, &size),
           (LONG)ERROR_SUCCESS);
  CHECK_EQ(size, (DWORD)std::strlen(data) + 1);
  CHECK_EQ(RegQueryValueExA(key, "ProgramFilesDir", NULL, &type, (BYTE*)data, NULL),
           (LONG)ERROR_INVALID_PARAMETER);
  size = 5;
  CHECK_EQ(RegQueryValueExA(key, "No Such Calvix Value", NULL, &type, (BYTE*)data, &size),
           (LONG)ERROR_FILE_NOT_FOUND);
  CHECK_EQ(size, 5u);
  CHECK_EQ(RegCloseKey(key), (LONG)ERROR_SUCCESS);
  CHECK_EQ(RegCloseKey(key), (LONG)ERROR_INVALID_HANDLE);
}

// --- Resources and version information ---

CONFORMANCE_CASE(ResourcesAreFoundByNumberAndByName) {
  const HRSRC version = FindResourceA(NULL, MAKEINTRESOURCEA(1), RT_VERSION);
  CHECK(version != NULL);
  const WORD* block = static_cast<const WORD*>(LockResource(LoadResource(NULL, version)));
  CHECK(block != NULL && block[0] == SizeofResource(NULL, version));
  CHECK(FindResourceA(NULL, "#1", MAKEINTRESOURCEA(16)) == version);
  CHECK(FindResourceA(NULL, "calvix", RT_GROUP_ICON) != NULL);
  SetLastError(0);
  CHECK(FindResourceA(NULL, "NOSUCHNAME", RT_GROUP_ICON) == NULL);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_NAME_NOT_FOUND);
}

CONFORMANCE_CASE(IconsLoadByResourceNameAndMissingOnesGiveNothing) {
  HANDLE icon = LoadImageA(GetModuleHandleA(NULL), "CALVIX", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
  CHECK(icon != NULL);
  ICONINFO info = {};
  CHECK(GetIconInfo(static_cast<HICON>(icon), &info));
  BITMAP bitmap = {};
  CHECK(GetObjectA(info.hbmColor, sizeof bitmap, &bitmap) == sizeof bitmap);
  CHECK_EQ(bitmap.bmWidth, 16);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(static_cast<HICON>(icon));
  CHECK(LoadImageA(GetModuleHandleA(NULL), "NOSUCHICON", IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR) ==
        NULL);
}

CONFORMANCE_CASE(VersionInfoOfMissingFilesIsNone) {
  std::string missing = OwnFileName();
  missing = missing.substr(0, missing.rfind('\\') + 1) + "no-such-program.exe";
  DWORD handle = 7;
  SetLastError(0);
  CHECK_EQ(GetFileVersionInfoSizeA(missing.c_str(), &handle), 0u);
  CHECK_EQ(GetLastError(), (DWORD)ERROR_FILE_NOT_FOUND);
  char buffer[16];
  CHECK(!GetFileVersionInfoA(missing.c_str(), 0, sizeof buffer, buffer));
}

CONFORMANCE_CASE(VersionQueriesWalkTheBlock) {
  std::vector<char> info = OwnVersionInfo();
  CHECK(!info.empty());
  if (info.empty()) return;
  VS_FIXEDFILEINFO* fixed = NULL;
  UINT length = 0;
  CHECK(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  CHECK_EQ(length, (UINT)sizeof(VS_FIXEDFILEINFO));
  CHECK_EQ(fixed->dwSignature, (DWORD)VS_FFI_SIGNATURE);
  CHECK_EQ(fixed->dwFileVersionLS, 0x0003000Du);
  DWORD* translation = NULL;
  CHECK(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(&translation), &length));
  CHECK_EQ(length, 4u);
  CHECK_EQ(*translation, 0x04E40416u);

  CHECK(Text(info, "\\StringFileInfo\\041604e4\\FileVersion") == "2.1.3.13");
  CHECK(Text(info, "\\STRINGFILEINFO\\041604E4\\fileversion") == "2.1.3.13");
  CHECK(Text(info, "StringFileInfo\\041604e4\\FileVersion") == "2.1.3.13");
  CHECK(Text(info, "\\StringFileInfo\\0416e4\\FileVersion") == "<none>");
  CHECK(Text(info, "/StringFileInfo/041604e4/FileVersion") == "<none>");
  void* value = reinterpret_cast<void*>(1);
  length = 5;
  SetLastError(0);
  CHECK(!VerQueryValueA(info.data(), "\\StringFileInfo\\041604e4\\Missing", &value, &length));
  CHECK_EQ(length, 0u);
  CHECK(value == reinterpret_cast<void*>(1));
  CHECK_EQ(GetLastError(), (DWORD)ERROR_RESOURCE_TYPE_NOT_FOUND);
  CHECK(VerQueryValueA(info.data(), "\\StringFileInfo\\041604e4\\FileVersion", &value, &length));
  CHECK_EQ(length, 9u);
  CHECK(VerQueryValueA(info.data(), "\\StringFileInfo\\041604e4\\Empty", &value, &length));
  CHECK_EQ(length, 1u);
  CHECK(VerQueryValueA(info.data(), "\\StringFileInfo", &value, &length));
  CHECK_EQ(length, 0u);
}
