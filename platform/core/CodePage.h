// Windows-1252, the code page of every text inside the platform, and its conversions to and
// from Unicode at the platform's edges (fonts, window-system properties, keyboard input).
// Internal to platform/.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The Unicode code point of a Windows-1252 byte. The five bytes that the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value.
char32_t UnicodeFromCp1252(unsigned char c);

// The Windows-1252 byte of a code point, or 0 when the code page has no such character.
unsigned char Cp1252FromUnicode(char32_t u);

// UTF-8 conversions; characters outside Windows-1252 become '?', broken UTF-8 is skipped.
std::string Utf8FromCp1252(const std::string& text);
std::string Cp1252FromUtf8(const std::string& text);

// ISO 8859-1 (X11's STRING type) read as Windows-1252: C1 controls have no character there.
std::string Cp1252FromLatin1(const std::string& text);

}  // namespace platform
