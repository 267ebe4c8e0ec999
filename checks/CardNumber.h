// Payment card numbers: the brand their leading digits name, their length and the Luhn
// check digit. Layer: the checks library (checks/).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "checks/Verdict.h"

namespace checks {

// Card numbers run from 13 digits to the 19 that ISO/IEC 7812 allows.
inline constexpr std::size_t kCardMinLength = 13;
inline constexpr std::size_t kCardMaxLength = 19;

// Which leading digits a card number must have: those of any brand the checks know, those of
// one named brand, or none in particular.
enum TCardPrefixRule : std::uint8_t {
  cpAnyBrand,
  cpAmex,
  cpVisa,
  cpMasterCard,
  cpDiscover,
  cpNone
};

// The brand named by the leading digits, read as the window's card verifier reads them: after
// any leading zeros, 37 is American Express, 4 Visa, 5 MasterCard and 6 Discover.
TCardBrand CardBrandOf(std::string_view digits);

// Checks the digits of a card number, the punctuation of its mask already dropped: 13 to 19
// decimal digits, the prefix the rule asks for, and the Luhn check over every digit (the
// rightmost digit weighs 1, every second one to its left is doubled).
TCheckReason CheckCardNumber(std::string_view number, TCardPrefixRule rule = cpAnyBrand);

// Appends a base of 12 to 18 digits and its Luhn check digit to `number` and answers crNone,
// or answers crLength or crCharacter and leaves `number` as it was.
TCheckReason CompleteCardNumber(std::string_view base, std::string& number);

}  // namespace checks
