// The object model of the toolkit: objects with class names, persistent objects, components
// with owners and notifications, and string lists. Toolkit layer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Events.h"
#include "toolkit/SysUtils.h"
#include "toolkit/Types.h"

class TFiler;

// --- Objects ---
// The root of every toolkit class. ClassName is the name the class was registered under
// (toolkit/TypInfo.h), so it matches the name in form descriptions.
class TObject {
 public:
  virtual ~TObject() = default;
  std::string ClassName() const;
};

// An object whose value can be copied from another of a compatible class.
class TPersistent : public TObject {
 public:
  // Copies the value of `source`; raises EConvertError when the classes do not fit.
  virtual void Assign(const TPersistent* source);

 protected:
  // Lets `this` copy itself into `dest` when dest's Assign does not know this class.
  virtual void AssignTo(TPersistent* dest) const;
  // Declares stored values beyond the published properties (see TFiler).
  virtual void DefineProperties(TFiler& filer) {}

  friend class TReader;
  friend class TWriter;
};

// --- Components ---
enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

// A component has an owner that destroys it, keeps the components it owns in creation order,
// and tells them when a component joins or leaves. An owner destroys what it owns in reverse
// order of creation; a component destroyed on its own first leaves its owner, and the owner's
// other components receive the removal notification.
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // --- Ownership ---
  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  // Raises ERangeError for an index outside 0..ComponentCount()-1.
  TComponent* Components(int index) const;
  const std::vector<TComponent*>& ComponentList() const { return FComponents; }
  // Finds an owned component by name, ignoring case; null when there is none.
  TComponent* FindComponent(const std::string& name) const;
  // Moves `component` from its owner (if any) to this one.
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Asks for the removal notification of `component` even though this one does not share its
  // owner (a reference to a component of another form).
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // --- Properties ---
  const std::string& Name() const { return FName; }
  // Raises EComponentError for a name that is not an identifier or that another component
  // of the same owner already has.
  virtual void SetName(const std::string& name);
  intptr_t Tag() const { return FTag; }
  void SetTag(intptr_t tag) { FTag = tag; }
  TComponentState ComponentState() const { return FComponentState; }
  bool IsLoading() const { return FComponentState.Contains(csLoading); }
  bool IsDesigning() const { return FComponentState.Contains(csDesigning); }
  bool IsDestroying() const { return FComponentState.Contains(csDestroying); }

  // --- Life cycle ---
  // Runs once on each component when the form description it came from has been read;
  // clears csLoading.
  virtual void Loaded();
  // Marks this component and everything it owns as being read, or as designing.
  void SetLoading(bool loading);
  void SetDesigning(bool designing);
  // Destroys every owned component, last created first. A class whose owned components may
  // still call on it while they go calls this at the start of its own destructor.
  void DestroyComponents();
  // Runs after the most derived constructor when the component is made through
  // CreateComponent (forms read their description and run OnCreate here).
  virtual void AfterConstruction() {}

  // --- Form descriptions ---
  // Whether this component sits inside another one (a control inside its parent).
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  // Called by the reader with the component of the enclosing object.
  virtual void SetParentComponent(TComponent* parent) {}
  // Lists the components written as nested objects inside this one while `root` is written.
  // By default a root lists the components it owns that have no parent.
  virtual void GetChildren(const std::function<void(TComponent*)>& proc,
                           const TComponent* root) const;

 protected:
  // Told when `component` joins (opInsert) or leaves (opRemove) this component's owner, or
  // leaves after FreeNotification. Overrides call the inherited step, which passes the news
  // on to the components this one owns.
  virtual void Notification(TComponent* component, TOperation operation);
  // Marks the start of destruction; an override may release things that must go first.
  virtual void Destroying();

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  static bool IsValidIdent(const std::string& name);

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  std::string FName;
  intptr_t FTag = 0;
  TComponentState FComponentState;
};

// Makes a component of class T and runs its AfterConstruction; on an error nothing is left.
template <class T>
T* CreateComponent(TComponent* owner) {
  T* component = new T(owner);
  try {
    component->AfterConstruction();
  } catch (...) {
    delete component;
    throw;
  }
  return component;
}

// --- String lists ---
// An ordered list of texts, each with an optional object pointer that the list does not own.
class TStringList : public TPersistent {
 public:
  TStringList() = default;
  TStringList(std::initializer_list<std::string> items);

  int Count() const { return static_cast<int>(FItems.size()); }
  // Raises ERangeError for an index outside 0..Count()-1.
  const std::string& Strings(int index) const;
  void SetStrings(int index, const std::string& text);
  const std::string& operator[](int index) const { return Strings(index); }
  TObject* Objects(int index) const;
  void SetObjects(int index, TObject* object);

  // In a sorted list Add places the text in order and ignores a duplicate.
  int Add(const std::string& text);
  int AddObject(const std::string& text, TObject* object);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  void Clear();
  // The index of the first text equal to `text` (ignoring case like the ancestors), or -1.
  int IndexOf(const std::string& text) const;
  bool Sorted() const { return FSorted; }
  void SetSorted(bool sorted);

  // The lines joined, each ending in CR LF.
  std::string Text() const;
  // Splits at CR LF, CR or LF; a last line without an ending counts.
  void SetText(const std::string& text);
  // The texts separated by commas, each quoted when it holds a blank, comma or quote.
  std::string CommaText() const;
  std::vector<std::string> ToVector() const;

  void Assign(const TPersistent* source) override;
  bool operator==(const TStringList& other) const;

  TNotifyEvent OnChange;

 private:
  struct TItem {
    std::string Text;
    TObject* Object = nullptr;
  };
  void CheckIndex(int index) const;
  void Changed();

  std::vector<TItem> FItems;
  bool FSorted = false;
};
