// Keys of the X keyboard in Win32 terms: KeySyms to virtual-key codes and to the Windows-1252
// characters that TranslateMessage makes of them. Internal to platform/x11; free of X headers
// so that the tables can be tested without a display.
#pragma once

#include <cstdint>

namespace platform::x11 {

// The Unicode character a KeySym types, or 0 for keys that type nothing (arrows, Shift...).
// Return, Tab, BackSpace and Escape type their control characters, as on Windows.
char32_t UnicodeFromKeySym(uint32_t keySym);

// The Windows-1252 character a KeySym types, or 0 (also for characters outside the code page).
unsigned char Cp1252FromKeySym(uint32_t keySym);

// The Win32 virtual-key code of a key, from the KeySym its key cap shows without modifiers.
// Keys with no Win32 counterpart that still type a character get VK_OEM_8; others get 0.
int VirtualKeyFromKeySym(uint32_t keySym);

}  // namespace platform::x11
