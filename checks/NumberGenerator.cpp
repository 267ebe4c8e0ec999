// Valid numbers made up for test data, the same ones for the same seed on every machine.
// Layer: the checks library (checks/).
#include "checks/NumberGenerator.h"

#include <array>
#include <string_view>

#include "checks/TaxpayerNumber.h"

namespace checks {

namespace {

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kDigitsAndLetters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

bool HasLetter(std::string_view text) {
  return text.find_first_not_of(kDigits) != std::string_view::npos;
}

}  // namespace

char TNumberGenerator::RandomCharacter(std::string_view alphabet) {
  // The high half of a 64-bit draw scaled to the alphabet: a bias below one part in 2^27.
  const std::uint64_t high = FRandom() >> 32;
  return alphabet[static_cast<std::size_t>((high * alphabet.size()) >> 32)];
}

void TNumberGenerator::Append(TGeneratedKind kind, std::string& number) {
  const bool cpf = kind == gkCpf;
  const std::size_t baseLength = cpf ? kCpfBaseLength : kCnpjBaseLength;
  const std::string_view alphabet = kind == gkCnpjAlpha ? kDigitsAndLetters : kDigits;
  std::array<char, kCnpjBaseLength> base;
  for (;;) {
    for (std::size_t i = 0; i < baseLength; ++i)
      base[i] = RandomCharacter(alphabet);
    const std::string_view view(base.data(), baseLength);
    if (kind == gkCnpjAlpha && !HasLetter(view)) continue;
    const std::size_t start = number.size();
    if (cpf) {
      CompleteCpf(view, number);
    } else {
      CompleteCnpj(view, number);
    }
    const std::string_view made = std::string_view(number).substr(start);
    if ((cpf ? CheckCpf(made) : CheckCnpj(made)) == crNone) return;
    number.resize(start);
  }
}

}  // namespace checks
