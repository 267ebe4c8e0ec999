// A number as people type it: the punctuation of the usual masks dropped, the kind told from
// what is left, and the check of that kind. Layer: the checks library (checks/).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "checks/CardNumber.h"
#include "checks/Verdict.h"

namespace checks {

// The longest number any check takes: a card number.
inline constexpr std::size_t kLongestNumber = kCardMaxLength;

struct TCheckOptions {
  bool Cards = false;  // every text is a card number
  TCardPrefixRule CardRule = cpAnyBrand;
  bool AllowRepeated = false;  // numbers of one repeated digit pass, as in the window
};

// The characters of a typed number other than the punctuation of its masks: '.', '-', '/',
// blanks and tabs. The first kLongestNumber + 1 are kept, which is enough to tell that a text
// is too long for any number, and all of them are counted. The text must outlive the object.
class TNumberText {
 public:
  explicit TNumberText(std::string_view text);

  std::string_view Kept() const { return FKept; }
  std::size_t Count() const { return FCount; }
  // The number's own characters, when the text has no more than a number can hold.
  bool Whole() const { return FCount < kKept; }

 private:
  static constexpr std::size_t kKept = kLongestNumber + 1;
  static constexpr std::size_t kScratch = 32;

  std::string_view FKept;  // the text itself when it holds no punctuation, else FChars
  std::size_t FCount = 0;
  std::array<char, kScratch> FChars;
};

// Checks a typed number. With options.Cards it is a card number; otherwise its kind is told
// from the form: 11 characters make a CPF, 14 a CNPJ, and any other count is no number
// (nkUnknown, crLength).
TVerdict CheckNumber(std::string_view text, const TCheckOptions& options);

// Completes a typed base with its check digits: 9 characters are a CPF's base, 12 a CNPJ's,
// and with options.Cards 12 to 18 digits a card number's. The whole number, without
// punctuation, is appended to `number`; the verdict is that of the completed number, so a
// repeated base gives crRepeated unless options.AllowRepeated.
TVerdict CompleteNumber(std::string_view text, const TCheckOptions& options, std::string& number);

}  // namespace checks
