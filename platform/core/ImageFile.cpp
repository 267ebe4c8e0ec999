// Windows bitmap and icon codecs: every length and offset is checked against the bytes at hand
// before anything is read, and every size against kMaxPixels before anything is allocated.
// Internal to platform/.
#include "platform/core/ImageFile.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <map>

#include "platform/core/LittleEndian.h"

namespace platform::image {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kMaxHeaderSize = 256;
constexpr size_t kIconDirSize = 6;
constexpr size_t kIconEntrySize = 16;
constexpr size_t kGroupEntrySize = 14;  // a group icon resource's entry: an id for the offset
constexpr uint32_t kDefault16[3] = {0x7C00, 0x03E0, 0x001F};
constexpr uint32_t kDefault32[3] = {0xFF0000, 0x00FF00, 0x0000FF};

using le::Put16;
using le::Put32;

// --- Channel masks ---

// One colour channel of a bitfields pixel: where its bits are and how many there are.
struct TChannel {
  int shift = 0;
  int bits = 0;
};

bool MakeChannel(uint32_t mask, TChannel& channel) {
  if (mask == 0) return false;
  channel.shift = std::countr_zero(mask);
  const uint32_t field = mask >> channel.shift;
  channel.bits = std::popcount(field);
  return (field & (field + 1)) == 0;  // the bits must be contiguous
}

uint32_t FieldMask(int bits) {
  return bits >= 32 ? ~0u : (1u << bits) - 1;
}

// Widens a channel value to 8 bits by repeating its bits, so that full scale stays full scale.
uint32_t Widen(uint32_t value, int bits) {
  if (bits >= 8) return (value >> (bits - 8)) & 0xFF;
  uint32_t result = 0;
  int filled = 0;
  while (filled < 8) {
    result = (result << bits) | value;
    filled += bits;
  }
  return (result >> (filled - 8)) & 0xFF;
}

uint32_t Narrow(uint32_t value8, const TChannel& channel) {
  const uint32_t v =
      channel.bits >= 8 ? value8 << (channel.bits - 8) : value8 >> (8 - channel.bits);
  return v << channel.shift;
}

// --- Colour tables ---

uint32_t Distance(uint32_t a, uint32_t b) {
  const int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
  const int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
  const int db = int(a & 0xFF) - int(b & 0xFF);
  return uint32_t(dr * dr + dg * dg + db * db);
}

}  // namespace

std::vector<uint32_t> StandardPalette(int bitsPerPixel) {
  if (bitsPerPixel == 1) return {0x000000, 0xFFFFFF};
  if (bitsPerPixel == 4) {
    return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
            0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  }
  std::vector<uint32_t> palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette.push_back(uint32_t(r * 51 << 16 | g * 51 << 8 | b * 51));
  for (int i = 0; i < 40; ++i)
    palette.push_back(uint32_t(i * 255 / 39) * 0x010101);
  return palette;
}

namespace {

// Maps colours to table indices, remembering the answers (pictures repeat their colours).
class TNearest {
 public:
  explicit TNearest(const std::vector<uint32_t>& palette) : FPalette(palette) {}
  uint32_t Index(uint32_t color) {
    const auto found = FCache.find(color);
    if (found != FCache.end()) return found->second;
    uint32_t best = 0, bestDistance = std::numeric_limits<uint32_t>::max();
    for (size_t i = 0; i < FPalette.size(); ++i) {
      const uint32_t d = Distance(color, FPalette[i]);
      if (d < bestDistance) bestDistance = d, best = uint32_t(i);
    }
    FCache.emplace(color, best);
    return best;
  }

