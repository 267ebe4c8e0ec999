// Edit masks: the picture of a masked field parsed into positions, and the rules that turn what
// the field shows into the field's text and back. Toolkit layer; no drawing, no input.
#pragma once

#include <string>
#include <vector>

// A mask has up to three sections separated by ";": the picture, whether literals belong to
// the field's text ("0" no, anything else yes; yes when absent), and the character shown in
// unfilled positions ("_" when absent).
//
// Picture characters: "9" an optional digit, "0" a required digit, "#" a digit or sign,
// "L"/"l" a letter, "A"/"a" a letter or digit, "C"/"c" any character; "\x" shows x as a
// literal; every other character is a literal too. The field checks what enters a position;
// it does not insist that required positions are filled.
class TMaskFormat {
 public:
  TMaskFormat() = default;
  explicit TMaskFormat(const std::string& mask);

  bool Empty() const { return FPositions.empty(); }
  // The number of positions the field shows, literals included.
  int Length() const { return static_cast<int>(FPositions.size()); }
  bool IsLiteral(int pos) const;
  // Whether `c` may be typed into the input position `pos`.
  bool Accepts(int pos, char c) const;
  char Blank() const { return FBlank; }
  bool KeepLiterals() const { return FKeepLiterals; }

  // First input position at or after `pos`, or Length() when there is none.
  int NextInput(int pos) const;
  // Last input position before `pos`, or -1 when there is none.
  int PrevInput(int pos) const;

  // --- What the field shows and what it reads ---
  // Literals in place, the blank character in every input position.
  std::string EmptyEditText() const;
  // The field's text: with literals kept, every position with unfilled ones as spaces; without,
  // the input positions in order, unfilled ones before the last filled one as spaces and those
  // after it dropped.
  std::string TextFromEdit(const std::string& edit) const;
  // The shown text for a field text: with literals kept the text is matched position by
  // position, otherwise its characters fill the input positions in order. Characters that a
  // position refuses, and spaces, leave it unfilled.
  std::string EditFromText(const std::string& text) const;
  // True when no input position of `edit` is filled.
  bool IsBlank(const std::string& edit) const;

 private:
  struct TPosition {
    char Kind = 0;  // the picture character, or 0 for a literal
    char Literal = 0;
  };

  std::vector<TPosition> FPositions;
  bool FKeepLiterals = true;
  char FBlank = '_';
};
