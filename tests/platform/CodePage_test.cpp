// Windows-1252 to and from Unicode and UTF-8, as window names and keyboard input need them.
#include "platform/core/CodePage.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CodePage, TheHighControlRangeHoldsTheCodePageOwnCharacters) {
  EXPECT_EQ(UnicodeFromCp1252(0x80), U'\u20AC');  // euro sign
  EXPECT_EQ(UnicodeFromCp1252(0x9C), U'\u0153');  // oe ligature
  EXPECT_EQ(UnicodeFromCp1252(0xE9), U'\u00E9');  // e acute, as in ISO 8859-1
  EXPECT_EQ(Cp1252FromUnicode(U'\u20AC'), 0x80);
  EXPECT_EQ(Cp1252FromUnicode(U'\u2019'), 0x92);
  EXPECT_EQ(Cp1252FromUnicode(U'\u00C7'), 0xC7);
  // Characters the code page lacks, and C1 controls that it replaced, have no byte.
  EXPECT_EQ(Cp1252FromUnicode(U'\u0100'), 0);
  EXPECT_EQ(Cp1252FromUnicode(U'\u0080'), 0);
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(Cp1252FromUnicode(UnicodeFromCp1252((unsigned char)c)), c) << c;
  }
}

TEST(CodePage, Utf8RoundTripKeepsPortugueseText) {
  const std::string cp1252 =
      "Licen\xE7"
      "a \x80 Cr\xE9"
      "ditos";
  const std::string utf8 = Utf8FromCp1252(cp1252);
  EXPECT_EQ(utf8,
            "Licen\xC3\xA7"
            "a \xE2\x82\xAC Cr\xC3\xA9"
            "ditos");
  EXPECT_EQ(Cp1252FromUtf8(utf8), cp1252);
}

TEST(CodePage, BrokenOrForeignUtf8NeverProducesStrayBytes) {
  EXPECT_EQ(Cp1252FromUtf8("a\xE2\x82"), "a");  // cut sequence
  EXPECT_EQ(Cp1252FromUtf8("\x80"
                           "b"),
            "b");                                      // stray continuation byte
  EXPECT_EQ(Cp1252FromUtf8("\xE4\xB8\xAD"), "?");      // a character outside the code page
  EXPECT_EQ(Cp1252FromUtf8("\xC3(x"), "(x");           // bad continuation
  EXPECT_EQ(Cp1252FromLatin1("a\x85\xE9"), "a?\xE9");  // C1 controls have no letter in Latin-1
}
