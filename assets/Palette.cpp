// Median cut over the distinct colours of a picture: the box with the widest channel is split
// at the middle of its colours until the table is full; each box gives its weighted mean.
// Everything is ordered by value, so the same picture always gives the same table.
// Part of calvix-assets.
#include "assets/Palette.h"

#include <algorithm>
#include <map>

namespace assets {
namespace {

struct TEntry {
  uint32_t color;
  size_t count;
};

int Channel(uint32_t color, int c) {
  return int((color >> (16 - 8 * c)) & 0xFF);
}

// The channel (0 red, 1 green, 2 blue) where the box spreads most, and how far.
std::pair<int, int> WidestChannel(const std::vector<TEntry>& box) {
  int best = 0, bestRange = -1;
  for (int c = 0; c < 3; ++c) {
    int low = 255, high = 0;
    for (const TEntry& e : box) {
      low = std::min(low, Channel(e.color, c));
      high = std::max(high, Channel(e.color, c));
    }
    if (high - low > bestRange) best = c, bestRange = high - low;
  }
  return {best, bestRange};
}

uint32_t Mean(const std::vector<TEntry>& box) {
  double sum[3] = {0, 0, 0};
  double total = 0;
  for (const TEntry& e : box) {
    for (int c = 0; c < 3; ++c)
      sum[c] += double(Channel(e.color, c)) * double(e.count);
    total += double(e.count);
  }
  uint32_t color = 0;
  for (int c = 0; c < 3; ++c)
    color = color << 8 | uint32_t(sum[c] / total + 0.5);
  return color == 0xFFFFFF ? 0xFEFEFE : color;
}

std::vector<std::vector<TEntry>> Cut(std::vector<TEntry> all, size_t boxes) {
  std::vector<std::vector<TEntry>> result;
  if (all.empty() || boxes == 0) return result;
  result.push_back(std::move(all));
  while (result.size() < boxes) {
    size_t widest = result.size();
    int widestChannel = 0, widestRange = 0;
    for (size_t i = 0; i < result.size(); ++i) {
      if (result[i].size() < 2) continue;
      const auto [channel, range] = WidestChannel(result[i]);
      if (range > widestRange) widest = i, widestChannel = channel, widestRange = range;
    }
    if (widest == result.size()) break;  // every box holds one colour
    std::vector<TEntry>& box = result[widest];
    std::sort(box.begin(), box.end(), [widestChannel](const TEntry& a, const TEntry& b) {
      const int ca = Channel(a.color, widestChannel), cb = Channel(b.color, widestChannel);
      return ca != cb ? ca < cb : a.color < b.color;
    });
    std::vector<TEntry> upper(box.begin() + std::ptrdiff_t(box.size() / 2), box.end());
    box.resize(box.size() / 2);
    result.push_back(std::move(upper));
  }
  return result;
}

uint32_t Distance(uint32_t a, uint32_t b) {
  uint32_t d = 0;
  for (int c = 0; c < 3; ++c) {
    const int v = Channel(a, c) - Channel(b, c);
    d += uint32_t(v * v);
  }
  return d;
}

}  // namespace

std::vector<uint32_t> ChoosePalette(const std::vector<uint32_t>& pixels, size_t size,
                                    const std::vector<uint32_t>& keep) {
  std::map<uint32_t, size_t> histogram;
  for (uint32_t p : pixels)
    ++histogram[p & 0xFFFFFF];
  std::vector<uint32_t> palette;
  for (uint32_t k : keep) {
    if (histogram.erase(k) > 0 && palette.size() < size) palette.push_back(k);
  }
  std::vector<TEntry> rest;
  for (const auto& [color, count] : histogram)
    rest.push_back({color, count});
  for (const std::vector<TEntry>& box : Cut(std::move(rest), size - palette.size()))
    palette.push_back(box.size() == 1 ? box.front().color : Mean(box));
  return palette;
}

uint32_t Nearest(const std::vector<uint32_t>& palette, uint32_t color) {
  uint32_t best = palette.empty() ? 0 : palette.front();
  for (uint32_t entry : palette)
    if (Distance(entry, color) < Distance(best, color)) best = entry;
  return best;
}

}  // namespace assets
