// Reading and writing form descriptions. Toolkit layer.
#include "toolkit/Streaming.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace {

constexpr int kMaxNesting = 64;
constexpr size_t kHexBytesPerLine = 32;

// --- Lexer ---

enum TTokenKind { tkEnd, tkIdentTok, tkIntegerTok, tkFloatTok, tkStringTok, tkSymbol };

struct TToken {
  TTokenKind Kind = tkEnd;
  std::string Text;  // identifier, symbol, or the decoded string
  long long Int = 0;
  double Float = 0;
  int Line = 1;
};

bool IsIdentStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
// The value of each character as a hex digit, or -1.
constexpr std::array<int8_t, 256> kHexDigits = [] {
  std::array<int8_t, 256> table{};
  table.fill(-1);
  for (int i = 0; i < 10; ++i)
    table['0' + i] = int8_t(i);
  for (int i = 0; i < 6; ++i)
    table['a' + i] = table['A' + i] = int8_t(10 + i);
  return table;
}();

int HexDigit(char c) {
  return kHexDigits[static_cast<unsigned char>(c)];
}

class TLexer {
 public:
  explicit TLexer(std::string_view text) : FText(text) { Next(); }

  const TToken& Current() const { return FToken; }
  int Line() const { return FToken.Line; }

  [[noreturn]] void Error(const std::string& message, int line = 0) const {
    throw EReadError(message, line > 0 ? line : FToken.Line);
  }

  void Next() {
    SkipBlanks();
    FToken = TToken();
    FToken.Line = FLine;
    if (FPos >= FText.size()) return;
    const char c = FText[FPos];
    if (IsIdentStart(c)) return Ident();
    if (IsDigit(c) || c == '-' || c == '$') return Number();
    if (c == '\'' || c == '#') return String();
    if (std::string("=:[](){},+.").find(c) != std::string::npos) {
      FToken.Kind = tkSymbol;
      FToken.Text = std::string(1, c);
      ++FPos;
      return;
    }
    Error("Invalid character '" + Printable(c) + "'");
  }

  bool IsSymbol(char c) const { return FToken.Kind == tkSymbol && FToken.Text[0] == c; }
  bool IsIdent(const char* word) const {
    return FToken.Kind == tkIdentTok && SameText(FToken.Text, word);
  }
  void ExpectSymbol(char c) {
    if (!IsSymbol(c)) Error(std::string("'") + c + "' expected but " + Describe() + " found");
    Next();
  }
  std::string ExpectIdent() {
    if (FToken.Kind != tkIdentTok) Error("Identifier expected but " + Describe() + " found");
    std::string text = FToken.Text;
    Next();
    return text;
  }

  std::string Describe() const {
    switch (FToken.Kind) {
      case tkEnd:
        return "end of description";
      case tkIdentTok:
        return "'" + FToken.Text + "'";
      case tkIntegerTok:
      case tkFloatTok:
        return "number";
      case tkStringTok:
        return "string";
      case tkSymbol:
        return "'" + FToken.Text + "'";
    }
    return "token";
  }

  // Reads the hex digits after a '{' up to the closing '}', blanks and line breaks allowed.
  std::vector<uint8_t> HexBlock(int openLine) {
    // Pictures make blocks of hundreds of kilobytes: room for all of it at once. A byte takes
    // two digits before the closing brace (or the end of the text, for a block left open).
    const size_t close = FText.find('}', FPos);
    std::vector<uint8_t> bytes(((close != std::string::npos ? close : FText.size()) - FPos) / 2 +
                               1);
    uint8_t* const out = bytes.data();
    size_t count = 0;
    int pending = -1;
    for (;;) {
      // Runs of digit pairs, nearly all of a picture, go two characters a step.
      while (pending < 0 && FPos + 1 < FText.size()) {
        const int high = HexDigit(FText[FPos]), low = HexDigit(FText[FPos + 1]);
        if ((high | low) < 0) break;
        out[count++] = static_cast<uint8_t>(high * 16 + low);
        FPos += 2;
      }
      if (FPos >= FText.size()) Error("Binary value not terminated", openLine);
      const char c = FText[FPos++];
      if (c == '}') break;
      if (c == '\n') {
        ++FLine;
        continue;
      }
      if (c == ' ' || c == '\t' || c == '\r') continue;
      const int digit = HexDigit(c);
      if (digit < 0) Error("Invalid hex digit '" + Printable(c) + "'", FLine);
      if (pending < 0) {
        pending = digit;
      } else {
        out[count++] = static_cast<uint8_t>(pending * 16 + digit);
        pending = -1;
      }
    }
    if (pending >= 0) Error("Binary value has an odd number of hex digits", openLine);
    Next();
    bytes.resize(count);
    return bytes;
  }

