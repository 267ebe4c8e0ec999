// System facts: computer and user names, the kernel's version, the current directory and the
// Windows and system directories. Layer: platform core.
#include "platform/core/System.h"

#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/core/CodePage.h"
#include "platform/core/Paths.h"

namespace platform {

namespace {

// Honest places on a Linux system for what Windows keeps in its own directories.
constexpr char kWindowsDirectory[] = "Z:\\usr";
constexpr char kSystemDirectory[] = "Z:\\usr\\lib";

std::optional<passwd> AccountOfProcess(std::vector<char>& storage) {
  passwd entry{};
  passwd* found = nullptr;
  storage.resize(16384);
  if (getpwuid_r(geteuid(), &entry, storage.data(), storage.size(), &found) != 0 || !found) {
    return std::nullopt;
  }
  return entry;
}

// Reads the leading decimal number at `pos` and moves past it and one following separator.
DWORD NextNumber(const char* text, size_t& pos) {
  DWORD value = 0;
  while (text[pos] >= '0' && text[pos] <= '9')
    value = value * 10 + (text[pos++] - '0');
  if (text[pos] == '.') ++pos;
  return value;
}

std::string Unquoted(std::string value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

SystemFactOverrides& SystemOverrides() {
  static SystemFactOverrides overrides;
  return overrides;
}

std::string SystemComputerName() {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return {};
  std::string name = Cp1252FromUtf8(host);
  name = name.substr(0, name.find('.'));
  return name.substr(0, MAX_COMPUTERNAME_LENGTH);
}

std::string SystemUserName() {
  std::vector<char> storage;
  if (const auto account = AccountOfProcess(storage); account && account->pw_name) {
    return Cp1252FromUtf8(account->pw_name);
  }
  const char* login = getlogin();
  return login ? Cp1252FromUtf8(login) : std::string();
}

std::string SystemUserFullName() {
  std::vector<char> storage;
  const auto account = AccountOfProcess(storage);
  if (account && account->pw_gecos) {
    std::string gecos = account->pw_gecos;
    gecos = gecos.substr(0, gecos.find(','));
    if (!gecos.empty()) return Cp1252FromUtf8(gecos);
  }
  return SystemUserName();
}

std::string SystemProductName() {
  for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
    std::string text;
    if (!ReadUnixFile(file, text)) continue;
    for (size_t start = 0; start < text.size();) {
      const size_t end = std::min(text.find('\n', start), text.size());
      const std::string line = text.substr(start, end - start);
      if (line.rfind("PRETTY_NAME=", 0) == 0) return Cp1252FromUtf8(Unquoted(line.substr(12)));
      start = end + 1;
    }
  }
  utsname names{};
  return uname(&names) == 0 ? Cp1252FromUtf8(names.sysname) : std::string();
}

OSVERSIONINFOA SystemVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  info.dwPlatformId = VER_PLATFORM_CALVIX_LINUX;
  utsname names{};
  if (uname(&names) != 0) return info;
  size_t pos = 0;
  info.dwMajorVersion = NextNumber(names.release, pos);
  info.dwMinorVersion = NextNumber(names.release, pos);
  info.dwBuildNumber = NextNumber(names.release, pos);
  const std::string name = Cp1252FromUtf8(names.sysname);
  std::strncpy(info.szCSDVersion, name.c_str(), sizeof info.szCSDVersion - 1);
  return info;
}

DWORD CopyTextOrNeeded(const std::string& text, char* buffer, DWORD size) {
  const DWORD length = static_cast<DWORD>(text.size());
  if (!buffer || size <= length) return length + 1;
  std::memcpy(buffer, text.c_str(), length + 1);
  return length;
}

}  // namespace platform

using platform::SystemOverrides;

// --- Win32 entry points ---

extern "C" DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  const auto& presented = SystemOverrides().currentDirectory;
  const std::string text =
      presented ? *presented : platform::WindowsPathFromUnix(platform::UnixCurrentDirectory());
  return platform::CopyTextOrNeeded(text, lpBuffer, nBufferLength);
}

extern "C" BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize) {
  if (!nSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto& given = SystemOverrides().computerName;
  const std::string name = given ? *given : platform::SystemComputerName();
  const DWORD result = platform::CopyTextOrNeeded(name, lpBuffer, *nSize);
  *nSize = result;
  if (result > name.size()) {
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI GetUserNameA(LPSTR lpBuffer, LPDWORD pcbBuffer) {
  if (!pcbBuffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const auto& given = SystemOverrides().userName;
  const std::string name = given ? *given : platform::SystemUserName();
  const DWORD result = platform::CopyTextOrNeeded(name, lpBuffer, *pcbBuffer);
  *pcbBuffer = static_cast<DWORD>(name.size()) + 1;
  if (result > name.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation) {
  if (!lpVersionInformation) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD size = lpVersionInformation->dwOSVersionInfoSize;
  const auto& overrides = SystemOverrides();
  if ((size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) ||
      overrides.versionFails) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  OSVERSIONINFOA info = overrides.version ? *overrides.version : platform::SystemVersion();
  info.dwOSVersionInfoSize = size;
  info.szCSDVersion[sizeof info.szCSDVersion - 1] = '\0';
  if (size == sizeof(OSVERSIONINFOEXA)) {
    std::memset(lpVersionInformation, 0, sizeof(OSVERSIONINFOEXA));
  }
  std::memcpy(lpVersionInformation, &info, sizeof info);
  return TRUE;
}

extern "C" UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) {
  return platform::CopyTextOrNeeded(platform::kSystemDirectory, lpBuffer, uSize);
}

extern "C" UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) {
  return platform::CopyTextOrNeeded(platform::kWindowsDirectory, lpBuffer, uSize);
}
