// The payment card verifier: brand, number and expiry in, one verdict out.
// Layer: the program (validation/), above the toolkit.
#pragma once

#include <cstdint>
#include <string_view>

enum TCreditCardType : std::uint8_t { ccAmex, ccVisa, ccMasterCard, ccDiscover, ccOther };

enum TCreditCardValidity : std::uint8_t { ccvValid, ccvInvalid, ccvExpired };

// --- The tests behind the verdict ---
// They need nothing but their arguments, so the component and its tests share them.

// The brand named by a list item or by whatever the user typed. Only the letters a to z are
// upper-cased before the comparison; an unknown name, the empty one included, is ccOther.
TCreditCardType CardTypeFromName(std::string_view name);

// The number test: the decimal digits of the text (everything else is skipped), at least 13 of
// them, the brand's leading digits, and the mod-10 checksum over the first sixteen digits of
// the number filled on the left with zeros to sixteen.
bool IsCardNumberValid(std::string_view cardNumber, TCreditCardType cardType);

// The expiry test: a card is good while the current instant is strictly before its expiry
// instant, both counted in days since 30 December 1899.
inline bool IsCardDateValid(double exprDate, double now) {
  return now < exprDate;
}
