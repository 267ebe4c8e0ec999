// calvix-rc: the project's resource compiler. It reads a resource description (a small subset
// of the Windows resource script language: VERSIONINFO, ICON, BITMAP, RCDATA) and writes the
// resource directory a program carries in its ELF section, as a C source file for the build and
// optionally as raw bytes. Layer: build tools.
//
//   calvix-rc DESCRIPTION -o OUTPUT.c [-b OUTPUT.bin] [-d DEPFILE]
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "platform/core/LittleEndian.h"
#include "platform/core/ResourceFormat.h"
#include "tools/ResourceWriter.h"

namespace {

using namespace resources;
namespace fs = std::filesystem;

constexpr uint16_t kRtIcon = 3;
constexpr uint16_t kRtBitmap = 2;
constexpr uint16_t kRtRcdata = 10;
constexpr uint16_t kRtGroupIcon = 14;
constexpr uint16_t kRtVersion = 16;
constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr uint32_t kFixedStructVersion = 0x00010000;
constexpr size_t kBitmapFileHeader = 14;
constexpr size_t kIconDirSize = 6;
constexpr size_t kIconEntrySize = 16;

struct Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// --- Bytes ---

uint32_t Get16(const Bytes& in, size_t at) {
  return platform::le::Read16(in.data() + at);
}

uint32_t Get32(const Bytes& in, size_t at) {
  return platform::le::Read32(in.data() + at);
}

// UTF-8 (the description's encoding) to UTF-16, the encoding of version blocks.
std::u16string Utf16FromUtf8(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra >= text.size() + (extra == 0)) throw Error("malformed UTF-8 text");
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k)
      cp = (cp << 6) | (text[i + k] & 0x3F);
    i += extra + 1;
    if (cp >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Error("cannot open " + path.string());
  return Bytes((std::istreambuf_iterator<char>(in)), {});
}

// --- Tokens ---

struct Token {
  enum Kind { tkEof, tkWord, tkNumber, tkString, tkComma, tkBegin, tkEnd } kind = tkEof;
  std::string text;
  uint32_t number = 0;
  bool wide = false;  // a number with the L suffix: a 32-bit value
  int line = 0;
};

class TLexer {
 public:
  explicit TLexer(std::string source) : FSource(std::move(source)) {}

  Token Next() {
    SkipBlanks();
    Token token;
    token.line = FLine;
    if (FPos >= FSource.size()) return token;
    const char c = FSource[FPos];
    if (c == ',') return ++FPos, token.kind = Token::tkComma, token;
    if (c == '{') return ++FPos, token.kind = Token::tkBegin, token;
    if (c == '}') return ++FPos, token.kind = Token::tkEnd, token;
    if (c == '"') return ReadString(token);
    if (c >= '0' && c <= '9') return ReadNumber(token);
    if (IsWordChar(c)) return ReadWord(token);
    throw Error("line " + std::to_string(FLine) + ": unexpected character '" + c + "'");
  }

 private:
  static bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  }

  void SkipBlanks() {
    while (FPos < FSource.size()) {
      const char c = FSource[FPos];
      if (c == '\n') ++FLine;
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        ++FPos;
      } else if (FSource.compare(FPos, 2, "//") == 0) {
        FPos = std::min(FSource.find('\n', FPos), FSource.size());
      } else {
        return;
      }
    }
  }

  // Quoted text; a doubled quote stands for one quote, as in resource scripts.
  Token& ReadString(Token& token) {
    token.kind = Token::tkString;
    for (++FPos;; ++FPos) {
      if (FPos >= FSource.size() || FSource[FPos] == '\n') {
        throw Error("line " + std::to_string(FLine) + ": unterminated string");
      }
      if (FSource[FPos] == '"') {
        if (FPos + 1 < FSource.size() && FSource[FPos + 1] == '"') {
          token.text += '"', ++FPos;
          continue;
        }
        ++FPos;
        return token;
      }
      token.text += FSource[FPos];
    }
  }

  Token& ReadNumber(Token& token) {
    token.kind = Token::tkNumber;
    size_t end = FPos;
    while (end < FSource.size() && IsWordChar(FSource[end]))
      ++end;
    std::string text = FSource.substr(FPos, end - FPos);
    FPos = end;
    if (!text.empty() && (text.back() == 'L' || text.back() == 'l')) {
      token.wide = true;
      text.pop_back();
    }
    size_t used = 0;
    const unsigned long value = std::stoul(text, &used, 0);
    if (used != text.size() || value > UINT32_MAX) {
      throw Error("line " + std::to_string(token.line) + ": bad number " + text);
    }
    token.number = static_cast<uint32_t>(value);
    return token;
  }

  Token& ReadWord(Token& token) {
    size_t end = FPos;
    while (end < FSource.size() && IsWordChar(FSource[end]))
      ++end;
    token.text = FSource.substr(FPos, end - FPos);
    FPos = end;
    token.kind = token.text == "BEGIN" ? Token::tkBegin
                 : token.text == "END" ? Token::tkEnd
                                       : Token::tkWord;
    return token;
  }

  std::string FSource;
  size_t FPos = 0;
  int FLine = 1;
};

