// Reading and writing the little-endian 16- and 32-bit fields of Windows file formats (bitmaps,
// icons, resources, version blocks). Layer: platform core (header only, no dependencies, so
// that the build tools can include it too).
#pragma once

#include <cstdint>
#include <vector>

namespace platform::le {

// The callers check the length of what they read before calling: these only assemble bytes.
inline uint16_t Read16(const uint8_t* p) {
  return uint16_t(p[0] | (p[1] << 8));
}

inline uint32_t Read32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(uint8_t(value));
  out.push_back(uint8_t(value >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace platform::le
