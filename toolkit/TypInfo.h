// The class registry and published properties: each component class registers once, by name,
// with its factory, its published properties (name, type, default, stored rule), the event
// handlers and component fields of a form class. Form descriptions are read and written
// through this information. Toolkit layer.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <utility>
#include <vector>

#include "toolkit/Classes.h"

// --- Values as a form description holds them ---
enum TValueKind { vaNull, vaInteger, vaFloat, vaString, vaIdent, vaSet, vaList, vaBinary };

struct TValue {
  TValueKind Kind = vaNull;
  long long Int = 0;
  double Float = 0;
  std::string Str;                 // a string, or an identifier
  std::vector<std::string> Items;  // set members, or string-list lines
  std::vector<uint8_t> Bytes;      // binary data

  static TValue Integer(long long v);
  static TValue FloatValue(double v);
  static TValue String(std::string v);
  static TValue Ident(std::string v);
  static TValue Boolean(bool v) { return Ident(v ? "True" : "False"); }
  static TValue Set(std::vector<std::string> members);
  static TValue List(std::vector<std::string> lines);
  static TValue Binary(std::vector<uint8_t> bytes);

  // Typed reads; each raises EConvertError when the value is of another kind.
  long long AsInteger() const;
  double AsFloat() const;
  const std::string& AsString() const;
  const std::string& AsIdent() const;
  bool AsBoolean() const;
  bool operator==(const TValue&) const = default;
};

// --- Published properties ---
enum TTypeKind {
  tkInteger,      // integers, optionally with identifiers for some values (colours)
  tkFloat,        // doubles, dates
  tkString,       // Windows-1252 text
  tkEnumeration,  // identifiers by ordinal
  tkBoolean,      // True, False
  tkSet,          // [a, b] of enumeration identifiers
  tkEvent,        // the name of a handler of the form
  tkStrings,      // a string list, one text per line
  tkClass,        // a nested object whose own properties are stored (Font.Name = ...)
  tkComponent,    // a reference to another component of the form by name
};

class TClassInfo;

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = tkInteger;
  std::vector<std::string> Names;                         // enumeration and set identifiers
  std::vector<std::pair<std::string, long long>> Idents;  // integer constants (clRed = 255)
  long long MinValue = std::numeric_limits<long long>::min();
  long long MaxValue = std::numeric_limits<long long>::max();

  // Access. Each kind uses the pair that suits it: ordinal values (integers, enumerations,
  // booleans, set bits), floats, texts (strings, event handler names, component names),
  // string lists, nested objects.
  std::function<long long(const TPersistent&)> GetOrd;
  std::function<void(TPersistent&, long long)> SetOrd;
  std::function<double(const TPersistent&)> GetFloat;
  std::function<void(TPersistent&, double)> SetFloat;
  std::function<std::string(const TPersistent&)> GetStr;
  std::function<void(TPersistent&, const std::string&)> SetStr;
  std::function<TStringList*(TPersistent&)> GetStrings;
  std::function<TPersistent*(TPersistent&)> GetObject;
  // Events bind a handler of the root component found by name.
  std::function<void(TPersistent&, TComponent& root, const std::string& handler)> SetEvent;
  // Component references are resolved once the whole description has been read.
  std::function<TComponent*(const TPersistent&)> GetComponent;
  std::function<void(TPersistent&, TComponent*)> SetComponent;

  // Storage: a property with a default is written only when it differs from it; one without
  // is always written. `Stored` can forbid writing (a property that travels otherwise).
  std::optional<TValue> Default;
  std::function<bool(const TPersistent&)> Stored;

  // The current value as the description would hold it.
  TValue Get(const TPersistent& instance) const;
  bool IsStored(const TPersistent& instance) const;
};

// A handler a form class offers to its description's event properties, held as a factory
// that binds it to the form instance: std::function<E(TComponent*)> for the event type E.
struct THandlerInfo {
  std::string Name;
  std::any Factory;
};

// A published field of a form class, set to the component of the same name when it is read.
struct TFieldInfo {
  std::string Name;
  std::function<bool(TComponent& root, TComponent* value)> Set;  // false: wrong class
};

class TClassInfo {
 public:
  using TFactory = std::function<TComponent*(TComponent* owner)>;

  const std::string& Name() const { return FName; }
  const TClassInfo* Parent() const;
  bool CanCreate() const { return static_cast<bool>(FFactory); }
  TComponent* Create(TComponent* owner) const { return FFactory(owner); }
  bool InheritsFrom(const TClassInfo* other) const;

