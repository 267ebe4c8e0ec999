// Colour tables for the generator's indexed pictures (the 256-colour skin, the 16-colour
// icon): a median cut that keeps named colours exact. Part of calvix-assets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assets {

// At most `size` colours (0x00RRGGBB) for `pixels`. Each colour of `keep` that occurs in the
// pixels gets an entry of its own with exactly its value; the others are found by median cut.
// The table never holds pure white unless the pixels do, so white can stay a key colour.
std::vector<uint32_t> ChoosePalette(const std::vector<uint32_t>& pixels, size_t size,
                                    const std::vector<uint32_t>& keep);

// The entry of `palette` closest to `color`.
uint32_t Nearest(const std::vector<uint32_t>& palette, uint32_t color);

}  // namespace assets
