// The payment card verifier: brand, number and expiry in, one verdict out, and the About and
// Ajuda message-box properties it shares with the system-information component.
// Layer: the program (validation/), above the toolkit.
#include "validation/MorVerifyCard.h"

#include <array>
#include <cstddef>
#include <utility>

#include "core/MORTypes.h"
#include "toolkit/Dialogs.h"
#include "toolkit/TypInfo.h"

// --- The number test ---

namespace {

constexpr std::size_t kChecksumLength = 16;
constexpr std::size_t kMinimumDigits = 13;

struct TBrandName {
  std::string_view name;
  TCreditCardType cardType;
};

// Compared in this order; the first exact match wins.
constexpr std::array<TBrandName, 9> kBrandNames{{
    {"AMEX", ccAmex},
    {"AMERICAN EXPRESS", ccAmex},
    {"OPTIMA", ccAmex},
    {"VISA", ccVisa},
    {"MASTERCARD", ccMasterCard},
    {"MC", ccMasterCard},
    {"EUROCARD", ccMasterCard},
    {"DISCOVER", ccDiscover},
    {"NOVOUS", ccDiscover},
}};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// What the number test needs of the typed text, gathered in one pass without copying it:
// how many digits it holds, the first sixteen of them, the first digit that is not '0' and
// the digit right after that one.
struct TCardDigits {
  std::size_t count = 0;
  std::array<char, kChecksumLength> leading{};
  char lead = '0';
  char afterLead = '\0';
};

TCardDigits ScanDigits(std::string_view cardNumber) {
  TCardDigits digits;
  bool leadFound = false;
  bool wantAfterLead = false;
  for (const char c : cardNumber) {
    if (!IsDigit(c)) continue;
    if (digits.count < kChecksumLength) digits.leading[digits.count] = c;
    ++digits.count;
    if (wantAfterLead) {
      digits.afterLead = c;
      wantAfterLead = false;
    } else if (!leadFound && c != '0') {
      digits.lead = c;
      leadFound = wantAfterLead = true;
    }
  }
  return digits;
}

// A type outside the enumeration (a damaged form description) gets no prefix rule, as ccOther.
bool PassesPrefixRule(const TCardDigits& digits, TCreditCardType cardType) {
  switch (cardType) {
    case ccAmex:
      return digits.lead == '3' && digits.afterLead == '7';
    case ccVisa:
      return digits.lead == '4';
    case ccMasterCard:
      return digits.lead == '5';
    case ccDiscover:
      return digits.lead == '6';
    case ccOther:
      break;
  }
  return true;
}

// The weights "2121212121212121" over the number filled on the left to sixteen digits; the
// filling zeros add nothing, so only the positions the digits land on are summed.
bool PassesChecksum(const TCardDigits& digits) {
  const std::size_t used = digits.count < kChecksumLength ? digits.count : kChecksumLength;
  const std::size_t firstPosition = kChecksumLength - used;
  int sum = 0;
  for (std::size_t i = 0; i < used; ++i) {
    const std::size_t position = firstPosition + i;
    int n = (digits.leading[i] - '0') * (position % 2 == 0 ? 2 : 1);
    if (n > 9) n -= 9;
    sum += n;
  }
  return sum % 10 == 0;
}

}  // namespace

TCreditCardType TMorVerifyCard::CardTypeFromName(const std::string& name) {
  const std::string upper = UpperCase(name);
  for (const TBrandName& brand : kBrandNames) {
    if (upper == brand.name) return brand.cardType;
  }
  return ccOther;
}

bool TMorVerifyCard::IsCardNumberValid(std::string_view cardNumber, TCreditCardType cardType) {
  const TCardDigits digits = ScanDigits(cardNumber);
  return digits.count >= kMinimumDigits && PassesPrefixRule(digits, cardType) &&
         PassesChecksum(digits);
}

// --- The component ---

namespace {

constexpr char kCardAjudaText[] =
    "Para usar \"set\" as propriedades:\r"
    "\r"
    "CardType, CardNumber e ExprDate\r"
    "\r"
    "Ent\xE3o verifique a propriedade:Valid\r";

const bool kRegistered =
    (PublishClass<TMorVerifyCard, TComponent>("TMorVerifyCard")
         .Boolean("About", &TMorVerifyCard::About, &TMorVerifyCard::SetAbout, false)
         .Boolean("Ajuda", &TMorVerifyCard::Ajuda, &TMorVerifyCard::SetAjuda, false)
         .Enumeration("CardType", &TMorVerifyCard::CardType, &TMorVerifyCard::SetCardType,
                      {"ccAmex", "ccVisa", "ccMasterCard", "ccDiscover", "ccOther"})
         .Float("ExprDate", &TMorVerifyCard::ExprDate, &TMorVerifyCard::SetExprDate)
         .String("CardNumber", &TMorVerifyCard::CardNumber, &TMorVerifyCard::SetCardNumber,
                 std::string()),
     true);

}  // namespace

TMorVerifyCard::TMorVerifyCard(TComponent* owner) : TComponent(owner) {}

void TMorVerifyCard::SetAbout(bool) {
  ShowPropertyText(*this, MorAboutText());
}

void TMorVerifyCard::SetAjuda(bool) {
  ShowPropertyText(*this, kCardAjudaText);
}

TCreditCardValidity TMorVerifyCard::Valid() const {
  if (!IsNumberValid()) return ccvInvalid;
  return IsDateValid() ? ccvValid : ccvExpired;
}

bool TMorVerifyCard::IsDateValid() const {
  return IsCardDateValid(FExprDate, Now());
}

// --- The message-box properties ---

namespace {

constexpr int kAboutNameTrail = 5;
constexpr int kAboutAddressIndent = 17;

void ShowStandardInformationBox(const std::string& text) {
  MessageDlg(text, mtInformation, {mbOK}, 0);
}

TInformationBox& CurrentInformationBox() {
  static TInformationBox box = ShowStandardInformationBox;
  return box;
}

}  // namespace

std::string MorAboutText() {
  return std::string(kMakerName) + std::string(kAboutNameTrail, ' ') + "\r\r" +
         std::string(kAboutAddressIndent, ' ') + std::string(MakerWebAddress()) + " ";
}

void ShowInformationBox(const std::string& text) {
  if (const TInformationBox& box = CurrentInformationBox()) box(text);
}

TInformationBox SetInformationBox(TInformationBox box) {
  return std::exchange(CurrentInformationBox(), std::move(box));
}

void ShowPropertyText(const TComponent& component, const std::string& text) {
  if (!component.IsLoading()) ShowInformationBox(text);
}