 private:
  static std::string Printable(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x20 && u < 0x7F ? std::string(1, c) : "#" + std::to_string(u);
  }

  void SkipBlanks() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\n') {
        ++FLine;
        ++FPos;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++FPos;
      } else if (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
        while (FPos < FText.size() && FText[FPos] != '\n')
          ++FPos;
      } else {
        break;
      }
    }
  }

  void Ident() {
    const size_t start = FPos;
    while (FPos < FText.size() && (IsIdentStart(FText[FPos]) || IsDigit(FText[FPos])))
      ++FPos;
    FToken.Kind = tkIdentTok;
    FToken.Text = std::string(FText.substr(start, FPos - start));
  }

  void Number() {
    const size_t start = FPos;
    if (FText[FPos] == '$') return HexNumber();
    if (FText[FPos] == '-') ++FPos;
    if (FPos >= FText.size() || !IsDigit(FText[FPos])) Error("Number expected after '-'");
    while (FPos < FText.size() && IsDigit(FText[FPos]))
      ++FPos;
    bool isFloat = false;
    if (FPos + 1 < FText.size() && FText[FPos] == '.' && IsDigit(FText[FPos + 1])) {
      isFloat = true;
      ++FPos;
      while (FPos < FText.size() && IsDigit(FText[FPos]))
        ++FPos;
    }
    if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
      isFloat = true;
      ++FPos;
      if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-')) ++FPos;
      if (FPos >= FText.size() || !IsDigit(FText[FPos])) Error("Invalid number");
      while (FPos < FText.size() && IsDigit(FText[FPos]))
        ++FPos;
    }
    const char* first = FText.data() + start;
    const char* last = FText.data() + FPos;
    std::from_chars_result result;
    if (isFloat) {
      FToken.Kind = tkFloatTok;
      result = std::from_chars(first, last, FToken.Float);
      if (result.ec == std::errc() && !std::isfinite(FToken.Float)) Error("Number out of range");
    } else {
      FToken.Kind = tkIntegerTok;
      result = std::from_chars(first, last, FToken.Int);
    }
    if (result.ec != std::errc() || result.ptr != last) Error("Number out of range");
  }

  void HexNumber() {
    ++FPos;
    const size_t start = FPos;
    unsigned long long value = 0;
    while (FPos < FText.size() && HexDigit(FText[FPos]) >= 0) {
      if (FPos - start >= 16) Error("Number out of range");
      value = value * 16 + static_cast<unsigned>(HexDigit(FText[FPos++]));
    }
    if (FPos == start) Error("Hex digits expected after '$'");
    FToken.Kind = tkIntegerTok;
    FToken.Int = static_cast<long long>(value);
  }

  // A string is a run of quoted pieces and #nnn characters with nothing between them.
  void String() {
    FToken.Kind = tkStringTok;
    while (FPos < FText.size()) {
      if (FText[FPos] == '\'') {
        QuotedPiece();
      } else if (FText[FPos] == '#') {
        CharacterCode();
      } else {
        break;
      }
    }
  }

  void QuotedPiece() {
    const int line = FLine;
    ++FPos;
    for (;;) {
      if (FPos >= FText.size() || FText[FPos] == '\n' || FText[FPos] == '\r')
        Error("Unterminated string", line);
      const char c = FText[FPos++];
      if (c == '\'') {
        if (FPos < FText.size() && FText[FPos] == '\'') {
          FToken.Text += '\'';
          ++FPos;
          continue;
        }
        return;
      }
      const auto u = static_cast<unsigned char>(c);
      if (u < 0x20 || u >= 0x7F)
        Error("Characters outside printable ASCII must be written as #nnn in strings", line);
      FToken.Text += c;
    }
  }

  void CharacterCode() {
    ++FPos;
    int value = 0, digits = 0;
    while (FPos < FText.size() && IsDigit(FText[FPos]) && digits < 4) {
      value = value * 10 + (FText[FPos++] - '0');
      ++digits;
    }
    if (digits == 0 || value > 255) Error("Invalid character code in string");
    FToken.Text += static_cast<char>(value);
  }

  std::string_view FText;
  size_t FPos = 0;
  int FLine = 1;
  TToken FToken;
};

