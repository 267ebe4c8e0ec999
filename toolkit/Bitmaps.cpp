// Bitmaps: pixels with a canvas, BMP files, and the transfer of a bitmap's pixels. Toolkit layer.
#include "toolkit/Bitmaps.h"
#include "toolkit/Property.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// --- Helpers ---

// A memory context with one bitmap selected for the length of a scope.
class TScopedBitmapDC {
 public:
  explicit TScopedBitmapDC(HBITMAP bitmap) : FDC(CreateCompatibleDC(nullptr)) {
    if (FDC != nullptr && bitmap != nullptr) FOld = SelectObject(FDC, bitmap);
  }
  ~TScopedBitmapDC() {
    if (FDC == nullptr) return;
    if (FOld != nullptr) SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  TScopedBitmapDC(const TScopedBitmapDC&) = delete;
  TScopedBitmapDC& operator=(const TScopedBitmapDC&) = delete;
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
  HGDIOBJ FOld = nullptr;
};

int BitsOf(TPixelFormat format) {
  switch (format) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

TPixelFormat FormatOf(int bits) {
  switch (bits) {
    case 1:
      return pf1bit;
    case 4:
      return pf4bit;
    case 8:
      return pf8bit;
    case 16:
      return pf16bit;
    case 24:
      return pf24bit;
    default:
      return pf32bit;
  }
}

RGBQUAD Quad(BYTE r, BYTE g, BYTE b) {
  return RGBQUAD{b, g, r, 0};
}

// The colour table a new bitmap of `bits` per pixel starts with: black and white; the sixteen
// colours of the classic desktop; or those sixteen followed by a colour cube and greys.
std::vector<RGBQUAD> DefaultColorTable(int bits) {
  static const BYTE kVga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                   {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                   {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                   {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  std::vector<RGBQUAD> table;
  if (bits == 1) return {Quad(0, 0, 0), Quad(255, 255, 255)};
  for (const auto& c : kVga)
    table.push_back(Quad(c[0], c[1], c[2]));
  if (bits == 4) return table;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        table.push_back(Quad(BYTE(r * 51), BYTE(g * 51), BYTE(b * 51)));
  while (table.size() < 256) {
    const BYTE v = BYTE(8 + (table.size() - 232) * 10);
    table.push_back(Quad(v, v, v));
  }
  return table;
}

// A BITMAPINFO with room for a colour table of up to 256 entries.
struct TBitmapInfo {
  BITMAPINFOHEADER Header{};
  RGBQUAD Colors[256]{};
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

int ColorCount(const BITMAPINFOHEADER& h) {
  if (h.biBitCount > 8) return h.biCompression == BI_BITFIELDS ? 3 : 0;
  const int full = 1 << h.biBitCount;
  return h.biClrUsed == 0 || h.biClrUsed > DWORD(full) ? full : int(h.biClrUsed);
}

int64_t Stride(int width, int bits) {
  return ((int64_t(width) * bits + 31) / 32) * 4;
}

constexpr int kMaxBitmapSide = 32768;
constexpr WORD kBmpSignature = 0x4D42;  // "BM"
constexpr int kFileHeaderSize = sizeof(BITMAPFILEHEADER);

// The header of a 32-bit top-down DIB: pixels 0x00RRGGBB, row 0 first.
BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}
}  // namespace

// --- Pixels ---

bool ReadPixels32(HDC dc, HBITMAP bitmap, int width, int height, void* pixels) {
  BITMAPINFO info = TopDownInfo(width, height);
  return GetDIBits(dc, bitmap, 0, UINT(height), pixels, &info, DIB_RGB_COLORS) != 0;
}

bool WritePixels32(HDC dc, HBITMAP bitmap, int width, int height, const void* pixels) {
  const BITMAPINFO info = TopDownInfo(width, height);
  return SetDIBits(dc, bitmap, 0, UINT(height), pixels, &info, DIB_RGB_COLORS) != 0;
}
// --- TBitmap ---

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) {
  SetSize(width, height);
}

TBitmap::~TBitmap() {
  FCanvas.reset();
  if (FBitmap != nullptr) DeleteObject(FBitmap);
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(*this);
    FCanvas->OnChange = [this](TObject*) { Changed(); };
  }
  return *FCanvas;
}

HBITMAP TBitmap::MakeBitmap(int width, int height, TPixelFormat format) const {
  if (width <= 0 || height <= 0) return nullptr;
  if (width > kMaxBitmapSide || height > kMaxBitmapSide)
    throw EOutOfResources("Bitmap of " + IntToStr(width) + " by " + IntToStr(height) +
                          " pixels is too large");
  HBITMAP bitmap = nullptr;
  if (format == pfDevice) {
    bitmap = CreateBitmap(width, height, 1, 32, nullptr);
  } else {
    TBitmapInfo bi;
    bi.Header.biSize = sizeof(BITMAPINFOHEADER);
    bi.Header.biWidth = width;
    bi.Header.biHeight = height;
    bi.Header.biPlanes = 1;
    bi.Header.biBitCount = WORD(BitsOf(format));
    bi.Header.biCompression = BI_RGB;
    const std::vector<RGBQUAD> table =
        BitsOf(format) <= 8 ? DefaultColorTable(BitsOf(format)) : std::vector<RGBQUAD>();
    std::copy(table.begin(), table.end(), bi.Colors);
    bi.Header.biClrUsed = DWORD(table.size());
    void* bits = nullptr;
    bitmap = CreateDIBSection(nullptr, bi.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  if (bitmap == nullptr) throw EOutOfResources("Out of system resources");
  TScopedBitmapDC dc(bitmap);
  PatBlt(dc, 0, 0, width, height, WHITENESS);
  return bitmap;
}

void TBitmap::ReleaseContext() const {
  if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::Replace(HBITMAP bitmap, int width, int height, TPixelFormat format) {
  if (FCanvas) FCanvas->FreeContext();
  if (FBitmap != nullptr) DeleteObject(FBitmap);
  FBitmap = bitmap;
  FWidth = bitmap ? width : 0;
  FHeight = bitmap ? height : 0;
  FPixelFormat = format;
  Changed();
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FWidth && height == FHeight) return;
  HBITMAP bitmap = MakeBitmap(width, height, FPixelFormat);
  ReleaseContext();
  if (bitmap != nullptr && FBitmap != nullptr) {
    TScopedBitmapDC to(bitmap), from(FBitmap);
    BitBlt(to, 0, 0, std::min(width, FWidth), std::min(height, FHeight), from, 0, 0, SRCCOPY);
  }
  Replace(bitmap, width, height, FPixelFormat);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == FPixelFormat) return;
  if (FBitmap == nullptr) {
    FPixelFormat = format;
    return;
  }
  HBITMAP bitmap = MakeBitmap(FWidth, FHeight, format);
  ReleaseContext();
  {
    TScopedBitmapDC to(bitmap), from(FBitmap);
    BitBlt(to, 0, 0, FWidth, FHeight, from, 0, 0, SRCCOPY);
  }
  Replace(bitmap, FWidth, FHeight, format);
}

TColor TBitmap::TransparentColor() {
  if (FTransparentMode == tmFixed) return FTransparentColor;
  if (Empty()) return clDefault;
  return Canvas().Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == FTransparentColor && FTransparentMode == tmFixed) return;
  FTransparentColor = color;
  FTransparentMode = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  ChangeProperty(FTransparentMode, mode, [this] { Changed(); });
}

void TBitmap::Changed() {
  FMask.reset();
  FMaskImage.reset();
  TGraphic::Changed();
}

void TBitmap::Assign(const TPersistent* source) {
  if (source == this) return;
  const auto* bitmap = dynamic_cast<const TBitmap*>(source);
  if (bitmap == nullptr) {
    if (source == nullptr) {
      Replace(nullptr, 0, 0, FPixelFormat);
      return;
    }
    return TGraphic::Assign(source);
  }
  HBITMAP copy = MakeBitmap(bitmap->FWidth, bitmap->FHeight, bitmap->FPixelFormat);
  bitmap->ReleaseContext();
  if (copy != nullptr) {
    TScopedBitmapDC to(copy), from(bitmap->FBitmap);
    BitBlt(to, 0, 0, bitmap->FWidth, bitmap->FHeight, from, 0, 0, SRCCOPY);
  }
  FTransparentColor = bitmap->FTransparentColor;
  FTransparentMode = bitmap->FTransparentMode;
  SetTransparent(bitmap->Transparent());
  Replace(copy, bitmap->FWidth, bitmap->FHeight, bitmap->FPixelFormat);
}

void TBitmap::BuildTransparency() {
  const COLORREF key = ColorToRGB(TransparentColor());
  const uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
  ReleaseContext();
  TScopedBitmapDC dc(nullptr);
  std::vector<uint32_t> image(size_t(FWidth) * FHeight);
  ReadPixels32(dc, FBitmap, FWidth, FHeight, image.data());
  std::vector<uint32_t> mask(image.size());
  for (size_t i = 0; i < image.size(); ++i) {
    const bool see = (image[i] & 0x00FFFFFF) == keyPixel;
    mask[i] = see ? 0x00FFFFFF : 0;
    if (see) image[i] = 0;
  }
  FMask = std::make_unique<TBitmap>(FWidth, FHeight);
  FMaskImage = std::make_unique<TBitmap>(FWidth, FHeight);
  WritePixels32(dc, FMask->FBitmap, FWidth, FHeight, mask.data());
  WritePixels32(dc, FMaskImage->FBitmap, FWidth, FHeight, image.data());
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  HDC dest = canvas.Handle();
  if (!Transparent()) {
    if (&canvas != FCanvas.get()) ReleaseContext();
    TScopedBitmapDC from(FBitmap);
    StretchBlt(dest, rect.left, rect.top, w, h, from, 0, 0, FWidth, FHeight, canvas.CopyMode());
    return;
  }
  // A see-through picture is drawn in two steps: its mask clears the opaque part of the
  // destination, then the picture with black in its transparent pixels is added.
  if (!FMask) BuildTransparency();
  TScopedBitmapDC mask(FMask->FBitmap), image(FMaskImage->FBitmap);
  StretchBlt(dest, rect.left, rect.top, w, h, mask, 0, 0, FWidth, FHeight, SRCAND);
  StretchBlt(dest, rect.left, rect.top, w, h, image, 0, 0, FWidth, FHeight, SRCPAINT);
}

void TBitmap::LoadFromBytes(const std::vector<uint8_t>& bytes) {
  TMemoryStream stream(bytes);
  LoadFromStream(stream);
}

std::vector<uint8_t> TBitmap::SaveToBytes() const {
  TMemoryStream stream;
  SaveToStream(stream);
  return stream.Bytes();
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::vector<uint8_t> data = stream.ReadRest();
  auto fail = [] { throw EInvalidGraphic("Bitmap image is not valid"); };
  if (data.size() < kFileHeaderSize + sizeof(BITMAPINFOHEADER)) fail();
  BITMAPFILEHEADER file;
  std::memcpy(&file, data.data(), sizeof file);
  if (file.bfType != kBmpSignature) fail();
  const uint32_t offBits = file.bfOffBits;
  TBitmapInfo bi;
  std::memcpy(&bi.Header, &data[kFileHeaderSize], sizeof(BITMAPINFOHEADER));
  const BITMAPINFOHEADER& h = bi.Header;
  const int bits = h.biBitCount;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > data.size()) fail();
  if (h.biWidth <= 0 || h.biWidth > kMaxBitmapSide || h.biHeight == 0 ||
      h.biHeight < -kMaxBitmapSide || h.biHeight > kMaxBitmapSide || h.biPlanes != 1)
    fail();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) fail();
  if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && bits >= 16)) fail();
  const size_t tableAt = kFileHeaderSize + h.biSize;
  const size_t tableBytes = size_t(ColorCount(h)) * sizeof(RGBQUAD);
  if (tableAt + tableBytes > data.size()) fail();
  std::memcpy(bi.Colors, &data[tableAt], tableBytes);
  bi.Header.biSize = sizeof(BITMAPINFOHEADER);
  const int width = h.biWidth, height = std::abs(h.biHeight);
  const uint64_t pixelBytes = uint64_t(Stride(width, bits)) * height;
  if (offBits < tableAt || offBits > data.size() || data.size() - offBits < pixelBytes) fail();

  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, bi.Info(), DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr) fail();
  {
    TScopedBitmapDC dc(nullptr);
    SetDIBits(dc, bitmap, 0, UINT(height), &data[offBits], bi.Info(), DIB_RGB_COLORS);
  }
  Replace(bitmap, width, height, FormatOf(bits));
}

