// Bitmaps: device-dependent (monochrome or 32 bits), DIB sections, the DIB conversions and
// GetObjectA. Internal to platform/ (portable core).
#include <algorithm>
#include <cstring>

#include "platform/core/GdiObjects.h"
#include "platform/win32.h"

using namespace platform;
using namespace platform::gdi;

namespace {

// The most bytes GetDIBits and CreateDIBSection read of a BITMAPINFO: the largest header,
// its masks and a full colour table.
constexpr size_t kMaxBitmapInfo = 256 + 12 + 256 * 4;

HBITMAP AddBitmap(int width, int height, int bitsPerPixel) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->type = OBJ_BITMAP;
  bitmap->bitsPerPixel = bitsPerPixel;
  bitmap->surface = Surface(width, height, 0);
  return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

bool SizeAllowed(int width, int height) {
  return width > 0 && height > 0 && uint64_t(width) * uint64_t(height) <= image::kMaxPixels;
}

// Rows of device-dependent bitmaps are aligned to 16 bits.
LONG DeviceStride(int width, int bitsPerPixel) {
  return (width * bitsPerPixel + 15) / 16 * 2;
}

void LoadDeviceBits(TBitmap& bitmap, const uint8_t* bits) {
  Surface& s = bitmap.surface;
  const LONG stride = DeviceStride(s.width, bitmap.bitsPerPixel);
  for (int y = 0; y < s.height; ++y) {
    const uint8_t* row = bits + size_t(y) * stride;
    for (int x = 0; x < s.width; ++x) {
      if (bitmap.Mono()) {
        s.At(x, y) = (row[x / 8] >> (7 - x % 8)) & 1 ? 0xFFFFFF : 0;
      } else {
        const uint8_t* p = row + size_t(x) * 4;
        s.At(x, y) = uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
      }
    }
  }
}

bool ParseInfo(const BITMAPINFO* info, image::TDibFormat& format) {
  size_t consumed = 0;
  return info && image::ParseDibHeader(reinterpret_cast<const uint8_t*>(info), kMaxBitmapInfo,
                                       format, consumed);
}

// The colour table GetDIBits reports for a bitmap at an indexed depth.
std::vector<uint32_t> TableFor(const TBitmap& bitmap, int bitsPerPixel) {
  if (bitmap.section && bitmap.format.bitsPerPixel == bitsPerPixel) return bitmap.format.palette;
  return image::StandardPalette(bitsPerPixel);
}

void WriteTable(const std::vector<uint32_t>& palette, BITMAPINFO* info) {
  for (size_t i = 0; i < palette.size(); ++i) {
    const uint32_t c = palette[i];
    info->bmiColors[i] = RGBQUAD{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0};
  }
}

void DescribeBitmap(const TBitmap& bitmap, BITMAPINFOHEADER& header) {
  const int bpp = bitmap.section ? bitmap.format.bitsPerPixel : bitmap.bitsPerPixel;
  header.biWidth = bitmap.surface.width;
  header.biHeight = bitmap.surface.height;
  header.biPlanes = 1;
  header.biBitCount = WORD(bpp);
  header.biCompression = BI_RGB;
  header.biClrUsed = 0;
  header.biClrImportant = 0;
}

// Copies the rows of `from` that the DIB rows [first, first + count) cover into `to`.
void CopyDibRows(const Surface& from, Surface& to, const image::TDibFormat& format, int first,
                 int count, bool mono) {
  for (int r = first; r < first + count && r < format.height; ++r) {
    const int y = format.topDown ? r : format.height - 1 - r;
    if (y >= from.height || y >= to.height) continue;
    for (int x = 0; x < from.width && x < to.width; ++x) {
      const uint32_t p = from.At(x, y);
      to.At(x, y) = mono ? (NearerWhite(p) ? 0xFFFFFF : 0) : p;
    }
  }
}

// Whether rows of `format` are already laid out as `section`'s own bits are: same size,
// direction, depth, masks and colour table (padded as CreateDIBSection pads it).
bool SameLayout(const TBitmap& section, const image::TDibFormat& format) {
  const image::TDibFormat& own = section.format;
  if (own.width != format.width || own.height != format.height || own.topDown != format.topDown ||
      own.bitsPerPixel != format.bitsPerPixel || own.bitfields != format.bitfields ||
      !std::equal(own.masks, own.masks + 3, format.masks)) {
    return false;
  }
  if (format.bitsPerPixel > 8) return true;
  std::vector<uint32_t> palette = format.palette;
  palette.resize(size_t(1) << format.bitsPerPixel, 0);
  return palette == own.palette;
}

}  // namespace

