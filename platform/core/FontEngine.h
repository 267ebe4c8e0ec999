// Fonts for the drawing functions: a LOGFONTA is matched to an installed face through
// fontconfig and rasterised by FreeType, one Windows-1252 character at a time. Internal to
// platform/; nothing outside the platform sees FreeType or fontconfig.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/gdi.h"

namespace platform::fonts {

// One rasterised character: coverage 0 to 255 per pixel, placed relative to the pen position
// on the baseline (left to the right, top upwards).
struct TGlyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int advance = 0;
  std::vector<uint8_t> coverage;
};

// The GDI metrics of a face at its size, in pixels.
struct TFaceMetrics {
  int ascent = 0;
  int descent = 0;
  int internalLeading = 0;
  int externalLeading = 0;
  int aveCharWidth = 0;
  int maxCharWidth = 0;
  int overhang = 0;
  int weight = FW_NORMAL;
  bool italic = false;
  bool fixedPitch = false;
  int underlinePosition = 1;  // pixels below the baseline
  int underlineThickness = 1;
  int strikeoutPosition = 0;  // pixels above the baseline
  std::string family;         // the face actually used
};

class TFace {
 public:
  virtual ~TFace() = default;
  virtual const TFaceMetrics& Metrics() const = 0;
  // The glyph of a Windows-1252 character; the face's missing-glyph box when it has none.
  virtual const TGlyph& Glyph(unsigned char c) = 0;
  // The pen's advance after a character, as its glyph has it; found without rendering the glyph
  // where the face can, since measuring text needs no more.
  virtual int Advance(unsigned char c) { return Glyph(c).advance; }
  // Whether drawing should blend the coverage (anti-aliased) or take it as on or off.
  virtual bool Smooth() const = 0;
  // Closes the font file and forgets the rendered glyphs; the next glyph opens the file again.
  virtual void ReleaseFile() {}
};

// The face for a logical font, shared between every font that asks for the same thing.
// Never null: when no face can be loaded at all, a face without glyphs stands in.
std::shared_ptr<TFace> FaceFor(const LOGFONTA& log);

// Closes every face's font file, for a program that shows nothing for now: the files' pages and
// the rendered glyphs are given back, and each face opens its file again when it next draws.
void ReleaseFaceFiles();

// Readies font matching for a program about to show text. The matches of an earlier run are
// read from `storeFile` (see FontMatchStore.h) and used while they hold; otherwise the font
// configuration is read on a thread of its own, the first font matched waits for it, and every
// match made is kept in the file for the next run. An empty name keeps nothing.
void PrepareFontMatching(const std::string& storeFile);

// The installed family that a Windows face name stands for ("Arial" → a metric-compatible
// face where one is installed).
std::string SubstituteFamily(const std::string& faceName);

}  // namespace platform::fonts