  // Properties of this class and its ancestors, ancestors' first, in registration order.
  std::vector<const TPropInfo*> Properties() const;
  const TPropInfo* FindProperty(const std::string& name) const;
  const THandlerInfo* FindHandler(const std::string& name) const;
  const TFieldInfo* FindField(const std::string& name) const;

 private:
  friend class TClassRegistry;
  template <class T>
  friend class TClassBuilder;

  std::string FName;
  std::type_index FType = typeid(void);
  std::type_index FParentType = typeid(void);
  TFactory FFactory;
  std::vector<TPropInfo> FProps;
  std::vector<std::string> FOrder;  // see TClassBuilder::Order
  std::vector<THandlerInfo> FHandlers;
  std::vector<TFieldInfo> FFields;
};

class TClassRegistry {
 public:
  static TClassRegistry& Instance();
  TClassInfo& Add(const std::string& name, std::type_index type, std::type_index parent);
  // By name, ignoring case; null when unknown.
  const TClassInfo* Find(const std::string& name) const;
  const TClassInfo* Find(std::type_index type) const;

 private:
  std::map<std::type_index, TClassInfo> FByType;
  std::map<std::string, std::type_index> FByName;  // upper-cased names
};

const TClassInfo* FindClass(const std::string& name);
const TClassInfo* ClassInfoOf(const TObject& object);
// The registered name of a class, or its compiler name when it was never registered.
std::string ClassNameOf(const std::type_info& type);

// --- Registration ---
// Registers T (derived from Base) under `name` and returns a builder for its published
// properties. Use it once per class, in the .cpp that defines the class's constructor:
//
//   const bool kRegistered = (PublishClass<TThing, TComponent>("TThing")
//       .Integer("Count", &TThing::Count, &TThing::SetCount, 0)
//       .Event("OnChange", &TThing::OnChange), true);
template <class T>
class TClassBuilder {
 public:
  explicit TClassBuilder(TClassInfo& info) : FInfo(info) {}

  // The type a property's getter returns.
  template <class G>
  using ValueOf = std::decay_t<std::invoke_result_t<G, const T&>>;

  template <class G, class S>
  TClassBuilder& Integer(const std::string& name, G get, S set,
                         std::optional<long long> def = std::nullopt) {
    using V = std::decay_t<std::invoke_result_t<G, const T&>>;
    TPropInfo& p = Add(name, tkInteger);
    p.MinValue = static_cast<long long>(std::numeric_limits<V>::min());
    p.MaxValue = static_cast<long long>(std::numeric_limits<V>::max());
    p.GetOrd = [get](const TPersistent& o) {
      return static_cast<long long>(std::invoke(get, static_cast<const T&>(o)));
    };
    p.SetOrd = [set](TPersistent& o, long long v) {
      std::invoke(set, static_cast<T&>(o), static_cast<V>(v));
    };
    if (def) p.Default = TValue::Integer(*def);
    return *this;
  }

  // An integer property whose values may also be written as identifiers (colours, cursors).
  template <class G, class S>
  TClassBuilder& IntegerIdents(const std::string& name, G get, S set,
                               std::vector<std::pair<std::string, long long>> idents,
                               std::optional<long long> def = std::nullopt) {
    Integer(name, get, set, def);
    FInfo.FProps.back().Idents = std::move(idents);
    return *this;
  }

  template <class G, class S>
  TClassBuilder& Float(const std::string& name, G get, S set,
                       std::optional<double> def = std::nullopt) {
    TPropInfo& p = Add(name, tkFloat);
    p.GetFloat = [get](const TPersistent& o) {
      return static_cast<double>(std::invoke(get, static_cast<const T&>(o)));
    };
    p.SetFloat = [set](TPersistent& o, double v) { std::invoke(set, static_cast<T&>(o), v); };
    if (def) p.Default = TValue::FloatValue(*def);
    return *this;
  }

  template <class G, class S>
  TClassBuilder& String(const std::string& name, G get, S set,
                        std::optional<std::string> def = std::nullopt) {
    TPropInfo& p = Add(name, tkString);
    p.GetStr = [get](const TPersistent& o) {
      return std::string(std::invoke(get, static_cast<const T&>(o)));
    };
    p.SetStr = [set](TPersistent& o, const std::string& v) {
      std::invoke(set, static_cast<T&>(o), v);
    };
    if (def) p.Default = TValue::String(*def);
    return *this;
  }

