// The VS_VERSIONINFO block: checking a block read from a file, the buffer GetFileVersionInfoA
// fills, and the walk behind VerQueryValueA. Blocks come from files and may be damaged: no
// length in them is trusted beyond the block that holds it. Layer: platform core.
#pragma once

#include <cstdint>
#include <span>

#include "platform/win32/types.h"

namespace platform {

// The length of the sound version block at the start of `resource` (32-bit layout, key
// "VS_VERSION_INFO", length within the resource), or 0.
uint32_t VersionBlockLength(std::span<const uint8_t> resource);

// What GetFileVersionInfoSizeA reports for a block of `blockLength` bytes: the block, the
// "FE2X" mark and room for the Windows-1252 copies of its strings.
DWORD VersionBufferSize(uint32_t blockLength);

// Fills `buffer` as GetFileVersionInfoA does from a block VersionBlockLength accepted. A buffer
// smaller than VersionBufferSize gets the block cut to what fits, without room for copies of
// strings; false when not even a block header fits.
bool FillVersionBuffer(std::span<const uint8_t> block, void* buffer, DWORD size);

}  // namespace platform
