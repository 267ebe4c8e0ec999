// KeySyms in Win32 terms: the virtual-key codes and the Windows-1252 characters keys type.
#include "platform/x11/X11Keyboard.h"

#include <gtest/gtest.h>

using namespace platform::x11;

TEST(X11Keyboard, LettersDigitsAndAccentedLettersTypeTheirCp1252Bytes) {
  EXPECT_EQ(Cp1252FromKeySym('1'), '1');
  EXPECT_EQ(Cp1252FromKeySym(0xE9), 0xE9);       // eacute
  EXPECT_EQ(Cp1252FromKeySym(0xC7), 0xC7);       // Ccedilla
  EXPECT_EQ(Cp1252FromKeySym(0x10020AC), 0x80);  // the euro sign as a Unicode KeySym
  EXPECT_EQ(Cp1252FromKeySym(0x20AC), 0x80);     // and as the legacy EuroSign
  EXPECT_EQ(Cp1252FromKeySym(0x13BD), 0x9C);     // oe
  EXPECT_EQ(Cp1252FromKeySym(0xFFB5), '5');      // KP_5 with NumLock
  EXPECT_EQ(Cp1252FromKeySym(0xFF0D), '\r');     // Return types a carriage return
  EXPECT_EQ(Cp1252FromKeySym(0xFF08), '\b');     // BackSpace
  EXPECT_EQ(Cp1252FromKeySym(0xFF51), 0);        // Left types nothing
  EXPECT_EQ(Cp1252FromKeySym(0xFFE1), 0);        // Shift_L types nothing
  EXPECT_EQ(Cp1252FromKeySym(0x1000100), 0);     // Amacron is outside the code page
}

TEST(X11Keyboard, KeysGetTheirWin32VirtualKeyCodes) {
  EXPECT_EQ(VirtualKeyFromKeySym('a'), 'A');
  EXPECT_EQ(VirtualKeyFromKeySym('Z'), 'Z');
  EXPECT_EQ(VirtualKeyFromKeySym('7'), '7');
  EXPECT_EQ(VirtualKeyFromKeySym(0xFF0D), 0x0D);  // VK_RETURN
  EXPECT_EQ(VirtualKeyFromKeySym(0xFF8D), 0x0D);  // keypad Enter is VK_RETURN too
  EXPECT_EQ(VirtualKeyFromKeySym(0xFF1B), 0x1B);  // VK_ESCAPE
  EXPECT_EQ(VirtualKeyFromKeySym(0xFF09), 0x09);  // VK_TAB
  EXPECT_EQ(VirtualKeyFromKeySym(0xFFE2), 0x10);  // Shift_R is VK_SHIFT
  EXPECT_EQ(VirtualKeyFromKeySym(0xFFE9), 0x12);  // Alt_L is VK_MENU
  EXPECT_EQ(VirtualKeyFromKeySym(0xFFBE), 0x70);  // F1
  EXPECT_EQ(VirtualKeyFromKeySym(0xFFB0), 0x60);  // KP_0 is VK_NUMPAD0
  EXPECT_EQ(VirtualKeyFromKeySym(0xFF53), 0x27);  // VK_RIGHT
  EXPECT_EQ(VirtualKeyFromKeySym(0x2C), 0xBC);    // comma is VK_OEM_COMMA
  // A key that types a letter without a Win32 key of its own still reports a key.
  EXPECT_EQ(VirtualKeyFromKeySym(0xE9), 0xDF);
  EXPECT_EQ(VirtualKeyFromKeySym(0xFE20), 0x09);  // ISO_Left_Tab, Shift+Tab, is VK_TAB
  EXPECT_EQ(VirtualKeyFromKeySym(0xFFED), 0);     // Hyper_L has no Win32 key
}

// KeySyms of the accent keys of a Brazilian keyboard.
constexpr uint32_t kDeadAcute = 0xFE51, kDeadTilde = 0xFE53, kDeadCircumflex = 0xFE52,
                   kDeadCedilla = 0xFE5B, kShiftL = 0xFFE1, kSpace = 0x20;

TEST(X11DeadKeys, AnAccentKeyWaitsAndAccentsTheNextLetter) {
  TDeadKeys keys;
  EXPECT_EQ(keys.Press(kDeadAcute), "");
  EXPECT_TRUE(keys.Pending());
  EXPECT_EQ(keys.Press('e'), "\xE9");
  EXPECT_FALSE(keys.Pending());
  EXPECT_EQ(keys.Press('e'), "e") << "the accent is used up";
  EXPECT_EQ(keys.Press(kDeadTilde), "");
  EXPECT_EQ(keys.Press(kShiftL), "") << "Shift keeps the accent waiting";
  EXPECT_EQ(keys.Press('A'), "\xC3");
  EXPECT_EQ(keys.Press(kDeadCircumflex), "");
  EXPECT_EQ(keys.Press('o'), "\xF4");
  EXPECT_EQ(keys.Press(kDeadCedilla), "");
  EXPECT_EQ(keys.Press('C'), "\xC7");
}

TEST(X11DeadKeys, AnAccentTheLetterDoesNotTakeIsTypedBeforeIt) {
  TDeadKeys keys;
  keys.Press(kDeadTilde);
  EXPECT_EQ(keys.Press('e'), "~e");
  keys.Press(kDeadAcute);
  EXPECT_EQ(keys.Press('1'),
            "\xB4"
            "1");
  keys.Press(kDeadAcute);
  EXPECT_EQ(keys.Press(kSpace), "\xB4") << "Space types the accent alone";
  keys.Press(kDeadAcute);
  EXPECT_EQ(keys.Press(kDeadTilde), "\xB4~") << "two accents type both";
  EXPECT_FALSE(keys.Pending());
  keys.Press(kDeadAcute);
  keys.Reset();
  EXPECT_EQ(keys.Press('a'), "a");
}