class TParser {
 public:
  TParser(std::string source, fs::path baseDir)
      : FLexer(std::move(source)), FBaseDir(std::move(baseDir)) {
    Advance();
  }

  std::vector<Resource> Parse() {
    while (FToken.kind != Token::tkEof)
      ParseStatement();
    return std::move(FResources);
  }

  const std::vector<fs::path>& Inputs() const { return FInputs; }

 private:
  [[noreturn]] void Fail(const std::string& message) const {
    throw Error("line " + std::to_string(FToken.line) + ": " + message);
  }

  void Advance() { FToken = FLexer.Next(); }

  Token Expect(Token::Kind kind, const char* what) {
    if (FToken.kind != kind) Fail(std::string("expected ") + what);
    Token token = FToken;
    Advance();
    return token;
  }

  bool IsWord(const char* word) const {
    return FToken.kind == Token::tkWord && FToken.text == word;
  }

  Key ParseName() {
    if (FToken.kind == Token::tkNumber) {
      if (FToken.number == 0 || FToken.number > 0xFFFF) Fail("identifier out of range");
      const auto id = static_cast<uint16_t>(FToken.number);
      Advance();
      return id;
    }
    std::string name = Expect(Token::tkWord, "a resource name").text;
    // The one symbol of the Windows headers that resource scripts use without defining it.
    if (name == "VS_VERSION_INFO") return uint16_t{1};
    for (char& c : name)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
  }

  void ParseStatement() {
    const Key name = ParseName();
    const std::string kind = Expect(Token::tkWord, "a resource type").text;
    if (kind == "VERSIONINFO") {
      FResources.push_back({kRtVersion, name, ParseVersionInfo()});
    } else if (kind == "ICON") {
      AddIcon(name, LoadInput());
    } else if (kind == "BITMAP") {
      Bytes bitmap = LoadInput();
      if (bitmap.size() < kBitmapFileHeader || bitmap[0] != 'B' || bitmap[1] != 'M') {
        Fail("not a BMP file");
      }
      bitmap.erase(bitmap.begin(), bitmap.begin() + kBitmapFileHeader);
      FResources.push_back({kRtBitmap, name, std::move(bitmap)});
    } else if (kind == "RCDATA") {
      FResources.push_back({kRtRcdata, name, LoadInput()});
    } else {
      Fail("unknown resource type " + kind);
    }
  }

  Bytes LoadInput() {
    const fs::path path = FBaseDir / Expect(Token::tkString, "a file name").text;
    FInputs.push_back(path);
    return ReadFile(path);
  }

  // An icon file becomes one RT_ICON per image and the RT_GROUP_ICON that lists them, the
  // layout a Windows executable has.
  void AddIcon(const Key& name, const Bytes& file) {
    if (file.size() < kIconDirSize || Get16(file, 0) != 0 || Get16(file, 2) != 1) {
      Fail("not an icon file");
    }
    const uint32_t count = Get16(file, 4);
    Bytes group;
    Put16(group, 0);
    Put16(group, 1);
    Put16(group, count);
    for (uint32_t i = 0; i < count; ++i) {
      const size_t at = kIconDirSize + i * kIconEntrySize;
      if (at + kIconEntrySize > file.size()) Fail("icon directory overruns the file");
      const uint32_t size = Get32(file, at + 8);
      const uint32_t offset = Get32(file, at + 12);
      if (offset > file.size() || size > file.size() - offset) Fail("icon image overruns the file");
      const auto id = static_cast<uint16_t>(++FIconIds);
      group.insert(group.end(), file.begin() + at,
                   file.begin() + at + 8);  // size, colours, planes, bits
      Put32(group, size);
      Put16(group, id);
      FResources.push_back(
          {kRtIcon, id, Bytes(file.begin() + offset, file.begin() + offset + size)});
    }
    FResources.push_back({kRtGroupIcon, name, std::move(group)});
  }

