// Tests of the payment card verifier: brand names, the number and expiry tests, the verdict
// against the clock and the message-box properties.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/MORTypes.h"
#include "platform/headless/headless.h"
#include "tests/toolkit/ControlsHarness.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Streaming.h"

#include "validation/MorVerifyCard.h"

// --- Brand names ---

TEST(CardTypeFromName, MapsEveryKnownNameInAnyLetterCase) {
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Amex"), ccAmex);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("american express"), ccAmex);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Optima"), ccAmex);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Visa"), ccVisa);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("MasterCard"), ccMasterCard);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("mc"), ccMasterCard);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Eurocard"), ccMasterCard);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Discover"), ccDiscover);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("novous"), ccDiscover);
}

TEST(CardTypeFromName, GivesOtherForAnythingElse) {
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Other"), ccOther);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName(""), ccOther);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName(" Visa"), ccOther);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Visa "), ccOther);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Vis"), ccOther);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("VisaX"), ccOther);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Master Card"), ccOther);
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName(std::string("VISA\0", 5)), ccOther);
  // Only a to z are upper-cased: a Windows-1252 accented letter stays as it is.
  EXPECT_EQ(TMorVerifyCard::CardTypeFromName("Amex\xE9"), ccOther);
}

// --- The number test ---

TEST(IsCardNumberValid, AcceptsKnownGoodNumbersForTheirBrand) {
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("4111111111111111", ccVisa));
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("4111 1111 1111 1111", ccVisa));
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("4111-1111-1111-1111", ccVisa));
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("4222222222222", ccVisa));
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("378282246310005", ccAmex));
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("5555555555554444", ccMasterCard));
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("6011111111111117", ccDiscover));
}

TEST(IsCardNumberValid, AppliesTheBrandPrefixRules) {
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("4111111111111111", ccMasterCard));
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("4111111111111111", ccAmex));
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("5555555555554444", ccDiscover));
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("6011111111111117", ccVisa));
  // 34 passes the checksum, but only 37 is an Amex prefix.
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("341111111111111", ccAmex));
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("341111111111111", ccOther));
  // Leading zeros are not the lead digit: the rule looks at the first digit that is not 0,
  // and for Amex at the digit right after it, wherever the separators fall.
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("0378282246310005", ccAmex));
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("3-78282246310005", ccAmex));
}

TEST(IsCardNumberValid, WantsThirteenDigits) {
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("", ccOther));
  // Twelve digits fail whatever the brand, even with a good checksum.
  for (const TCreditCardType type : {ccAmex, ccVisa, ccMasterCard, ccDiscover, ccOther}) {
    EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("000000000000", type));
    EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("411111111113", type));
  }
  // Letters and separators do not count as digits.
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("4222 2222 2222", ccVisa));
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("42222222222x2", ccVisa));
}

TEST(IsCardNumberValid, ZerosPassOnlyWithoutABrand) {
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("0000000000000", ccOther));
  for (const TCreditCardType type : {ccAmex, ccVisa, ccMasterCard, ccDiscover}) {
    EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("0000000000000", type)) << int(type);
  }
}

TEST(IsCardNumberValid, SumsOnlyTheFirstSixteenDigits) {
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("41111111111111110", ccVisa));
  EXPECT_TRUE(TMorVerifyCard::IsCardNumberValid("41111111111111119999", ccVisa));
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("04111111111111111", ccVisa));
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("04111111111111111", ccOther));
}

// The checksum must catch every single wrong digit: exactly one last digit completes a base.
TEST(IsCardNumberValid, AcceptsExactlyOneCheckDigitPerBase) {
  for (const std::string base : {"411111111111111", "37828224631000", "555555555555444",
                                 "601111111111111", "123456789012", "999999999999999"}) {
    int passing = 0;
    for (char last = '0'; last <= '9'; ++last) {
      if (TMorVerifyCard::IsCardNumberValid(base + last, ccOther)) ++passing;
    }
    EXPECT_EQ(passing, 1) << base;
  }
}

TEST(IsCardNumberValid, CatchesASwapOfNeighbouringDigits) {
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("4111111111111161", ccVisa) &&
               TMorVerifyCard::IsCardNumberValid("4111111111111611", ccVisa));
  EXPECT_FALSE(TMorVerifyCard::IsCardNumberValid("5555555555555444", ccMasterCard));
}

