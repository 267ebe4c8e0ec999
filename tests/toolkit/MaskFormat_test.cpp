// Edit masks: the shown text and the field's text of the masks the program's fields use.
#include "toolkit/MaskFormat.h"

#include <gtest/gtest.h>

namespace {

const char* const kCgcMask = "99\\.999\\.999\\/9999\\-99;0;_";
const char* const kCpfMask = "999\\.999\\.999\\-99;0;_";
const char* const kDateMask = "99\\/9999;1;_";

// Types `keys` the way the field does: each character enters the next input position.
std::string Type(const TMaskFormat& mask, const std::string& keys) {
  std::string edit = mask.EmptyEditText();
  int pos = mask.NextInput(0);
  for (char c : keys) {
    if (pos >= mask.Length()) break;
    if (c == ' ') {  // a skipped position
      pos = mask.NextInput(pos + 1);
      continue;
    }
    if (mask.Accepts(pos, c)) {
      edit[pos] = c;
      pos = mask.NextInput(pos + 1);
    }
  }
  return edit;
}

TEST(MaskFormat, EmptyFieldsShowBlanksWithLiteralsInPlace) {
  EXPECT_EQ(TMaskFormat(kCgcMask).EmptyEditText(), "__.___.___/____-__");
  EXPECT_EQ(TMaskFormat(kCpfMask).EmptyEditText(), "___.___.___-__");
  EXPECT_EQ(TMaskFormat(kDateMask).EmptyEditText(), "__/____");
  EXPECT_EQ(TMaskFormat(kCgcMask).Length(), 18);
  EXPECT_EQ(TMaskFormat(kCpfMask).Length(), 14);
  EXPECT_EQ(TMaskFormat(kDateMask).Length(), 7);
}

TEST(MaskFormat, TextWithoutLiterals) {
  const TMaskFormat cgc(kCgcMask);
  EXPECT_EQ(cgc.TextFromEdit(cgc.EmptyEditText()), "");
  EXPECT_TRUE(cgc.IsBlank(cgc.EmptyEditText()));
  EXPECT_EQ(cgc.TextFromEdit(Type(cgc, "11222333000181")), "11222333000181");
  // Skipped positions before the last filled one read as spaces; later ones are dropped.
  EXPECT_EQ(cgc.TextFromEdit(Type(cgc, "12 4")), "12 4");
  EXPECT_EQ(cgc.TextFromEdit(Type(cgc, "1")), "1");
  EXPECT_FALSE(cgc.IsBlank(Type(cgc, "  5")));
  EXPECT_EQ(cgc.TextFromEdit(Type(cgc, "  5")), "  5");
}

TEST(MaskFormat, TextWithLiteralsKeepsEveryPosition) {
  const TMaskFormat date(kDateMask);
  EXPECT_EQ(date.TextFromEdit(date.EmptyEditText()), "  /    ");
  EXPECT_TRUE(date.IsBlank(date.EmptyEditText()));
  EXPECT_EQ(date.TextFromEdit(Type(date, "072001")), "07/2001");
  EXPECT_EQ(date.TextFromEdit(Type(date, "07")), "07/    ");
}

TEST(MaskFormat, LettersAndPunctuationAreRefusedInDigitPositions) {
  const TMaskFormat cpf(kCpfMask);
  for (char c : std::string("aZ.-/_ \t"))
    EXPECT_FALSE(cpf.Accepts(0, c)) << c;
  EXPECT_TRUE(cpf.Accepts(0, '7'));
  EXPECT_FALSE(cpf.Accepts(3, '7'));  // the dot
  EXPECT_EQ(cpf.TextFromEdit(Type(cpf, "1a2b3")), "123");
}

TEST(MaskFormat, InputPositionsSkipLiterals) {
  const TMaskFormat cgc(kCgcMask);
  EXPECT_EQ(cgc.NextInput(2), 3);
  EXPECT_EQ(cgc.PrevInput(3), 1);
  EXPECT_EQ(cgc.NextInput(18), 18);
  EXPECT_EQ(cgc.PrevInput(0), -1);
}

TEST(MaskFormat, TextGoesBackIntoTheField) {
  const TMaskFormat cgc(kCgcMask);
  EXPECT_EQ(cgc.EditFromText("11222333000181"), "11.222.333/0001-81");
  EXPECT_EQ(cgc.EditFromText("12 4"), "12._4_.___/____-__");
  const TMaskFormat date(kDateMask);
  EXPECT_EQ(date.EditFromText("  /    "), "__/____");
  EXPECT_EQ(date.EditFromText("07/2001"), "07/2001");
  EXPECT_EQ(date.EditFromText("x7/20"), "_7/20__");
}

TEST(MaskFormat, SectionsAndEscapes) {
  const TMaskFormat plain("(999) 999");
  EXPECT_TRUE(plain.KeepLiterals());
  EXPECT_EQ(plain.Blank(), '_');
  EXPECT_EQ(plain.EmptyEditText(), "(___) ___");
  const TMaskFormat blankStar("\\9\\;99;0;*");
  EXPECT_FALSE(blankStar.KeepLiterals());
  EXPECT_EQ(blankStar.EmptyEditText(), "9;**");
  EXPECT_TRUE(TMaskFormat("").Empty());
  EXPECT_TRUE(TMaskFormat(";1;_").Empty());
}

}  // namespace