extern "C" {

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount,
                            const void* lpBits) {
  // An empty size gives the 1 by 1 monochrome bitmap that Win32 hands out as a stock object.
  if (nWidth == 0 || nHeight == 0) return AddBitmap(1, 1, 1);
  if (nPlanes != 1 || nBitCount == 0 || nBitCount > 32 || !SizeAllowed(nWidth, nHeight)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const int bpp = nBitCount == 1 ? 1 : 32;
  HBITMAP handle = AddBitmap(nWidth, nHeight, bpp);
  // Only the two depths that are kept as they are can take initial bits.
  if (lpBits && (nBitCount == 1 || nBitCount == 32))
    LoadDeviceBits(*Find<TBitmap>(handle), static_cast<const uint8_t*>(lpBits));
  return handle;
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc || cx < 0 || cy < 0) return nullptr;
  bool mono = false;
  if (dc->kind == TDcKind::dkMemory) {
    const TBitmap* current = Find<TBitmap>(dc->state.bitmap);
    mono = current && current->Mono();
  }
  if (cx == 0 || cy == 0) return AddBitmap(1, 1, 1);
  if (!SizeAllowed(cx, cy)) return nullptr;
  return AddBitmap(cx, cy, mono ? 1 : 32);
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                                HANDLE hSection, DWORD offset) {
  if (ppvBits) *ppvBits = nullptr;
  image::TDibFormat format;
  if (usage != DIB_RGB_COLORS || hSection || !ParseInfo(pbmi, format)) return nullptr;
  const size_t size = format.ImageSize();
  if (size == 0) return nullptr;
  // Indices beyond the table read as black, whatever the program writes into the bits.
  if (format.bitsPerPixel <= 8) format.palette.resize(size_t(1) << format.bitsPerPixel, 0);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->type = OBJ_BITMAP;
  bitmap->section = true;
  bitmap->bitsPerPixel = format.bitsPerPixel;
  bitmap->format = format;
  bitmap->bits = std::make_unique<uint8_t[]>(size);
  std::memset(bitmap->bits.get(), 0, size);
  // Bits of zero everywhere: the first entry of the table, or black.
  bitmap->surface =
      Surface(format.width, format.height, format.bitsPerPixel <= 8 ? format.palette[0] : 0);
  if (ppvBits) *ppvBits = bitmap->bits.get();
  return static_cast<HBITMAP>(AddObject(std::move(bitmap)));
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                     BITMAPINFO* lpbmi, UINT usage) {
  TBitmap* bitmap = Find<TBitmap>(hbm);
  if (!Find<TDc>(hdc) || !bitmap || !lpbmi || usage != DIB_RGB_COLORS) return 0;
  BITMAPINFOHEADER& header = lpbmi->bmiHeader;
  if (header.biSize < sizeof(BITMAPINFOHEADER)) return 0;
  if (header.biBitCount == 0) {  // the program asks for the bitmap's own format
    DescribeBitmap(*bitmap, header);
    header.biSizeImage = DWORD(image::MakeFormat(bitmap->surface, header.biBitCount).ImageSize());
    return 1;
  }
  image::TDibFormat format;
  if (!ParseInfo(lpbmi, format)) return 0;
  if (format.bitsPerPixel <= 8) format.palette = TableFor(*bitmap, format.bitsPerPixel);
  header.biSizeImage = DWORD(format.ImageSize());
  header.biClrUsed = 0;
  if (format.bitsPerPixel <= 8) WriteTable(format.palette, lpbmi);
  if (!lpvBits) return 1;
  PullSection(*bitmap, 0, bitmap->surface.height);
  Surface framed(format.width, format.height, 0);
  for (int y = 0; y < framed.height && y < bitmap->surface.height; ++y)
    for (int x = 0; x < framed.width && x < bitmap->surface.width; ++x)
      framed.At(x, y) = bitmap->surface.At(x, y);
  std::vector<uint8_t> all(format.ImageSize());
  image::EncodePixels(framed, format, all.data());
  const UINT available = start < UINT(format.height) ? UINT(format.height) - start : 0;
  const UINT lines = std::min(cLines, available);
  std::memcpy(lpvBits, all.data() + size_t(start) * format.Stride(),
              size_t(lines) * format.Stride());
  return int(lines);
}

