// The class registry and published properties. Toolkit layer.
#include "toolkit/TypInfo.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

// --- Values ---

TValue TValue::Integer(long long v) {
  TValue r;
  r.Kind = vaInteger;
  r.Int = v;
  return r;
}

TValue TValue::FloatValue(double v) {
  TValue r;
  r.Kind = vaFloat;
  r.Float = v;
  return r;
}

TValue TValue::String(std::string v) {
  TValue r;
  r.Kind = vaString;
  r.Str = std::move(v);
  return r;
}

TValue TValue::Ident(std::string v) {
  TValue r;
  r.Kind = vaIdent;
  r.Str = std::move(v);
  return r;
}

TValue TValue::Set(std::vector<std::string> members) {
  TValue r;
  r.Kind = vaSet;
  r.Items = std::move(members);
  return r;
}

TValue TValue::List(std::vector<std::string> lines) {
  TValue r;
  r.Kind = vaList;
  r.Items = std::move(lines);
  return r;
}

TValue TValue::Binary(std::vector<uint8_t> bytes) {
  TValue r;
  r.Kind = vaBinary;
  r.Bytes = std::move(bytes);
  return r;
}

long long TValue::AsInteger() const {
  if (Kind != vaInteger) throw EConvertError("Invalid property value: an integer is expected");
  return Int;
}

double TValue::AsFloat() const {
  if (Kind == vaInteger) return static_cast<double>(Int);
  if (Kind != vaFloat) throw EConvertError("Invalid property value: a number is expected");
  return Float;
}

const std::string& TValue::AsString() const {
  if (Kind != vaString) throw EConvertError("Invalid property value: a string is expected");
  return Str;
}

const std::string& TValue::AsIdent() const {
  if (Kind != vaIdent) throw EConvertError("Invalid property value: an identifier is expected");
  return Str;
}

bool TValue::AsBoolean() const {
  if (Kind == vaIdent && SameText(Str, "True")) return true;
  if (Kind == vaIdent && SameText(Str, "False")) return false;
  throw EConvertError("Invalid property value: True or False is expected");
}

// --- Properties ---

namespace {

TValue SetOf(const std::vector<std::string>& names, long long bits) {
  std::vector<std::string> members;
  for (size_t i = 0; i < names.size() && i < 32; ++i)
    if (bits & (1LL << i)) members.push_back(names[i]);
  return TValue::Set(std::move(members));
}

}  // namespace

TValue TPropInfo::Get(const TPersistent& instance) const {
  switch (Kind) {
    case tkInteger: {
      const long long v = GetOrd(instance);
      for (const auto& [ident, value] : Idents)
        if (value == v) return TValue::Ident(ident);
      return TValue::Integer(v);
    }
    case tkFloat:
      return TValue::FloatValue(GetFloat(instance));
    case tkString:
      return TValue::String(GetStr(instance));
    case tkEnumeration: {
      const long long v = GetOrd(instance);
      if (v < 0 || v >= static_cast<long long>(Names.size())) return TValue::Integer(v);
      return TValue::Ident(Names[static_cast<size_t>(v)]);
    }
    case tkBoolean:
      return TValue::Boolean(GetOrd(instance) != 0);
    case tkSet:
      return SetOf(Names, GetOrd(instance));
    case tkEvent:
      return TValue::String(GetStr(instance));
    case tkStrings: {
      TStringList* list = GetStrings(const_cast<TPersistent&>(instance));
      return TValue::List(list ? list->ToVector() : std::vector<std::string>{});
    }
    case tkComponent: {
      const TComponent* c = GetComponent(instance);
      return TValue::Ident(c ? c->Name() : "nil");
    }
    case tkClass:
      break;
  }
  return TValue();
}

bool TPropInfo::IsStored(const TPersistent& instance) const {
  if (Stored && !Stored(instance)) return false;
  if (Kind == tkClass) return true;
  if (!Default) return true;
  if (Kind == tkInteger) return GetOrd(instance) != Default->Int;
  return !(Get(instance) == *Default);
}

// --- Classes ---

const TClassInfo* TClassInfo::Parent() const {
  return TClassRegistry::Instance().Find(FParentType);
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    if (c == other) return true;
  return false;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
  std::vector<const TPropInfo*> out;
  if (const TClassInfo* parent = Parent()) out = parent->Properties();
  for (const TPropInfo& p : FProps) {
    // A class may publish an ancestor's property again with another default: it takes the
    // ancestor's place in the order.
    bool replaced = false;
    for (auto& existing : out)
      if (SameText(existing->Name, p.Name)) existing = &p, replaced = true;
    if (!replaced) out.push_back(&p);
  }
  if (!FOrder.empty()) {
    std::vector<const TPropInfo*> named;
    for (const std::string& name : FOrder) {
      const auto it = std::find_if(out.begin(), out.end(),
                                   [&](const TPropInfo* p) { return SameText(p->Name, name); });
      if (it == out.end()) continue;
      named.push_back(*it);
      out.erase(it);
    }
    out.insert(out.end(), named.begin(), named.end());
  }
  return out;
}

const TPropInfo* TClassInfo::FindProperty(const std::string& name) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    for (const TPropInfo& p : c->FProps)
      if (SameText(p.Name, name)) return &p;
  return nullptr;
}

const THandlerInfo* TClassInfo::FindHandler(const std::string& name) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    for (const THandlerInfo& h : c->FHandlers)
      if (SameText(h.Name, name)) return &h;
  return nullptr;
}

const TFieldInfo* TClassInfo::FindField(const std::string& name) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    for (const TFieldInfo& f : c->FFields)
      if (SameText(f.Name, name)) return &f;
  return nullptr;
}

TClassRegistry& TClassRegistry::Instance() {
  static TClassRegistry registry;
  return registry;
}

TClassInfo& TClassRegistry::Add(const std::string& name, std::type_index type,
                                std::type_index parent) {
  TClassInfo& info = FByType[type];
  info.FName = name;
  info.FType = type;
  info.FParentType = parent;
  FByName.insert_or_assign(UpperCase(name), type);
  return info;
}

const TClassInfo* TClassRegistry::Find(const std::string& name) const {
  auto it = FByName.find(UpperCase(name));
  return it == FByName.end() ? nullptr : Find(it->second);
}

const TClassInfo* TClassRegistry::Find(std::type_index type) const {
  auto it = FByType.find(type);
  return it == FByType.end() ? nullptr : &it->second;
}

const TClassInfo* FindClass(const std::string& name) {
  return TClassRegistry::Instance().Find(name);
}

const TClassInfo* ClassInfoOf(const TObject& object) {
  return TClassRegistry::Instance().Find(std::type_index(typeid(object)));
}

std::string ClassNameOf(const std::type_info& type) {
  if (const TClassInfo* info = TClassRegistry::Instance().Find(std::type_index(type)))
    return info->Name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
  return status == 0 && demangled ? std::string(demangled.get()) : std::string(type.name());
}

// --- The toolkit's own classes ---

namespace {

const bool kRegistered = [] {
  PublishClass<TPersistent, TObject>("TPersistent");
  PublishClass<TComponent, TPersistent>("TComponent")
      .Integer("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
  PublishClass<TStringList, TPersistent>("TStringList");
  return true;
}();

}  // namespace
