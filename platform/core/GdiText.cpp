// Text: fonts, TextOutA, ExtTextOutA, DrawTextA with its line breaking and "&" prefixes, and
// the measuring functions. Texts are Windows-1252. Internal to platform/ (portable core).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/core/FontEngine.h"
#include "platform/core/GdiObjects.h"
#include "platform/win32.h"

using namespace platform;
using namespace platform::gdi;
using platform::fonts::TFace;

namespace {

constexpr int kTabColumns = 8;

std::shared_ptr<TFace> FaceOf(const TDc& dc) {
  const TFont* font = Find<TFont>(dc.state.font);
  LOGFONTA log{};
  if (font) log = font->log;
  return fonts::FaceFor(log);
}

std::string Text(LPCSTR s, int count) {
  if (!s) return {};
  if (count < 0) return std::string(s);
  return std::string(s, size_t(count));
}

int Height(const TFace& face) {
  return face.Metrics().ascent + face.Metrics().descent;
}

int TabWidth(const TFace& face) {
  return std::max(face.Metrics().aveCharWidth * kTabColumns, 1);
}

// The pen position after `text`, starting at `x`; tabs jump to the next stop when expanded.
int Advance(TFace& face, const std::string& text, int x, bool expandTabs) {
  for (unsigned char c : text) {
    if (expandTabs && c == '\t') {
      x = (x / TabWidth(face) + 1) * TabWidth(face);
      continue;
    }
    x += face.Advance(c);
  }
  return x;
}

int Width(TFace& face, const std::string& text, bool expandTabs = false) {
  return Advance(face, text, 0, expandTabs) + (text.empty() ? 0 : face.Metrics().overhang);
}

void Grow(RECT& r, const RECT& more) {
  if (Empty(more)) return;
  if (Empty(r)) {
    r = more;
    return;
  }
  r = {std::min(r.left, more.left), std::min(r.top, more.top), std::max(r.right, more.right),
       std::max(r.bottom, more.bottom)};
}

// Blends one glyph pixel of coverage `a` in `color` over what is there.
uint32_t Blend(uint32_t dest, uint32_t color, uint32_t a) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t d = (dest >> shift) & 0xFF, c = (color >> shift) & 0xFF;
    out |= ((c * a + d * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

void DrawGlyph(TTarget& target, const fonts::TGlyph& g, int x, int baseline, uint32_t color,
               bool smooth, RECT& changed) {
  const RECT box{x + g.left, baseline - g.top, x + g.left + g.width, baseline - g.top + g.height};
  const RECT r = Intersect(box, target.clip);
  for (int y = r.top; y < r.bottom; ++y) {
    uint32_t* row = target.surface->Row(y);
    const uint8_t* cover = g.coverage.data() + size_t(y - box.top) * g.width - box.left;
    for (int px = r.left; px < r.right; ++px) {
      const uint32_t a = cover[px];
      if (a == 0) continue;
      row[px] = (smooth && !target.mono) ? Blend(row[px], color, a) : (a >= 128 ? color : row[px]);
    }
  }
  Grow(changed, r);
}

// Draws a text line with its pen starting at device x, the baseline at device y, the way the
// DC's colours and modes ask. Returns the device rectangle it may have changed.
RECT DrawLine(TTarget& target, TFace& face, const std::string& text, int x, int baseline,
              bool expandTabs) {
  const TDcState& s = target.dc->state;
  const auto& m = face.Metrics();
  const int width = Width(face, text, expandTabs);
  RECT changed{};
  const RECT cell{x, baseline - m.ascent, x + width, baseline + m.descent};
  if (s.bkMode == OPAQUE) {
    FillDevice(target, cell, PixelFor(s.bkColor, target.mono), R2_COPYPEN);
    Grow(changed, Intersect(cell, target.clip));
  }
  const uint32_t color = PixelFor(s.textColor, target.mono);
  int pen = x;
  for (unsigned char c : text) {
    if (expandTabs && c == '\t') {
      pen = x + (Advance(face, std::string(1, '\t'), pen - x, true));
      continue;
    }
    const fonts::TGlyph& g = face.Glyph(c);
    DrawGlyph(target, g, pen, baseline, color, face.Smooth(), changed);
    pen += g.advance;
  }
  const TFont* font = Find<TFont>(s.font);
  auto line = [&](int top) {
    const RECT bar{x, top, x + width, top + m.underlineThickness};
    FillDevice(target, bar, color, R2_COPYPEN);
    Grow(changed, Intersect(bar, target.clip));
  };
  if (font && font->log.lfUnderline) line(baseline + m.underlinePosition);
  if (font && font->log.lfStrikeOut) line(baseline - m.strikeoutPosition);
  return changed;
}

// --- DrawTextA ---

// A line of DrawTextA after prefix processing: what is shown, and which character (if any)
// carries the prefix underline.
struct TShownLine {
  std::string text;
  int underline = -1;
};

// Applies the "&" rule: "&&" shows one "&", "&x" shows x underlined, a final "&" shows nothing.
TShownLine StripPrefixes(const std::string& text) {
  TShownLine line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      line.text += text[i];
      continue;
    }
    if (++i >= text.size()) break;
    if (text[i] != '&') line.underline = int(line.text.size());
    line.text += text[i];
  }
  return line;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += text[i];
    }
  }
  return lines;
}

