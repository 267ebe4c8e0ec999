// Reads a resource directory (platform/core/ResourceFormat.h) from bytes that may be damaged:
// every offset and size is checked before it is used. Layer: platform core.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/win32/types.h"

namespace platform {

// A resource type or name as FindResourceA takes it: an integer identifier, or a name.
struct ResourceKey {
  static ResourceKey FromArgument(LPCSTR argument);  // MAKEINTRESOURCEA, "#123" or a name
  bool IsInteger() const { return name.empty(); }
  WORD id = 0;
  std::string name;  // upper case
};

class ResourceDirectory {
 public:
  struct Entry {
    uint32_t index = 0;  // position in the directory, for handles
    std::span<const uint8_t> data;
  };

  // An invalid directory (wrong magic, sizes that overrun) has no entries.
  explicit ResourceDirectory(std::span<const uint8_t> bytes);

  bool Valid() const { return FValid; }
  uint32_t Count() const { return FValid ? FCount : 0; }
  std::optional<Entry> Find(const ResourceKey& type, const ResourceKey& name) const;
  std::optional<Entry> At(uint32_t index) const;

 private:
  uint32_t Word(uint32_t offset) const;
  bool Matches(uint32_t field, const ResourceKey& key) const;

  std::span<const uint8_t> FBytes;
  uint32_t FCount = 0;
  bool FValid = false;
};

}  // namespace platform