// --- The expiry test ---

TEST(IsCardDateValid, GoodStrictlyBeforeTheExpiryInstant) {
  const double july2001 = 37073.0;
  EXPECT_TRUE(TMorVerifyCard::IsCardDateValid(july2001, july2001 - 1.0 / 86400000.0));
  EXPECT_FALSE(TMorVerifyCard::IsCardDateValid(july2001, july2001));
  EXPECT_FALSE(TMorVerifyCard::IsCardDateValid(july2001, july2001 + 0.5));
  EXPECT_FALSE(TMorVerifyCard::IsCardDateValid(0.0, july2001));
}

// --- The component ---

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// 15 July 2001, 10:30:00.000 local time.
constexpr SYSTEMTIME kMidJuly2001{2001, 7, 0, 15, 10, 30, 0, 0};
constexpr double kOneMillisecond = 1.0 / 86400000.0;

class MorVerifyCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    headless::SetLocalTime(kMidJuly2001);
    previousBox = SetInformationBox([this](const std::string& text) { shown.push_back(text); });
  }
  void TearDown() override {
    SetInformationBox(previousBox);
    headless::ResetLocale();
  }

  TComponent owner{nullptr};
  TMorVerifyCard& card = *new TMorVerifyCard(&owner);
  std::vector<std::string> shown;
  TInformationBox previousBox;
};

}  // namespace

TEST_F(MorVerifyCardTest, StartsAsAnInvalidOtherCard) {
  EXPECT_EQ(card.CardType(), ccOther);
  EXPECT_EQ(card.ExprDate(), 0.0);
  EXPECT_EQ(card.CardNumber(), "");
  EXPECT_EQ(card.Valid(), ccvInvalid);
  EXPECT_EQ(card.Owner(), &owner);
}

TEST_F(MorVerifyCardTest, JudgesTheExpiryAgainstTheLocalClock) {
  card.SetCardNumber("4111 1111 1111 1111");
  card.SetCardType(ccVisa);
  card.SetExprDate(EncodeDate(2001, 8, 1));
  EXPECT_EQ(card.Valid(), ccvValid);
  card.SetExprDate(EncodeDate(2001, 7, 1));
  EXPECT_EQ(card.Valid(), ccvExpired);
  // The expiry instant itself already counts as expired; a millisecond later does not.
  card.SetExprDate(Now());
  EXPECT_EQ(card.Valid(), ccvExpired);
  card.SetExprDate(Now() + kOneMillisecond);
  EXPECT_EQ(card.Valid(), ccvValid);
  card.SetCardType(ccMasterCard);
  EXPECT_EQ(card.Valid(), ccvInvalid);
}

TEST_F(MorVerifyCardTest, RecomputesTheVerdictOnEveryRead) {
  card.SetCardNumber("5555-5555-5555-4444");
  card.SetCardTypeFromName("mc");
  card.SetExprDate(EncodeDate(2001, 8, 1));
  EXPECT_EQ(card.Valid(), ccvValid);
  headless::SetLocalTime({2001, 8, 3, 1, 0, 0, 0, 0});
  EXPECT_EQ(card.Valid(), ccvExpired);
  card.SetCardNumber("5555-5555-5555-4445");
  EXPECT_EQ(card.Valid(), ccvInvalid);
  // The number is kept exactly as typed.
  EXPECT_EQ(card.CardNumber(), "5555-5555-5555-4445");
}

TEST_F(MorVerifyCardTest, AnInvalidNumberIsNeverReportedExpired) {
  card.SetCardNumber("4111111111111112");
  card.SetCardType(ccVisa);
  card.SetExprDate(EncodeDate(1999, 7, 1));
  EXPECT_EQ(card.Valid(), ccvInvalid);
}

TEST_F(MorVerifyCardTest, BrandNamesSetTheType) {
  card.SetCardTypeFromName("Eurocard");
  EXPECT_EQ(card.CardType(), ccMasterCard);
  card.SetCardTypeFromName("Optima");
  EXPECT_EQ(card.CardType(), ccAmex);
  card.SetCardTypeFromName(" Visa");
  EXPECT_EQ(card.CardType(), ccOther);
  card.SetCardTypeFromName("Visa");
  card.SetCardTypeFromName("");
  EXPECT_EQ(card.CardType(), ccOther);
}