// Breaks a line between words so that each piece fits `width`; a word wider than that stands
// alone on its line. Spaces at a break are dropped.
void WrapLine(TFace& face, const TShownLine& line, int width, bool expandTabs,
              std::vector<TShownLine>& out) {
  const std::string& t = line.text;
  size_t start = 0;
  while (true) {
    size_t end = start, fit = std::string::npos;
    while (end < t.size()) {
      // Searching past `end` moves on even where a line starts with blanks.
      size_t wordEnd = t.find(' ', end + 1);
      if (wordEnd == std::string::npos) wordEnd = t.size();
      if (fit != std::string::npos &&
          Width(face, t.substr(start, wordEnd - start), expandTabs) > width)
        break;
      fit = end = wordEnd;
    }
    const size_t stop = fit == std::string::npos ? t.size() : fit;
    TShownLine piece{t.substr(start, stop - start), -1};
    if (line.underline >= int(start) && line.underline < int(stop))
      piece.underline = line.underline - int(start);
    out.push_back(piece);
    start = stop;
    while (start < t.size() && t[start] == ' ')
      ++start;
    if (start >= t.size()) break;
  }
}

std::vector<TShownLine> LayOut(TFace& face, const std::string& text, const RECT& r, UINT format) {
  std::vector<TShownLine> shown;
  const bool prefixes = !(format & DT_NOPREFIX);
  const std::vector<std::string> lines =
      format & DT_SINGLELINE ? std::vector<std::string>{text} : SplitLines(text);
  for (const std::string& raw : lines) {
    const TShownLine line = prefixes ? StripPrefixes(raw) : TShownLine{raw, -1};
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
      WrapLine(face, line, r.right - r.left, format & DT_EXPANDTABS, shown);
    else
      shown.push_back(line);
  }
  return shown;
}

void DrawShown(TTarget& target, TFace& face, const std::vector<TShownLine>& lines,
               const RECT& device, int top, int lineHeight, UINT format, RECT& changed) {
  const bool expand = format & DT_EXPANDTABS;
  const uint32_t color = PixelFor(target.dc->state.textColor, target.mono);
  int y = top;
  for (const TShownLine& line : lines) {
    const int width = Width(face, line.text, expand);
    int x = device.left;
    if (format & DT_CENTER) x = device.left + (device.right - device.left - width) / 2;
    if (format & DT_RIGHT) x = device.right - width;
    const int baseline = y + face.Metrics().ascent;
    if (!(format & DT_PREFIXONLY))
      Grow(changed, DrawLine(target, face, line.text, x, baseline, expand));
    if (line.underline >= 0 && !(format & DT_HIDEPREFIX)) {
      const int from = Advance(face, line.text.substr(0, size_t(line.underline)), x, expand);
      const int to = from + face.Advance(static_cast<unsigned char>(line.text[line.underline]));
      const RECT bar{from, baseline + 1, to, baseline + 2};
      FillDevice(target, bar, color, R2_COPYPEN);
      Grow(changed, Intersect(bar, target.clip));
    }
    y += lineHeight;
  }
}

}  // namespace

