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
// the nine base digits 10 down to 2. The second weighs them 11 down to 3, which is the first
// sum plus their plain sum, and adds the first check digit at weight 2.
constexpr std::uint64_t kCpfEvenWeights = LaneWeights(10, 8, 6, 4);
constexpr std::uint64_t kCpfOddWeights = LaneWeights(9, 7, 5, 3);
constexpr unsigned kCpfLastBaseWeight = 2;

// --- CNPJ ---
// The weight strings are "543298765432" and "654329876543": the second weights are the first
// plus one everywhere but at the fifth place, where 9 gives way to 2. The first eight base
// characters are one word, the last four the low half of another.
constexpr std::uint64_t kCnpjEvenWeights = LaneWeights(5, 3, 9, 7);
constexpr std::uint64_t kCnpjOddWeights = LaneWeights(4, 2, 8, 6);
constexpr std::uint64_t kCnpjTailEvenWeights = LaneWeights(5, 3, 0, 0);
constexpr std::uint64_t kCnpjTailOddWeights = LaneWeights(4, 2, 0, 0);
constexpr unsigned kCnpjWeightDropPlace = 4;
constexpr unsigned kCnpjWeightDrop = 8;

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
std::pair<unsigned, unsigned> CpfCheckDigits(std::uint64_t firstEight, unsigned ninth) {
  const unsigned weighted =
      WeightedSum(firstEight, kCpfEvenWeights, kCpfOddWeights) + ninth * kCpfLastBaseWeight;
  const unsigned plain = PlainSum(firstEight) + ninth;
  const unsigned first = CpfDigit(weighted);
  return {first, CpfDigit(weighted + plain + first * 2)};
}

// Twelve base characters: the first eight as a word of values, the last four as the low half
// of another.
std::pair<unsigned, unsigned> CnpjCheckDigits(std::uint64_t firstEight, std::uint64_t lastFour) {
  const unsigned weighted = WeightedSum(firstEight, kCnpjEvenWeights, kCnpjOddWeights) +
                            WeightedSum(lastFour, kCnpjTailEvenWeights, kCnpjTailOddWeights);
  const unsigned plain = PlainSum(firstEight) + PlainSum(lastFour);
  const auto dropped = static_cast<unsigned>((firstEight >> (8 * kCnpjWeightDropPlace)) & 0xFF);
  const unsigned first = CnpjDigit(weighted);
  return {first, CnpjDigit(weighted + plain - dropped * kCnpjWeightDrop + first * 2)};
}

// The values of the twelve base characters, given as a word of the first eight and the low
// half of another, in the form CnpjCheckDigits takes them, letters and all; false when a
// character counts for nothing.
bool CnpjBaseValues(std::uint64_t head, std::uint64_t tail, std::uint64_t& firstEight,
                    std::uint64_t& lastFour) {
  // Bare digits, still the common case, are read eight at a time; letters go through the table.
  if (EightDigits(head) && EightDigits(tail | (kZeros << 32))) {
    firstEight = head - kZeros;
    lastFour = tail - (kZeros >> 32);
    return true;
  }
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

// The bytes of a word past a number's last character read as '0'.
std::uint64_t ZeroFilled(std::uint64_t word, unsigned characters) {
  return word | (kZeros << (8 * characters));
}

std::uint64_t Repeated(std::uint64_t head) {
  return (head & 0xFF) * kEveryByte;
}

}  // namespace

TCheckReason CheckPackedCpf(const TPackedNumber& number, bool allowRepeated) {
  // Characters 9 to 11 are the last base digit and the two check digits.
  constexpr unsigned kTailLength = kCpfLength - 8;
  if (!EightDigits(number.Head) || !EightDigits(ZeroFilled(number.Tail, kTailLength))) {
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

TCheckReason CheckPackedCnpj(const TPackedNumber& number, bool allowRepeated) {
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
