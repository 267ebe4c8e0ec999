// Fuzz target: BMP data read into a toolkit bitmap (as form descriptions deliver it), then
// saved again. A damaged file must raise EInvalidGraphic and nothing else.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/Graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TBitmap bitmap;
  try {
    bitmap.LoadFromBytes(std::vector<uint8_t>(data, data + size));
  } catch (const EInvalidGraphic&) {
    return 0;
  } catch (const EOutOfResources&) {
    return 0;
  }
  if (bitmap.Width() * bitmap.Height() <= 1 << 20) (void)bitmap.SaveToBytes();
  return 0;
}
