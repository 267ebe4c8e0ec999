// Taxpayer numbers held in two words, the way the checks read them: the characters of a
// number gathered from a bare text or from one in its standard mask, without copying them.
// Layer: the checks library (checks/), used by its own modules only.
#pragma once

#include <cstdint>

#include "checks/Verdict.h"

namespace checks {

// Characters 1 to 8 of a number in Head and those from the 9th on in Tail, the first of each
// in the lowest byte; the bytes past the number's end are zero.
struct TPackedNumber {
  std::uint64_t Head = 0;
  std::uint64_t Tail = 0;
};

// The checks of CheckCpf and CheckCnpj on a number of the right length. The two words travel
// in registers.
TCheckReason CheckPackedCpf(TPackedNumber number, bool allowRepeated);
TCheckReason CheckPackedCnpj(TPackedNumber number, bool allowRepeated);

}  // namespace checks
