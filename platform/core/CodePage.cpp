// Windows-1252 to and from Unicode. Internal to platform/ (portable core).
#include "platform/core/CodePage.h"

namespace platform {

namespace {

// Bytes 0x80 to 0x9F: the only range where Windows-1252 differs from ISO 8859-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

void AppendUtf8(std::string& out, char32_t u) {
  if (u < 0x80) {
    out += char(u);
  } else if (u < 0x800) {
    out += char(0xC0 | (u >> 6));
    out += char(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += char(0xE0 | (u >> 12));
    out += char(0x80 | ((u >> 6) & 0x3F));
    out += char(0x80 | (u & 0x3F));
  } else {
    out += char(0xF0 | (u >> 18));
    out += char(0x80 | ((u >> 12) & 0x3F));
    out += char(0x80 | ((u >> 6) & 0x3F));
    out += char(0x80 | (u & 0x3F));
  }
}

}  // namespace

char32_t UnicodeFromCp1252(unsigned char c) {
  return (c >= 0x80 && c < 0xA0) ? kHighControls[c - 0x80] : c;
}

unsigned char Cp1252FromUnicode(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<unsigned char>(u);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == u) return static_cast<unsigned char>(0x80 + i);
  }
  return 0;
}

std::string Utf8FromCp1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text)
    AppendUtf8(out, UnicodeFromCp1252(static_cast<unsigned char>(c)));
  return out;
}

std::string Cp1252FromUtf8(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80         ? 1
                       : (lead >> 5) == 6  ? 2
                       : (lead >> 4) == 14 ? 3
                       : (lead >> 3) == 30 ? 4
                                           : 0;
    if (length == 0 || i + length > text.size()) {
      ++i;  // a stray continuation byte or a cut sequence carries no character
      continue;
    }
    char32_t u = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = true;
    for (int k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      valid = valid && (next & 0xC0) == 0x80;
      u = (u << 6) | (next & 0x3F);
    }
    if (!valid) {
      ++i;
      continue;
    }
    i += length;
    const unsigned char c = Cp1252FromUnicode(u);
    out += (c != 0 || u == 0) ? char(c) : '?';
  }
  return out;
}

std::string Cp1252FromLatin1(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    out += (b >= 0x80 && b < 0xA0) ? '?' : c;
  }
  return out;
}

}  // namespace platform