extern "C" {

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
  if (!lplf) return nullptr;
  auto font = std::make_unique<TFont>();
  font->type = OBJ_FONT;
  font->log = *lplf;
  font->log.lfFaceName[LF_FACESIZE - 1] = 0;
  return static_cast<HFONT>(AddObject(std::move(font)));
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                         DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                         DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality,
                         DWORD iPitchAndFamily, LPCSTR pszFaceName) {
  LOGFONTA log{};
  log.lfHeight = cHeight, log.lfWidth = cWidth;
  log.lfEscapement = cEscapement, log.lfOrientation = cOrientation;
  log.lfWeight = cWeight;
  log.lfItalic = BYTE(bItalic), log.lfUnderline = BYTE(bUnderline);
  log.lfStrikeOut = BYTE(bStrikeOut), log.lfCharSet = BYTE(iCharSet);
  log.lfOutPrecision = BYTE(iOutPrecision), log.lfClipPrecision = BYTE(iClipPrecision);
  log.lfQuality = BYTE(iQuality), log.lfPitchAndFamily = BYTE(iPitchAndFamily);
  if (pszFaceName) std::strncpy(log.lfFaceName, pszFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectA(&log);
}

int WINAPI GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc) return 0;
  const TFont* font = Find<TFont>(dc->state.font);
  const std::string name = font ? font->log.lfFaceName : "";
  if (!lpName) return int(name.size()) + 1;
  if (c <= 0) return 0;
  const size_t n = std::min(name.size(), size_t(c - 1));
  std::memcpy(lpName, name.data(), n);
  lpName[n] = 0;
  return int(n) + 1;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc || !lptm) return FALSE;
  const auto face = FaceOf(*dc);
  const auto& m = face->Metrics();
  const TFont* font = Find<TFont>(dc->state.font);
  TEXTMETRICA tm{};
  tm.tmHeight = m.ascent + m.descent;
  tm.tmAscent = m.ascent;
  tm.tmDescent = m.descent;
  tm.tmInternalLeading = m.internalLeading;
  tm.tmExternalLeading = m.externalLeading;
  tm.tmAveCharWidth = m.aveCharWidth;
  tm.tmMaxCharWidth = m.maxCharWidth;
  tm.tmWeight = m.weight;
  tm.tmOverhang = m.overhang;
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = m.italic;
  tm.tmUnderlined = font ? font->log.lfUnderline : 0;
  tm.tmStruckOut = font ? font->log.lfStrikeOut : 0;
  tm.tmPitchAndFamily = BYTE((m.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                             (font ? font->log.lfPitchAndFamily & 0xF0 : 0));
  tm.tmCharSet = ANSI_CHARSET;
  *lptm = tm;
  return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
  TDc* dc = Find<TDc>(hdc);
  if (!dc || !psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
  const auto face = FaceOf(*dc);
  psizl->cx = Width(*face, Text(lpString, c));
  psizl->cy = Height(*face);
  return TRUE;
}

BOOL WINAPI ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString,
                        UINT c, const INT* lpDx) {
  TTarget target;
  if (lpDx || (c > 0 && !lpString) || !OpenTarget(hdc, target)) return FALSE;
  TDcState& s = target.dc->state;
  const auto face = FaceOf(*target.dc);
  const std::string text = Text(lpString, int(c));
  RECT changed{};
  if (lprect && (options & (ETO_OPAQUE | ETO_CLIPPED))) {
    const POINT a = target.Device(lprect->left, lprect->top);
    const POINT b = target.Device(lprect->right, lprect->bottom);
    const RECT box{a.x, a.y, b.x, b.y};
    if (options & ETO_OPAQUE) {
      FillDevice(target, box, PixelFor(s.bkColor, target.mono), R2_COPYPEN);
      Grow(changed, Intersect(box, target.clip));
    }
    if (options & ETO_CLIPPED) target.clip = Intersect(target.clip, box);
  }
  const bool updateCp = s.textAlign & TA_UPDATECP;
  const POINT start = updateCp ? s.position : POINT{x, y};
  const int width = Width(*face, text);
  int left = start.x;
  if ((s.textAlign & TA_CENTER) == TA_CENTER)
    left -= width / 2;
  else if (s.textAlign & TA_RIGHT)
    left -= width;
  int baseline = start.y + face->Metrics().ascent;
  if ((s.textAlign & TA_BASELINE) == TA_BASELINE)
    baseline = start.y;
  else if (s.textAlign & TA_BOTTOM)
    baseline = start.y - face->Metrics().descent;
  const POINT d = target.Device(left, baseline);
  Grow(changed, DrawLine(target, *face, text, d.x, d.y, false));
  if (updateCp && !(s.textAlign & (TA_RIGHT | TA_CENTER))) s.position.x = start.x + width;
  CloseTarget(target, changed);
  return TRUE;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  if (c < 0) return FALSE;
  return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, UINT(c), nullptr);
}

int WINAPI DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
  TTarget target;
  if (!lprc || (!lpchText && cchText != 0) || !OpenTarget(hdc, target)) return 0;
  const auto face = FaceOf(*target.dc);
  const auto& m = face->Metrics();
  const int lineHeight =
      m.ascent + m.descent + (format & DT_EXTERNALLEADING ? m.externalLeading : 0);
  const std::vector<TShownLine> lines = LayOut(*face, Text(lpchText, cchText), *lprc, format);
  const int total = lineHeight * int(lines.size());
  int top = lprc->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER)
      top = lprc->top + (lprc->bottom - lprc->top - total) / 2;
    else if (format & DT_BOTTOM)
      top = lprc->bottom - total;
  }
  const int result = (format & (DT_VCENTER | DT_BOTTOM)) && (format & DT_SINGLELINE)
                         ? top - lprc->top + total
                         : total;
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const TShownLine& line : lines)
      widest = std::max(widest, Width(*face, line.text, format & DT_EXPANDTABS));
    lprc->right = lprc->left + widest;
    lprc->bottom = lprc->top + total;
    return total;
  }
  const POINT a = target.Device(lprc->left, top), b = target.Device(lprc->right, lprc->bottom);
  const RECT device{a.x, a.y, b.x, b.y};
  if (!(format & DT_NOCLIP))
    target.clip = Intersect(target.clip, {a.x, target.Device(0, lprc->top).y, b.x, b.y});
  RECT changed{};
  DrawShown(target, *face, lines, device, a.y, lineHeight, format, changed);
  CloseTarget(target, changed);
  return result;
}

}  // extern "C"
