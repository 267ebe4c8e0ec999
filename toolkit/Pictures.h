// Icons and pictures: an icon kept with its ICO file, and a picture holding a bitmap or an icon
// that travels in form descriptions. Toolkit layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "toolkit/Bitmaps.h"
#include "toolkit/Canvas.h"
#include "toolkit/Streaming.h"

// An icon: loaded from an ICO file or given as a handle, which it then owns.
class TIcon : public TGraphic {
 public:
  TIcon() = default;
  ~TIcon() override;

  bool Empty() const override { return FHandle == nullptr; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // An icon's size comes from its image; setting it raises EInvalidGraphicOperation.
  void SetWidth(int) override;
  void SetHeight(int) override;

  HICON Handle() const { return FHandle; }
  // Takes ownership of `icon` (releasing the previous one) and fires OnChange.
  void SetHandle(HICON icon);
  // Gives up the handle without releasing it.
  HICON ReleaseHandle();

  // ICO files, read by the platform (the image it picks for the system's icon size).
  void LoadFromFile(const std::string& fileName) override;
  // The rest of the stream as an ICO file; raises EInvalidGraphic for a damaged one.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
  // The bytes of an ICO file: the image closest to the system's icon size is shown, the whole
  // file is kept for saving. Raises EInvalidGraphic for a damaged file.
  void LoadFromBytes(const std::vector<uint8_t>& bytes);

  void Assign(const TPersistent* source) override;

 protected:
  void Draw(TCanvas& canvas, const RECT& rect) override;
  // An icon travels in form descriptions as "Data", the bytes of its ICO file.
  void DefineProperties(TFiler& filer) override;

 private:
  HICON FHandle = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  std::vector<uint8_t> FData;  // the file it was loaded from, for saving
};

// A picture of any kind: a bitmap or an icon, made on demand by asking for it.
class TPicture : public TPersistent {
 public:
  TPicture() = default;
  ~TPicture() override;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Copies `graphic` (or clears the picture with null).
  void SetGraphic(const TGraphic* graphic);
  // The picture as a bitmap: replaces any other kind with an empty bitmap.
  TBitmap& Bitmap();
  TIcon& Icon();
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // By the file's extension: ".bmp" or ".ico"; raises EInvalidGraphic for others.
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;
  void Assign(const TPersistent* source) override;

  TNotifyEvent OnChange;

 protected:
  // A bitmap picture travels in form descriptions as "Data", the bytes of its BMP file.
  void DefineProperties(TFiler& filer) override;

 private:
  template <class G>
  G& Ensure();
  void Take(std::unique_ptr<TGraphic> graphic);
  void Changed();

  std::unique_ptr<TGraphic> FGraphic;
};
