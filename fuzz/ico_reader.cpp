// Feeds arbitrary bytes to the icon readers: a whole ICO file and a single icon image.
// Whatever the bytes, they must answer without reading outside them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/core/ImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<platform::image::TIconImage> images;
  if (platform::image::ReadIco(data, size, images)) {
    for (const auto& image : images)
      if (image.color.width != image.mask.width || image.color.height != image.mask.height)
        __builtin_trap();
  }
  platform::image::TIconImage one;
  platform::image::ReadIconImage(data, size, one);
  return 0;
}
