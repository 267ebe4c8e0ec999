// The layout of the resource directory that a program carries in an ELF section of its own,
// shared by the resource compiler (tools/) that writes it and the platform that reads it.
// Layer: platform core (header only, no dependencies, so that the build tool can include it).
//
// All numbers are little-endian 32-bit words. The directory starts with a header, then
// `count` entries, then string and data areas; every offset counts from the directory's start.
//   header: magic "CXRD", version 1, count, total size in bytes
//   entry:  type, name, data offset, data size
// A type or name with kNamedFlag set is the offset of an upper-case, NUL-terminated
// Windows-1252 name; without it, it is an integer identifier from 1 to 65535. Data starts on
// a kDataAlignment boundary.
#pragma once

#include <cstdint>

namespace platform::rsrc {

inline constexpr char kSectionName[] = "calvix_rsrc";
inline constexpr char kMagic[4] = {'C', 'X', 'R', 'D'};
inline constexpr uint32_t kVersion = 1;
inline constexpr uint32_t kHeaderSize = 16;
inline constexpr uint32_t kEntrySize = 16;
inline constexpr uint32_t kNamedFlag = 0x80000000u;
inline constexpr uint32_t kDataAlignment = 8;

}  // namespace platform::rsrc
