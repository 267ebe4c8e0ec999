// A number as people type it: the punctuation of the usual masks dropped, the kind told from
// what is left, and the check of that kind. Layer: the checks library (checks/).
#include "checks/NumberText.h"

#include <cstdint>

#include "checks/EightBytes.h"
#include "checks/PackedNumber.h"
#include "checks/TaxpayerNumber.h"

namespace checks {

namespace {

// 1 for the characters a number keeps, 0 for the punctuation of its masks.
constexpr std::array<std::uint8_t, 256> kKeptCharacter = [] {
  std::array<std::uint8_t, 256> kept{};
  for (auto& entry : kept)
    entry = 1;
  for (const char c : {'.', '-', '/', ' ', '\t'})
    kept[static_cast<unsigned char>(c)] = 0;
  return kept;
}();

TVerdict CheckCard(const TNumberText& text, const TCheckOptions& options) {
  TVerdict verdict{nkCard, crLength, cbUnknown};
  if (!text.Whole()) return verdict;
  verdict.Brand = CardBrandOf(text.Kept());
  verdict.Reason = CheckCardNumber(text.Kept(), options.CardRule);
  return verdict;
}

}  // namespace

TNumberText::TNumberText(std::string_view text) {
  // A bare number of 8 to 16 characters is read where it stands: every punctuation character of
  // the masks lies below '0', and two overlapping words cover the text.
  if (text.size() >= 8 && text.size() <= 16 && NoneBelowDigits(LoadEight(text.data())) &&
      NoneBelowDigits(LoadEight(text.data() + text.size() - 8))) {
    FKept = text;
    FCount = text.size();
    return;
  }
  // Every character is written at the place of the next kept one, and only those that are not
  // punctuation move that place on, so that no branch depends on the text, whose masks vary.
  // A text longer than the scratch room moves the place no further than its last cell.
  std::size_t count = 0;
  if (text.size() <= kScratch) {
    for (const char c : text) {
      FChars[count] = c;
      count += kKeptCharacter[static_cast<unsigned char>(c)];
    }
  } else {
    for (const char c : text) {
      FChars[count < kScratch - 1 ? count : kScratch - 1] = c;
      count += kKeptCharacter[static_cast<unsigned char>(c)];
    }
  }
  FCount = count;
  FKept = std::string_view(FChars.data(), count < kKept ? count : kKept);
}

namespace {

// A text in one of the two standard masks, 000.000.000-00 and 00.000.000/0000-00, is read
// where it stands: the characters at the number's places are gathered into words, and the
// text is that mask when the other places hold punctuation and those places none.
constexpr std::size_t kMaskedCpfLength = 14;
constexpr std::size_t kMaskedCnpjLength = 18;

bool Punctuation(char c) {
  return kKeptCharacter[static_cast<unsigned char>(c)] == 0;
}

bool NoPunctuation(const TPackedNumber& number, unsigned tailLength) {
  return NoneBelowDigits(number.Head) &&
         NoneBelowDigits(number.Tail | ('0' * kEveryByte << (8 * tailLength)));
}

bool ReadMaskedCpf(std::string_view text, TPackedNumber& number) {
  const char* t = text.data();
  if (!Punctuation(t[3]) || !Punctuation(t[7]) || !Punctuation(t[11])) return false;
  number = {GatherEight<0, 1, 2, 4, 5, 6, 8, 9>(t), GatherEight<10, 12, 13>(t)};
  return NoPunctuation(number, 3);
}

bool ReadMaskedCnpj(std::string_view text, TPackedNumber& number) {
  const char* t = text.data();
  if (!Punctuation(t[2]) || !Punctuation(t[6]) || !Punctuation(t[10]) || !Punctuation(t[15])) {
    return false;
  }
  number = {GatherEight<0, 1, 3, 4, 5, 7, 8, 9>(t), GatherEight<11, 12, 13, 14, 16, 17>(t)};
  return NoPunctuation(number, 6);
}

}  // namespace

TVerdict CheckNumber(std::string_view text, const TCheckOptions& options) {
  if (!options.Cards) {
    TPackedNumber packed;
    if (text.size() == kMaskedCpfLength && ReadMaskedCpf(text, packed)) {
      return {nkCpf, CheckPackedCpf(packed, options.AllowRepeated)};
    }
    if (text.size() == kMaskedCnpjLength && ReadMaskedCnpj(text, packed)) {
      return {nkCnpj, CheckPackedCnpj(packed, options.AllowRepeated)};
    }
  }
  const TNumberText number(text);
  if (options.Cards) return CheckCard(number, options);
  switch (number.Count()) {
    case kCpfLength:
      return {nkCpf, CheckCpf(number.Kept(), options.AllowRepeated)};
    case kCnpjLength:
      return {nkCnpj, CheckCnpj(number.Kept(), options.AllowRepeated)};
    default:
      return {nkUnknown, crLength};
  }
}

TVerdict CompleteNumber(std::string_view text, const TCheckOptions& options, std::string& number) {
  const TNumberText base(text);
  const std::size_t start = number.size();
  TVerdict verdict;
  if (options.Cards) {
    verdict.Kind = nkCard;
    if (base.Whole()) verdict.Reason = CompleteCardNumber(base.Kept(), number);
  } else if (base.Count() == kCpfBaseLength) {
    verdict = {nkCpf, CompleteCpf(base.Kept(), number)};
  } else if (base.Count() == kCnpjBaseLength) {
    verdict = {nkCnpj, CompleteCnpj(base.Kept(), number)};
  }
  if (!verdict.Valid()) return verdict;
  // The completed number is judged as any other, for the prefix and repeated-digit rules.
  return CheckNumber(std::string_view(number).substr(start), options);
}

}  // namespace checks
