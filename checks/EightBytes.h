// Eight characters at a time: a word holding eight bytes of a text, and the tests and sums
// the checks do on all eight at once. Layer: the checks library (checks/).
#pragma once

#include <cstddef>
#include <cstdint>

namespace checks {

inline constexpr std::uint64_t kEveryByte = 0x0101010101010101;
// Every second byte: the low byte of each of the four 16-bit lanes of a word.
inline constexpr std::uint64_t kLaneLowBytes = 0x00FF00FF00FF00FF;

// The eight characters at `text`, the first in the lowest byte whatever the machine's byte
// order. Compilers turn the shifts, written out, into a single load.
inline std::uint64_t LoadEight(const char* text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  return std::uint64_t{bytes[0]} | std::uint64_t{bytes[1]} << 8 | std::uint64_t{bytes[2]} << 16 |
         std::uint64_t{bytes[3]} << 24 | std::uint64_t{bytes[4]} << 32 |
         std::uint64_t{bytes[5]} << 40 | std::uint64_t{bytes[6]} << 48 |
         std::uint64_t{bytes[7]} << 56;
}

// The characters at the given places of a text, gathered into one word in their order, the
// first in the lowest byte.
template <std::size_t... Place>
std::uint64_t GatherEight(const char* text) {
  static_assert(sizeof...(Place) <= 8);
  unsigned shift = 0;
  std::uint64_t word = 0;
  ((word |= std::uint64_t{static_cast<unsigned char>(text[Place])} << shift, shift += 8), ...);
  return word;
}

// Zero when every byte is a decimal digit: each has the high half 3, and adding 6 to its low
// half does not carry into the high half. While the first test holds, no byte can carry into
// its neighbour in the second; once it fails, the answer is not zero anyway. Several words are
// tested at once by ORing their answers, with a single branch.
inline std::uint64_t NotDigitBits(std::uint64_t word) {
  constexpr std::uint64_t kHighHalves = 0xF0 * kEveryByte;
  constexpr std::uint64_t kDigitHighHalves = 0x30 * kEveryByte;
  return ((word & kHighHalves) ^ kDigitHighHalves) |
         (((word + 0x06 * kEveryByte) & kHighHalves) ^ kDigitHighHalves);
}

inline bool EightDigits(std::uint64_t word) {
  return NotDigitBits(word) == 0;
}

// True when no byte lies below '0': subtracting '0' from a byte below it sets the byte's high
// bit, and bytes from 0x80 up, whose high bit is set already, are masked out by ~word. A borrow
// only passes into the next byte from a byte that was below '0', which is answer enough.
inline bool NoneBelowDigits(std::uint64_t word) {
  return ((word - '0' * kEveryByte) & ~word & (0x80 * kEveryByte)) == 0;
}

// The multiplier that brings the sum of lane i times weight i (i = 0 to 3, lane 0 the lowest)
// into the top lane of a product.
constexpr std::uint64_t LaneWeights(unsigned w0, unsigned w1, unsigned w2, unsigned w3) {
  return std::uint64_t{w0} << 48 | std::uint64_t{w1} << 32 | std::uint64_t{w2} << 16 | w3;
}

// The sum of byte i times its weight over the eight bytes of a word, the bytes being values
// below 128 and the weights below 16: the even bytes are weighed by `evenWeights` and the odd
// ones by `oddWeights` (LaneWeights of bytes 0, 2, 4, 6 and of 1, 3, 5, 7). Each byte has a
// 16-bit lane of its own in the products, and with such small values no lane overflows into the
// next.
inline unsigned WeightedSum(std::uint64_t values, std::uint64_t evenWeights,
                            std::uint64_t oddWeights) {
  const std::uint64_t even = values & kLaneLowBytes;
  const std::uint64_t odd = (values >> 8) & kLaneLowBytes;
  return static_cast<unsigned>(((even * evenWeights) >> 48) + ((odd * oddWeights) >> 48));
}

}  // namespace checks
