// The system-information component: facts about the computer, the user and the operating
// system, taken once when the component is created. Layer: the program (sysinfo/).
#include "sysinfo/MorSystemInfo.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win32.h"
#include "toolkit/TypInfo.h"
#include "validation/MorVerifyCard.h"

// --- Reading the registry ---

namespace {

// An open registry key, closed when it goes.
class TRegKey {
 public:
  // Opens `path` under `root` for reading; a path that starts with a backslash starts at the
  // root key, and the empty path is the root key itself.
  TRegKey(HKEY root, const char* path) {
    if (*path == '\\') ++path;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &FKey) != ERROR_SUCCESS) FKey = nullptr;
  }
  ~TRegKey() {
    if (FKey != nullptr) RegCloseKey(FKey);
  }
  TRegKey(const TRegKey&) = delete;
  TRegKey& operator=(const TRegKey&) = delete;

  bool IsOpen() const { return FKey != nullptr; }

  // The text value `name`, up to its first NUL; empty when the value is absent. A value that
  // holds something other than text reads as empty too: an odd entry in the registry must not
  // keep the main window, which owns this component, from being created.
  std::string ReadString(const char* name) const {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(FKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) return {};
    std::vector<BYTE> data(size);
    if (RegQueryValueExA(FKey, name, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
      return {};
    const auto* text = reinterpret_cast<const char*>(data.data());
    return std::string(text, strnlen(text, size));
  }

 private:
  HKEY FKey = nullptr;
};

}  // namespace

// --- The snapshot ---

namespace {

constexpr DWORD kComputerNameBuffer = 16;
constexpr DWORD kUserNameBuffer = 50;
constexpr DWORD kDirectoryBuffer = 261;
constexpr DWORD kVersionRecordSize = 148;
constexpr char kVersionFormat[] = "%d.%d (%d.%s)";

constexpr char kWindowsKey[] = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char kWindowsNTKey[] = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char kRootKey[] = "";

constexpr std::array<const char*, 3> kPlatformNames{"Windows 3.1", "Windows 95", "Windows NT"};

static_assert(sizeof(OSVERSIONINFOA) == kVersionRecordSize);

// The text a platform call left in a buffer, up to its first NUL. The buffer starts zeroed, so
// a call that failed and wrote nothing leaves the empty text.
template <std::size_t N>
std::string BufferText(const std::array<char, N>& buffer) {
  return std::string(buffer.data(), strnlen(buffer.data(), N));
}

// The current directory gains one backslash; a drive root such as C:\ already had one, so the
// doubled backslash after the drive's colon goes again.
std::string WithTrailingBackslash(std::string directory) {
  directory += '\\';
  const std::size_t doubled = directory.find(":\\\\");
  if (doubled != std::string::npos) directory.erase(doubled + 1, 1);
  return directory;
}

}  // namespace

TMorSystemInfo::TMorSystemInfo(TComponent* owner) : TComponent(owner) {
  // The version comes before the registry steps, whose key depends on the platform code.
  ReadNames();
  ReadVersion();
  ReadDirectories();
  ReadRegisteredOwner();
}

void TMorSystemInfo::ReadNames() {
  std::array<char, kComputerNameBuffer> computer{};
  DWORD size = kComputerNameBuffer;
  GetComputerNameA(computer.data(), &size);
  FComputerName = BufferText(computer);

  std::array<char, kUserNameBuffer> user{};
  size = kUserNameBuffer;
  GetUserNameA(user.data(), &size);
  FUserName = BufferText(user);
}

void TMorSystemInfo::ReadVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = kVersionRecordSize;
  if (!GetVersionExA(&info)) return;
  const std::string servicePack(info.szCSDVersion,
                                strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
  std::array<char, 64 + sizeof(info.szCSDVersion)> text{};
  std::snprintf(text.data(), text.size(), kVersionFormat, static_cast<int>(info.dwMajorVersion),
                static_cast<int>(info.dwMinorVersion),
                static_cast<int>(info.dwBuildNumber & 0xFFFF), servicePack.c_str());
  FOSVersion = BufferText(text);
  FPlatformId = info.dwPlatformId;
  FOSPlatform = FPlatformId < kPlatformNames.size() ? kPlatformNames[FPlatformId] : "";
}

void TMorSystemInfo::ReadDirectories() {
  std::array<char, kDirectoryBuffer> buffer{};
  GetSystemDirectoryA(buffer.data(), kDirectoryBuffer);
  FSysDir = BufferText(buffer);
  buffer.fill('\0');
  GetWindowsDirectoryA(buffer.data(), kDirectoryBuffer);
  FWinDir = BufferText(buffer);
  buffer.fill('\0');
  GetCurrentDirectoryA(kDirectoryBuffer, buffer.data());
  FLocalDir = WithTrailingBackslash(BufferText(buffer));

  const TRegKey key(HKEY_LOCAL_MACHINE, InstallationKey());
  if (key.IsOpen()) FProgFilesDir = key.ReadString("ProgramFilesDir");
}

void TMorSystemInfo::ReadRegisteredOwner() {
  const TRegKey key(HKEY_LOCAL_MACHINE, InstallationKey());
  if (!key.IsOpen()) return;
  FRegOwner = key.ReadString("RegisteredOwner");
  FRegCompany = key.ReadString("RegisteredOrganization");
}

const char* TMorSystemInfo::InstallationKey() const {
  switch (FPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
      return kWindowsKey;
    case VER_PLATFORM_WIN32_NT:
      return kWindowsNTKey;
    default:
      return kRootKey;
  }
}

// --- The message-box properties ---

namespace {

constexpr char kSystemInfoAjudaText[] =
    "Exemplo de utiliza\xE7\xE3o dos m\xE9todos contidos neste objeto\r"
    "\r"
    " aux := MorSystemInfo.username;\r"
    " aux := MorSystemInfo.computername;\r"
    " aux := MorSystemInfo.windir;\r"
    " aux := MorSystemInfo.sysdir;\r"
    " aux := MorSystemInfo.localdir;\r"
    " aux := MorSystemInfo.progfilesdir;\r"
    " aux := MorSystemInfo.regowner; \r"
    " aux := MorSystemInfo.regcompany;\r"
    " aux := MorSystemInfo.osversion;\r"
    " aux := MorSystemInfo.osplatform;";

using T = TMorSystemInfo;
const bool kRegistered = (PublishClass<T, TComponent>("TMorSystemInfo")
                              .Boolean("About", &T::About, &T::SetAbout, false)
                              .Boolean("Ajuda", &T::Ajuda, &T::SetAjuda, false),
                          true);

}  // namespace

void TMorSystemInfo::SetAbout(bool) {
  ShowPropertyText(*this, MorAboutText());
}

void TMorSystemInfo::SetAjuda(bool) {
  ShowPropertyText(*this, kSystemInfoAjudaText);
}
