// Fuzz target for the form-description reader: any input either reads or raises the reading
// error, leaks nothing, and what was read writes back to a text that reads to the same text.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "toolkit/Streaming.h"

namespace {

enum TFuzzKind { fkOne, fkTwo, fkThree };
using TFuzzKinds = TSet<TFuzzKind>;

class TFuzzStyle : public TPersistent {
 public:
  const std::string& Name() const { return FName; }
  void SetName(const std::string& v) { FName = v; }

 private:
  std::string FName = "Arial";
};

class TFuzzThing : public TComponent {
 public:
  explicit TFuzzThing(TComponent* owner) : TComponent(owner) {}
  int Number() const { return FNumber; }
  void SetNumber(int v) { FNumber = v; }
  double Real() const { return FReal; }
  void SetReal(double v) { FReal = v; }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& v) { FText = v; }
  bool Flag() const { return FFlag; }
  void SetFlag(bool v) { FFlag = v; }
  TFuzzKind Kind() const { return FKind; }
  void SetKind(TFuzzKind v) { FKind = v; }
  TFuzzKinds Kinds() const { return FKinds; }
  void SetKinds(TFuzzKinds v) { FKinds = v; }
  TStringList& Lines() { return FLines; }
  TFuzzStyle& Style() { return FStyle; }
  TFuzzThing* Link() const { return FLink; }
  void SetLink(TFuzzThing* v) {
    if (FLink) RemoveFreeNotification(FLink);
    FLink = v;
    if (v) FreeNotification(v);
  }
  void Handle(TObject*) {}
  TNotifyEvent OnEvent;

 protected:
  void DefineProperties(TFiler& filer) override {
    filer.DefineBinaryProperty(
        "Data", [this](const std::vector<uint8_t>& b) { FData = b; }, [this] { return FData; },
        !FData.empty());
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove && c == FLink) FLink = nullptr;
  }

 private:
  int FNumber = 0;
  double FReal = 0;
  std::string FText;
  bool FFlag = false;
  TFuzzKind FKind = fkOne;
  TFuzzKinds FKinds;
  TStringList FLines;
  TFuzzStyle FStyle;
  TFuzzThing* FLink = nullptr;
  std::vector<uint8_t> FData;
};

const bool kRegistered = [] {
  PublishClass<TFuzzStyle, TPersistent>("TFuzzStyle")
      .String("Name", &TFuzzStyle::Name, &TFuzzStyle::SetName, std::string("Arial"));
  PublishClass<TFuzzThing, TComponent>("TFuzzThing")
      .Integer("Number", &TFuzzThing::Number, &TFuzzThing::SetNumber, 0)
      .Float("Real", &TFuzzThing::Real, &TFuzzThing::SetReal, 0.0)
      .String("Text", &TFuzzThing::Text, &TFuzzThing::SetText, std::string())
      .Boolean("Flag", &TFuzzThing::Flag, &TFuzzThing::SetFlag, false)
      .Enumeration("Kind", &TFuzzThing::Kind, &TFuzzThing::SetKind, {"fkOne", "fkTwo", "fkThree"},
                   std::optional(fkOne))
      .Set("Kinds", &TFuzzThing::Kinds, &TFuzzThing::SetKinds, {"fkOne", "fkTwo", "fkThree"},
           std::optional(TFuzzKinds{}))
      .Strings("Lines", &TFuzzThing::Lines)
      .Object("Style", &TFuzzThing::Style)
      .Component<TFuzzThing>("Link", &TFuzzThing::Link, &TFuzzThing::SetLink)
      .Event("OnEvent", &TFuzzThing::OnEvent)
      .Handler("Handle", &TFuzzThing::Handle);
  return true;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<TComponent> root;
  try {
    root.reset(ReadComponent(text, nullptr));
  } catch (const EReadError&) {
    return 0;
  }
  std::string written;
  try {
    written = WriteComponent(*root);
  } catch (const EStreamError&) {
    return 0;  // a value that has no written form (a number that is not finite)
  }
  std::unique_ptr<TComponent> copy(ReadComponent(written, nullptr));
  if (WriteComponent(*copy) != written) std::abort();
  return 0;
}
