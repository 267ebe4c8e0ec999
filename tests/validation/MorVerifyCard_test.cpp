// Tests of the payment card verifier: brand names, the number test and the expiry test.
#include <gtest/gtest.h>

#include <string>

#include "validation/MorVerifyCard.h"

// --- Brand names ---

TEST(CardTypeFromName, MapsEveryKnownNameInAnyLetterCase) {
  EXPECT_EQ(CardTypeFromName("Amex"), ccAmex);
  EXPECT_EQ(CardTypeFromName("american express"), ccAmex);
  EXPECT_EQ(CardTypeFromName("Optima"), ccAmex);
  EXPECT_EQ(CardTypeFromName("Visa"), ccVisa);
  EXPECT_EQ(CardTypeFromName("MasterCard"), ccMasterCard);
  EXPECT_EQ(CardTypeFromName("mc"), ccMasterCard);
  EXPECT_EQ(CardTypeFromName("Eurocard"), ccMasterCard);
  EXPECT_EQ(CardTypeFromName("Discover"), ccDiscover);
  EXPECT_EQ(CardTypeFromName("novous"), ccDiscover);
}

TEST(CardTypeFromName, GivesOtherForAnythingElse) {
  EXPECT_EQ(CardTypeFromName("Other"), ccOther);
  EXPECT_EQ(CardTypeFromName(""), ccOther);
  EXPECT_EQ(CardTypeFromName(" Visa"), ccOther);
  EXPECT_EQ(CardTypeFromName("Visa "), ccOther);
  EXPECT_EQ(CardTypeFromName("Vis"), ccOther);
  EXPECT_EQ(CardTypeFromName("VisaX"), ccOther);
  EXPECT_EQ(CardTypeFromName("Master Card"), ccOther);
  EXPECT_EQ(CardTypeFromName(std::string("VISA\0", 5)), ccOther);
  // Only a to z are upper-cased: a Windows-1252 accented letter stays as it is.
  EXPECT_EQ(CardTypeFromName("Amex\xE9"), ccOther);
}

// --- The number test ---

TEST(IsCardNumberValid, AcceptsKnownGoodNumbersForTheirBrand) {
  EXPECT_TRUE(IsCardNumberValid("4111111111111111", ccVisa));
  EXPECT_TRUE(IsCardNumberValid("4111 1111 1111 1111", ccVisa));
  EXPECT_TRUE(IsCardNumberValid("4111-1111-1111-1111", ccVisa));
  EXPECT_TRUE(IsCardNumberValid("4222222222222", ccVisa));
  EXPECT_TRUE(IsCardNumberValid("378282246310005", ccAmex));
  EXPECT_TRUE(IsCardNumberValid("5555555555554444", ccMasterCard));
  EXPECT_TRUE(IsCardNumberValid("6011111111111117", ccDiscover));
}

TEST(IsCardNumberValid, AppliesTheBrandPrefixRules) {
  EXPECT_FALSE(IsCardNumberValid("4111111111111111", ccMasterCard));
  EXPECT_FALSE(IsCardNumberValid("4111111111111111", ccAmex));
  EXPECT_FALSE(IsCardNumberValid("5555555555554444", ccDiscover));
  EXPECT_FALSE(IsCardNumberValid("6011111111111117", ccVisa));
  // 34 passes the checksum, but only 37 is an Amex prefix.
  EXPECT_FALSE(IsCardNumberValid("341111111111111", ccAmex));
  EXPECT_TRUE(IsCardNumberValid("341111111111111", ccOther));
  // Leading zeros are not the lead digit: the rule looks at the first digit that is not 0,
  // and for Amex at the digit right after it, wherever the separators fall.
  EXPECT_TRUE(IsCardNumberValid("0378282246310005", ccAmex));
  EXPECT_TRUE(IsCardNumberValid("3-78282246310005", ccAmex));
}

TEST(IsCardNumberValid, WantsThirteenDigits) {
  EXPECT_FALSE(IsCardNumberValid("", ccOther));
  // Twelve digits fail whatever the brand, even with a good checksum.
  for (const TCreditCardType type : {ccAmex, ccVisa, ccMasterCard, ccDiscover, ccOther}) {
    EXPECT_FALSE(IsCardNumberValid("000000000000", type));
    EXPECT_FALSE(IsCardNumberValid("411111111113", type));
  }
  // Letters and separators do not count as digits.
  EXPECT_FALSE(IsCardNumberValid("4222 2222 2222", ccVisa));
  EXPECT_FALSE(IsCardNumberValid("42222222222x2", ccVisa));
}

TEST(IsCardNumberValid, ZerosPassOnlyWithoutABrand) {
  EXPECT_TRUE(IsCardNumberValid("0000000000000", ccOther));
  for (const TCreditCardType type : {ccAmex, ccVisa, ccMasterCard, ccDiscover}) {
    EXPECT_FALSE(IsCardNumberValid("0000000000000", type)) << int(type);
  }
}

TEST(IsCardNumberValid, SumsOnlyTheFirstSixteenDigits) {
  EXPECT_TRUE(IsCardNumberValid("41111111111111110", ccVisa));
  EXPECT_TRUE(IsCardNumberValid("41111111111111119999", ccVisa));
  EXPECT_FALSE(IsCardNumberValid("04111111111111111", ccVisa));
  EXPECT_FALSE(IsCardNumberValid("04111111111111111", ccOther));
}

// The checksum must catch every single wrong digit: exactly one last digit completes a base.
TEST(IsCardNumberValid, AcceptsExactlyOneCheckDigitPerBase) {
  for (const std::string base : {"411111111111111", "37828224631000", "555555555555444",
                                 "601111111111111", "123456789012", "999999999999999"}) {
    int passing = 0;
    for (char last = '0'; last <= '9'; ++last) {
      if (IsCardNumberValid(base + last, ccOther)) ++passing;
    }
    EXPECT_EQ(passing, 1) << base;
  }
}

TEST(IsCardNumberValid, CatchesASwapOfNeighbouringDigits) {
  EXPECT_FALSE(IsCardNumberValid("4111111111111161", ccVisa) &&
               IsCardNumberValid("4111111111111611", ccVisa));
  EXPECT_FALSE(IsCardNumberValid("5555555555555444", ccMasterCard));
}

// --- The expiry test ---

TEST(IsCardDateValid, GoodStrictlyBeforeTheExpiryInstant) {
  const double july2001 = 37073.0;
  EXPECT_TRUE(IsCardDateValid(july2001, july2001 - 1.0 / 86400000.0));
  EXPECT_FALSE(IsCardDateValid(july2001, july2001));
  EXPECT_FALSE(IsCardDateValid(july2001, july2001 + 0.5));
  EXPECT_FALSE(IsCardDateValid(0.0, july2001));
}
