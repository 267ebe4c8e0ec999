// Fuzzes the version block reader: the check of a block read from a file, the buffer that
// GetFileVersionInfoA fills (whole or cut short) and VerQueryValueA's walk, which must never
// read outside the buffer whatever the block's lengths claim.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <vector>

#include "platform/core/VersionInfo.h"
#include "platform/win32.h"

namespace {

volatile uint8_t gSink;

void Touch(const void* value, size_t length) {
  const auto* bytes = static_cast<const uint8_t*>(value);
  for (size_t i = 0; i < length; ++i)
    gSink = gSink ^ bytes[i];
}

void Query(std::vector<uint8_t>& buffer, const char* path, bool text) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(buffer.data(), path, &value, &length)) return;
  Touch(value, text ? std::strlen(static_cast<const char*>(value)) + 1 : length);
}

}  // namespace

// The first byte chooses how much room the caller gives GetFileVersionInfoA (0: all it asked
// for); the rest is the version resource as a file would hold it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::span<const uint8_t> resource(data + 1, size - 1);
  const uint32_t length = platform::VersionBlockLength(resource);
  if (length == 0) return 0;
  const DWORD full = platform::VersionBufferSize(length);
  const DWORD room = data[0] == 0 ? full : full * data[0] / 256;
  std::vector<uint8_t> buffer(room);
  if (!platform::FillVersionBuffer(resource.first(length), buffer.data(), room)) return 0;

  Query(buffer, "\\", false);
  Query(buffer, "\\VarFileInfo", false);
  Query(buffer, "\\StringFileInfo\\041604E4\\FileVersion", true);
  void* value = nullptr;
  UINT count = 0;
  if (VerQueryValueA(buffer.data(), "\\VarFileInfo\\Translation", &value, &count) &&
      count >= sizeof(DWORD)) {
    DWORD translation = 0;
    std::memcpy(&translation, value, sizeof translation);
    char path[64];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\FileVersion", LOWORD(translation),
                  HIWORD(translation));
    Query(buffer, path, true);
  }
  return 0;
}