 private:
  const std::vector<uint32_t>& FPalette;
  std::map<uint32_t, uint32_t> FCache;
};

const uint32_t* EffectiveMasks(const TDibFormat& format) {
  if (format.bitfields) return format.masks;
  return format.bitsPerPixel == 16 ? kDefault16 : kDefault32;
}

bool ValidDepth(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// --- Pixel rows ---

bool DecodeIndexedRow(const TDibFormat& format, const uint8_t* row, uint32_t* out) {
  const int bpp = format.bitsPerPixel;
  const uint32_t count = uint32_t(format.palette.size());
  if (bpp == 8) {  // the common depth, one index a byte
    for (int x = 0; x < format.width; ++x) {
      if (row[x] >= count) return false;
      out[x] = format.palette[row[x]];
    }
    return true;
  }
  for (int x = 0; x < format.width; ++x) {
    const size_t bit = size_t(x) * bpp;
    const uint32_t index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
    if (index >= count) return false;
    out[x] = format.palette[index];
  }
  return true;
}

void DecodeDirectRow(const TDibFormat& format, const TChannel* channels, const uint8_t* row,
                     uint32_t* out) {
  // Eight bits a channel where a surface keeps them, as every bitmap the toolkit makes is.
  const bool surfaceLayout = format.bitsPerPixel == 32 && channels[0].shift == 16 &&
                             channels[0].bits == 8 && channels[1].shift == 8 &&
                             channels[1].bits == 8 && channels[2].shift == 0 &&
                             channels[2].bits == 8;
  if (surfaceLayout) {
    for (int x = 0; x < format.width; ++x)
      out[x] = le::Read32(row + size_t(x) * 4) & 0x00FFFFFF;
    return;
  }
  for (int x = 0; x < format.width; ++x) {
    if (format.bitsPerPixel == 24) {
      const uint8_t* p = row + size_t(x) * 3;
      out[x] = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      continue;
    }
    const uint32_t v = format.bitsPerPixel == 16 ? le::Read16(row + size_t(x) * 2)
                                                 : le::Read32(row + size_t(x) * 4);
    uint32_t pixel = 0;
    for (int c = 0; c < 3; ++c) {
      pixel = pixel << 8 |
              Widen((v >> channels[c].shift) & FieldMask(channels[c].bits), channels[c].bits);
    }
    out[x] = pixel;
  }
}

void EncodeRow(const TDibFormat& format, const TChannel* channels, TNearest* nearest,
               const uint32_t* in, uint8_t* row) {
  const int bpp = format.bitsPerPixel;
  std::memset(row, 0, format.Stride());
  for (int x = 0; x < format.width; ++x) {
    const uint32_t c = in[x] & 0xFFFFFF;
    if (bpp <= 8) {
      const size_t bit = size_t(x) * bpp;
      row[bit / 8] |= uint8_t(nearest->Index(c) << (8 - bpp - bit % 8));
    } else if (bpp == 24) {
      row[x * 3] = uint8_t(c), row[x * 3 + 1] = uint8_t(c >> 8), row[x * 3 + 2] = uint8_t(c >> 16);
    } else {
      const uint32_t v = Narrow(c >> 16, channels[0]) | Narrow((c >> 8) & 0xFF, channels[1]) |
                         Narrow(c & 0xFF, channels[2]);
      for (int b = 0; b < bpp / 8; ++b)
        row[size_t(x) * (bpp / 8) + b] = uint8_t(v >> (8 * b));
    }
  }
}

bool MakeChannels(const TDibFormat& format, TChannel* channels) {
  if (format.bitsPerPixel != 16 && format.bitsPerPixel != 32) return true;
  const uint32_t* masks = EffectiveMasks(format);
  for (int c = 0; c < 3; ++c)
    if (!MakeChannel(masks[c], channels[c])) return false;
  return true;
}

// --- Headers ---

bool ParseCoreHeader(const uint8_t* data, size_t size, TDibFormat& format, size_t& consumed) {
  format.width = le::Read16(data + 4);
  format.height = le::Read16(data + 6);
  format.bitsPerPixel = le::Read16(data + 10);
  if (le::Read16(data + 8) != 1 || !ValidDepth(format.bitsPerPixel) || format.bitsPerPixel == 16 ||
      format.bitsPerPixel == 32)
    return false;
  consumed = kCoreHeaderSize;
  if (format.bitsPerPixel <= 8) {
    const size_t count = size_t(1) << format.bitsPerPixel;
    if (size - consumed < count * 3) return false;
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* p = data + consumed + i * 3;
      format.palette.push_back(uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0]);
    }
    consumed += count * 3;
  }
  return true;
}

bool ParseMasks(const uint8_t* data, size_t size, uint32_t headerSize, TDibFormat& format,
                size_t& consumed) {
  if (format.bitsPerPixel != 16 && format.bitsPerPixel != 32) return false;
  format.bitfields = true;
  const size_t at = headerSize >= 52 ? kInfoHeaderSize : consumed;
  if (at + 12 > size) return false;
  for (int c = 0; c < 3; ++c)
    format.masks[c] = le::Read32(data + at + 4 * c);
  if (headerSize < 52) consumed += 12;
  TChannel channels[3];
  return MakeChannels(format, channels);
}

