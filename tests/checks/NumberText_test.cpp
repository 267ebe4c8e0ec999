// Tests of typed numbers: the punctuation of masks dropped, the kind told from the count of
// characters, the verdicts of each kind, completion and the standard masks.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "checks/NumberMask.h"
#include "checks/NumberText.h"

using namespace checks;

namespace {

TVerdict Check(std::string_view text, TCheckOptions options = {}) {
  return CheckNumber(text, options);
}

TCheckOptions Cards(TCardPrefixRule rule = cpAnyBrand) {
  TCheckOptions options;
  options.Cards = true;
  options.CardRule = rule;
  return options;
}

std::string Masked(TNumberKind kind, std::string_view number) {
  std::string out;
  AppendMasked(out, kind, number);
  return out;
}

}  // namespace

// --- Telling the kind ---

TEST(CheckNumber, TellsTheKindFromTheCountOfCharacters) {
  EXPECT_EQ(Check("11144477735").Kind, nkCpf);
  EXPECT_EQ(Check("11222333000181").Kind, nkCnpj);
  EXPECT_EQ(Check("12ABC34501DE35").Kind, nkCnpj);
  for (const std::string_view text : {"", "1", "1114447773", "111444777350", "1122233300018",
                                      "112223330001810", "4111111111111111"}) {
    const TVerdict verdict = Check(text);
    EXPECT_EQ(verdict.Kind, nkUnknown) << text;
    EXPECT_EQ(verdict.Reason, crLength) << text;
  }
}

TEST(CheckNumber, DropsThePunctuationOfEveryMask) {
  for (const std::string_view text :
       {"111.444.777-35", "111 444 777 35", "111444777-35", " 111.444.777-35\t",
        "1/1/1.4-4 4.7\t77-35", "11.222.333/0001-81", "11 222 333 0001 81", "12.ABC.345/01DE-35",
        "12.abc.345/01de-35", "12 ABC 345 01DE 35"}) {
    EXPECT_TRUE(Check(text).Valid()) << text;
  }
}

TEST(CheckNumber, KeepsEveryOtherCharacter) {
  // A comma or an underline is no mask punctuation: it counts, and is no digit.
  EXPECT_EQ(Check("111,444,777,35").Kind, nkCnpj);
  EXPECT_EQ(Check("111,444,777,35").Reason, crCharacter);
  EXPECT_EQ(Check("111_444_777").Reason, crCharacter);
  EXPECT_EQ(Check("111.444.777-3\r").Reason, crCharacter);
  EXPECT_EQ(Check(std::string_view("111.444.777-3\0", 14)).Reason, crCharacter);
  // Bytes of a multi-byte character count one each.
  EXPECT_EQ(Check("111.444.777-\xC2\xB3").Reason, crCharacter);
  // Masks with stray characters where the punctuation belongs are read character by character.
  EXPECT_EQ(Check("111x444.777-35").Kind, nkUnknown);
  EXPECT_EQ(Check("11.222.333x0001-81").Kind, nkUnknown);
}

TEST(CheckNumber, ReportsEachReason) {
  EXPECT_EQ(Check("111.444.777-36").Reason, crCheckDigit);
  EXPECT_EQ(Check("11.222.333/0001-80").Reason, crCheckDigit);
  EXPECT_EQ(Check("000.000.000-00").Reason, crRepeated);
  EXPECT_EQ(Check("00.000.000/0000-00").Reason, crRepeated);
  TCheckOptions window;
  window.AllowRepeated = true;
  EXPECT_TRUE(Check("000.000.000-00", window).Valid());
  EXPECT_TRUE(Check("99999999999", window).Valid());
}

// The standard masks are read where they stand, everything else through the general path:
// both must give the verdict of the bare number.
TEST(CheckNumber, AnyPunctuationGivesTheVerdictOfTheBareNumber) {
  std::mt19937 random(3);
  const std::string_view punctuation = ".-/ \t";
  const std::string numbers[] = {
      "11144477735",    "11144477736",    "12345678909",    "00000000000", "11222333000181",
      "12ABC34501DE35", "12abc34501de36", "00000000000000", "1114447773X", "12ABC34501DE3A"};
  for (const std::string& number : numbers) {
    const TVerdict bare = Check(number);
    const std::string masked = Masked(bare.Kind, number);
    EXPECT_EQ(Check(masked).Reason, bare.Reason) << masked;
    EXPECT_EQ(Check(masked).Kind, bare.Kind) << masked;
    for (int trial = 0; trial < 200; ++trial) {
      std::string text = number;
      const int insertions = static_cast<int>(random() % 8);
      for (int i = 0; i < insertions; ++i) {
        text.insert(random() % (text.size() + 1), 1, punctuation[random() % punctuation.size()]);
      }
      const TVerdict verdict = Check(text);
      ASSERT_EQ(verdict.Kind, bare.Kind) << text;
      ASSERT_EQ(verdict.Reason, bare.Reason) << text;
    }
  }
}