int WINAPI SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits,
                     const BITMAPINFO* lpbmi, UINT ColorUse) {
  (void)hdc;
  TBitmap* bitmap = Find<TBitmap>(hbm);
  image::TDibFormat format;
  if (!bitmap || !lpBits || ColorUse != DIB_RGB_COLORS || !ParseInfo(lpbmi, format)) return 0;
  const UINT available = start < UINT(format.height) ? UINT(format.height) - start : 0;
  const UINT lines = std::min(cLines, available);
  if (bitmap->section && !bitmap->Mono() && SameLayout(*bitmap, format) && lines > 0) {
    // Rows in the section's own layout (a bitmap file loaded into a section made from its
    // header) go into the bits as they are, with no round through colours and back to the
    // nearest entries of the table; the surface takes those rows from the bits, as it would
    // have kept them.
    const size_t stride = format.Stride();
    std::memcpy(bitmap->bits.get() + size_t(start) * stride, lpBits, size_t(lines) * stride);
    const int top = format.topDown ? int(start) : format.height - int(start + lines);
    PullSection(*bitmap, top, top + int(lines));
    return int(lines);
  }
  std::vector<uint8_t> all(format.ImageSize());
  if (all.empty()) return 0;
  std::memcpy(all.data() + size_t(start) * format.Stride(), lpBits,
              size_t(lines) * format.Stride());
  Surface decoded;
  if (!image::DecodePixels(format, all.data(), all.size(), decoded)) return 0;
  PullSection(*bitmap, 0, bitmap->surface.height);
  CopyDibRows(decoded, bitmap->surface, format, int(start), int(lines), bitmap->Mono());
  PushSection(*bitmap, 0, bitmap->surface.height);
  return int(lines);
}

int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc,
                         int ySrc, int SrcWidth, int SrcHeight, const void* lpBits,
                         const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop) {
  image::TDibFormat format;
  if (!Find<TDc>(hdc) || !lpBits || !ParseInfo(lpbmi, format)) return 0;
  HDC memory = CreateCompatibleDC(hdc);
  HBITMAP bitmap = CreateBitmap(format.width, format.height, 1, 32, nullptr);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  int lines = SetDIBits(memory, bitmap, 0, UINT(format.height), lpBits, lpbmi, iUsage);
  // DIB coordinates count rows from the bottom for a bottom-up DIB.
  const int top = format.topDown ? ySrc : format.height - ySrc - SrcHeight;
  if (lines && !StretchBlt(hdc, xDest, yDest, DestWidth, DestHeight, memory, xSrc, top, SrcWidth,
                           SrcHeight, rop))
    lines = 0;
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return lines;
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
  TObject* object = FindObject(h);
  if (!object) return 0;
  auto copy = [&](const void* data, int size) {
    if (!pv) return size;
    const int n = std::min(c, size);
    if (n > 0) std::memcpy(pv, data, size_t(n));
    return n > 0 ? n : 0;
  };
  switch (object->type) {
    case OBJ_PEN: {
      const auto* pen = static_cast<TPen*>(object);
      const LOGPEN log{pen->style, {pen->width, 0}, pen->color};
      return copy(&log, sizeof(log));
    }
    case OBJ_BRUSH: {
      const auto* brush = static_cast<TBrush*>(object);
      const LOGBRUSH log{brush->style, brush->color, 0};
      return copy(&log, sizeof(log));
    }
    case OBJ_FONT:
      return copy(&static_cast<TFont*>(object)->log, sizeof(LOGFONTA));
    case OBJ_BITMAP:
      break;
    default:
      return 0;
  }
  const auto* bitmap = static_cast<TBitmap*>(object);
  DIBSECTION ds{};
  ds.dsBm.bmWidth = bitmap->surface.width;
  ds.dsBm.bmHeight = bitmap->surface.height;
  ds.dsBm.bmPlanes = 1;
  ds.dsBm.bmBitsPixel = WORD(bitmap->bitsPerPixel);
  ds.dsBm.bmWidthBytes = bitmap->section
                             ? LONG(bitmap->format.Stride())
                             : DeviceStride(bitmap->surface.width, bitmap->bitsPerPixel);
  if (!bitmap->section) {
    if (pv && c < int(sizeof(BITMAP))) return 0;
    return copy(&ds.dsBm, sizeof(BITMAP));
  }
  ds.dsBm.bmBits = bitmap->bits.get();
  BITMAPINFOHEADER& header = ds.dsBmih;
  header.biSize = sizeof(BITMAPINFOHEADER);
  DescribeBitmap(*bitmap, header);
  header.biHeight = bitmap->format.topDown ? -header.biHeight : header.biHeight;
  header.biCompression = bitmap->format.bitfields ? BI_BITFIELDS : BI_RGB;
  header.biSizeImage = DWORD(bitmap->format.ImageSize());
  for (int i = 0; i < 3; ++i)
    ds.dsBitfields[i] = bitmap->format.masks[i];
  if (!pv) return sizeof(DIBSECTION);
  if (c >= int(sizeof(DIBSECTION))) return copy(&ds, sizeof(DIBSECTION));
  if (c < int(sizeof(BITMAP))) return 0;
  return copy(&ds.dsBm, sizeof(BITMAP));
}

}  // extern "C"
