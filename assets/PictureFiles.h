// Turns the generator's scenes into the files the program reads: indexed Windows bitmaps with
// white as the see-through key, 16-colour icons with AND masks, and PNG files with alpha.
// Part of calvix-assets.
#pragma once

#include <cstdint>
#include <vector>

#include "assets/Scene.h"
#include "platform/core/Surface.h"

namespace assets {

constexpr uint32_t kKeyWhite = 0xFFFFFF;

// A picture whose pixels are all entries of its colour table.
struct TIndexed {
  platform::Surface pixels;
  std::vector<uint32_t> palette;
};

// The scene with hard outlines: a pixel is opaque when shapes cover at least half of it, and
// white otherwise. The opaque pixels share `colors` - 1 entries (the colours of `keep` among
// them exactly); white is the last entry.
TIndexed Keyed(const TScene& scene, size_t colors, const std::vector<uint32_t>& keep);

// A Windows bitmap of 1, 4 or 8 bits with exactly the picture's table (padded to full size).
std::vector<uint8_t> BmpFile(const TIndexed& picture, int bitsPerPixel);

// An icon file of 16-colour images, each the scene's hard outline as its AND mask.
std::vector<uint8_t> IcoFile(const std::vector<const TScene*>& images);

// A PNG file with the scene's coverage as alpha, so its edges stay smooth on any background.
std::vector<uint8_t> PngFile(const TScene& scene);

}  // namespace assets