  template <class G, class S>
  TClassBuilder& Boolean(const std::string& name, G get, S set,
                         std::optional<bool> def = std::nullopt) {
    TPropInfo& p = Add(name, tkBoolean);
    p.GetOrd = [get](const TPersistent& o) {
      return static_cast<long long>(std::invoke(get, static_cast<const T&>(o)) ? 1 : 0);
    };
    p.SetOrd = [set](TPersistent& o, long long v) { std::invoke(set, static_cast<T&>(o), v != 0); };
    if (def) p.Default = TValue::Boolean(*def);
    return *this;
  }

  // `names` lists the identifiers by ordinal: {"hbNone", "hbLowered", "hbRaised"}. The
  // enumeration is the getter's type, so a default is given as a plain value of it.
  template <class G, class S>
  TClassBuilder& Enumeration(const std::string& name, G get, S set, std::vector<std::string> names,
                             std::optional<ValueOf<G>> def = std::nullopt) {
    using V = ValueOf<G>;
    TPropInfo& p = Add(name, tkEnumeration);
    p.Names = std::move(names);
    p.GetOrd = [get](const TPersistent& o) {
      return static_cast<long long>(std::invoke(get, static_cast<const T&>(o)));
    };
    p.SetOrd = [set](TPersistent& o, long long v) {
      std::invoke(set, static_cast<T&>(o), static_cast<V>(v));
    };
    if (def) p.Default = TValue::Ident(p.Names.at(static_cast<size_t>(*def)));
    return *this;
  }

  // A TSet<E> property; `names` lists the members' identifiers by ordinal.
  template <class G, class S, class E>
  TClassBuilder& Set(const std::string& name, G get, S set, std::vector<std::string> names,
                     std::optional<TSet<E>> def = std::nullopt) {
    TPropInfo& p = Add(name, tkSet);
    p.Names = std::move(names);
    p.GetOrd = [get](const TPersistent& o) {
      return static_cast<long long>(std::invoke(get, static_cast<const T&>(o)).Bits());
    };
    p.SetOrd = [set](TPersistent& o, long long v) {
      std::invoke(set, static_cast<T&>(o), TSet<E>::FromBits(static_cast<uint32_t>(v)));
    };
    if (def) p.Default = SetValue(p.Names, def->Bits());
    return *this;
  }

  // An event member of type TEvent<Args...>; stored when it holds a named handler.
  template <class... Args>
  TClassBuilder& Event(const std::string& name, TEvent<Args...> T::*member) {
    using E = TEvent<Args...>;
    TPropInfo& p = Add(name, tkEvent);
    p.GetStr = [member](const TPersistent& o) {
      const E& e = static_cast<const T&>(o).*member;
      return e.Assigned() ? e.HandlerName() : std::string();
    };
    p.SetEvent = [member](TPersistent& o, TComponent& root, const std::string& handler) {
      static_cast<T&>(o).*member = BindHandler<E>(root, handler);
    };
    p.Default = TValue::String("");
    return *this;
  }

  // A string list the object owns: `Items`. Stored when it has lines.
  template <class G>
  TClassBuilder& Strings(const std::string& name, G get) {
    TPropInfo& p = Add(name, tkStrings);
    p.GetStrings = [get](TPersistent& o) -> TStringList* {
      return ToPointer(std::invoke(get, static_cast<T&>(o)));
    };
    p.Default = TValue::List({});
    return *this;
  }

  // A nested object the instance owns, stored through its own properties: `Font`.
  template <class G>
  TClassBuilder& Object(const std::string& name, G get) {
    TPropInfo& p = Add(name, tkClass);
    p.GetObject = [get](TPersistent& o) -> TPersistent* {
      return ToPointer(std::invoke(get, static_cast<T&>(o)));
    };
    return *this;
  }

  // A reference to another component (of class C) by name: `PopupMenu`.
  template <class C, class G, class S>
  TClassBuilder& Component(const std::string& name, G get, S set) {
    TPropInfo& p = Add(name, tkComponent);
    p.GetComponent = [get](const TPersistent& o) -> TComponent* {
      return std::invoke(get, static_cast<const T&>(o));
    };
    p.SetComponent = [set, name](TPersistent& o, TComponent* c) {
      C* typed = dynamic_cast<C*>(c);
      if (c != nullptr && typed == nullptr)
        throw EConvertError("Invalid property value: " + c->Name() + " cannot be " + name);
      std::invoke(set, static_cast<T&>(o), typed);
    };
    p.Default = TValue::Ident("nil");
    return *this;
  }

