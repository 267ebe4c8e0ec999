// The check digits of the Brazilian taxpayer numbers: the individual's CPF and the company's
// CNPJ, numeric or alphanumeric. Layer: the checks library (checks/).
#include "checks/TaxpayerNumber.h"

#include <array>
#include <cstdint>
#include <utility>

#include "checks/EightBytes.h"
#include "checks/PackedNumber.h"

// The check digits are weighted sums of the base characters' values, computed eight
// characters at a time (checks/EightBytes.h): these checks run on millions of numbers.

namespace checks {

namespace {

constexpr std::uint64_t kZeros = '0' * kEveryByte;

// --- CPF ---
// The weights rise by one from 2 at the rightmost digit summed: the first check digit weighs
// the nine base digits 10 down to 2, the second weighs them 11 down to 3 and adds the first
// check digit at weight 2.
constexpr std::uint64_t kCpfFirstEvenWeights = LaneWeights(10, 8, 6, 4);
constexpr std::uint64_t kCpfFirstOddWeights = LaneWeights(9, 7, 5, 3);
constexpr std::uint64_t kCpfSecondEvenWeights = LaneWeights(11, 9, 7, 5);
constexpr std::uint64_t kCpfSecondOddWeights = LaneWeights(10, 8, 6, 4);

// --- CNPJ ---
// The weight strings are "543298765432" and "654329876543". Each gives the last four base
// characters the weights of the first four, so those two runs are added character by character
// (their values stay below 128) and a single word of eight sums is weighed.
constexpr std::uint64_t kCnpjFirstEvenWeights = LaneWeights(5, 3, 9, 7);
constexpr std::uint64_t kCnpjFirstOddWeights = LaneWeights(4, 2, 8, 6);
constexpr std::uint64_t kCnpjSecondEvenWeights = LaneWeights(6, 4, 2, 8);
constexpr std::uint64_t kCnpjSecondOddWeights = LaneWeights(5, 3, 9, 7);

// Every value a character has in a CNPJ base lies below this bit.
constexpr std::uint8_t kNotAllowed = 0x80;

// What each byte counts for in a CNPJ base: its code minus 48 for the digits and the letters
// A to Z, the lower-case letters counting as their upper case; kNotAllowed for everything else.
constexpr std::array<std::uint8_t, 256> kCnpjValues = [] {
  std::array<std::uint8_t, 256> values{};
  for (auto& value : values)
    value = kNotAllowed;
  for (int c = '0'; c <= '9'; ++c)
    values[c] = static_cast<std::uint8_t>(c - '0');
  for (int c = 'A'; c <= 'Z'; ++c) {
    values[c] = static_cast<std::uint8_t>(c - '0');
    values[c - 'A' + 'a'] = static_cast<std::uint8_t>(c - '0');
  }
  return values;
}();

unsigned DigitValue(char c) {
  return static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'};
}

// The CPF's rule: eleven minus the remainder, where 10 and 11 become 0.
unsigned CpfDigit(unsigned sum) {
  const unsigned digit = 11 - sum % 11;
  return digit >= 10 ? 0 : digit;
}

// The CNPJ's rule: ten times the sum modulo eleven, where 10 becomes 0.
unsigned CnpjDigit(unsigned sum) {
  const unsigned digit = sum * 10 % 11;
  return digit == 10 ? 0 : digit;
}

// Nine base digits: the first eight as a word of values, and the ninth.
// The helpers below are short and each check calls them once: they are inline, so that a check
// is one function without calls.
inline std::pair<unsigned, unsigned> CpfCheckDigits(std::uint64_t firstEight, unsigned ninth) {
  const unsigned first =
      CpfDigit(WeightedSum(firstEight, kCpfFirstEvenWeights, kCpfFirstOddWeights) + ninth * 2);
  const unsigned second =
      WeightedSum(firstEight, kCpfSecondEvenWeights, kCpfSecondOddWeights) + ninth * 3 + first * 2;
  return {first, CpfDigit(second)};
}

// Twelve base characters: the first eight as a word of values, the last four as the low half
// of another.
inline std::pair<unsigned, unsigned> CnpjCheckDigits(std::uint64_t firstEight,
                                                     std::uint64_t lastFour) {
  const std::uint64_t folded = firstEight + lastFour;
  const unsigned first =
      CnpjDigit(WeightedSum(folded, kCnpjFirstEvenWeights, kCnpjFirstOddWeights));
  const unsigned second =
      WeightedSum(folded, kCnpjSecondEvenWeights, kCnpjSecondOddWeights) + first * 2;
  return {first, CnpjDigit(second)};
}

// The values of a base that holds letters, or characters that count for nothing.
bool CnpjBaseValuesWithLetters(std::uint64_t head, std::uint64_t tail, std::uint64_t& firstEight,
                               std::uint64_t& lastFour) {
  unsigned seen = 0;
  firstEight = lastFour = 0;
  for (unsigned i = 0; i < 8; ++i) {
    const std::uint64_t value = kCnpjValues[(head >> (8 * i)) & 0xFF];
    seen |= static_cast<unsigned>(value);
    firstEight |= value << (8 * i);
  }
  for (unsigned i = 0; i < 4; ++i) {
    const std::uint64_t value = kCnpjValues[(tail >> (8 * i)) & 0xFF];
    seen |= static_cast<unsigned>(value);
    lastFour |= value << (8 * i);
  }
  return (seen & kNotAllowed) == 0;
}

// The values of the twelve base characters, given as a word of the first eight and the low
// half of another, in the form CnpjCheckDigits takes them, letters and all; false when a
// character counts for nothing.
inline bool CnpjBaseValues(std::uint64_t head, std::uint64_t tail, std::uint64_t& firstEight,
                           std::uint64_t& lastFour) {
  // Bare digits, still the common case, are read eight at a time; letters go through the table.
  if ((NotDigitBits(head) | NotDigitBits(tail | (kZeros << 32))) == 0) {
    firstEight = head - kZeros;
    lastFour = tail - (kZeros >> 32);
    return true;
  }
  return CnpjBaseValuesWithLetters(head, tail, firstEight, lastFour);
}

// The bytes of a word past a number's last character read as '0'.
std::uint64_t ZeroFilled(std::uint64_t word, unsigned characters) {
  return word | (kZeros << (8 * characters));
}

std::uint64_t Repeated(std::uint64_t head) {
  return (head & 0xFF) * kEveryByte;
}

}  // namespace

TCheckReason CheckPackedCpf(TPackedNumber number, bool allowRepeated) {
  // Characters 9 to 11 are the last base digit and the two check digits.
  constexpr unsigned kTailLength = kCpfLength - 8;
  if ((NotDigitBits(number.Head) | NotDigitBits(ZeroFilled(number.Tail, kTailLength))) != 0) {
    return crCharacter;
  }
  const std::uint64_t tail = number.Tail - (kZeros >> (8 * (8 - kTailLength)));
  const auto [first, second] = CpfCheckDigits(number.Head - kZeros, tail & 0xFF);
  if (((tail >> 8) & 0xFF) != first || (tail >> 16) != second) return crCheckDigit;
  const std::uint64_t repeated = Repeated(number.Head);
  if (!allowRepeated && number.Head == repeated &&
      number.Tail == repeated >> (8 * (8 - kTailLength))) {
    return crRepeated;
  }
  return crNone;
}

TCheckReason CheckPackedCnpj(TPackedNumber number, bool allowRepeated) {
  // Characters 9 to 14 are the last four base characters and the two check digits.
  constexpr unsigned kTailLength = kCnpjLength - 8;
  const std::uint64_t checkDigits = number.Tail >> 32;
  if (!EightDigits(ZeroFilled(checkDigits, 2))) return crCharacter;
  std::uint64_t firstEight = 0;
  std::uint64_t lastFour = 0;
  if (!CnpjBaseValues(number.Head, number.Tail & 0xFFFFFFFF, firstEight, lastFour)) {
    return crCharacter;
  }
  const auto [first, second] = CnpjCheckDigits(firstEight, lastFour);
  if ((checkDigits & 0xFF) - '0' != first || (checkDigits >> 8) - '0' != second) {
    return crCheckDigit;
  }
  // Letters never stand in the check digits, so only fourteen equal digits repeat.
  const std::uint64_t repeated = Repeated(number.Head);
  if (!allowRepeated && number.Head == repeated &&
      number.Tail == repeated >> (8 * (8 - kTailLength))) {
    return crRepeated;
  }
  return crNone;
}

TCheckReason CheckCpf(std::string_view number, bool allowRepeated) {
  if (number.size() != kCpfLength) return crLength;
  // The tail is the end of a word read from the third character, within the number.
  const char* text = number.data();
  return CheckPackedCpf({LoadEight(text), LoadEight(text + kCpfLength - 8) >> 40}, allowRepeated);
}

TCheckReason CheckCnpj(std::string_view number, bool allowRepeated) {
  if (number.size() != kCnpjLength) return crLength;
  const char* text = number.data();
  return CheckPackedCnpj({LoadEight(text), LoadEight(text + kCnpjLength - 8) >> 16}, allowRepeated);
}

TCheckReason CompleteCpf(std::string_view base, std::string& number) {
  if (base.size() != kCpfBaseLength) return crLength;
  const std::uint64_t head = LoadEight(base.data());
  if (!EightDigits(head) || DigitValue(base[8]) > 9) return crCharacter;
  const auto [first, second] = CpfCheckDigits(head - kZeros, DigitValue(base[8]));
  number.append(base);
  number.push_back(static_cast<char>('0' + first));
  number.push_back(static_cast<char>('0' + second));
  return crNone;
}

TCheckReason CompleteCnpj(std::string_view base, std::string& number) {
  if (base.size() != kCnpjBaseLength) return crLength;
  std::uint64_t firstEight = 0;
  std::uint64_t lastFour = 0;
  if (!CnpjBaseValues(LoadEight(base.data()), LoadEight(base.data() + 4) >> 32, firstEight,
                      lastFour)) {
    return crCharacter;
  }
  const auto [first, second] = CnpjCheckDigits(firstEight, lastFour);
  // The values give back the characters, lower-case letters turned upper-case.
  for (unsigned i = 0; i < kCnpjBaseLength; ++i) {
    const std::uint64_t word = i < 8 ? firstEight >> (8 * i) : lastFour >> (8 * (i - 8));
    number.push_back(static_cast<char>('0' + (word & 0xFF)));
  }
  number.push_back(static_cast<char>('0' + first));
  number.push_back(static_cast<char>('0' + second));
  return crNone;
}

}  // namespace checks
