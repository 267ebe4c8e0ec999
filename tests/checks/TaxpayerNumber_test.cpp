// Tests of the CPF and CNPJ checks of the command line's library: the worked and published
// examples, the reasons, the repeated-digit rule, completion, and agreement with the rule as
// written for every kind of character.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>

#include "checks/TaxpayerNumber.h"

using namespace checks;

namespace {

// The rules written out plainly, one character at a time, to hold the library to.
int PlainValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 'A' - '0';
  return -1;
}

TCheckReason PlainCheckCpf(std::string_view number, bool allowRepeated) {
  if (number.size() != 11) return crLength;
  for (const char c : number)
    if (c < '0' || c > '9') return crCharacter;
  std::string work(number.substr(0, 9));
  while (work.size() < 11) {
    int sum = 0;
    for (std::size_t i = 0; i < work.size(); ++i)
      sum += (work[i] - '0') * static_cast<int>(work.size() - i + 1);
    const int digit = 11 - sum % 11;
    work += static_cast<char>('0' + (digit >= 10 ? 0 : digit));
  }
  if (work != number) return crCheckDigit;
  if (!allowRepeated && number.find_first_not_of(number[0]) == std::string_view::npos) {
    return crRepeated;
  }
  return crNone;
}

TCheckReason PlainCheckCnpj(std::string_view number, bool allowRepeated) {
  if (number.size() != 14) return crLength;
  for (std::size_t i = 0; i < 14; ++i) {
    const int value = PlainValue(number[i]);
    if (value < 0 || (i >= 12 && value > 9)) return crCharacter;
  }
  const std::string_view weights[2] = {"543298765432", "654329876543"};
  int digits[2] = {0, 0};
  for (int pass = 0; pass < 2; ++pass) {
    int sum = pass == 1 ? digits[0] * 2 : 0;
    for (std::size_t i = 0; i < 12; ++i)
      sum += PlainValue(number[i]) * (weights[pass][i] - '0');
    digits[pass] = sum * 10 % 11 == 10 ? 0 : sum * 10 % 11;
  }
  if (number[12] - '0' != digits[0] || number[13] - '0' != digits[1]) return crCheckDigit;
  if (!allowRepeated && number.find_first_not_of(number[0]) == std::string_view::npos) {
    return crRepeated;
  }
  return crNone;
}

// A valid number, then every change of one character into any other byte, once with each of
// the two repeated-digit rules.
template <typename Check, typename Plain>
void ExpectAgreementAround(const std::string& number, Check check, Plain plain) {
  for (const bool allowRepeated : {false, true}) {
    ASSERT_EQ(check(number, allowRepeated), plain(number, allowRepeated)) << number;
    for (std::size_t place = 0; place < number.size(); ++place) {
      std::string changed = number;
      for (int byte = 0; byte < 256; ++byte) {
        changed[place] = static_cast<char>(byte);
        ASSERT_EQ(check(changed, allowRepeated), plain(changed, allowRepeated))
            << number << " place " << place << " byte " << byte;
      }
    }
  }
}

std::string RandomText(std::mt19937& random, std::size_t length, std::string_view alphabet) {
  std::string text(length, ' ');
  for (char& c : text)
    c = alphabet[random() % alphabet.size()];
  return text;
}

}  // namespace

// --- CPF ---

TEST(CheckCpf, AcceptsTheWorkedExamples) {
  EXPECT_EQ(CheckCpf("11144477735"), crNone);
  // A remainder of 1 gives check digit 0, not 10.
  EXPECT_EQ(CheckCpf("12345678909"), crNone);
}

TEST(CheckCpf, NamesTheReason) {
  EXPECT_EQ(CheckCpf("11144477736"), crCheckDigit);
  EXPECT_EQ(CheckCpf("11144477745"), crCheckDigit);
  EXPECT_EQ(CheckCpf(""), crLength);
  EXPECT_EQ(CheckCpf("1114447773"), crLength);
  // Unlike the window's check, a twelfth digit is not passed over.
  EXPECT_EQ(CheckCpf("111444777350"), crLength);
  EXPECT_EQ(CheckCpf("1114447773A"), crCharacter);
  EXPECT_EQ(CheckCpf("A1144477735"), crCharacter);
  EXPECT_EQ(CheckCpf(std::string("111444\0"
                                 "7735",
                                 11)),
            crCharacter);
  // The check takes the number's own characters: masks are dropped before it.
  EXPECT_EQ(CheckCpf("111.444.777"), crCharacter);
}

TEST(CheckCpf, RepeatedDigitsAreInvalidUnlessAllowed) {
  for (char digit = '0'; digit <= '9'; ++digit) {
    const std::string number(11, digit);
    EXPECT_EQ(CheckCpf(number), crRepeated) << number;
    EXPECT_EQ(CheckCpf(number, true), crNone) << number;
  }
}

TEST(CheckCpf, AgreesWithTheRuleForEveryChangeOfOneCharacter) {
  for (const std::string number : {"11144477735", "12345678909", "00000000000", "98765432100"}) {
    ExpectAgreementAround(number, CheckCpf, PlainCheckCpf);
  }
}

TEST(CheckCpf, AgreesWithTheRuleOnRandomDigits) {
  std::mt19937 random(7);
  for (int i = 0; i < 20000; ++i) {
    std::string number = RandomText(random, 11, "0123456789");
    // Every other one is made valid, so that both answers are tried.
    if (i % 2 == 0) {
      const std::string base = number.substr(0, 9);
      number.clear();
      ASSERT_EQ(CompleteCpf(base, number), crNone);
    }
    ASSERT_EQ(CheckCpf(number), PlainCheckCpf(number, false)) << number;
  }
}