bool ParseColorTable(const uint8_t* data, size_t size, uint32_t used, TDibFormat& format,
                     size_t& consumed) {
  size_t count = used;
  if (format.bitsPerPixel <= 8) {
    const size_t full = size_t(1) << format.bitsPerPixel;
    if (count > full) return false;
    if (count == 0) count = full;
  } else if (count > 256) {
    return false;
  }
  if ((size - consumed) / 4 < count) return false;
  if (format.bitsPerPixel <= 8) {
    for (size_t i = 0; i < count; ++i)
      format.palette.push_back(le::Read32(data + consumed + i * 4) & 0xFFFFFF);
  }
  consumed += count * 4;  // a table beside direct colours is only a hint and is skipped
  return true;
}

void AppendFileHeader(size_t total, size_t bitsOffset, std::vector<uint8_t>& out) {
  out.push_back('B');
  out.push_back('M');
  Put32(out, uint32_t(total));
  Put32(out, 0);
  Put32(out, uint32_t(bitsOffset));
}

}  // namespace

// --- Formats ---

size_t TDibFormat::Stride() const {
  if (width <= 0 || bitsPerPixel <= 0) return 0;
  const uint64_t bits = uint64_t(width) * uint64_t(bitsPerPixel);
  return size_t((bits + 31) / 32 * 4);
}

size_t TDibFormat::ImageSize() const {
  if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) > kMaxPixels) return 0;
  return Stride() * size_t(height);
}

TDibFormat MakeFormat(const Surface& pixels, int bitsPerPixel, bool topDown) {
  TDibFormat format;
  format.width = pixels.width;
  format.height = pixels.height;
  format.topDown = topDown;
  format.bitsPerPixel = bitsPerPixel;
  if (bitsPerPixel > 8) return format;
  const size_t room = size_t(1) << bitsPerPixel;
  std::vector<uint32_t> colors;
  for (uint32_t p : pixels.pixels) {
    const uint32_t c = p & 0xFFFFFF;
    if (std::find(colors.begin(), colors.end(), c) != colors.end()) continue;
    colors.push_back(c);
    if (colors.size() > room) break;
  }
  if (colors.size() > room) {
    format.palette = StandardPalette(bitsPerPixel);
    return format;
  }
  std::sort(colors.begin(), colors.end());
  if (bitsPerPixel == 1 && colors.size() < 2) colors = {0x000000, 0xFFFFFF};
  format.palette = colors;
  return format;
}

bool ParseDibHeader(const uint8_t* data, size_t size, TDibFormat& format, size_t& consumed) {
  format = TDibFormat{};
  if (size < 4) return false;
  const uint32_t headerSize = le::Read32(data);
  if (headerSize == kCoreHeaderSize && size >= kCoreHeaderSize)
    return ParseCoreHeader(data, size, format, consumed);
  if (headerSize < kInfoHeaderSize || headerSize > kMaxHeaderSize || headerSize > size)
    return false;
  const int32_t width = int32_t(le::Read32(data + 4));
  const int32_t height = int32_t(le::Read32(data + 8));
  format.bitsPerPixel = le::Read16(data + 14);
  const uint32_t compression = le::Read32(data + 16);
  if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min()) return false;
  if (le::Read16(data + 12) != 1 || !ValidDepth(format.bitsPerPixel)) return false;
  format.width = width;
  format.height = height < 0 ? -height : height;
  format.topDown = height < 0;
  if (uint64_t(format.width) * uint64_t(format.height) > kMaxPixels) return false;
  consumed = headerSize;
  if (compression == kBiBitfields) {
    if (!ParseMasks(data, size, headerSize, format, consumed)) return false;
  } else if (compression != kBiRgb) {
    return false;
  }
  return ParseColorTable(data, size, le::Read32(data + 32), format, consumed);
}

void AppendDibHeader(const TDibFormat& format, std::vector<uint8_t>& out) {
  Put32(out, kInfoHeaderSize);
  Put32(out, uint32_t(format.width));
  Put32(out, uint32_t(format.topDown ? -format.height : format.height));
  Put16(out, 1);
  Put16(out, uint32_t(format.bitsPerPixel));
  Put32(out, format.bitfields ? kBiBitfields : kBiRgb);
  Put32(out, uint32_t(format.ImageSize()));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, uint32_t(format.bitsPerPixel <= 8 ? format.palette.size() : 0));
  Put32(out, 0);
  if (format.bitfields)
    for (uint32_t mask : format.masks)
      Put32(out, mask);
  if (format.bitsPerPixel <= 8)
    for (uint32_t color : format.palette)
      Put32(out, color & 0xFFFFFF);
}

