// The words of a check's answer, as the command line prints them.
// Layer: the checks library (checks/).
#include "checks/Verdict.h"

namespace checks {

std::string_view KindName(TNumberKind kind) {
  switch (kind) {
    case nkCpf:
      return "cpf";
    case nkCnpj:
      return "cnpj";
    case nkCard:
      return "card";
    case nkUnknown:
      break;
  }
  return "unknown";
}

std::string_view ReasonName(TCheckReason reason) {
  switch (reason) {
    case crNone:
      return "";
    case crLength:
      return "length";
    case crCharacter:
      return "character";
    case crCheckDigit:
      return "check digit";
    case crCardPrefix:
      return "card prefix";
    case crRepeated:
      return "repeated";
  }
  return "";
}

std::string_view BrandName(TCardBrand brand) {
  switch (brand) {
    case cbAmex:
      return "amex";
    case cbVisa:
      return "visa";
    case cbMasterCard:
      return "mastercard";
    case cbDiscover:
      return "discover";
    case cbUnknown:
      break;
  }
  return "unknown";
}

}  // namespace checks