// --- CNPJ ---

TEST(CheckCnpj, AcceptsTheWorkedExamples) {
  EXPECT_EQ(CheckCnpj("11222333000181"), crNone);
  // Ten times the sum modulo eleven giving 10 makes check digit 0.
  EXPECT_EQ(CheckCnpj("11222333000009"), crNone);
}

TEST(CheckCnpj, AcceptsThePublishedAlphanumericExampleInEitherCase) {
  EXPECT_EQ(CheckCnpj("12ABC34501DE35"), crNone);
  EXPECT_EQ(CheckCnpj("12abc34501de35"), crNone);
  EXPECT_EQ(CheckCnpj("12AbC34501dE35"), crNone);
  EXPECT_EQ(CheckCnpj("12ABC34501DE36"), crCheckDigit);
  EXPECT_EQ(CheckCnpj("12ABC34501DE45"), crCheckDigit);
}

TEST(CheckCnpj, NamesTheReason) {
  EXPECT_EQ(CheckCnpj("1122233300018"), crLength);
  EXPECT_EQ(CheckCnpj("112223330001810"), crLength);
  // Check digits are decimal digits only.
  EXPECT_EQ(CheckCnpj("12ABC34501DE3A"), crCharacter);
  // The characters around the letters and digits count for nothing: '@' would count 16 and
  // '[' 43, ':' 10, were they read as their code minus 48.
  EXPECT_EQ(CheckCnpj("12@BC34501DE35"), crCharacter);
  EXPECT_EQ(CheckCnpj("12[BC34501DE35"), crCharacter);
  EXPECT_EQ(CheckCnpj("12:BC34501DE35"), crCharacter);
  EXPECT_EQ(CheckCnpj("12\xC3\x87"
                      "BC34501DE3"),
            crCharacter);
}

TEST(CheckCnpj, RepeatedDigitsAreInvalidUnlessAllowed) {
  EXPECT_EQ(CheckCnpj("00000000000000"), crRepeated);
  EXPECT_EQ(CheckCnpj("00000000000000", true), crNone);
  // The other repeated digits have wrong check digits anyway.
  EXPECT_EQ(CheckCnpj("11111111111111", true), crCheckDigit);
}

TEST(CheckCnpj, AgreesWithTheRuleForEveryChangeOfOneCharacter) {
  for (const std::string number : {"11222333000181", "12ABC34501DE35", "00000000000000"}) {
    ExpectAgreementAround(number, CheckCnpj, PlainCheckCnpj);
  }
}

TEST(CheckCnpj, AgreesWithTheRuleOnRandomCharacters) {
  std::mt19937 random(11);
  for (int i = 0; i < 20000; ++i) {
    std::string number = RandomText(random, 14, "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz@[:/");
    if (i % 2 == 0) {
      const std::string base = number.substr(0, 12);
      number.clear();
      if (CompleteCnpj(base, number) != crNone) continue;
    }
    ASSERT_EQ(CheckCnpj(number), PlainCheckCnpj(number, false)) << number;
  }
}

// --- Single changes ---
// A weighted sum modulo 11 misses some changes: at a base place, one that changes the
// character's value by a multiple of 11 ('6' and 'A', 'C' and 'N', '0' and 'F' and 'Q'), which
// only letters make possible; and, since remainders 0 and 1 both give check digit 0, a few
// changes of numbers whose first check digit is 0 (such as 12345678909 and 22345678909, both
// valid). Every other change of one character is caught.

TEST(SingleChanges, TheRuleMissesValueChangesByMultiplesOfEleven) {
  EXPECT_EQ(CheckCnpj("12ABN34501DE35"), crNone);
  EXPECT_EQ(CheckCpf("22345678909"), crNone);
}

TEST(SingleChanges, EveryOtherChangeOfTheExamplesIsRejected) {
  const std::string_view alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (const std::string number : {"12ABC34501DE35", "11222333000181", "11144477735"}) {
    const bool cpf = number.size() == 11;
    for (std::size_t place = 0; place < number.size(); ++place) {
      for (const char replacement : alphabet) {
        if (replacement == number[place]) continue;
        std::string changed = number;
        changed[place] = replacement;
        const TCheckReason reason = cpf ? CheckCpf(changed) : CheckCnpj(changed);
        const int difference = PlainValue(replacement) - PlainValue(number[place]);
        const bool unseen = !cpf && place < 12 && difference % 11 == 0;
        EXPECT_EQ(reason == crNone, unseen) << changed;
      }
    }
  }
}

// --- Completion ---

TEST(Complete, AddsTheCheckDigits) {
  std::string number = "prefix:";
  EXPECT_EQ(CompleteCpf("111444777", number), crNone);
  EXPECT_EQ(number, "prefix:11144477735");
  number.clear();
  EXPECT_EQ(CompleteCnpj("112223330001", number), crNone);
  EXPECT_EQ(number, "11222333000181");
  number.clear();
  EXPECT_EQ(CompleteCnpj("12abc34501de", number), crNone);
  EXPECT_EQ(number, "12ABC34501DE35");
}

TEST(Complete, RefusesABadBaseAndLeavesTheNumber) {
  std::string number = "kept";
  EXPECT_EQ(CompleteCpf("11144477", number), crLength);
  EXPECT_EQ(CompleteCpf("11144477A", number), crCharacter);
  EXPECT_EQ(CompleteCnpj("11222333000", number), crLength);
  EXPECT_EQ(CompleteCnpj("1122233300#1", number), crCharacter);
  EXPECT_EQ(number, "kept");
}
