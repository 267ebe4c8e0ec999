// The words of a check's answer: the kind a number was taken for, whether it passed and why
// not. Layer: the checks library (checks/), which needs nothing but the standard library.
#pragma once

#include <cstdint>
#include <string_view>

namespace checks {

enum TNumberKind : std::uint8_t { nkUnknown, nkCpf, nkCnpj, nkCard };

// Why a number failed, in the order the checks look: the count of characters, a character
// its position does not allow, a check digit, a card number that does not begin with its
// brand's digits, and a number of one repeated digit, which is never issued.
enum TCheckReason : std::uint8_t {
  crNone,
  crLength,
  crCharacter,
  crCheckDigit,
  crCardPrefix,
  crRepeated
};

// The brand a card number's leading digits name; cbUnknown when they name none.
enum TCardBrand : std::uint8_t { cbUnknown, cbAmex, cbVisa, cbMasterCard, cbDiscover };

struct TVerdict {
  TNumberKind Kind = nkUnknown;
  TCheckReason Reason = crLength;
  TCardBrand Brand = cbUnknown;  // for card numbers only
  bool Valid() const { return Reason == crNone; }
};

// The names the command line prints: "cpf", "cnpj", "card", "unknown"; "length", "character",
// "check digit", "card prefix", "repeated" (empty for crNone); "amex", "visa", "mastercard",
// "discover", "unknown".
std::string_view KindName(TNumberKind kind);
std::string_view ReasonName(TCheckReason reason);
std::string_view BrandName(TCardBrand brand);

}  // namespace checks
