// How LookupIconIdFromDirectoryEx picks an image from a group icon resource's directory: the
// size first, then the colour depth, ties to the first entry, and the entry's id as the answer.
#include <vector>

#include "tests/platform/conformance/Check.h"

namespace {

struct TEntry {
  int width, height, bitsPerPixel;
  WORD id;
};

// A group icon directory (the RT_GROUP_ICON layout): a header, then 14 bytes per image whose
// last word is the id of the RT_ICON resource that holds it. A size of 256 is stored as 0.
std::vector<BYTE> Directory(const std::vector<TEntry>& entries) {
  std::vector<BYTE> bytes(6 + 14 * entries.size(), 0);
  bytes[2] = 1;
  bytes[4] = BYTE(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    BYTE* e = bytes.data() + 6 + 14 * i;
    e[0] = BYTE(entries[i].width & 0xFF);
    e[1] = BYTE(entries[i].height & 0xFF);
    e[4] = 1;
    e[6] = BYTE(entries[i].bitsPerPixel);
    e[12] = BYTE(entries[i].id & 0xFF);
    e[13] = BYTE(entries[i].id >> 8);
  }
  return bytes;
}

int Lookup(const std::vector<TEntry>& entries, int cx, int cy, UINT flags = LR_DEFAULTCOLOR) {
  std::vector<BYTE> bytes = Directory(entries);
  return LookupIconIdFromDirectoryEx(bytes.data(), TRUE, cx, cy, flags);
}

}  // namespace

CONFORMANCE_CASE(LookupIconIdTakesTheNearestSizeLargerOrSmaller) {
  // Windows' documentation speaks of the nearest size not larger than the request; the
  // reference takes the nearest either way, larger when it is nearer.
  CHECK_EQ(Lookup({{16, 16, 32, 7}, {32, 32, 32, 9}}, 30, 30), 9);
  CHECK_EQ(Lookup({{16, 16, 32, 7}, {32, 32, 32, 9}}, 20, 20), 7);
  CHECK_EQ(Lookup({{48, 48, 32, 3}, {32, 32, 32, 2}}, 16, 16), 2);
  CHECK_EQ(Lookup({{16, 16, 32, 1}, {24, 24, 32, 2}, {32, 32, 32, 3}}, 22, 22), 2);
  // The width's and the height's distances add up: 24x32 and 28x28 are as near to 24x24, so the
  // first wins in either order.
  CHECK_EQ(Lookup({{24, 32, 32, 1}, {28, 28, 32, 2}}, 24, 24), 1);
  CHECK_EQ(Lookup({{28, 28, 32, 2}, {24, 32, 32, 1}}, 24, 24), 2);
  CHECK_EQ(Lookup({{20, 20, 32, 1}, {24, 34, 32, 2}}, 24, 24), 1);
  // A size byte of 0 is 256 pixels.
  CHECK_EQ(Lookup({{16, 16, 32, 1}, {256, 256, 32, 9}, {48, 48, 32, 3}}, 200, 200), 9);
}

CONFORMANCE_CASE(LookupIconIdTakesTheSystemIconSizeForZero) {
  CHECK_EQ(GetSystemMetrics(SM_CXICON), 32);
  CHECK_EQ(GetSystemMetrics(SM_CYICON), 32);
  const std::vector<TEntry> sizes = {{16, 16, 32, 1}, {32, 32, 32, 2}, {48, 48, 32, 3}};
  CHECK_EQ(Lookup(sizes, 0, 0), 2);
  // 16 by 32 is as near to 16x16 as to 32x32: the first of the two.
  CHECK_EQ(Lookup(sizes, 16, 0), 1);
  CHECK_EQ(Lookup(sizes, 0, 16), 1);
}

CONFORMANCE_CASE(LookupIconIdBreaksSizeTiesByColourThenByOrder) {
  // The screens of both runs have 32 bits per pixel: the depth nearest it wins among images
  // equally near in size, whatever their order, and size comes before colour.
  HDC screen = GetDC(NULL);
  CHECK_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  ReleaseDC(NULL, screen);
  CHECK_EQ(Lookup({{16, 16, 4, 1}, {16, 16, 8, 2}, {16, 16, 32, 3}}, 16, 16), 3);
  CHECK_EQ(Lookup({{16, 16, 32, 3}, {16, 16, 8, 2}, {16, 16, 4, 1}}, 16, 16), 3);
  CHECK_EQ(Lookup({{16, 16, 8, 2}, {16, 16, 4, 1}}, 16, 16), 2);
  CHECK_EQ(Lookup({{16, 16, 32, 1}, {32, 32, 4, 2}}, 32, 32), 2);
  // Equally near sizes on either side: the better colour, else the first entry.
  CHECK_EQ(Lookup({{16, 16, 8, 1}, {32, 32, 24, 2}}, 24, 24), 2);
  CHECK_EQ(Lookup({{16, 16, 24, 1}, {32, 32, 8, 2}}, 24, 24), 1);
  CHECK_EQ(Lookup({{32, 32, 32, 2}, {16, 16, 32, 1}}, 24, 24), 2);
  CHECK_EQ(Lookup({{16, 16, 8, 5}, {16, 16, 8, 6}}, 16, 16), 5);
}

CONFORMANCE_CASE(LookupIconIdWithMonochromeWantsTheFewestColours) {
  CHECK_EQ(Lookup({{16, 16, 4, 1}, {16, 16, 32, 2}}, 16, 16, LR_MONOCHROME), 1);
  CHECK_EQ(Lookup({{16, 16, 32, 2}, {16, 16, 1, 1}}, 16, 16, LR_MONOCHROME), 1);
  CHECK_EQ(Lookup({{16, 16, 8, 1}, {16, 16, 4, 2}}, 16, 16, LR_MONOCHROME), 2);
  CHECK_EQ(Lookup({{16, 16, 1, 1}, {16, 16, 32, 2}}, 16, 16, LR_DEFAULTCOLOR), 2);
  // The size still comes first.
  CHECK_EQ(Lookup({{32, 32, 1, 1}, {16, 16, 32, 2}}, 16, 16, LR_MONOCHROME), 2);
}

CONFORMANCE_CASE(LookupIconIdAnswersTheEntrysIdAndZeroForNone) {
  CHECK_EQ(Lookup({{16, 16, 32, 300}}, 16, 16), 300);
  CHECK_EQ(Lookup({}, 16, 16), 0);
}
