// Keys of the X keyboard in Win32 terms: KeySyms to virtual-key codes and to the Windows-1252
// characters that TranslateMessage makes of them. Internal to platform/x11; free of X headers
// so that the tables can be tested without a display.
#pragma once

#include <cstdint>
#include <string>

namespace platform::x11 {

// The Unicode character a KeySym types, or 0 for keys that type nothing (arrows, Shift...).
// Return, Tab, BackSpace and Escape type their control characters, as on Windows.
char32_t UnicodeFromKeySym(uint32_t keySym);

// The Windows-1252 character a KeySym types, or 0 (also for characters outside the code page).
unsigned char Cp1252FromKeySym(uint32_t keySym);

// The Win32 virtual-key code of a key, from the KeySym its key cap shows without modifiers.
// Keys with no Win32 counterpart that still type a character get VK_OEM_8; others get 0.
int VirtualKeyFromKeySym(uint32_t keySym);

// Dead keys as a Windows keyboard layout treats them, for keyboards such as the Brazilian one
// that type accented letters with an accent key followed by the letter. Without this the
// accent is lost and the bare letter arrives.
class TDeadKeys {
 public:
  // Feeds the KeySym of a pressed key (Shift and Lock applied); returns the Windows-1252
  // characters it types now. A dead key types nothing and waits; the next character comes back
  // accented when the code page has that letter, or after the accent itself when it has not;
  // Space after a dead key and a second dead key type the accents alone. Keys that type
  // nothing (Shift) keep the accent waiting.
  std::string Press(uint32_t keySym);
  // Forgets a waiting accent (the focus moved, or Ctrl or Alt was held).
  void Reset() { FPending = 0; }
  bool Pending() const { return FPending != 0; }
  // True for KeySyms that are accents waiting for a letter.
  static bool IsDead(uint32_t keySym);

 private:
  uint32_t FPending = 0;
};

}  // namespace platform::x11