  // The order in which the class's descriptions store its published properties, inherited
  // ones included: the named properties come last, in this order; the others keep their
  // place ahead of them. A class that publishes an ancestor's property again otherwise keeps
  // it in the ancestor's place.
  TClassBuilder& Order(std::vector<std::string> names) {
    FInfo.FOrder = std::move(names);
    return *this;
  }

  // Changes the storage rule of the property registered last.
  TClassBuilder& StoredWhen(std::function<bool(const T&)> rule) {
    FInfo.FProps.back().Stored = [rule](const TPersistent& o) {
      return rule(static_cast<const T&>(o));
    };
    return *this;
  }
  TClassBuilder& NeverStored() {
    FInfo.FProps.back().Stored = [](const TPersistent&) { return false; };
    return *this;
  }

  // A method of a form class that events of its description may name.
  template <class U, class... Args>
  TClassBuilder& Handler(const std::string& name, void (U::*method)(Args...)) {
    std::function<TEvent<Args...>(TComponent*)> factory = [method, name](TComponent* root) {
      TEvent<Args...> e(static_cast<T*>(root), method);
      e.SetHandlerName(name);
      return e;
    };
    FInfo.FHandlers.push_back({name, std::move(factory)});
    return *this;
  }

  // A field of a form class that receives the component of the same name when it is read.
  // Naming C's constructor here also keeps C's registration linked into the program.
  template <class C>
  TClassBuilder& Field(const std::string& name, C* T::*member) {
    if constexpr (std::is_constructible_v<C, TComponent*> && !std::is_abstract_v<C>) {
      static const TClassInfo::TFactory keepLinked = [](TComponent* owner) -> TComponent* {
        return new C(owner);
      };
      (void)keepLinked;
    }
    FInfo.FFields.push_back({name, [member](TComponent& root, TComponent* value) {
                               C* typed = dynamic_cast<C*>(value);
                               if (value != nullptr && typed == nullptr) return false;
                               static_cast<T&>(root).*member = typed;
                               return true;
                             }});
    return *this;
  }

 private:
  template <class U, class Base>
  friend TClassBuilder<U> PublishClass(const std::string& name);

  template <class Base>
  static TClassBuilder Start(const std::string& name) {
    TClassInfo& info = TClassRegistry::Instance().Add(name, typeid(T), typeid(Base));
    if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
      info.FFactory = [](TComponent* owner) -> TComponent* { return new T(owner); };
    return TClassBuilder(info);
  }

  TPropInfo& Add(const std::string& name, TTypeKind kind) {
    FInfo.FProps.push_back(TPropInfo{});
    TPropInfo& p = FInfo.FProps.back();
    p.Name = name;
    p.Kind = kind;
    return p;
  }
  template <class P>
  static auto* ToPointer(P& p) {
    return &p;
  }
  template <class P>
  static P* ToPointer(P* p) {
    return p;
  }
  static TValue SetValue(const std::vector<std::string>& names, uint32_t bits) {
    std::vector<std::string> members;
    for (size_t i = 0; i < names.size(); ++i)
      if (bits & (1u << i)) members.push_back(names[i]);
    return TValue::Set(std::move(members));
  }

  TClassInfo& FInfo;
};

template <class T, class Base>
TClassBuilder<T> PublishClass(const std::string& name) {
  static_assert(std::is_base_of_v<Base, T>);
  return TClassBuilder<T>::template Start<Base>(name);
}

// Binds the handler `name` of `root`'s class (or an ancestor's) to an event of type E.
// Raises EConvertError when there is no such handler or it takes other arguments.
template <class E>
E BindHandler(TComponent& root, const std::string& name) {
  const TClassInfo* info = ClassInfoOf(root);
  const THandlerInfo* handler = info ? info->FindHandler(name) : nullptr;
  if (handler == nullptr)
    throw EConvertError("Handler " + name + " not found in " + root.ClassName());
  const auto* factory = std::any_cast<std::function<E(TComponent*)>>(&handler->Factory);
  if (factory == nullptr) throw EConvertError("Handler " + name + " does not fit this event");
  return (*factory)(&root);
}
