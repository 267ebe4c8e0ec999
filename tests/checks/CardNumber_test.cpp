// Tests of the card number checks of the command line's library: brands told from the
// leading digits, the prefix rules, the lengths and the Luhn check digit over every digit.
#include <gtest/gtest.h>

#include <string>

#include "checks/CardNumber.h"

using namespace checks;

TEST(CardBrandOf, ReadsTheLeadingDigitsAfterAnyZeros) {
  EXPECT_EQ(CardBrandOf("378282246310005"), cbAmex);
  EXPECT_EQ(CardBrandOf("341111111111111"), cbUnknown);
  EXPECT_EQ(CardBrandOf("4111111111111111"), cbVisa);
  EXPECT_EQ(CardBrandOf("5555555555554444"), cbMasterCard);
  EXPECT_EQ(CardBrandOf("6011111111111117"), cbDiscover);
  EXPECT_EQ(CardBrandOf("0004111111111111"), cbVisa);
  EXPECT_EQ(CardBrandOf("3"), cbUnknown);
  EXPECT_EQ(CardBrandOf("0000000000000"), cbUnknown);
  EXPECT_EQ(CardBrandOf("1234567812345670"), cbUnknown);
}

TEST(CheckCardNumber, AcceptsTheKnownTestNumbers) {
  EXPECT_EQ(CheckCardNumber("4111111111111111"), crNone);
  EXPECT_EQ(CheckCardNumber("4222222222222"), crNone);
  EXPECT_EQ(CheckCardNumber("378282246310005", cpAmex), crNone);
  EXPECT_EQ(CheckCardNumber("5555555555554444", cpMasterCard), crNone);
  EXPECT_EQ(CheckCardNumber("6011111111111117", cpDiscover), crNone);
}

TEST(CheckCardNumber, AppliesTheBrandsPrefixRule) {
  EXPECT_EQ(CheckCardNumber("4111111111111111", cpMasterCard), crCardPrefix);
  EXPECT_EQ(CheckCardNumber("5555555555554444", cpVisa), crCardPrefix);
  // 34 passes the checksum but is no brand the checks know; without a rule it passes.
  EXPECT_EQ(CheckCardNumber("341111111111111"), crCardPrefix);
  EXPECT_EQ(CheckCardNumber("341111111111111", cpAmex), crCardPrefix);
  EXPECT_EQ(CheckCardNumber("341111111111111", cpNone), crNone);
  EXPECT_EQ(CheckCardNumber("0000000000000"), crCardPrefix);
  EXPECT_EQ(CheckCardNumber("0000000000000", cpNone), crNone);
}

TEST(CheckCardNumber, NamesLengthCharacterAndCheckDigit) {
  EXPECT_EQ(CheckCardNumber("411111111111"), crLength);
  EXPECT_EQ(CheckCardNumber("41111111111111111111"), crLength);
  EXPECT_EQ(CheckCardNumber("411111111111111A"), crCharacter);
  EXPECT_EQ(CheckCardNumber("4111111111111112"), crCheckDigit);
  EXPECT_EQ(CheckCardNumber("4111111111111121"), crCheckDigit);
}

// The window's verifier sums only the first sixteen digits; every digit counts here, as the
// Luhn check is defined for numbers of up to 19 digits.
TEST(CheckCardNumber, SumsEveryDigitOfALongNumber) {
  EXPECT_EQ(CheckCardNumber("41111111111111110"), crCheckDigit);
  std::string number;
  ASSERT_EQ(CompleteCardNumber("411111111111111111", number), crNone);
  EXPECT_EQ(number.size(), 19u);
  EXPECT_EQ(CheckCardNumber(number), crNone);
}

TEST(CheckCardNumber, EveryChangeOfOneDigitIsRejected) {
  const std::string number = "4111111111111111";
  for (std::size_t place = 0; place < number.size(); ++place) {
    for (char digit = '0'; digit <= '9'; ++digit) {
      if (digit == number[place]) continue;
      std::string changed = number;
      changed[place] = digit;
      EXPECT_NE(CheckCardNumber(changed, cpNone), crNone) << changed;
    }
  }
}

TEST(CompleteCardNumber, AddsTheLuhnDigit) {
  std::string number;
  EXPECT_EQ(CompleteCardNumber("411111111111111", number), crNone);
  EXPECT_EQ(number, "4111111111111111");
  number.clear();
  EXPECT_EQ(CompleteCardNumber("37828224631000", number), crNone);
  EXPECT_EQ(number, "378282246310005");
  EXPECT_EQ(CompleteCardNumber("41111111111", number), crLength);
  EXPECT_EQ(CompleteCardNumber("4111111111111111111", number), crLength);
  EXPECT_EQ(CompleteCardNumber("41111111111-1", number), crCharacter);
  EXPECT_EQ(number, "378282246310005");
}