// --- Values ---

TValue ParseValue(TLexer& lex) {
  const TToken& t = lex.Current();
  switch (t.Kind) {
    case tkIntegerTok: {
      TValue v = TValue::Integer(t.Int);
      lex.Next();
      return v;
    }
    case tkFloatTok: {
      TValue v = TValue::FloatValue(t.Float);
      lex.Next();
      return v;
    }
    case tkIdentTok:
      return TValue::Ident(lex.ExpectIdent());
    case tkStringTok: {
      std::string text = t.Text;
      lex.Next();
      while (lex.IsSymbol('+')) {
        lex.Next();
        if (lex.Current().Kind != tkStringTok) lex.Error("String expected after '+'");
        text += lex.Current().Text;
        lex.Next();
      }
      return TValue::String(std::move(text));
    }
    case tkSymbol:
      break;
    case tkEnd:
      lex.Error("Value expected but end of description found");
  }
  if (lex.IsSymbol('[')) {
    lex.Next();
    std::vector<std::string> members;
    while (!lex.IsSymbol(']')) {
      if (!members.empty()) lex.ExpectSymbol(',');
      members.push_back(lex.ExpectIdent());
    }
    lex.Next();
    return TValue::Set(std::move(members));
  }
  if (lex.IsSymbol('(')) {
    lex.Next();
    std::vector<std::string> lines;
    while (!lex.IsSymbol(')')) {
      if (lex.Current().Kind != tkStringTok) lex.Error("String expected in list");
      lines.push_back(ParseValue(lex).Str);
    }
    lex.Next();
    return TValue::List(std::move(lines));
  }
  if (lex.IsSymbol('{')) {
    const int line = lex.Line();
    return TValue::Binary(lex.HexBlock(line));
  }
  lex.Error("Value expected but " + lex.Describe() + " found");
}

int IndexOfName(const std::vector<std::string>& names, const std::string& name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], name)) return static_cast<int>(i);
  return -1;
}

// Collects the extra stored values an object declares.
struct TDefinition {
  std::string Name;
  bool Binary = false;
  TFiler::TValueReader Read;
  TFiler::TValueWriter Write;
  TFiler::TBinaryReader ReadBinary;
  TFiler::TBinaryWriter WriteBinary;
  bool HasData = false;
};

class TDefinitionCollector : public TFiler {
 public:
  void DefineProperty(const std::string& name, TValueReader read, TValueWriter write,
                      bool hasData) override {
    FItems.push_back({name, false, std::move(read), std::move(write), {}, {}, hasData});
  }
  void DefineBinaryProperty(const std::string& name, TBinaryReader read, TBinaryWriter write,
                            bool hasData) override {
    FItems.push_back({name, true, {}, {}, std::move(read), std::move(write), hasData});
  }
  const TDefinition* Find(const std::string& name) const {
    for (const auto& d : FItems)
      if (SameText(d.Name, name)) return &d;
    return nullptr;
  }
  const std::vector<TDefinition>& Items() const { return FItems; }

 private:
  std::vector<TDefinition> FItems;
};

}  // namespace

// --- Reader ---

