// A strict reader of one JSON text (RFC 8259), for tests and the fuzz target to hold the
// command's JSON lines to: every string well-formed UTF-8, every escape and control character
// as the standard allows, nothing after the value.
#pragma once

#include <cstddef>
#include <string_view>

namespace clitest {

class TJsonCheck {
 public:
  explicit TJsonCheck(std::string_view text) : FText(text) {}

  bool Valid() {
    SkipBlanks();
    if (!Value(0)) return false;
    SkipBlanks();
    return FAt == FText.size();
  }

 private:
  static constexpr int kDeepest = 64;

  bool AtEnd() const { return FAt >= FText.size(); }
  char Peek() const { return AtEnd() ? '\0' : FText[FAt]; }
  bool Take(char c) {
    if (Peek() != c || AtEnd()) return false;
    ++FAt;
    return true;
  }
  void SkipBlanks() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
      ++FAt;
  }
  bool Word(std::string_view word) {
    if (FText.substr(FAt, word.size()) != word) return false;
    FAt += word.size();
    return true;
  }

  bool Value(int depth) {
    if (depth > kDeepest) return false;
    switch (Peek()) {
      case '{':
        return Members(depth);
      case '[':
        return Elements(depth);
      case '"':
        return String();
      case 't':
        return Word("true");
      case 'f':
        return Word("false");
      case 'n':
        return Word("null");
      default:
        return Number();
    }
  }

  bool Members(int depth) {
    Take('{');
    SkipBlanks();
    if (Take('}')) return true;
    for (;;) {
      SkipBlanks();
      if (!String()) return false;
      SkipBlanks();
      if (!Take(':')) return false;
      SkipBlanks();
      if (!Value(depth + 1)) return false;
      SkipBlanks();
      if (Take('}')) return true;
      if (!Take(',')) return false;
    }
  }

  bool Elements(int depth) {
    Take('[');
    SkipBlanks();
    if (Take(']')) return true;
    for (;;) {
      SkipBlanks();
      if (!Value(depth + 1)) return false;
      SkipBlanks();
      if (Take(']')) return true;
      if (!Take(',')) return false;
    }
  }

  bool Digits() {
    const std::size_t start = FAt;
    while (!AtEnd() && Peek() >= '0' && Peek() <= '9')
      ++FAt;
    return FAt > start;
  }

  bool Number() {
    Take('-');
    if (Take('0')) {
      if (Peek() >= '0' && Peek() <= '9') return false;
    } else if (!Digits()) {
      return false;
    }
    if (Take('.') && !Digits()) return false;
    if (Take('e') || Take('E')) {
      if (!Take('+')) Take('-');
      if (!Digits()) return false;
    }
    return true;
  }

  static bool Hex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  }

  bool Escape() {
    const char c = Peek();
    ++FAt;
    if (c == 'u') {
      for (int i = 0; i < 4; ++i, ++FAt)
        if (AtEnd() || !Hex(Peek())) return false;
      return true;
    }
    return c == '"' || c == '\\' || c == '/' || c == 'b' || c == 'f' || c == 'n' || c == 'r' ||
           c == 't';
  }

  // One UTF-8 sequence from its lead byte: no overlong form, no surrogate, nothing past
  // U+10FFFF.
  bool Utf8Sequence() {
    const auto lead = static_cast<unsigned char>(Peek());
    ++FAt;
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 2;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 3;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    for (int i = 0; i < length; ++i, ++FAt) {
      if (AtEnd()) return false;
      const auto c = static_cast<unsigned char>(Peek());
      if (c < (i == 0 ? low : 0x80) || c > (i == 0 ? high : 0xBF)) return false;
    }
    return true;
  }

  bool String() {
    if (!Take('"')) return false;
    for (;;) {
      if (AtEnd()) return false;
      const auto c = static_cast<unsigned char>(Peek());
      if (c == '"') {
        ++FAt;
        return true;
      }
      if (c < 0x20) return false;
      if (c == '\\') {
        ++FAt;
        if (!Escape()) return false;
      } else if (c >= 0x80) {
        if (!Utf8Sequence()) return false;
      } else {
        ++FAt;
      }
    }
  }

  std::string_view FText;
  std::size_t FAt = 0;
};

inline bool IsValidJson(std::string_view text) {
  return TJsonCheck(text).Valid();
}

}  // namespace clitest
