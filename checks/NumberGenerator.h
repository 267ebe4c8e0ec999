// Valid numbers made up for test data, the same ones for the same seed on every machine.
// Layer: the checks library (checks/).
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace checks {

// What the generator makes: CPFs, CNPJs of digits only, and alphanumeric CNPJs, whose base
// holds at least one letter.
enum TGeneratedKind : std::uint8_t { gkCpf, gkCnpj, gkCnpjAlpha };

class TNumberGenerator {
 public:
  explicit TNumberGenerator(std::uint64_t seed) : FRandom(seed) {}

  // Appends one valid number, without punctuation, to `number`. Numbers of one repeated digit,
  // which are never issued, are not made.
  void Append(TGeneratedKind kind, std::string& number);

 private:
  char RandomCharacter(std::string_view alphabet);

  // The standard fixes this engine's sequence for a seed, unlike its distributions, which is
  // why RandomCharacter does its own reduction.
  std::mt19937_64 FRandom;
};

}  // namespace checks