class TReader {
 public:
  TReader(TComponent& root, std::string_view text) : FRoot(root), FLex(text) {}

  void Read() {
    try {
      FRoot.SetLoading(true);
      ReadObject(nullptr, 0);
      if (FLex.Current().Kind != tkEnd) FLex.Error("Text after the end of the description");
      ResolveReferences();
    } catch (...) {
      Abandon();
      throw;
    }
    FinishLoading();
  }

 private:
  struct TReference {
    TPersistent* Instance;
    const TPropInfo* Prop;
    std::string Name;
    int Line;
  };

  void ReadObject(TComponent* parent, int depth) {
    if (depth > kMaxNesting) FLex.Error("Objects nested too deeply");
    if (!FLex.IsIdent("object")) FLex.Error("'object' expected but " + FLex.Describe() + " found");
    const int line = FLex.Line();
    FLex.Next();
    std::string name = FLex.ExpectIdent();
    std::string className = name;
    if (FLex.IsSymbol(':')) {
      FLex.Next();
      className = FLex.ExpectIdent();
    } else {
      name.clear();
    }
    TComponent* component =
        parent == nullptr ? &RootOfClass(className, line) : &CreateChild(className, line);
    Guard(line, [&] {
      component->SetName(name);
      if (parent != nullptr) {
        SetField(*component, line);
        component->SetParentComponent(parent);
      }
    });
    std::set<std::string> seen;
    while (!FLex.IsIdent("end")) {
      if (FLex.Current().Kind == tkEnd)
        FLex.Error(
            "Object '" + (name.empty() ? className : name) + "' not terminated: 'end' expected",
            line);
      if (FLex.IsIdent("object")) {
        ReadObject(component, depth + 1);
      } else {
        ReadProperty(*component, seen);
      }
    }
    FLex.Next();
  }

  TComponent& RootOfClass(const std::string& className, int line) {
    const TClassInfo* rootInfo = ClassInfoOf(FRoot);
    const TClassInfo* named = FindClass(className);
    const bool fits = SameText(FRoot.ClassName(), className) ||
                      (rootInfo != nullptr && named != nullptr && rootInfo->InheritsFrom(named));
    if (!fits)
      FLex.Error("Description of " + className + " cannot be read into " + FRoot.ClassName(), line);
    FLoaded.push_back(&FRoot);
    return FRoot;
  }

  TComponent& CreateChild(const std::string& className, int line) {
    const TClassInfo* info = FindClass(className);
    if (info == nullptr) FLex.Error("Class " + className + " not found", line);
    if (!info->CanCreate()) FLex.Error("Class " + className + " cannot be created", line);
    TComponent* component = nullptr;
    Guard(line, [&] { component = info->Create(&FRoot); });
    FCreated.push_back(component);
    FLoaded.push_back(component);
    component->SetLoading(true);
    return *component;
  }

  void SetField(TComponent& component, int line) {
    const TClassInfo* rootInfo = ClassInfoOf(FRoot);
    const TFieldInfo* field =
        rootInfo && !component.Name().empty() ? rootInfo->FindField(component.Name()) : nullptr;
    if (field != nullptr && !field->Set(FRoot, &component))
      FLex.Error("Field " + component.Name() + " of " + FRoot.ClassName() + " does not fit class " +
                     component.ClassName(),
                 line);
  }

