// The read-only registry and its Win32 entry points. Layer: platform core.
#include "platform/core/Registry.h"

#include <cstring>
#include <mutex>

#include "platform/core/System.h"

namespace platform {

namespace {

constexpr char kWindowsNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char kWindowsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
// Add-on application packages live in /opt, the nearest thing to "Program Files".
constexpr char kProgramFilesDir[] = "Z:\\opt";
constexpr REGSAM kReadRights = KEY_READ | KEY_WOW64_64KEY | KEY_WOW64_32KEY;
// Handles of opened keys are small numbers, far from the root keys' 0x8000000x.
constexpr ULONG_PTR kFirstHandle = 0x1000;

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool IsRootKey(HKEY key) {
  const auto value = reinterpret_cast<ULONG_PTR>(key);
  return value >= reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT) &&
         value <= reinterpret_cast<ULONG_PTR>(HKEY_DYN_DATA);
}

// An opened key keeps the hive it was found in alive, so that a test replacing the hive
// never leaves a handle pointing at freed keys.
struct OpenKey {
  std::shared_ptr<const RegistryHive> hive;
  const RegistryHive::Key* key = nullptr;
};

struct RegistryState {
  std::mutex lock;
  std::shared_ptr<const RegistryHive> hive;
  std::map<ULONG_PTR, OpenKey> open;
  ULONG_PTR nextHandle = kFirstHandle;
};

RegistryState& State() {
  static RegistryState state;
  return state;
}

std::shared_ptr<const RegistryHive> CurrentHive(RegistryState& state) {
  if (!state.hive) state.hive = std::make_shared<const RegistryHive>(SystemHive());
  return state.hive;
}

// Resolves a handle to its key; root keys resolve in the current hive. Needs the lock.
bool Resolve(RegistryState& state, HKEY handle, OpenKey& out) {
  if (IsRootKey(handle)) {
    out.hive = CurrentHive(state);
    out.key = out.hive->Root(handle);
    return true;
  }
  const auto found = state.open.find(reinterpret_cast<ULONG_PTR>(handle));
  if (found == state.open.end()) return false;
  out = found->second;
  return true;
}

}  // namespace

// --- The hive ---

RegistryHive::Key& RegistryHive::AddKey(HKEY root, std::string_view path) {
  Key* key = &FRoots[reinterpret_cast<ULONG_PTR>(root)];
  size_t pos = 0;
  while (pos <= path.size()) {
    const size_t end = std::min(path.find('\\', pos), path.size());
    if (end > pos) key = &key->subKeys[Upper(path.substr(pos, end - pos))];
    pos = end + 1;
  }
  return *key;
}

void RegistryHive::SetString(HKEY root, std::string_view path, std::string_view name,
                             std::string_view text) {
  std::vector<BYTE> data(text.begin(), text.end());
  data.push_back(0);
  SetValue(root, path, name, REG_SZ, std::move(data));
}

void RegistryHive::SetDword(HKEY root, std::string_view path, std::string_view name, DWORD value) {
  std::vector<BYTE> data(sizeof value);
  std::memcpy(data.data(), &value, sizeof value);
  SetValue(root, path, name, REG_DWORD, std::move(data));
}

void RegistryHive::SetValue(HKEY root, std::string_view path, std::string_view name, DWORD type,
                            std::vector<BYTE> data) {
  AddKey(root, path).values[Upper(name)] = Value{type, std::move(data)};
}

const RegistryHive::Key* RegistryHive::Find(const Key& from, std::string_view path) {
  const Key* key = &from;
  size_t pos = 0;
  while (key && pos <= path.size()) {
    const size_t end = std::min(path.find('\\', pos), path.size());
    if (end > pos) {
      const auto found = key->subKeys.find(Upper(path.substr(pos, end - pos)));
      key = found == key->subKeys.end() ? nullptr : &found->second;
    }
    pos = end + 1;
  }
  return key;
}

const RegistryHive::Key* RegistryHive::Root(HKEY root) const {
  static const Key kEmpty;
  const auto found = FRoots.find(reinterpret_cast<ULONG_PTR>(root));
  return found == FRoots.end() ? &kEmpty : &found->second;
}

RegistryHive SystemHive() {
  RegistryHive hive;
  const std::string owner = SystemUserFullName();
  const std::string product = SystemProductName();
  for (const char* key : {kWindowsNtKey, kWindowsKey}) {
    hive.SetString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", kProgramFilesDir);
    hive.SetString(HKEY_LOCAL_MACHINE, key, "RegisteredOwner", owner);
    hive.SetString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization", "");
    hive.SetString(HKEY_LOCAL_MACHINE, key, "ProductName", product);
  }
  return hive;
}

void InstallRegistryHive(std::shared_ptr<const RegistryHive> hive) {
  auto& state = State();
  std::lock_guard guard(state.lock);
  state.hive = std::move(hive);
}

}  // namespace platform

// --- Win32 entry points ---

using platform::OpenKey;
using platform::RegistryHive;

extern "C" LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions,
                                        REGSAM samDesired, PHKEY phkResult) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  auto& state = platform::State();
  std::lock_guard guard(state.lock);
  OpenKey parent;
  if (!platform::Resolve(state, hKey, parent)) return ERROR_INVALID_HANDLE;
  const std::string_view path = lpSubKey ? lpSubKey : "";
  if (path.empty() && platform::IsRootKey(hKey)) {
    *phkResult = hKey;
    return ERROR_SUCCESS;
  }
  if (!path.empty() && path[0] == '\\') return ERROR_BAD_PATHNAME;
  if (samDesired & ~platform::kReadRights) return ERROR_ACCESS_DENIED;
  const RegistryHive::Key* key = RegistryHive::Find(*parent.key, path);
  if (!key) return ERROR_FILE_NOT_FOUND;
  const ULONG_PTR handle = state.nextHandle;
  state.nextHandle += 4;
  state.open[handle] = OpenKey{parent.hive, key};
  *phkResult = reinterpret_cast<HKEY>(handle);
  return ERROR_SUCCESS;
}

extern "C" LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                           LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  if (lpData && !lpcbData) return ERROR_INVALID_PARAMETER;
  auto& state = platform::State();
  std::lock_guard guard(state.lock);
  OpenKey open;
  if (!platform::Resolve(state, hKey, open)) return ERROR_INVALID_HANDLE;
  const auto found = open.key->values.find(platform::Upper(lpValueName ? lpValueName : ""));
  if (found == open.key->values.end()) return ERROR_FILE_NOT_FOUND;
  const RegistryHive::Value& value = found->second;
  const auto size = static_cast<DWORD>(value.data.size());
  if (lpType) *lpType = value.type;
  if (!lpcbData) return ERROR_SUCCESS;
  const DWORD room = *lpcbData;
  *lpcbData = size;
  if (!lpData) return ERROR_SUCCESS;
  if (room < size) return ERROR_MORE_DATA;
  std::memcpy(lpData, value.data.data(), size);
  return ERROR_SUCCESS;
}

extern "C" LSTATUS WINAPI RegCloseKey(HKEY hKey) {
  if (platform::IsRootKey(hKey)) return ERROR_SUCCESS;
  auto& state = platform::State();
  std::lock_guard guard(state.lock);
  return state.open.erase(reinterpret_cast<ULONG_PTR>(hKey)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
