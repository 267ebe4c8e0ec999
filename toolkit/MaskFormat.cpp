// Edit masks: parsing and the text rules of masked fields. Toolkit layer.
#include "toolkit/MaskFormat.h"

#include <cctype>

namespace {

constexpr char kSectionSeparator = ';';
constexpr char kEscape = '\\';

bool IsInputKind(char c) {
  switch (c) {
    case '9':
    case '0':
    case '#':
    case 'L':
    case 'l':
    case 'A':
    case 'a':
    case 'C':
    case 'c':
      return true;
    default:
      return false;
  }
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

TMaskFormat::TMaskFormat(const std::string& mask) {
  size_t i = 0;
  for (; i < mask.size() && mask[i] != kSectionSeparator; ++i) {
    const char c = mask[i];
    if (c == kEscape && i + 1 < mask.size()) {
      FPositions.push_back({0, mask[++i]});
    } else if (IsInputKind(c)) {
      FPositions.push_back({c, 0});
    } else {
      FPositions.push_back({0, c});
    }
  }
  if (i >= mask.size()) return;
  // The flag section: one character, "0" meaning the literals are left out of the text.
  ++i;
  if (i < mask.size() && mask[i] != kSectionSeparator) FKeepLiterals = mask[i++] != '0';
  while (i < mask.size() && mask[i] != kSectionSeparator)
    ++i;
  if (i + 1 < mask.size()) FBlank = mask[i + 1];
}

bool TMaskFormat::IsLiteral(int pos) const {
  return pos >= 0 && pos < Length() && FPositions[pos].Kind == 0;
}

bool TMaskFormat::Accepts(int pos, char c) const {
  if (pos < 0 || pos >= Length()) return false;
  switch (FPositions[pos].Kind) {
    case '9':
    case '0':
      return IsDigit(c);
    case '#':
      return IsDigit(c) || c == '+' || c == '-';
    case 'L':
    case 'l':
      return IsLetter(c);
    case 'A':
    case 'a':
      return IsLetter(c) || IsDigit(c);
    case 'C':
    case 'c':
      return static_cast<unsigned char>(c) >= ' ';
    default:
      return false;
  }
}

int TMaskFormat::NextInput(int pos) const {
  if (pos < 0) pos = 0;
  while (pos < Length() && IsLiteral(pos))
    ++pos;
  return pos < Length() ? pos : Length();
}

int TMaskFormat::PrevInput(int pos) const {
  if (pos > Length()) pos = Length();
  for (int p = pos - 1; p >= 0; --p)
    if (!IsLiteral(p)) return p;
  return -1;
}

std::string TMaskFormat::EmptyEditText() const {
  std::string edit;
  edit.reserve(FPositions.size());
  for (const TPosition& p : FPositions)
    edit.push_back(p.Kind == 0 ? p.Literal : FBlank);
  return edit;
}

std::string TMaskFormat::TextFromEdit(const std::string& edit) const {
  auto filled = [&](int pos) { return pos < static_cast<int>(edit.size()) && edit[pos] != FBlank; };
  std::string text;
  if (FKeepLiterals) {
    for (int pos = 0; pos < Length(); ++pos) {
      if (IsLiteral(pos))
        text.push_back(FPositions[pos].Literal);
      else
        text.push_back(filled(pos) ? edit[pos] : ' ');
    }
    return text;
  }
  size_t lastFilled = 0;
  for (int pos = 0; pos < Length(); ++pos) {
    if (IsLiteral(pos)) continue;
    text.push_back(filled(pos) ? edit[pos] : ' ');
    if (filled(pos)) lastFilled = text.size();
  }
  text.resize(lastFilled);
  return text;
}

std::string TMaskFormat::EditFromText(const std::string& text) const {
  std::string edit = EmptyEditText();
  auto put = [&](int pos, char c) {
    if (c != ' ' && Accepts(pos, c)) edit[pos] = c;
  };
  if (FKeepLiterals) {
    for (int pos = 0; pos < Length() && pos < static_cast<int>(text.size()); ++pos)
      if (!IsLiteral(pos)) put(pos, text[pos]);
    return edit;
  }
  int pos = NextInput(0);
  for (char c : text) {
    if (pos >= Length()) break;
    put(pos, c);
    pos = NextInput(pos + 1);
  }
  return edit;
}

bool TMaskFormat::IsBlank(const std::string& edit) const {
  for (int pos = 0; pos < Length(); ++pos)
    if (!IsLiteral(pos) && pos < static_cast<int>(edit.size()) && edit[pos] != FBlank) return false;
  return true;
}