  void ReadProperty(TPersistent& instance, std::set<std::string>& seen) {
    const int line = FLex.Line();
    std::vector<std::string> path{FLex.ExpectIdent()};
    while (FLex.IsSymbol('.')) {
      FLex.Next();
      path.push_back(FLex.ExpectIdent());
    }
    FLex.ExpectSymbol('=');
    const TValue value = ParseValue(FLex);
    std::string key;
    for (const auto& part : path)
      key += (key.empty() ? "" : ".") + UpperCase(part);
    std::string shown = path[0];
    for (size_t i = 1; i < path.size(); ++i)
      shown += "." + path[i];
    if (!seen.insert(key).second) FLex.Error("Property " + shown + " is set twice", line);

    TPersistent* target = &instance;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
      const TPropInfo* prop = FindProp(*target, path[i]);
      if (prop == nullptr || prop->Kind != tkClass)
        FLex.Error("Property " + shown + " does not exist", line);
      target = prop->GetObject(*target);
      if (target == nullptr) FLex.Error("Property " + shown + " does not exist", line);
    }
    Guard(line, [&] { Apply(*target, path.back(), shown, value, line); });
  }

  static const TPropInfo* FindProp(const TPersistent& object, const std::string& name) {
    const TClassInfo* info = ClassInfoOf(object);
    return info ? info->FindProperty(name) : nullptr;
  }

  void Apply(TPersistent& target, const std::string& name, const std::string& shown,
             const TValue& value, int line) {
    if (const TPropInfo* prop = FindProp(target, name))
      return SetProperty(target, *prop, value, line);
    TDefinitionCollector defined;
    target.DefineProperties(defined);
    const TDefinition* def = defined.Find(name);
    if (def == nullptr) FLex.Error("Property " + shown + " does not exist", line);
    if (def->Binary) {
      if (value.Kind != vaBinary) Mismatch("binary data");
      def->ReadBinary(value.Bytes);
    } else {
      def->Read(value);
    }
  }

  [[noreturn]] static void Mismatch(const std::string& expected) {
    throw EConvertError("Invalid property value: " + expected + " expected");
  }

  void SetProperty(TPersistent& target, const TPropInfo& prop, const TValue& value, int line) {
    switch (prop.Kind) {
      case tkInteger:
        return prop.SetOrd(target, IntegerOf(prop, value));
      case tkFloat:
        if (value.Kind != vaFloat && value.Kind != vaInteger) Mismatch("a number");
        return prop.SetFloat(target, value.AsFloat());
      case tkString:
        return prop.SetStr(target, value.AsString());
      case tkBoolean:
        return prop.SetOrd(target, value.AsBoolean() ? 1 : 0);
      case tkEnumeration: {
        const int ordinal = value.Kind == vaIdent ? IndexOfName(prop.Names, value.Str) : -1;
        if (ordinal < 0) Mismatch("one of the identifiers of " + prop.Name);
        return prop.SetOrd(target, ordinal);
      }
      case tkSet:
        return prop.SetOrd(target, SetBits(prop, value));
      case tkEvent:
        return prop.SetEvent(target, FRoot, value.AsIdent());
      case tkStrings: {
        if (value.Kind != vaList) Mismatch("a list of strings");
        TStringList* list = prop.GetStrings(target);
        list->Clear();
        for (const auto& item : value.Items)
          list->Add(item);
        return;
      }
      case tkClass:
        Mismatch("a value for each property of " + prop.Name + ", not the object,");
      case tkComponent:
        FReferences.push_back({&target, &prop, value.AsIdent(), line});
        return;
    }
  }

  static long long IntegerOf(const TPropInfo& prop, const TValue& value) {
    long long v = 0;
    if (value.Kind == vaInteger) {
      v = value.Int;
    } else if (value.Kind == vaIdent) {
      auto it = std::find_if(prop.Idents.begin(), prop.Idents.end(),
                             [&](const auto& p) { return SameText(p.first, value.Str); });
      if (it == prop.Idents.end()) Mismatch("an integer");
      v = it->second;
    } else {
      Mismatch("an integer");
    }
    if (v < prop.MinValue || v > prop.MaxValue)
      throw ERangeError("Value " + std::to_string(v) + " out of range for " + prop.Name);
    return v;
  }

  static long long SetBits(const TPropInfo& prop, const TValue& value) {
    if (value.Kind != vaSet) Mismatch("a set");
    long long bits = 0;
    for (const auto& member : value.Items) {
      const int ordinal = IndexOfName(prop.Names, member);
      if (ordinal < 0 || ordinal >= 32) Mismatch("members of " + prop.Name);
      bits |= 1LL << ordinal;
    }
    return bits;
  }

  // Runs a step that may fail inside a component or property setter, and reports any failure
  // as a reading error at `line`.
  template <class F>
  static void Guard(int line, F step) {
    try {
      step();
    } catch (const EReadError&) {
      throw;
    } catch (const std::exception& e) {
      throw EReadError(e.what(), line);
    }
  }

  void ResolveReferences() {
    for (const TReference& ref : FReferences) {
      TComponent* found = nullptr;
      if (!SameText(ref.Name, "nil")) {
        found = SameText(FRoot.Name(), ref.Name) ? &FRoot : FRoot.FindComponent(ref.Name);
        if (found == nullptr) FLex.Error("Component " + ref.Name + " not found", ref.Line);
      }
      Guard(ref.Line, [&] { ref.Prop->SetComponent(*ref.Instance, found); });
    }
  }

  // Every component keeps csLoading until its own Loaded has run, so a component that looks
  // at a later one while it finishes sees that one still loading.
  void FinishLoading() {
    for (size_t i = 0; i < FLoaded.size(); ++i) {
      try {
        FLoaded[i]->Loaded();
      } catch (...) {
        for (size_t j = i; j < FLoaded.size(); ++j)
          FLoaded[j]->SetLoading(false);
        throw;
      }
      FLoaded[i]->SetLoading(false);
    }
  }

  // Takes back what a failed read made: the components it created, last first, and the root's
  // fields that pointed at them.
  void Abandon() {
    const TClassInfo* rootInfo = ClassInfoOf(FRoot);
    for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it) {
      TComponent* c = *it;
      if (rootInfo != nullptr && !c->Name().empty())
        if (const TFieldInfo* field = rootInfo->FindField(c->Name())) field->Set(FRoot, nullptr);
      delete c;
    }
    FCreated.clear();
    FRoot.SetLoading(false);
  }

  TComponent& FRoot;
  TLexer FLex;
  std::vector<TComponent*> FCreated;
  std::vector<TComponent*> FLoaded;
  std::vector<TReference> FReferences;
};

