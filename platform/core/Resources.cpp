// The program's module, its resource directory, FindResourceA and friends, and the version
// information of program files. Layer: platform core.
#include "platform/core/Resources.h"

#include <unistd.h>

#include <climits>
#include <cstring>

#include "platform/core/ElfSection.h"
#include "platform/core/Paths.h"
#include "platform/core/ResourceFormat.h"
#include "platform/core/VersionInfo.h"
#include "platform/win32.h"

// The linker provides the start of the program's image and, when the program was linked with a
// resource directory, the bounds of its section. Weak, so that programs without one link too.
extern "C" {
extern const char __ehdr_start[] __attribute__((weak, visibility("hidden")));
extern const uint8_t __start_calvix_rsrc[] __attribute__((weak, visibility("hidden")));
extern const uint8_t __stop_calvix_rsrc[] __attribute__((weak, visibility("hidden")));
}

namespace platform {

namespace {

static_assert(std::string_view(rsrc::kSectionName) == "calvix_rsrc",
              "the linker symbols above are named after the section");

// A handle FindResourceA gives is the entry's position plus one, so that it is never null.
HRSRC HandleOf(uint32_t index) {
  return reinterpret_cast<HRSRC>(uintptr_t{index} + 1);
}

std::optional<ResourceDirectory::Entry> EntryOf(HRSRC handle) {
  const auto value = reinterpret_cast<uintptr_t>(handle);
  if (value == 0 || value > UINT32_MAX) return std::nullopt;
  return OwnResources().At(static_cast<uint32_t>(value - 1));
}

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<ResourceDirectory::Entry> FindOwn(LPCSTR type, LPCSTR name) {
  return OwnResources().Find(ResourceKey::FromArgument(type), ResourceKey::FromArgument(name));
}

}  // namespace

HMODULE OwnModule() {
  return reinterpret_cast<HMODULE>(const_cast<char*>(__ehdr_start));
}

std::string OwnFileUnixPath() {
  std::string path(PATH_MAX, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  path.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return path;
}

const ResourceDirectory& OwnResources() {
  static const ResourceDirectory directory(
      __start_calvix_rsrc && __stop_calvix_rsrc && __stop_calvix_rsrc - __start_calvix_rsrc > 0
          ? std::span<const uint8_t>(__start_calvix_rsrc, __stop_calvix_rsrc)
          : std::span<const uint8_t>());
  return directory;
}

bool IsOwnModule(HMODULE module) {
  return !module || module == OwnModule();
}

bool IconFromResources(LPCSTR name, int cx, int cy, image::TIconImage& out) {
  const auto group = FindOwn(RT_GROUP_ICON, name);
  if (!group) return false;
  std::vector<image::TIconCandidate> candidates;
  std::vector<uint16_t> ids;
  if (!image::ReadGroupIconDirectory(group->data.data(), group->data.size(), candidates, ids))
    return false;
  const int chosen = image::ChooseIcon(candidates, cx, cy);
  if (chosen < 0) return false;
  const auto icon = FindOwn(RT_ICON, MAKEINTRESOURCEA(ids[size_t(chosen)]));
  return icon && image::ReadIconImage(icon->data.data(), icon->data.size(), out);
}

bool BitmapFromResources(LPCSTR name, image::TBitmapFile& out) {
  const auto bitmap = FindOwn(RT_BITMAP, name);
  return bitmap && image::ReadPackedDib(bitmap->data.data(), bitmap->data.size(), out);
}

std::optional<std::vector<uint8_t>> VersionResourceOfFile(LPCSTR windowsName, DWORD& error) {
  const auto unixPath = windowsName ? UnixPathFromWindows(windowsName) : std::nullopt;
  if (!unixPath) {
    error = ERROR_PATH_NOT_FOUND;
    return std::nullopt;
  }
  int openError = 0;
  const auto section = ReadElfSectionOfFile(*unixPath, rsrc::kSectionName, openError);
  if (openError != 0) {
    error = FileErrorCode(openError, *unixPath);
    return std::nullopt;
  }
  error = ERROR_RESOURCE_DATA_NOT_FOUND;
  if (!section) return std::nullopt;
  const ResourceDirectory directory(*section);
  const auto entry = directory.Find(ResourceKey::FromArgument(RT_VERSION),
                                    ResourceKey::FromArgument(MAKEINTRESOURCEA(VS_VERSION_INFO)));
  if (!entry) return std::nullopt;
  const uint32_t length = VersionBlockLength(entry->data);
  if (length == 0) return std::nullopt;
  return std::vector<uint8_t>(entry->data.begin(), entry->data.begin() + length);
}

}  // namespace platform

// --- Win32 entry points: the module ---

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (!lpModuleName) return platform::OwnModule();
  const std::string own = platform::LowerAscii(platform::FileNameOf(platform::OwnFileUnixPath()));
  if (platform::LowerAscii(platform::FileNameOf(lpModuleName)) == own) return platform::OwnModule();
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  if (!platform::IsOwnModule(hModule)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  const std::string name = platform::WindowsPathFromUnix(platform::OwnFileUnixPath());
  if (!lpFilename || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (name.size() < nSize) {
    std::memcpy(lpFilename, name.c_str(), name.size() + 1);
    return static_cast<DWORD>(name.size());
  }
  std::memcpy(lpFilename, name.data(), nSize - 1);
  lpFilename[nSize - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return nSize;
}

// --- Win32 entry points: resources ---

extern "C" HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  if (!platform::IsOwnModule(hModule)) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  if (!lpName || !lpType) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const auto entry = platform::FindOwn(lpType, lpName);
  if (!entry) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return platform::HandleOf(entry->index);
}

extern "C" HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
  const auto entry = platform::IsOwnModule(hModule) ? platform::EntryOf(hResInfo) : std::nullopt;
  if (!entry) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return const_cast<uint8_t*>(entry->data.data());
}

extern "C" LPVOID WINAPI LockResource(HGLOBAL hResData) {
  return hResData;
}

extern "C" DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  const auto entry = platform::IsOwnModule(hModule) ? platform::EntryOf(hResInfo) : std::nullopt;
  if (!entry) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<DWORD>(entry->data.size());
}

// --- Win32 entry points: version information of files ---

extern "C" DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
  if (lpdwHandle) *lpdwHandle = 0;
  DWORD error = ERROR_SUCCESS;
  const auto block = platform::VersionResourceOfFile(lptstrFilename, error);
  if (!block) {
    SetLastError(error);
    return 0;
  }
  return platform::VersionBufferSize(static_cast<uint32_t>(block->size()));
}

extern "C" BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen,
                                           LPVOID lpData) {
  if (!lpData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD error = ERROR_SUCCESS;
  const auto block = platform::VersionResourceOfFile(lptstrFilename, error);
  if (!block) {
    SetLastError(error);
    return FALSE;
  }
  if (!platform::FillVersionBuffer(*block, lpData, dwLen)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  return TRUE;
}
