// Fuzzes the reading of a program file's resources: the ELF headers that lead to the resource
// section, the resource directory inside it and the version block it names. The input is the
// whole file.
#include <cstdint>
#include <cstring>
#include <span>

#include "platform/core/ElfSection.h"
#include "platform/core/ResourceDirectory.h"
#include "platform/core/ResourceFormat.h"
#include "platform/core/VersionInfo.h"
#include "platform/win32.h"

namespace {

volatile uint8_t gSink;

void ReadDirectory(std::span<const uint8_t> bytes) {
  const platform::ResourceDirectory directory(bytes);
  for (uint32_t i = 0; i < directory.Count(); ++i) {
    if (const auto entry = directory.At(i)) {
      for (const uint8_t byte : entry->data)
        gSink = gSink ^ byte;
    }
  }
  using platform::ResourceKey;
  directory.Find(ResourceKey::FromArgument("CALVIX"), ResourceKey::FromArgument(RT_GROUP_ICON));
  if (const auto version = directory.Find(ResourceKey::FromArgument(RT_VERSION),
                                          ResourceKey::FromArgument(MAKEINTRESOURCEA(1)))) {
    platform::VersionBlockLength(version->data);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const platform::ReadAtFunction readAt = [data, size](uint64_t offset, void* out, size_t n) {
    if (offset > size || n > size - offset) return false;
    std::memcpy(out, data + offset, n);
    return true;
  };
  if (const auto section = platform::ReadElfSection(readAt, size, platform::rsrc::kSectionName)) {
    ReadDirectory(*section);
  } else {
    ReadDirectory(std::span<const uint8_t>(data, size));  // the directory on its own
  }
  return 0;
}
