// Fuzz target: picture data as form descriptions deliver it, read into a toolkit bitmap (BMP)
// and a toolkit icon (ICO), then saved again. Damaged data must raise EInvalidGraphic and
// nothing else.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/Graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  TBitmap bitmap;
  try {
    bitmap.LoadFromBytes(bytes);
    if (bitmap.Width() * bitmap.Height() <= 1 << 20) (void)bitmap.SaveToBytes();
  } catch (const EInvalidGraphic&) {
  } catch (const EOutOfResources&) {
  }
  TIcon icon;
  try {
    icon.LoadFromBytes(bytes);
    TBitmap target(8, 8);
    target.Canvas().Draw(0, 0, &icon);
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
