// The Windows-1252 code page, the one in which texts cross the platform's API, and Unicode,
// which fonts and the desktop speak. Internal to platform/.
#pragma once

#include <cstdint>

namespace platform {

// The Unicode code point of a Windows-1252 byte. The five bytes that the code page leaves
// undefined map to the C1 control characters of the same value.
char32_t UnicodeFromCp1252(unsigned char c);

// The Windows-1252 byte of a code point, or 0 when the code page has none.
unsigned char Cp1252FromUnicode(char32_t u);

}  // namespace platform