void TBitmap::SaveToStream(TStream& stream) const {
  if (FBitmap == nullptr) return;
  const int bits = BitsOf(FPixelFormat);
  TBitmapInfo bi;
  bi.Header.biSize = sizeof(BITMAPINFOHEADER);
  bi.Header.biWidth = FWidth;
  bi.Header.biHeight = FHeight;
  bi.Header.biPlanes = 1;
  bi.Header.biBitCount = WORD(bits);
  bi.Header.biCompression = BI_RGB;
  const int colors = bits <= 8 ? 1 << bits : 0;
  const size_t pixelBytes = size_t(Stride(FWidth, bits)) * FHeight;
  std::vector<uint8_t> pixels(pixelBytes);
  ReleaseContext();
  {
    TScopedBitmapDC dc(nullptr);
    if (GetDIBits(dc, FBitmap, 0, UINT(FHeight), pixels.data(), bi.Info(), DIB_RGB_COLORS) == 0)
      throw EInvalidGraphicOperation("Cannot read the bitmap's pixels");
  }
  bi.Header.biSizeImage = DWORD(pixelBytes);
  bi.Header.biClrUsed = 0;
  const uint32_t offBits = kFileHeaderSize + sizeof(BITMAPINFOHEADER) + colors * sizeof(RGBQUAD);
  std::vector<uint8_t> out;
  out.reserve(offBits + pixelBytes);
  BITMAPFILEHEADER file{};
  file.bfType = kBmpSignature;
  file.bfSize = DWORD(offBits + pixelBytes);
  file.bfOffBits = offBits;
  const auto* fileHeader = reinterpret_cast<const uint8_t*>(&file);
  out.insert(out.end(), fileHeader, fileHeader + sizeof file);
  const auto* header = reinterpret_cast<const uint8_t*>(&bi.Header);
  out.insert(out.end(), header, header + sizeof(BITMAPINFOHEADER));
  const auto* table = reinterpret_cast<const uint8_t*>(bi.Colors);
  out.insert(out.end(), table, table + colors * sizeof(RGBQUAD));
  out.insert(out.end(), pixels.begin(), pixels.end());
  stream.WriteBuffer(out.data(), int64_t(out.size()));
}

// --- TBitmapCanvas ---

TBitmapCanvas::~TBitmapCanvas() {
  FreeContext();
}

void TBitmapCanvas::CreateHandle() {
  if (FBitmap.FBitmap == nullptr) return;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return;
  FOldBitmap = SelectObject(dc, FBitmap.FBitmap);
  SetHandle(dc);
}

void TBitmapCanvas::FreeContext() {
  if (!HandleAllocated()) return;
  HDC dc = Handle();
  SetHandle(nullptr);
  SelectObject(dc, FOldBitmap);
  DeleteDC(dc);
}
