// Bitmaps: pixels with a canvas, read from and written to BMP files, and the transfer of a
// bitmap's pixels as a 32-bit DIB. Toolkit layer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win32.h"
#include "toolkit/Canvas.h"
#include "toolkit/Streams.h"

// --- Pixels ---
// The pixels of a bitmap as a 32-bit top-down DIB holds them: 0x00RRGGBB words, row 0 first,
// `width` times `height` of them. `dc` is a device context the bitmap is not selected into (a
// memory DC will do). False when the platform refuses the transfer.
bool ReadPixels32(HDC dc, HBITMAP bitmap, int width, int height, void* pixels);
bool WritePixels32(HDC dc, HBITMAP bitmap, int width, int height, const void* pixels);

// --- Bitmaps ---

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A bitmap with a canvas. New pixels are white. pfDevice bitmaps hold 32 bits per pixel;
// other formats are kept at their own depth and saved at it (pf15bit and pf16bit are both five
// bits per colour, the layout a plain 16-bit BMP file holds).
class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  ~TBitmap() override;

  bool Empty() const override { return FBitmap == nullptr; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int width) override { SetSize(width, FHeight); }
  void SetHeight(int height) override { SetSize(FWidth, height); }
  // Keeps the pixels that stay inside; new ones are white.
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat format);

  TCanvas& Canvas();
  HBITMAP Handle() const { return FBitmap; }

  // tmAuto takes the colour of the bottom-left pixel; tmFixed the colour that was set.
  TColor TransparentColor();
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode mode);

  // Windows BMP files: reads 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed; raises
  // EInvalidGraphic for anything else or for a damaged file. Writes at the bitmap's depth.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  std::vector<uint8_t> SaveToBytes() const;
  void LoadFromBytes(const std::vector<uint8_t>& bytes);

  void Assign(const TPersistent* source) override;

 protected:
  void Draw(TCanvas& canvas, const RECT& rect) override;
  void Changed() override;

 private:
  friend class TBitmapCanvas;
  void Replace(HBITMAP bitmap, int width, int height, TPixelFormat format);
  // A bitmap can be selected into one context at a time: the canvas lets go of it before the
  // bitmap is copied or read as a whole. The canvas selects it again when next drawn on.
  void ReleaseContext() const;
  HBITMAP MakeBitmap(int width, int height, TPixelFormat format) const;
  // The image with its transparent pixels black, and the mask (white where transparent).
  void BuildTransparency();

  HBITMAP FBitmap = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  std::unique_ptr<TBitmapCanvas> FCanvas;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  std::unique_ptr<TBitmap> FMaskImage;  // cached for transparent drawing
  std::unique_ptr<TBitmap> FMask;
};

// A bitmap's canvas: a memory context with the bitmap selected.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap& bitmap) : FBitmap(bitmap) {}
  ~TBitmapCanvas() override;
  // Lets go of the context, so that the bitmap can be replaced.
  void FreeContext();

 protected:
  void CreateHandle() override;

 private:
  TBitmap& FBitmap;
  HGDIOBJ FOldBitmap = nullptr;
};