void ReadComponent(TComponent& root, std::string_view text) {
  TReader(root, text).Read();
}

TComponent* ReadComponent(std::string_view text, TComponent* owner) {
  TLexer lex(text);
  if (!lex.IsIdent("object")) lex.Error("'object' expected but " + lex.Describe() + " found");
  lex.Next();
  std::string className = lex.ExpectIdent();
  if (lex.IsSymbol(':')) {
    lex.Next();
    className = lex.ExpectIdent();
  }
  const TClassInfo* info = FindClass(className);
  if (info == nullptr) lex.Error("Class " + className + " not found", 1);
  if (!info->CanCreate()) lex.Error("Class " + className + " cannot be created", 1);
  std::unique_ptr<TComponent> root(info->Create(owner));
  ReadComponent(*root, text);
  return root.release();
}

// --- Writer ---

class TWriter {
 public:
  std::string Write(const TComponent& root) {
    FRoot = &root;
    WriteObject(root, 0);
    return std::move(FOut);
  }

 private:
  void WriteObject(const TComponent& component, int indent) {
    const std::string pad(static_cast<size_t>(indent), ' ');
    FOut += pad + "object ";
    if (!component.Name().empty()) FOut += component.Name() + ": ";
    FOut += component.ClassName() + "\n";
    WriteProperties(const_cast<TComponent&>(component), "", indent + 2);
    component.GetChildren([&](TComponent* child) { WriteObject(*child, indent + 2); }, FRoot);
    FOut += pad + "end\n";
  }

  void WriteProperties(TPersistent& object, const std::string& prefix, int indent) {
    if (const TClassInfo* info = ClassInfoOf(object)) {
      for (const TPropInfo* prop : info->Properties()) {
        if (!prop->IsStored(object)) continue;
        if (prop->Kind == tkClass) {
          if (TPersistent* nested = prop->GetObject(object))
            WriteProperties(*nested, prefix + prop->Name + ".", indent);
          continue;
        }
        TValue value = prop->Get(object);
        if (prop->Kind == tkEvent) value = TValue::Ident(value.Str);
        WriteValue(prefix + prop->Name, value, indent);
      }
    }
    TDefinitionCollector defined;
    object.DefineProperties(defined);
    for (const TDefinition& def : defined.Items()) {
      if (!def.HasData) continue;
      WriteValue(prefix + def.Name, def.Binary ? TValue::Binary(def.WriteBinary()) : def.Write(),
                 indent);
    }
  }

