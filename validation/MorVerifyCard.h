// The payment card verifier: brand, number and expiry in, one verdict out, and the About and
// Ajuda message-box properties it shares with the system-information component.
// Layer: the program (validation/), above the toolkit.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "toolkit/Classes.h"

enum TCreditCardType : std::uint8_t { ccAmex, ccVisa, ccMasterCard, ccDiscover, ccOther };

enum TCreditCardValidity : std::uint8_t { ccvValid, ccvInvalid, ccvExpired };

// --- The card verifier ---
// A client sets CardNumber, CardType (or SetCardTypeFromName) and ExprDate in any order and
// then reads Valid, which is worked out afresh on every read from those values and the clock.
class TMorVerifyCard : public TComponent {
 public:
  explicit TMorVerifyCard(TComponent* owner);

  // Assigning either one, whatever the value, shows its text in an information box; both
  // always read False, so a form description never holds them.
  bool About() const { return false; }
  void SetAbout(bool value);
  bool Ajuda() const { return false; }
  void SetAjuda(bool value);

  TCreditCardType CardType() const { return FCardType; }
  void SetCardType(TCreditCardType value) { FCardType = value; }
  // The instant from which the card counts as expired, in days since 30 December 1899.
  TDateTime ExprDate() const { return FExprDate; }
  void SetExprDate(TDateTime value) { FExprDate = value; }
  // The number as typed; blanks and dashes are kept here and skipped by the number test.
  const std::string& CardNumber() const { return FCardNumber; }
  void SetCardNumber(const std::string& value) { FCardNumber = value; }

  TCreditCardValidity Valid() const;
  void SetCardTypeFromName(const std::string& name) { FCardType = CardTypeFromName(name); }

  // --- The tests behind the verdict ---
  // They need nothing but their arguments, so the benchmark and the tests call them directly.

  // The brand named by a list item or by whatever the user typed. Only the letters a to z are
  // upper-cased before the comparison; an unknown name, the empty one included, is ccOther.
  static TCreditCardType CardTypeFromName(const std::string& name);
  // The digits of the text (everything else is skipped), at least 13 of them, the brand's
  // leading digits, and the mod-10 checksum over the first sixteen digits of the number
  // filled on the left with zeros to sixteen.
  static bool IsCardNumberValid(std::string_view cardNumber, TCreditCardType cardType);
  // A card is good while the current instant is strictly before its expiry instant.
  static bool IsCardDateValid(TDateTime exprDate, TDateTime now) { return now < exprDate; }

 private:
  bool IsNumberValid() const { return IsCardNumberValid(FCardNumber, FCardType); }
  bool IsDateValid() const;

  TCreditCardType FCardType = ccOther;
  TDateTime FExprDate = 0;
  std::string FCardNumber;
};

// --- The message-box properties ---
// The components' About boxes show the maker's name and web address.
std::string MorAboutText();

// Shows a text in the toolkit's standard information box, with a single OK button, and returns
// when it is closed. The components' message-box properties all go through here, so that the
// box can be switched in one place: tests put a recorder in its stead and get the previous box
// back.
using TInformationBox = std::function<void(const std::string& text)>;
void ShowInformationBox(const std::string& text);
TInformationBox SetInformationBox(TInformationBox box);

// Shows the text of a component's About or Ajuda property. A form description never holds
// those properties, but should one be edited by hand, reading it must not put a box on the
// screen, so nothing is shown while the component is being read.
void ShowPropertyText(const TComponent& component, const std::string& text);
