// KeySyms in Win32 terms: virtual-key codes and Windows-1252 characters. Internal to
// platform/x11.
#include "platform/x11/X11Keyboard.h"

#define XK_PUBLISHING
#define XK_LATIN2
#define XK_LATIN9
#include <X11/keysym.h>

#include "platform/core/CodePage.h"

namespace platform::x11 {

namespace {

// Virtual-key codes, named as in the Win32 headers.
enum : int {
  kVkBack = 0x08,
  kVkTab = 0x09,
  kVkClear = 0x0C,
  kVkReturn = 0x0D,
  kVkShift = 0x10,
  kVkControl = 0x11,
  kVkMenu = 0x12,
  kVkPause = 0x13,
  kVkCapital = 0x14,
  kVkEscape = 0x1B,
  kVkSpace = 0x20,
  kVkPrior = 0x21,
  kVkNext = 0x22,
  kVkEnd = 0x23,
  kVkHome = 0x24,
  kVkLeft = 0x25,
  kVkUp = 0x26,
  kVkRight = 0x27,
  kVkDown = 0x28,
  kVkSnapshot = 0x2C,
  kVkInsert = 0x2D,
  kVkDelete = 0x2E,
  kVkLWin = 0x5B,
  kVkRWin = 0x5C,
  kVkApps = 0x5D,
  kVkNumpad0 = 0x60,
  kVkMultiply = 0x6A,
  kVkAdd = 0x6B,
  kVkSeparator = 0x6C,
  kVkSubtract = 0x6D,
  kVkDecimal = 0x6E,
  kVkDivide = 0x6F,
  kVkF1 = 0x70,
  kVkNumLock = 0x90,
  kVkScroll = 0x91,
  kVkOem1 = 0xBA,
  kVkOemPlus = 0xBB,
  kVkOemComma = 0xBC,
  kVkOemMinus = 0xBD,
  kVkOemPeriod = 0xBE,
  kVkOem2 = 0xBF,
  kVkOem3 = 0xC0,
  kVkOem4 = 0xDB,
  kVkOem5 = 0xDC,
  kVkOem6 = 0xDD,
  kVkOem7 = 0xDE,
  kVkOem8 = 0xDF,
  kVkOem102 = 0xE2,
};

struct TKeyPair {
  uint32_t keySym;
  int vk;
};

// Keys whose code does not follow from the character they type.
constexpr TKeyPair kSpecialKeys[] = {
    {XK_BackSpace, kVkBack},
    {XK_Tab, kVkTab},
    {XK_ISO_Left_Tab, kVkTab},
    {XK_Clear, kVkClear},
    {XK_Return, kVkReturn},
    {XK_KP_Enter, kVkReturn},
    {XK_Shift_L, kVkShift},
    {XK_Shift_R, kVkShift},
    {XK_Control_L, kVkControl},
    {XK_Control_R, kVkControl},
    {XK_Alt_L, kVkMenu},
    {XK_Alt_R, kVkMenu},
    {XK_Meta_L, kVkMenu},
    {XK_Meta_R, kVkMenu},
    {XK_ISO_Level3_Shift, kVkMenu},
    {XK_Pause, kVkPause},
    {XK_Caps_Lock, kVkCapital},
    {XK_Escape, kVkEscape},
    {XK_space, kVkSpace},
    {XK_Prior, kVkPrior},
    {XK_Next, kVkNext},
    {XK_End, kVkEnd},
    {XK_Home, kVkHome},
    {XK_Left, kVkLeft},
    {XK_Up, kVkUp},
    {XK_Right, kVkRight},
    {XK_Down, kVkDown},
    {XK_Print, kVkSnapshot},
    {XK_Insert, kVkInsert},
    {XK_Delete, kVkDelete},
    {XK_Super_L, kVkLWin},
    {XK_Super_R, kVkRWin},
    {XK_Menu, kVkApps},
    {XK_KP_Multiply, kVkMultiply},
    {XK_KP_Add, kVkAdd},
    {XK_KP_Separator, kVkSeparator},
    {XK_KP_Subtract, kVkSubtract},
    {XK_KP_Decimal, kVkDecimal},
    {XK_KP_Divide, kVkDivide},
    {XK_KP_Home, kVkHome},
    {XK_KP_End, kVkEnd},
    {XK_KP_Prior, kVkPrior},
    {XK_KP_Next, kVkNext},
    {XK_KP_Left, kVkLeft},
    {XK_KP_Up, kVkUp},
    {XK_KP_Right, kVkRight},
    {XK_KP_Down, kVkDown},
    {XK_KP_Insert, kVkInsert},
    {XK_KP_Delete, kVkDelete},
    {XK_KP_Begin, kVkClear},
    {XK_Num_Lock, kVkNumLock},
    {XK_Scroll_Lock, kVkScroll},
    // The punctuation keys of a US keyboard, and the extra keys of a Brazilian one.
    {XK_semicolon, kVkOem1},
    {XK_colon, kVkOem1},
    {XK_ccedilla, kVkOem1},
    {XK_Ccedilla, kVkOem1},
    {XK_equal, kVkOemPlus},
    {XK_plus, kVkOemPlus},
    {XK_comma, kVkOemComma},
    {XK_less, kVkOemComma},
    {XK_minus, kVkOemMinus},
    {XK_underscore, kVkOemMinus},
    {XK_period, kVkOemPeriod},
    {XK_greater, kVkOemPeriod},
    {XK_slash, kVkOem2},
    {XK_question, kVkOem2},
    {XK_grave, kVkOem3},
    {XK_asciitilde, kVkOem3},
    {XK_apostrophe, kVkOem7},
    {XK_quotedbl, kVkOem7},
    {XK_bracketleft, kVkOem4},
    {XK_braceleft, kVkOem4},
    {XK_backslash, kVkOem5},
    {XK_bar, kVkOem5},
    {XK_bracketright, kVkOem6},
    {XK_braceright, kVkOem6},
    {XK_dead_acute, kVkOem4},
    {XK_dead_grave, kVkOem4},
    {XK_dead_tilde, kVkOem7},
    {XK_dead_circumflex, kVkOem7},
    {XK_dead_diaeresis, kVkOem3},
};

// Keys that type a control character on Windows.
constexpr struct {
  uint32_t keySym;
  char32_t character;
} kControlCharacters[] = {
    {XK_BackSpace, 0x08}, {XK_Tab, 0x09},      {XK_ISO_Left_Tab, 0x09},
    {XK_Return, 0x0D},    {XK_KP_Enter, 0x0D}, {XK_Escape, 0x1B},
};

// Legacy KeySyms of characters that Windows-1252 holds above 0xFF.
constexpr struct {
  uint32_t keySym;
  char32_t character;
} kLegacyCharacters[] = {
    {XK_OE, 0x0152},
    {XK_oe, 0x0153},
    {XK_Ydiaeresis, 0x0178},
    {XK_Scaron, 0x0160},
    {XK_scaron, 0x0161},
    {XK_Zcaron, 0x017D},
    {XK_zcaron, 0x017E},
    {XK_EuroSign, 0x20AC},
    {XK_emdash, 0x2014},
    {XK_endash, 0x2013},
    {XK_leftsinglequotemark, 0x2018},
    {XK_rightsinglequotemark, 0x2019},
    {XK_leftdoublequotemark, 0x201C},
    {XK_rightdoublequotemark, 0x201D},
    {XK_singlelowquotemark, 0x201A},
    {XK_doublelowquotemark, 0x201E},
    {XK_ellipsis, 0x2026},
    {XK_dagger, 0x2020},
    {XK_doubledagger, 0x2021},
    {XK_permille, 0x2030},
    {XK_trademark, 0x2122},
    {XK_enfilledcircbullet, 0x2022},
};

constexpr uint32_t kUnicodeKeySym = 0x01000000;

// Each dead key: the accent it types alone, and the letters it accents, as pairs of the bare
// letter and the accented one (all within Windows-1252).
struct TDeadKey {
  uint32_t keySym;
  char32_t alone;
  const char32_t* pairs;
};
constexpr TDeadKey kDeadKeys[] = {
    {XK_dead_acute, U'\u00B4',
     U"a\u00E1e\u00E9i\u00EDo\u00F3u\u00FAy\u00FDA\u00C1E\u00C9I\u00CDO\u00D3U\u00DAY\u00DD"},
    {XK_dead_grave, U'`',
     U"a\u00E0e\u00E8i\u00ECo\u00F2u\u00F9A\u00C0E\u00C8I\u00CCO\u00D2U\u00D9"},
    {XK_dead_circumflex, U'^',
     U"a\u00E2e\u00EAi\u00EEo\u00F4u\u00FBA\u00C2E\u00CAI\u00CEO\u00D4U\u00DB"},
    {XK_dead_tilde, U'~', U"a\u00E3o\u00F5n\u00F1A\u00C3O\u00D5N\u00D1"},
    {XK_dead_diaeresis, U'\u00A8',
     U"a\u00E4e\u00EBi\u00EFo\u00F6u\u00FCy\u00FFA\u00C4E\u00CBI\u00CFO\u00D6U\u00DCY\u0178"},
    {XK_dead_cedilla, U'\u00B8', U"c\u00E7C\u00C7"},
};

const TDeadKey* FindDeadKey(uint32_t keySym) {
  for (const TDeadKey& d : kDeadKeys) {
    if (d.keySym == keySym) return &d;
  }
  return nullptr;
}

void AppendCp1252(std::string& out, char32_t c) {
  if (const unsigned char b = c == 0 ? 0 : Cp1252FromUnicode(c); b != 0) out += char(b);
}

}  // namespace

char32_t UnicodeFromKeySym(uint32_t keySym) {
  if ((keySym >= 0x20 && keySym <= 0x7E) || (keySym >= 0xA0 && keySym <= 0xFF)) return keySym;
  if ((keySym & 0xFF000000) == kUnicodeKeySym) return keySym & 0x00FFFFFF;
  if (keySym >= XK_KP_0 && keySym <= XK_KP_9) return U'0' + (keySym - XK_KP_0);
  switch (keySym) {
    case XK_KP_Space:
      return U' ';
    case XK_KP_Multiply:
      return U'*';
    case XK_KP_Add:
      return U'+';
    case XK_KP_Subtract:
      return U'-';
    case XK_KP_Decimal:
      return U'.';
    case XK_KP_Divide:
      return U'/';
    case XK_KP_Equal:
      return U'=';
    default:
      break;
  }
  for (const auto& c : kControlCharacters) {
    if (c.keySym == keySym) return c.character;
  }
  for (const auto& c : kLegacyCharacters) {
    if (c.keySym == keySym) return c.character;
  }
  return 0;
}

unsigned char Cp1252FromKeySym(uint32_t keySym) {
  const char32_t u = UnicodeFromKeySym(keySym);
  return u == 0 ? 0 : Cp1252FromUnicode(u);
}

int VirtualKeyFromKeySym(uint32_t keySym) {
  if (keySym >= XK_a && keySym <= XK_z) return 'A' + int(keySym - XK_a);
  if (keySym >= XK_A && keySym <= XK_Z) return 'A' + int(keySym - XK_A);
  if (keySym >= XK_0 && keySym <= XK_9) return '0' + int(keySym - XK_0);
  if (keySym >= XK_KP_0 && keySym <= XK_KP_9) return kVkNumpad0 + int(keySym - XK_KP_0);
  if (keySym >= XK_F1 && keySym <= XK_F24) return kVkF1 + int(keySym - XK_F1);
  for (const TKeyPair& k : kSpecialKeys) {
    if (k.keySym == keySym) return k.vk;
  }
  return UnicodeFromKeySym(keySym) != 0 ? kVkOem8 : 0;
}

bool TDeadKeys::IsDead(uint32_t keySym) {
  return FindDeadKey(keySym) != nullptr;
}

std::string TDeadKeys::Press(uint32_t keySym) {
  std::string typed;
  if (const TDeadKey* dead = FindDeadKey(keySym)) {
    // Two accent keys in a row type both accents.
    if (const TDeadKey* waiting = FindDeadKey(FPending)) {
      AppendCp1252(typed, waiting->alone);
      AppendCp1252(typed, dead->alone);
      FPending = 0;
    } else {
      FPending = keySym;
    }
    return typed;
  }
  const char32_t c = UnicodeFromKeySym(keySym);
  const TDeadKey* waiting = FindDeadKey(FPending);
  if (c == 0 || waiting == nullptr) {
    AppendCp1252(typed, c);
    return typed;
  }
  FPending = 0;
  if (c == U' ') {
    AppendCp1252(typed, waiting->alone);
    return typed;
  }
  for (const char32_t* p = waiting->pairs; p[0] != 0; p += 2) {
    if (p[0] == c) {
      AppendCp1252(typed, p[1]);
      return typed;
    }
  }
  AppendCp1252(typed, waiting->alone);
  AppendCp1252(typed, c);
  return typed;
}

}  // namespace platform::x11