TEST(CheckNumber, HandlesTextsLongerThanAnyNumber) {
  const std::string digits(1000, '1');
  EXPECT_EQ(Check(digits).Reason, crLength);
  EXPECT_EQ(Check(digits, Cards()).Reason, crLength);
  EXPECT_EQ(Check(std::string(1000, '.') + "11144477735" + std::string(1000, ' ')).Reason, crNone);
}

// --- Cards ---

TEST(CheckNumber, ChecksCardNumbersWhenAskedTo) {
  const TVerdict visa = Check("4111 1111 1111 1111", Cards());
  EXPECT_EQ(visa.Kind, nkCard);
  EXPECT_EQ(visa.Brand, cbVisa);
  EXPECT_TRUE(visa.Valid());
  EXPECT_TRUE(Check("4111-1111-1111-1111", Cards(cpVisa)).Valid());
  EXPECT_EQ(Check("4111 1111 1111 1111", Cards(cpAmex)).Reason, crCardPrefix);
  EXPECT_EQ(Check("4111 1111 1111 111x", Cards()).Reason, crCharacter);
  // Eleven and fourteen digits are card numbers too when cards are asked for.
  EXPECT_EQ(Check("11144477735", Cards()).Reason, crLength);
  EXPECT_EQ(Check("4111 1111 1111 1111 1111", Cards()).Reason, crLength);
}

// --- Completion ---

TEST(CompleteNumber, CompletesEachKindOfBase) {
  std::string number;
  EXPECT_TRUE(CompleteNumber("111.444.777", {}, number).Valid());
  EXPECT_EQ(number, "11144477735");
  number.clear();
  const TVerdict cnpj = CompleteNumber("12.abc.345/01de", {}, number);
  EXPECT_EQ(cnpj.Kind, nkCnpj);
  EXPECT_TRUE(cnpj.Valid());
  EXPECT_EQ(number, "12ABC34501DE35");
  number.clear();
  EXPECT_TRUE(CompleteNumber("4111 1111 1111 111", Cards(), number).Valid());
  EXPECT_EQ(number, "4111111111111111");
}

TEST(CompleteNumber, JudgesTheCompletedNumber) {
  std::string number;
  EXPECT_EQ(CompleteNumber("000.000.000", {}, number).Reason, crRepeated);
  TCheckOptions window;
  window.AllowRepeated = true;
  number.clear();
  EXPECT_TRUE(CompleteNumber("000.000.000", window, number).Valid());
  number.clear();
  EXPECT_EQ(CompleteNumber("1111 1111 1111 111", Cards(), number).Reason, crCardPrefix);
  number.clear();
  EXPECT_EQ(CompleteNumber("11144477735", {}, number).Reason, crLength);
  EXPECT_EQ(CompleteNumber("11144477A", {}, number).Reason, crCharacter);
}

// --- Masks ---

TEST(AppendMasked, WritesEachKindInItsMask) {
  EXPECT_EQ(Masked(nkCpf, "11144477735"), "111.444.777-35");
  EXPECT_EQ(Masked(nkCnpj, "11222333000181"), "11.222.333/0001-81");
  EXPECT_EQ(Masked(nkCnpj, "12abc34501de35"), "12.ABC.345/01DE-35");
  EXPECT_EQ(Masked(nkCard, "4111111111111111"), "4111 1111 1111 1111");
  EXPECT_EQ(Masked(nkCard, "378282246310005"), "3782 822463 10005");
  EXPECT_EQ(Masked(nkCard, "4222222222222"), "4222 2222 2222 2");
  EXPECT_EQ(Masked(nkUnknown, "123"), "123");
  EXPECT_EQ(Masked(nkCpf, "123"), "123");
}