// --- Pixels ---

bool DecodePixels(const TDibFormat& format, const uint8_t* bits, size_t size, Surface& out) {
  const size_t imageSize = format.ImageSize();
  if (imageSize == 0 || size < imageSize) return false;
  out.Resize(format.width, format.height, 0);
  return DecodeRows(format, bits, out, 0, format.height);
}

bool DecodeRows(const TDibFormat& format, const uint8_t* bits, Surface& out, int top, int bottom) {
  TChannel channels[3];
  if (!MakeChannels(format, channels)) return false;
  if (format.bitsPerPixel <= 8 && format.palette.empty()) return false;
  const size_t stride = format.Stride();
  for (int y = std::max(top, 0); y < bottom && y < format.height && y < out.height; ++y) {
    const int r = format.topDown ? y : format.height - 1 - y;
    const uint8_t* row = bits + size_t(r) * stride;
    uint32_t* target = out.Row(y);
    if (format.bitsPerPixel <= 8) {
      if (!DecodeIndexedRow(format, row, target)) return false;
    } else {
      DecodeDirectRow(format, channels, row, target);
    }
  }
  return true;
}

void EncodePixels(const Surface& pixels, const TDibFormat& format, uint8_t* bits) {
  EncodeRows(pixels, format, bits, 0, format.height);
}

void EncodeRows(const Surface& pixels, const TDibFormat& format, uint8_t* bits, int top,
                int bottom) {
  TChannel channels[3];
  if (!MakeChannels(format, channels) || pixels.width < format.width) return;
  TNearest nearest(format.palette);
  const size_t stride = format.Stride();
  for (int y = std::max(top, 0); y < bottom && y < format.height && y < pixels.height; ++y) {
    const int r = format.topDown ? y : format.height - 1 - y;
    EncodeRow(format, channels, &nearest, pixels.Row(y), bits + size_t(r) * stride);
  }
}

// --- BMP files ---

bool ReadPackedDib(const uint8_t* data, size_t size, TBitmapFile& out) {
  size_t consumed = 0;
  if (!ParseDibHeader(data, size, out.format, consumed)) return false;
  return DecodePixels(out.format, data + consumed, size - consumed, out.pixels);
}

bool ReadBmp(const uint8_t* data, size_t size, TBitmapFile& out) {
  if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t bitsOffset = le::Read32(data + 10);
  const uint8_t* dib = data + kFileHeaderSize;
  const size_t dibSize = size - kFileHeaderSize;
  size_t consumed = 0;
  if (!ParseDibHeader(dib, dibSize, out.format, consumed)) return false;
  // The pixels must start after the header and table, and all of them must be in the file.
  if (bitsOffset < kFileHeaderSize + consumed || bitsOffset > size) return false;
  return DecodePixels(out.format, data + bitsOffset, size - bitsOffset, out.pixels);
}

std::vector<uint8_t> WriteBmp(const Surface& pixels, const TDibFormat& format) {
  std::vector<uint8_t> out;
  if (format.ImageSize() == 0) return out;
  std::vector<uint8_t> header;
  AppendDibHeader(format, header);
  const size_t bitsOffset = kFileHeaderSize + header.size();
  AppendFileHeader(bitsOffset + format.ImageSize(), bitsOffset, out);
  out.insert(out.end(), header.begin(), header.end());
  out.resize(bitsOffset + format.ImageSize());
  EncodePixels(pixels, format, out.data() + bitsOffset);
  return out;
}

std::vector<uint8_t> WriteBmp(const Surface& pixels, int bitsPerPixel) {
  if (!ValidDepth(bitsPerPixel)) return {};
  return WriteBmp(pixels, MakeFormat(pixels, bitsPerPixel));
}

// --- Icons ---

