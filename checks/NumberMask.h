// The standard masks in which numbers are written for people. Layer: the checks library
// (checks/).
#pragma once

#include <string>
#include <string_view>

#include "checks/Verdict.h"

namespace checks {

// Appends a number's own characters in the mask of its kind: 000.000.000-00 for a CPF,
// 00.000.000/0000-00 for a CNPJ (letters in upper case), groups of four digits for a card
// (4-6-5 for a 15-digit American Express). A number of another length than its kind's mask
// holds, or of no kind, is appended as it is.
void AppendMasked(std::string& out, TNumberKind kind, std::string_view number);

}  // namespace checks