  void WriteValue(const std::string& name, const TValue& value, int indent) {
    const std::string pad(static_cast<size_t>(indent), ' ');
    FOut += pad + name + " = ";
    switch (value.Kind) {
      case vaNull:
        FOut += "nil";
        break;
      case vaInteger:
        FOut += std::to_string(value.Int);
        break;
      case vaFloat:
        FOut += FloatText(value.Float);
        break;
      case vaString:
        FOut += Quote(value.Str);
        break;
      case vaIdent:
        FOut += value.Str;
        break;
      case vaSet: {
        FOut += "[";
        for (size_t i = 0; i < value.Items.size(); ++i)
          FOut += (i ? ", " : "") + value.Items[i];
        FOut += "]";
        break;
      }
      case vaList: {
        FOut += "(";
        for (const auto& line : value.Items)
          FOut += "\n" + pad + "  " + Quote(line);
        FOut += ")";
        break;
      }
      case vaBinary:
        WriteHex(value.Bytes, pad);
        break;
    }
    FOut += "\n";
  }

  void WriteHex(const std::vector<uint8_t>& bytes, const std::string& pad) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    FOut += "{";
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (i % kHexBytesPerLine == 0) FOut += "\n" + pad + "  ";
      FOut += kHex[bytes[i] >> 4];
      FOut += kHex[bytes[i] & 15];
    }
    FOut += "}";
  }

  static std::string FloatText(double v) {
    if (!std::isfinite(v)) throw EStreamError("A number that is not finite cannot be written");
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
  }

  // Printable ASCII goes between quotes (a quote doubled); everything else as #nnn, so that a
  // description stays plain ASCII whatever its texts hold.
  static std::string Quote(const std::string& s) {
    if (s.empty()) return "''";
    std::string out;
    bool open = false;
    for (char c : s) {
      const auto u = static_cast<unsigned char>(c);
      if (u >= 0x20 && u < 0x7F) {
        if (!open) out += '\'', open = true;
        out += c == '\'' ? std::string("''") : std::string(1, c);
      } else {
        if (open) out += '\'', open = false;
        out += "#" + std::to_string(u);
      }
    }
    if (open) out += '\'';
    return out;
  }

  const TComponent* FRoot = nullptr;
  std::string FOut;
};

std::string WriteComponent(const TComponent& root) {
  return TWriter().Write(root);
}

// --- Embedded descriptions ---

namespace {

// The descriptions stay where the program holds them (static data): no copy is kept.
std::map<std::string, std::string_view>& FormResources() {
  static std::map<std::string, std::string_view> resources;
  return resources;
}

// The class named on the first line: "object Name: TClass" or "object TClass".
std::string RootClassName(std::string_view text) {
  try {
    TLexer lex(text);
    if (!lex.IsIdent("object")) return {};
    lex.Next();
    std::string className = lex.ExpectIdent();
    if (lex.IsSymbol(':')) {
      lex.Next();
      className = lex.ExpectIdent();
    }
    return className;
  } catch (const EReadError&) {
    return {};
  }
}

}  // namespace

void RegisterFormResource(const std::string& className, const char* text, size_t size) {
  const std::string_view body(text, size);
  const std::string name = className.empty() ? RootClassName(body) : className;
  FormResources()[UpperCase(name)] = body;
}

const std::string_view* FindFormResource(const std::string& className) {
  auto it = FormResources().find(UpperCase(className));
  return it == FormResources().end() ? nullptr : &it->second;
}

bool InitInheritedComponent(TComponent& root) {
  const std::string_view* text = FindFormResource(root.ClassName());
  if (text == nullptr) return false;
  ReadComponent(root, *text);
  return true;
}