namespace {

void DecodeMask(const uint8_t* bits, int width, int height, bool topDown, Surface& mask) {
  const size_t stride = (size_t(width) + 31) / 32 * 4;
  mask.Resize(width, height, 0);
  for (int r = 0; r < height; ++r) {
    const uint8_t* row = bits + size_t(r) * stride;
    uint32_t* target = mask.Row(topDown ? r : height - 1 - r);
    for (int x = 0; x < width; ++x)
      target[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFF : 0;
  }
}

// A 32-bit image that carries alpha uses it instead of its AND mask: the see-through pixels
// become black, so that drawing through the mask leaves what lies under them.
void ApplyAlpha(const TDibFormat& format, const uint8_t* bits, TIconImage& image) {
  if (format.bitsPerPixel != 32 || format.bitfields) return;
  const size_t stride = format.Stride();
  bool hasAlpha = false;
  for (int r = 0; r < format.height && !hasAlpha; ++r)
    for (int x = 0; x < format.width && !hasAlpha; ++x)
      hasAlpha = bits[size_t(r) * stride + size_t(x) * 4 + 3] != 0;
  if (!hasAlpha) return;
  for (int r = 0; r < format.height; ++r) {
    const int y = format.topDown ? r : format.height - 1 - r;
    for (int x = 0; x < format.width; ++x) {
      const bool clear = bits[size_t(r) * stride + size_t(x) * 4 + 3] < 0x80;
      image.mask.At(x, y) = clear ? 0xFFFFFF : 0;
      if (clear) image.color.At(x, y) = 0;
    }
  }
}

}  // namespace

bool ReadIconImage(const uint8_t* data, size_t size, TIconImage& out) {
  TDibFormat format;
  size_t consumed = 0;
  if (!ParseDibHeader(data, size, format, consumed) || format.height % 2 != 0) return false;
  format.height /= 2;  // the header counts the colours and the mask together
  const size_t imageSize = format.ImageSize();
  const size_t maskSize = (size_t(format.width) + 31) / 32 * 4 * size_t(format.height);
  if (imageSize == 0 || size - consumed < imageSize || size - consumed - imageSize < maskSize)
    return false;
  const uint8_t* bits = data + consumed;
  if (!DecodePixels(format, bits, imageSize, out.color)) return false;
  DecodeMask(bits + imageSize, format.width, format.height, format.topDown, out.mask);
  out.bitsPerPixel = format.bitsPerPixel;
  ApplyAlpha(format, bits, out);
  return true;
}

int ChooseIcon(const std::vector<TIconCandidate>& candidates, int cx, int cy, int bitsPerPixel) {
  int best = -1;
  int64_t bestDistance = 0, bestDepth = 0;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const TIconCandidate& c = candidates[i];
    const int64_t distance = std::abs(int64_t(c.width) - cx) + std::abs(int64_t(c.height) - cy);
    const int64_t depth = std::abs(int64_t(c.bitsPerPixel) - bitsPerPixel);
    if (best < 0 || distance < bestDistance || (distance == bestDistance && depth < bestDepth)) {
      best = int(i);
      bestDistance = distance;
      bestDepth = depth;
    }
  }
  return best;
}

size_t GroupIconDirectorySize(const uint8_t* data) {
  return kIconDirSize + size_t(le::Read16(data + 4)) * kGroupEntrySize;
}

bool ReadGroupIconDirectory(const uint8_t* data, size_t size,
                            std::vector<TIconCandidate>& candidates, std::vector<uint16_t>& ids) {
  candidates.clear();
  ids.clear();
  if (size < kIconDirSize || le::Read16(data) != 0 || le::Read16(data + 2) != 1) return false;
  const size_t count = le::Read16(data + 4);
  if ((size - kIconDirSize) / kGroupEntrySize < count) return false;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = data + kIconDirSize + i * kGroupEntrySize;
    candidates.push_back(
        {entry[0] ? entry[0] : 256, entry[1] ? entry[1] : 256, int(le::Read16(entry + 6))});
    ids.push_back(le::Read16(entry + 12));
  }
  return true;
}

bool ReadIco(const uint8_t* data, size_t size, std::vector<TIconImage>& out) {
  out.clear();
  if (size < kIconDirSize || le::Read16(data) != 0 || le::Read16(data + 2) != 1) return false;
  const size_t count = le::Read16(data + 4);
  if (count == 0 || (size - kIconDirSize) / kIconEntrySize < count) return false;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = data + kIconDirSize + i * kIconEntrySize;
    const uint32_t length = le::Read32(entry + 8);
    const uint32_t offset = le::Read32(entry + 12);
    if (offset > size || length > size - offset) return false;
    TIconImage image;
    if (!ReadIconImage(data + offset, length, image)) return false;
    out.push_back(std::move(image));
  }
  return true;
}

}  // namespace platform::image