  Bytes ParseVersionInfo() {
    uint32_t fixed[13] = {kFixedSignature, kFixedStructVersion};
    while (FToken.kind == Token::tkWord) {
      const std::string field = FToken.text;
      Advance();
      if (field == "FILEVERSION" || field == "PRODUCTVERSION") {
        uint32_t parts[4] = {};
        for (int i = 0; i < 4; ++i) {
          if (i > 0) Expect(Token::tkComma, "','");
          parts[i] = Expect(Token::tkNumber, "a version number").number & 0xFFFF;
        }
        const int at = field == "FILEVERSION" ? 2 : 4;
        fixed[at] = (parts[0] << 16) | parts[1];
        fixed[at + 1] = (parts[2] << 16) | parts[3];
        continue;
      }
      static const char* const kFields[] = {"FILEFLAGSMASK", "FILEFLAGS", "FILEOS", "FILETYPE",
                                            "FILESUBTYPE"};
      int index = -1;
      for (int i = 0; i < 5; ++i)
        index = field == kFields[i] ? i : index;
      if (index < 0) Fail("unknown VERSIONINFO field " + field);
      fixed[6 + index] = Expect(Token::tkNumber, "a number").number;
    }
    Bytes fixedInfo;
    for (const uint32_t word : fixed)
      Put32(fixedInfo, word);
    VersionNode root = BinaryValue(u"VS_VERSION_INFO", std::move(fixedInfo));
    root.children = ParseVersionChildren();
    return VersionBlock(root);
  }

  std::vector<VersionNode> ParseVersionChildren() {
    Expect(Token::tkBegin, "BEGIN");
    std::vector<VersionNode> children;
    while (FToken.kind != Token::tkEnd) {
      if (IsWord("BLOCK")) {
        Advance();
        std::u16string key = Utf16FromUtf8(Expect(Token::tkString, "a block name").text);
        children.push_back(Block(std::move(key), ParseVersionChildren()));
      } else if (IsWord("VALUE")) {
        Advance();
        children.push_back(ParseVersionValue());
      } else {
        Fail("expected BLOCK, VALUE or END");
      }
    }
    Advance();
    return children;
  }

  // A value is one text, or a list of numbers (16-bit, or 32-bit with the L suffix).
  VersionNode ParseVersionValue() {
    std::u16string key = Utf16FromUtf8(Expect(Token::tkString, "a value name").text);
    Expect(Token::tkComma, "','");
    if (FToken.kind == Token::tkString) {
      const std::u16string text = Utf16FromUtf8(FToken.text);
      Advance();
      return TextValue(std::move(key), text);
    }
    Bytes value;
    do {
      const Token number = Expect(Token::tkNumber, "a number or a text");
      number.wide ? Put32(value, number.number) : Put16(value, number.number & 0xFFFF);
    } while (FToken.kind == Token::tkComma && (Advance(), true));
    return BinaryValue(std::move(key), std::move(value));
  }

  TLexer FLexer;
  fs::path FBaseDir;
  Token FToken;
  std::vector<Resource> FResources;
  std::vector<fs::path> FInputs;
  uint32_t FIconIds = 0;
};

// --- Output ---

void WriteCSource(const fs::path& path, const fs::path& input, const Bytes& directory) {
  std::ofstream out(path);
  out << "/* The resource directory of " << input.filename().string()
      << ", written by calvix-rc; do not edit. */\n";
  out << "__attribute__((section(\"" << platform::rsrc::kSectionName
      << "\"), used, aligned(16)))\nstatic const unsigned char kResourceDirectory["
      << directory.size() << "] = {";
  for (size_t i = 0; i < directory.size(); ++i) {
    out << (i % 16 == 0 ? "\n " : "") << ' ' << static_cast<unsigned>(directory[i]) << ',';
  }
  out << "\n};\n";
  if (!out) throw Error("cannot write " + path.string());
}

void WriteDepfile(const fs::path& path, const fs::path& target, const fs::path& input,
                  const std::vector<fs::path>& inputs) {
  std::ofstream out(path);
  out << target.string() << ": " << input.string();
  for (const auto& file : inputs)
    out << " \\\n  " << file.string();
  out << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  try {
    fs::path input, cOutput, binOutput, depfile;
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i];
      const bool hasValue = i + 1 < argc;
      if (arg == "-o" && hasValue)
        cOutput = argv[++i];
      else if (arg == "-b" && hasValue)
        binOutput = argv[++i];
      else if (arg == "-d" && hasValue)
        depfile = argv[++i];
      else if (input.empty() && arg[0] != '-')
        input = arg;
      else
        throw Error("usage: calvix-rc DESCRIPTION -o OUTPUT.c [-b OUTPUT.bin] [-d DEPFILE]");
    }
    if (input.empty() || cOutput.empty()) throw Error("usage: calvix-rc DESCRIPTION -o OUTPUT.c");
    const Bytes source = ReadFile(input);
    TParser parser(std::string(source.begin(), source.end()), input.parent_path());
    const Bytes directory = BuildDirectory(parser.Parse());
    WriteCSource(cOutput, input, directory);
    if (!binOutput.empty()) {
      std::ofstream(binOutput, std::ios::binary)
          .write(reinterpret_cast<const char*>(directory.data()), directory.size());
    }
    if (!depfile.empty()) WriteDepfile(depfile, cOutput, input, parser.Inputs());
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "calvix-rc: " << (argc > 1 ? argv[1] : "") << ": " << error.what() << '\n';
    return 1;
  }
}
