// The generator's file writers: bitmaps and icon images go through the platform's own DIB
// encoder, so the program reads back exactly what was written. Part of calvix-assets.
#include "assets/PictureFiles.h"

#include "assets/Palette.h"
#include "platform/core/ImageFile.h"
#include "tools/PngWriter.h"

namespace assets {
namespace {

using platform::image::TDibFormat;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

bool Opaque(const TPixel& p) {
  return p.coverage >= 0.5f;
}

TDibFormat Format(const TIndexed& picture, int bitsPerPixel) {
  TDibFormat format;
  format.width = picture.pixels.width;
  format.height = picture.pixels.height;
  format.bitsPerPixel = bitsPerPixel;
  format.palette = picture.palette;
  format.palette.resize(size_t(1) << bitsPerPixel, format.palette.back());
  return format;
}

// One icon image: header of twice the height, colour table, colour rows, then mask rows.
std::vector<uint8_t> IconImage(const TScene& scene) {
  constexpr uint32_t kSeeThrough = 0x000000;  // what the colour rows hold under the mask
  const std::vector<TPixel> pixels = scene.Reduce();
  std::vector<uint32_t> opaque;
  for (const TPixel& p : pixels)
    if (Opaque(p)) opaque.push_back(Pack(p.color));
  TIndexed picture{platform::Surface(scene.Width(), scene.Height(), kSeeThrough), {kSeeThrough}};
  for (uint32_t c : ChoosePalette(opaque, 15, {}))
    picture.palette.push_back(c);
  const std::vector<uint32_t> colors(picture.palette.begin() + 1, picture.palette.end());
  for (size_t i = 0; i < pixels.size(); ++i)
    if (Opaque(pixels[i])) picture.pixels.pixels[i] = Nearest(colors, Pack(pixels[i].color));

  TDibFormat format = Format(picture, 4);
  const size_t colorBytes = format.ImageSize();
  const size_t maskStride = (size_t(format.width) + 31) / 32 * 4;
  const size_t maskBytes = maskStride * size_t(format.height);
  format.height *= 2;  // the header counts colours and mask together
  std::vector<uint8_t> out;
  platform::image::AppendDibHeader(format, out);
  for (int i = 0; i < 4; ++i)  // the image size field: colours and mask
    out[20 + i] = uint8_t((colorBytes + maskBytes) >> (8 * i));
  format.height /= 2;
  const size_t colorsAt = out.size();
  out.resize(colorsAt + colorBytes + maskBytes, 0);
  platform::image::EncodePixels(picture.pixels, format, out.data() + colorsAt);
  for (int y = 0; y < format.height; ++y) {
    uint8_t* row = out.data() + colorsAt + colorBytes + size_t(format.height - 1 - y) * maskStride;
    for (int x = 0; x < format.width; ++x)
      if (!Opaque(pixels[size_t(y) * format.width + x])) row[x / 8] |= uint8_t(0x80 >> (x % 8));
  }
  return out;
}

}  // namespace

TIndexed Keyed(const TScene& scene, size_t colors, const std::vector<uint32_t>& keep) {
  const std::vector<TPixel> pixels = scene.Reduce();
  std::vector<uint32_t> opaque;
  for (const TPixel& p : pixels)
    if (Opaque(p)) opaque.push_back(Pack(p.color) == kKeyWhite ? 0xFEFEFE : Pack(p.color));
  TIndexed picture{platform::Surface(scene.Width(), scene.Height(), kKeyWhite),
                   ChoosePalette(opaque, colors - 1, keep)};
  size_t next = 0;
  for (size_t i = 0; i < pixels.size(); ++i)
    if (Opaque(pixels[i])) picture.pixels.pixels[i] = Nearest(picture.palette, opaque[next++]);
  picture.palette.push_back(kKeyWhite);
  return picture;
}

std::vector<uint8_t> BmpFile(const TIndexed& picture, int bitsPerPixel) {
  return platform::image::WriteBmp(picture.pixels, Format(picture, bitsPerPixel));
}

std::vector<uint8_t> IcoFile(const std::vector<const TScene*>& images) {
  constexpr size_t kDirectorySize = 6, kEntrySize = 16;
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // an icon, not a cursor
  Put16(out, uint32_t(images.size()));
  std::vector<std::vector<uint8_t>> bodies;
  size_t offset = kDirectorySize + kEntrySize * images.size();
  for (const TScene* scene : images) {
    bodies.push_back(IconImage(*scene));
    out.push_back(uint8_t(scene->Width()));
    out.push_back(uint8_t(scene->Height()));
    out.push_back(16);  // colours
    out.push_back(0);
    Put16(out, 1);  // planes
    Put16(out, 4);  // bits per pixel
    Put32(out, uint32_t(bodies.back().size()));
    Put32(out, uint32_t(offset));
    offset += bodies.back().size();
  }
  for (const std::vector<uint8_t>& body : bodies)
    out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<uint8_t> PngFile(const TScene& scene) {
  std::vector<uint32_t> argb;
  for (const TPixel& p : scene.Reduce()) {
    const uint32_t alpha = uint32_t(p.coverage * 255 + 0.5f);
    argb.push_back(alpha << 24 | (alpha ? Pack(p.color) : 0));
  }
  return tools::EncodePng(scene.Width(), scene.Height(), argb, /*withAlpha=*/true);
}

}  // namespace assets
