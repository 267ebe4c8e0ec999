// The check digits of the Brazilian taxpayer numbers: the individual's CPF and the company's
// CNPJ, numeric or alphanumeric. Layer: the checks library (checks/).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "checks/Verdict.h"

namespace checks {

inline constexpr std::size_t kCpfLength = 11;
inline constexpr std::size_t kCpfBaseLength = 9;
inline constexpr std::size_t kCnpjLength = 14;
inline constexpr std::size_t kCnpjBaseLength = 12;

// Every function takes the number's own characters, the punctuation of its mask already
// dropped, and answers with the first reason it finds in the order length, character, check
// digit, repeated.

// A CPF is eleven decimal digits, the last two being the check digits of the first nine. A
// number of one repeated digit has correct check digits but is never issued, so it fails with
// crRepeated unless `allowRepeated`.
TCheckReason CheckCpf(std::string_view number, bool allowRepeated = false);

// A CNPJ is twelve base characters, each a decimal digit or a letter A to Z (a lower-case
// letter is read as its upper case), and two decimal check digits. Every base character counts
// as its character code minus 48 ('A' is 17), so a CNPJ of digits only checks as it always did.
// Fourteen equal digits fail with crRepeated unless `allowRepeated`.
TCheckReason CheckCnpj(std::string_view number, bool allowRepeated = false);

inline bool IsValidCpf(std::string_view number) {
  return CheckCpf(number) == crNone;
}
inline bool IsValidCnpj(std::string_view number) {
  return CheckCnpj(number) == crNone;
}

// Append to `number` the base (letters upper-cased) followed by its two check digits and
// answer crNone, or answer crLength or crCharacter and leave `number` as it was. They do not
// judge the result: a repeated base gives a repeated number.
TCheckReason CompleteCpf(std::string_view base, std::string& number);
TCheckReason CompleteCnpj(std::string_view base, std::string& number);

}  // namespace checks
