// The read-only registry: a hive of keys and values, the one the layer derives from the
// system, and the place where a test puts a hive of its own. Layer: platform core.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/kernel.h"

namespace platform {

class RegistryHive {
 public:
  struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  struct Key {
    std::map<std::string, Key> subKeys;   // by upper-cased name
    std::map<std::string, Value> values;  // by upper-cased name; "" is the default value
  };

  // Paths are sub-key names separated by backslashes, under one of the HKEY_* roots. Every
  // key on the way is created.
  Key& AddKey(HKEY root, std::string_view path);
  void SetString(HKEY root, std::string_view path, std::string_view name, std::string_view text);
  void SetDword(HKEY root, std::string_view path, std::string_view name, DWORD value);
  void SetValue(HKEY root, std::string_view path, std::string_view name, DWORD type,
                std::vector<BYTE> data);

  // The key at `path` below `from`, or null. Empty components are skipped, as Windows does.
  static const Key* Find(const Key& from, std::string_view path);
  const Key* Root(HKEY root) const;

 private:
  std::map<ULONG_PTR, Key> FRoots;
};

// The hive derived from this system (see platform/win32/kernel.h for what it holds).
RegistryHive SystemHive();

// Replaces the hive every later RegOpenKeyExA reads; null goes back to the system's hive. Keys
// opened before keep reading the hive they were opened in.
void InstallRegistryHive(std::shared_ptr<const RegistryHive> hive);

}  // namespace platform
