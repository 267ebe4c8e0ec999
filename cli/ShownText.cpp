// How the command shows the bytes of an input: in a text line, or in a JSON string.
// Layer: the command line (cli/).
#include "cli/ShownText.h"

#include <cstddef>

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::string_view kReplacement = "\\ufffd";

bool IsControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

bool IsContinuation(unsigned char c) {
  return c >= 0x80 && c <= 0xBF;
}

// The length of the well-formed UTF-8 sequence that starts at `at`, or 0 when there is none;
// then `subpart` is the length of the ill-formed bytes to replace with one U+FFFD: the lead
// byte and those of its continuation bytes that were still acceptable.
std::size_t SequenceLength(std::string_view bytes, std::size_t at, std::size_t& subpart) {
  const auto lead = static_cast<unsigned char>(bytes[at]);
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range of the second byte, narrower for some lead bytes
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong forms
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong forms
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    subpart = 1;
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const std::size_t next = at + i;
    const auto c = next < bytes.size() ? static_cast<unsigned char>(bytes[next]) : 0;
    const bool acceptable = i == 1 ? c >= low && c <= high : IsContinuation(c);
    if (next >= bytes.size() || !acceptable) {
      subpart = i;
      return 0;
    }
  }
  return length;
}

void AppendEscapedControl(std::string& out, unsigned char c) {
  switch (c) {
    case '\b':
      out += "\\b";
      return;
    case '\f':
      out += "\\f";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      out += "\\u00";
      out.push_back(kHexDigits[c >> 4]);
      out.push_back(kHexDigits[c & 0xF]);
  }
}

}  // namespace

void AppendPlainText(std::string& out, std::string_view bytes) {
  const std::size_t start = out.size();
  out.append(bytes);
  for (std::size_t i = start; i < out.size(); ++i)
    if (IsControl(static_cast<unsigned char>(out[i]))) out[i] = '?';
}

void AppendJsonString(std::string& out, std::string_view bytes) {
  out.push_back('"');
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto c = static_cast<unsigned char>(bytes[at]);
    if (c < 0x80) {
      if (IsControl(c)) {
        AppendEscapedControl(out, c);
      } else {
        if (c == '"' || c == '\\') out.push_back('\\');
        out.push_back(static_cast<char>(c));
      }
      ++at;
      continue;
    }
    std::size_t subpart = 0;
    const std::size_t length = SequenceLength(bytes, at, subpart);
    if (length > 0) {
      out.append(bytes.substr(at, length));
      at += length;
    } else {
      out.append(kReplacement);
      at += subpart;
    }
  }
  out.push_back('"');
}