TEST_F(MorVerifyCardTest, MessageBoxPropertiesShowTheirTextsAndReadFalse) {
  card.SetAbout(false);
  card.SetAbout(true);
  card.SetAjuda(false);
  EXPECT_FALSE(card.About());
  EXPECT_FALSE(card.Ajuda());
  ASSERT_EQ(shown.size(), 3u);
  // The maker's name and five blanks, an empty line, then seventeen blanks and the address.
  const std::string about = "Morvane Software && Systems     \r\r                 " +
                            std::string(MakerWebAddress()) + " ";
  EXPECT_EQ(shown[0], about);
  EXPECT_EQ(shown[1], about);
  EXPECT_EQ(shown[2],
            "Para usar \"set\" as propriedades:\r\rCardType, CardNumber e ExprDate\r\r"
            "Ent\xE3o verifique a propriedade:Valid\r");
}

TEST_F(MorVerifyCardTest, MessageBoxPropertiesStayQuietWhileBeingRead) {
  card.SetLoading(true);
  card.SetAbout(true);
  card.SetAjuda(true);
  card.Loaded();
  EXPECT_TRUE(shown.empty());
}

// A form description stores the card values and never the message-box properties; reading
// one that holds them anyway shows no box.
TEST_F(MorVerifyCardTest, TravelsThroughFormDescriptions) {
  TComponent holder(nullptr);
  ReadComponent(holder,
                "object Holder: TComponent\n"
                "  object MorVerifyCard1: TMorVerifyCard\n"
                "    About = True\n"
                "    Ajuda = False\n"
                "    CardType = ccMasterCard\n"
                "    ExprDate = 36342\n"
                "    CardNumber = '5555 5555 5555 4444'\n"
                "  end\n"
                "end\n");
  EXPECT_TRUE(shown.empty());
  auto* read = dynamic_cast<TMorVerifyCard*>(holder.FindComponent("MorVerifyCard1"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->CardType(), ccMasterCard);
  EXPECT_EQ(read->ExprDate(), 36342.0);
  EXPECT_EQ(read->CardNumber(), "5555 5555 5555 4444");
  EXPECT_EQ(read->Valid(), ccvExpired);

  read->SetCardNumber("");
  read->SetCardType(ccOther);
  const std::string written = WriteComponent(holder);
  EXPECT_THAT(written, HasSubstr("CardType = ccOther"));
  EXPECT_THAT(written, HasSubstr("ExprDate = "));
  EXPECT_THAT(written, Not(HasSubstr("CardNumber")));
  EXPECT_THAT(written, Not(HasSubstr("About")));
  EXPECT_THAT(written, Not(HasSubstr("Ajuda")));
}

// --- The standard box ---

namespace {

TMessageForm* OpenBox() {
  for (TCustomForm* form : Screen->FormList())
    if (auto* box = dynamic_cast<TMessageForm*>(form); box != nullptr && box->Visible()) return box;
  return nullptr;
}

}  // namespace

using MorVerifyCardBoxTest = FormTest;

TEST_F(MorVerifyCardBoxTest, AboutAndAjudaShowTheStandardInformationBox) {
  auto* card = new TMorVerifyCard(Form.get());
  ShowForm();
  std::vector<std::string> texts;
  const auto closeTheBox = [&] {
    TMessageForm* box = OpenBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Kind(), mtInformation);
    EXPECT_EQ(box->Caption(), "Information");
    ASSERT_EQ(box->Buttons().size(), 1u);
    EXPECT_EQ(box->Buttons()[0]->Caption(), "OK");
    texts.push_back(box->Message()->Caption());
    headless::KeyPress(VK_RETURN);
  };
  After(50, closeTheBox);
  card->SetAbout(true);
  EXPECT_EQ(OpenBox(), nullptr);
  After(50, closeTheBox);
  card->SetAjuda(false);
  EXPECT_EQ(OpenBox(), nullptr);

  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], MorAboutText());
  EXPECT_EQ(texts[1].substr(0, 9), "Para usar");
  EXPECT_FALSE(card->About());
  EXPECT_FALSE(card->Ajuda());
}
