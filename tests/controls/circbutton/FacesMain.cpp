// circbutton_faces: computes the stored faces of shaped buttons without caption or glyph for a
// fixed set of settings. Built for our platform and for Windows, so that the faces Windows'
// GDI gives can be compared byte for byte with ours:
//
//   circbutton_faces write FILE      writes every case's released face, pressed face and mask
//   circbutton_faces compare FILE    computes them here and reports where FILE differs
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "controls/circbutton/MorCircBut.h"

#ifndef _WIN32
#include "platform/headless/headless.h"
#endif

namespace {

struct TFaceCase {
  std::string Name;
  int Width;
  int Height;
  TMorCircBevel Outer;
  TMorCircBevel Inner;
  int BevelWidth;
  double Atten;
  TColor Face;
  bool Shaded;
  bool Transparent;
  bool Border;
};

// The main window's buttons first, then each setting varied on its own, then sizes from the
// smallest the button computes to larger than any window uses, with odd and even axes.
std::vector<TFaceCase> Cases() {
  std::vector<TFaceCase> cases = {
      {"yellow", 77, 30, hbLowered, hbNone, 1, 1.0, 0x00FFFF, true, false, false},
      {"close", 21, 21, hbRaised, hbNone, 2, 1.0, 0xC0C0C0, true, false, false},
      {"default", 25, 25, hbLowered, hbNone, 2, 1.0, 0x808080, true, false, false},
      {"raised-raised", 41, 33, hbRaised, hbRaised, 2, 1.0, 0x3080E0, true, false, false},
      {"lowered-raised", 41, 33, hbLowered, hbRaised, 3, 1.0, 0x3080E0, true, false, false},
      {"inner-only", 41, 33, hbNone, hbLowered, 2, 1.0, 0x3080E0, true, false, false},
      {"no-bevel", 41, 33, hbNone, hbNone, 2, 1.0, 0x3080E0, true, false, false},
      {"border", 41, 33, hbLowered, hbNone, 2, 1.0, 0x3080E0, true, false, true},
      {"border-no-bevel", 40, 24, hbNone, hbNone, 1, 1.0, 0x20C040, true, false, true},
      {"flat", 41, 33, hbRaised, hbNone, 2, 1.0, 0x3080E0, false, false, false},
      {"see-through", 41, 33, hbRaised, hbLowered, 2, 1.0, 0x3080E0, true, true, true},
      {"dim", 41, 33, hbRaised, hbNone, 2, 0.5, 0x3080E0, true, false, false},
      {"bright", 41, 33, hbRaised, hbNone, 2, 2.5, 0x3080E0, true, false, false},
      {"unlit", 41, 33, hbRaised, hbNone, 2, 0.0, 0x3080E0, true, false, false},
      {"white", 30, 30, hbLowered, hbNone, 2, 1.0, 0xFFFFFF, true, false, false},
      {"black", 30, 30, hbRaised, hbNone, 2, 1.0, 0x000000, true, false, false},
      {"wide-ring", 64, 48, hbRaised, hbLowered, 6, 1.0, 0x8040C0, true, false, true},
      {"ring-fills-all", 16, 16, hbRaised, hbRaised, 5, 1.0, 0x8040C0, true, false, false},
      {"tiny", 2, 2, hbLowered, hbNone, 2, 1.0, 0x808080, true, false, true},
      {"small", 5, 7, hbLowered, hbNone, 1, 1.0, 0x808080, true, false, false},
      {"tall", 20, 61, hbRaised, hbNone, 2, 1.0, 0x40A0A0, true, false, true},
      {"even", 60, 40, hbLowered, hbRaised, 2, 1.0, 0x40A0A0, true, false, false},
      {"odd", 61, 41, hbLowered, hbRaised, 2, 1.0, 0x40A0A0, true, false, false},
      {"large", 181, 97, hbRaised, hbLowered, 3, 1.0, 0x2060FF, true, false, true},
  };
  // The ellipses the platform draws (the shape, the border) over a sweep of sizes, each size
  // once bare and once with a ring.
  for (int width = 2; width <= 58; width += 4) {
    const int height = 2 + (width * 7) % 45;
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    cases.push_back(
        {"sweep-" + size, width, height, hbNone, hbNone, 1, 1.0, 0x00C0FF, true, false, true});
    cases.push_back({"sweep-ring-" + size, height + 1, width + 1, hbLowered, hbNone, 1, 1.0,
                     0x00C0FF, true, false, false});
  }
  return cases;
}

using Bytes = std::vector<uint8_t>;

struct TFaces {
  Bytes Out, In, Mask;
};

TFaces Compute(const TFaceCase& c) {
  TMorCircButton button(nullptr);
  button.SetBevelOuter(c.Outer);
  button.SetBevelInner(c.Inner);
  button.SetBevelWidth(c.BevelWidth);
  button.SetAttenControl(c.Atten);
  button.SetFaceColor(c.Face);
  button.SetFaceShaded(c.Shaded);
  button.SetFaceTransparent(c.Transparent);
  button.SetBorderColor(0x204080);
  button.SetBorderStyle(c.Border ? bsSingle : bsNone);
  button.SetBounds(0, 0, c.Width, c.Height);
  return {button.ImageOut().SaveToBytes(), button.ImageIn().SaveToBytes(),
          button.ImageMask().SaveToBytes()};
}

void Put(std::string& out, const Bytes& bytes) {
  const uint32_t size = uint32_t(bytes.size());
  for (int i = 0; i < 4; ++i)
    out += char((size >> (8 * i)) & 0xFF);
  out.append(bytes.begin(), bytes.end());
}

bool Take(const std::string& in, size_t& at, Bytes& bytes) {
  if (in.size() - at < 4) return false;
  uint32_t size = 0;
  for (int i = 0; i < 4; ++i)
    size |= uint32_t(uint8_t(in[at + i])) << (8 * i);
  at += 4;
  if (in.size() - at < size) return false;
  bytes.assign(in.begin() + at, in.begin() + at + size);
  at += size;
  return true;
}

// The file holds, per case in order, the three BMP files as a 32-bit length and the bytes.
int Write(const char* fileName) {
  std::string out;
  for (const TFaceCase& c : Cases()) {
    const TFaces faces = Compute(c);
    Put(out, faces.Out);
    Put(out, faces.In);
    Put(out, faces.Mask);
  }
  std::ofstream file(fileName, std::ios::binary);
  file << out;
  return file ? 0 : 1;
}

// Names the first byte where two BMP files differ: a header field or a pixel (bottom-up rows
// of 32-bit pixels after a 54-byte header, as the button stores its images).
void ReportDifference(const std::string& where, const Bytes& ours, const Bytes& theirs, int width) {
  size_t at = 0;
  while (at < ours.size() && at < theirs.size() && ours[at] == theirs[at])
    ++at;
  constexpr size_t kHeader = 54;
  if (at < kHeader || at >= ours.size() || at >= theirs.size() || width <= 0) {
    std::printf("%s: differs at byte %zu (sizes %zu and %zu)\n", where.c_str(), at, ours.size(),
                theirs.size());
    return;
  }
  const size_t pixel = (at - kHeader) / 4;
  auto colour = [&](const Bytes& b) {
    const size_t p = kHeader + pixel * 4;
    return unsigned(b[p]) << 16 | unsigned(b[p + 1]) << 8 | unsigned(b[p + 2]);
  };
  size_t count = 0;
  for (size_t p = kHeader; p + 4 <= ours.size() && p + 4 <= theirs.size(); p += 4)
    count += !std::equal(&ours[p], &ours[p] + 3, &theirs[p]);
  std::printf(
      "%s: pixel (%zu, row %zu from the bottom) is %06X here, %06X there; %zu of %zu pixels"
      " differ\n",
      where.c_str(), pixel % width, pixel / width, colour(ours), colour(theirs), count,
      (ours.size() - kHeader) / 4);
}

int Compare(const char* fileName) {
  std::ifstream file(fileName, std::ios::binary);
  const std::string in((std::istreambuf_iterator<char>(file)), {});
  if (in.empty()) {
    std::printf("cannot read %s\n", fileName);
    return 1;
  }
  size_t at = 0;
  int differences = 0;
  for (const TFaceCase& c : Cases()) {
    const TFaces ours = Compute(c);
    TFaces theirs;
    if (!Take(in, at, theirs.Out) || !Take(in, at, theirs.In) || !Take(in, at, theirs.Mask)) {
      std::printf("%s: missing from %s\n", c.Name.c_str(), fileName);
      return 1;
    }
    const std::pair<const Bytes*, const Bytes*> images[] = {
        {&ours.Out, &theirs.Out}, {&ours.In, &theirs.In}, {&ours.Mask, &theirs.Mask}};
    const char* const names[] = {"released face", "pressed face", "mask"};
    for (int i = 0; i < 3; ++i) {
      if (*images[i].first == *images[i].second) continue;
      ReportDifference(c.Name + " " + names[i], *images[i].first, *images[i].second, c.Width);
      ++differences;
    }
  }
  std::printf("%zu cases, %d images differ\n", Cases().size(), differences);
  return differences == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
  headless::Reset();  // our computation, whatever display the test runs on
#endif
  const std::string mode = argc == 3 ? argv[1] : "";
  if (mode == "write") return Write(argv[2]);
  if (mode == "compare") return Compare(argv[2]);
  std::fprintf(stderr, "usage: circbutton_faces write|compare FILE\n");
  return 2;
}
