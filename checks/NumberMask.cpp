// The standard masks in which numbers are written for people. Layer: the checks library
// (checks/).
#include "checks/NumberMask.h"

#include <cstddef>

#include "checks/CardNumber.h"
#include "checks/TaxpayerNumber.h"

namespace checks {

namespace {

// A mask holds '#' where a character of the number goes and its punctuation elsewhere.
constexpr std::string_view kCpfMask = "###.###.###-##";
constexpr std::string_view kCnpjMask = "##.###.###/####-##";
constexpr std::string_view kAmexMask = "#### ###### #####";
constexpr std::size_t kAmexLength = 15;
constexpr std::size_t kCardGroup = 4;

char UpperCase(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

void AppendThroughMask(std::string& out, std::string_view mask, std::string_view number) {
  std::size_t next = 0;
  for (const char m : mask)
    out.push_back(m == '#' ? UpperCase(number[next++]) : m);
}

void AppendCard(std::string& out, std::string_view number) {
  if (number.size() == kAmexLength && CardBrandOf(number) == cbAmex) {
    AppendThroughMask(out, kAmexMask, number);
    return;
  }
  for (std::size_t i = 0; i < number.size(); ++i) {
    if (i > 0 && i % kCardGroup == 0) out.push_back(' ');
    out.push_back(number[i]);
  }
}

}  // namespace

void AppendMasked(std::string& out, TNumberKind kind, std::string_view number) {
  if (kind == nkCpf && number.size() == kCpfLength) {
    AppendThroughMask(out, kCpfMask, number);
  } else if (kind == nkCnpj && number.size() == kCnpjLength) {
    AppendThroughMask(out, kCnpjMask, number);
  } else if (kind == nkCard) {
    AppendCard(out, number);
  } else {
    out.append(number);
  }
}

}  // namespace checks
