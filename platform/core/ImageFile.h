// Windows bitmap (BMP, packed DIB) and icon (ICO) codecs over plain bytes, shared by the
// drawing functions, LoadImageA and the executable's resources. Internal to platform/.
// Every reader checks sizes and offsets before it reads and rejects what does not add up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/core/Surface.h"

namespace platform::image {

// The layout of a device-independent bitmap's pixels, taken from (or made for) its header.
struct TDibFormat {
  int width = 0;
  int height = 0;  // always positive; `topDown` says which way the rows run
  bool topDown = false;
  int bitsPerPixel = 0;           // 1, 4, 8, 16, 24 or 32
  bool bitfields = false;         // 16 and 32 bits: masks below instead of the defaults
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue
  std::vector<uint32_t> palette;  // 0x00RRGGBB, for 1, 4 and 8 bits

  // Bytes per row, rounded up to 32 bits as DIBs store them; 0 when it would overflow.
  size_t Stride() const;
  // Bytes of all rows; 0 when it would overflow or exceed the readers' limit.
  size_t ImageSize() const;
};

// The largest number of pixels a reader accepts, so that a lying header cannot make it
// allocate without bound.
constexpr uint64_t kMaxPixels = uint64_t(1) << 26;

// The standard formats the writers produce: the default 5-5-5 layout for 16 bits, a colour
// table built from the picture for 1, 4 and 8 bits (the nearest of a fixed table when the
// picture has more colours than fit).
TDibFormat MakeFormat(const Surface& pixels, int bitsPerPixel, bool topDown = false);

// The colour table a bitmap of 1, 4 or 8 bits gets when nothing else is known: black and
// white, the sixteen VGA colours, or a colour cube with a grey ramp.
std::vector<uint32_t> StandardPalette(int bitsPerPixel);

// Parses a BITMAPINFOHEADER (or a larger or a core header) with its masks and colour table.
// `consumed` receives the bytes taken by header, masks and table. Compressed formats other
// than BI_BITFIELDS are rejected.
bool ParseDibHeader(const uint8_t* data, size_t size, TDibFormat& format, size_t& consumed);

// Writes a BITMAPINFOHEADER, masks (for bitfields) and colour table for `format`.
void AppendDibHeader(const TDibFormat& format, std::vector<uint8_t>& out);

// Converts `format.ImageSize()` bytes of rows into top-down pixels. Fails on a colour index
// outside the table or when `size` is short.
bool DecodePixels(const TDibFormat& format, const uint8_t* bits, size_t size, Surface& out);

// Converts pixels into rows of `format` (the surface must have the format's size); colours
// are mapped to the nearest table entry at 1, 4 and 8 bits.
void EncodePixels(const Surface& pixels, const TDibFormat& format, uint8_t* bits);

// The same two conversions for the surface rows top to bottom (exclusive) only, for bitmaps
// whose rows are kept in DIB form and synchronised a band at a time. `bits` holds the whole
// image; `out` already has the format's size.
bool DecodeRows(const TDibFormat& format, const uint8_t* bits, Surface& out, int top, int bottom);
void EncodeRows(const Surface& pixels, const TDibFormat& format, uint8_t* bits, int top,
                int bottom);

// A whole BMP file: file header, info header, table and rows.
struct TBitmapFile {
  Surface pixels;
  TDibFormat format;
};
bool ReadBmp(const uint8_t* data, size_t size, TBitmapFile& out);
// A packed DIB (header, table, rows), as the clipboard and bitmap resources hold it.
bool ReadPackedDib(const uint8_t* data, size_t size, TBitmapFile& out);
// Writes `pixels` at 1, 4, 8, 16 (5-5-5), 24 or 32 bits, bottom-up, BI_RGB.
std::vector<uint8_t> WriteBmp(const Surface& pixels, int bitsPerPixel);
std::vector<uint8_t> WriteBmp(const Surface& pixels, const TDibFormat& format);

// One image of an icon: its colours and its AND mask (white where the icon is transparent).
struct TIconImage {
  Surface color;
  Surface mask;
  int bitsPerPixel = 0;
};

// One icon image as a DIB of twice its height (colours, then the AND mask), the form an ICO
// entry and an icon resource hold.
bool ReadIconImage(const uint8_t* data, size_t size, TIconImage& out);

// What a directory says of an image, for choosing one before decoding it.
struct TIconCandidate {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
};
// The colour depth of every screen here, which icons are chosen for unless asked for monochrome.
constexpr int kScreenBitsPerPixel = 32;
// The index of the image that suits `cx` by `cy` pixels at `bitsPerPixel` best, or -1 when there
// is none. As Windows chooses (the reference run settles it): the least sum of the width's and
// the height's distances from the request, larger or smaller alike; among those, the depth
// nearest `bitsPerPixel`; among those, the first. LookupIconIdFromDirectoryEx, LoadImageA and
// the toolkit's icons all choose through it.
int ChooseIcon(const std::vector<TIconCandidate>& candidates, int cx, int cy,
               int bitsPerPixel = kScreenBitsPerPixel);

// The directory of a group icon resource (RT_GROUP_ICON): a header like an ICO file's, then one
// 14-byte entry per image that names the RT_ICON resource holding it. A size byte of 0 stands
// for 256 pixels. `ids` receives each image's RT_ICON id, in the order of `candidates`. Fails when
// the header is not an icon directory's or the entries overrun `size`.
bool ReadGroupIconDirectory(const uint8_t* data, size_t size,
                            std::vector<TIconCandidate>& candidates, std::vector<uint16_t>& ids);
// The bytes a group icon directory of `data`'s entry count takes, read from its header.
size_t GroupIconDirectorySize(const uint8_t* data);

// Every image of an ICO file, in the file's order. Fails when the directory or any image it
// names is damaged.
bool ReadIco(const uint8_t* data, size_t size, std::vector<TIconImage>& out);

}  // namespace platform::image
