// Conversions between the layer's Windows-1252 texts and the Unicode of the system around it
// (file names, account data, version resources). Layer: platform core.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The Unicode code point of one Windows-1252 byte. The five bytes the code page leaves
// undefined map to the C1 control of the same number, as Windows does.
char32_t CodePointFromCp1252(unsigned char byte);

// The Windows-1252 byte for a code point, or '?' when the code page has none.
char Cp1252FromCodePoint(char32_t codePoint);

// UTF-8 to Windows-1252; malformed sequences and characters outside the code page become '?'.
std::string Cp1252FromUtf8(std::string_view utf8);

std::string Utf8FromCp1252(std::string_view text);

}  // namespace platform
