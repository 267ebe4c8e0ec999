// A small PNG writer for the build tools: 8-bit RGB or RGBA rows in stored (uncompressed)
// deflate blocks, so that the same pixels always give the same bytes. Not part of the program.
#pragma once

#include <cstdint>
#include <vector>

namespace tools {

// `pixels` holds `width` × `height` words, top row first, as 0xAARRGGBB; the alpha byte is
// written only when `withAlpha` is set (RGBA), otherwise it is ignored (RGB).
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint32_t>& pixels,
                               bool withAlpha);

}  // namespace tools
