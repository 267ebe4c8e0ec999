// Payment card numbers: the brand their leading digits name, their length and the Luhn
// check digit. Layer: the checks library (checks/).
#include "checks/CardNumber.h"

namespace checks {

namespace {

bool AllDigits(std::string_view text) {
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The Luhn sum of the digits as they stand to the left of a check digit when `beforeCheck`
// (so the rightmost of them is doubled), or of a whole number otherwise.
unsigned LuhnSum(std::string_view digits, bool beforeCheck) {
  unsigned sum = 0;
  bool doubled = beforeCheck;
  for (auto c = digits.rbegin(); c != digits.rend(); ++c) {
    unsigned value = static_cast<unsigned>(*c - '0');
    if (doubled) {
      value *= 2;
      if (value > 9) value -= 9;
    }
    sum += value;
    doubled = !doubled;
  }
  return sum;
}

bool FollowsRule(TCardBrand brand, TCardPrefixRule rule) {
  switch (rule) {
    case cpAnyBrand:
      return brand != cbUnknown;
    case cpAmex:
      return brand == cbAmex;
    case cpVisa:
      return brand == cbVisa;
    case cpMasterCard:
      return brand == cbMasterCard;
    case cpDiscover:
      return brand == cbDiscover;
    case cpNone:
      break;
  }
  return true;
}

}  // namespace

TCardBrand CardBrandOf(std::string_view digits) {
  const std::size_t lead = digits.find_first_not_of('0');
  if (lead == std::string_view::npos) return cbUnknown;
  switch (digits[lead]) {
    case '3':
      return lead + 1 < digits.size() && digits[lead + 1] == '7' ? cbAmex : cbUnknown;
    case '4':
      return cbVisa;
    case '5':
      return cbMasterCard;
    case '6':
      return cbDiscover;
    default:
      return cbUnknown;
  }
}

TCheckReason CheckCardNumber(std::string_view number, TCardPrefixRule rule) {
  if (number.size() < kCardMinLength || number.size() > kCardMaxLength) return crLength;
  if (!AllDigits(number)) return crCharacter;
  if (!FollowsRule(CardBrandOf(number), rule)) return crCardPrefix;
  if (LuhnSum(number, false) % 10 != 0) return crCheckDigit;
  return crNone;
}

TCheckReason CompleteCardNumber(std::string_view base, std::string& number) {
  if (base.size() + 1 < kCardMinLength || base.size() + 1 > kCardMaxLength) return crLength;
  if (!AllDigits(base)) return crCharacter;
  const unsigned check = (10 - LuhnSum(base, true) % 10) % 10;
  number.append(base);
  number.push_back(static_cast<char>('0' + check));
  return crNone;
}

}  // namespace checks
