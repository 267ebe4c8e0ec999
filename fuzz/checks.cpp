// Fuzz target for the number checks: any bytes give an answer without reading out of bounds,
// and each answer agrees with what the checks promise about the parts of a text they ignore.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/MORTypes.h"
#include "validation/MorVerifyCard.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool AllDigits(const std::string& text) {
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// A valid taxpayer number is all digits and stays valid when cut to its own length.
void CheckTaxpayer(const std::string& text) {
  if (ValidaCPF(text)) Require(AllDigits(text) && ValidaCPF(text.substr(0, 11)));
  if (ValidaCGC(text)) Require(AllDigits(text) && ValidaCGC(text.substr(0, 14)));
}

// The card test sees only the digits: dropping everything else changes nothing, and so does
// any brand's verdict against the unbranded one except by the prefix rule.
void CheckCard(const std::string& text) {
  std::string digits;
  for (const char c : text)
    if (c >= '0' && c <= '9') digits += c;
  for (int type = ccAmex; type <= ccOther; ++type) {
    const auto cardType = static_cast<TCreditCardType>(type);
    const bool valid = TMorVerifyCard::IsCardNumberValid(text, cardType);
    Require(valid == TMorVerifyCard::IsCardNumberValid(digits, cardType));
    if (valid) Require(TMorVerifyCard::IsCardNumberValid(text, ccOther) && digits.size() >= 13);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckTaxpayer(text);
  CheckCard(text);
  TMorVerifyCard::CardTypeFromName(text);
  return 0;
}
