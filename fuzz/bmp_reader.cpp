// Feeds arbitrary bytes to the bitmap readers: a whole BMP file and a packed DIB. Whatever the
// bytes, the readers must answer without reading outside them or allocating without bound.
#include <cstddef>
#include <cstdint>

#include "platform/core/ImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::image::TBitmapFile file;
  if (platform::image::ReadBmp(data, size, file)) {
    // What was read must write back and read again as the same picture.
    const auto again = platform::image::WriteBmp(file.pixels, 32);
    platform::image::TBitmapFile reread;
    if (!platform::image::ReadBmp(again.data(), again.size(), reread) ||
        reread.pixels.pixels != file.pixels.pixels)
      __builtin_trap();
  }
  if (size > 14) platform::image::ReadPackedDib(data + 14, size - 14, file);
  return 0;
}
