// The object model of the toolkit: components with owners and notifications, string lists.
// Toolkit layer.
#include "toolkit/Classes.h"

#include <algorithm>

#include "toolkit/TypInfo.h"

// --- Objects ---

std::string TObject::ClassName() const {
  return ClassNameOf(typeid(*this));
}

void TPersistent::Assign(const TPersistent* source) {
  if (source == nullptr) throw EConvertError("Cannot assign a nil to a " + ClassName());
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + dest->ClassName());
}

// --- Components ---

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Everyone who asked to hear of this component's end hears it now, while it is whole enough
  // to be compared by address.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    auto& theirs = other->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
  return FComponents[static_cast<size_t>(index)];
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component->FOwner == this) return;
  if (!component->FName.empty() && FindComponent(component->FName) != nullptr)
    throw EComponentError("A component named " + component->FName + " already exists");
  if (component->FOwner != nullptr) component->FOwner->RemoveComponent(component);
  Insert(component);
  if (IsDesigning()) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component->FOwner != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  auto add = [](std::vector<TComponent*>& list, TComponent* c) {
    if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
  };
  add(FFreeNotifies, component);
  add(component->FFreeNotifies, this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  auto drop = [](std::vector<TComponent*>& list, TComponent* c) {
    list.erase(std::remove(list.begin(), list.end(), c), list.end());
  };
  drop(FFreeNotifies, component);
  drop(component->FFreeNotifies, this);
}

void TComponent::SetName(const std::string& name) {
  if (name == FName) return;
  if (!name.empty() && !IsValidIdent(name))
    throw EComponentError("'" + name + "' is not a valid component name");
  if (FOwner != nullptr && !name.empty()) {
    const TComponent* other = FOwner->FindComponent(name);
    if (other != nullptr && other != this)
      throw EComponentError("A component named " + name + " already exists");
  }
  FName = name;
}

void TComponent::Loaded() {
  FComponentState.Exclude(csLoading);
}

void TComponent::SetLoading(bool loading) {
  if (loading)
    FComponentState.Include(csLoading);
  else
    FComponentState.Exclude(csLoading);
}

void TComponent::SetDesigning(bool designing) {
  if (designing)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  for (TComponent* c : FComponents)
    c->SetDesigning(designing);
}

void TComponent::DestroyComponents() {
  // Each goes quietly: its siblings are on their way out too, so nobody is told.
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    Remove(last);
    delete last;
  }
}

void TComponent::GetChildren(const std::function<void(TComponent*)>& proc,
                             const TComponent* root) const {
  if (root != this) return;
  for (TComponent* c : FComponents)
    if (!c->HasParent()) proc(c);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component != nullptr) RemoveFreeNotification(component);
  // A handler may destroy components of this owner, so the walk re-checks the list size.
  for (size_t i = FComponents.size(); i-- > 0;) {
    if (i >= FComponents.size()) continue;
    FComponents[i]->Notification(component, operation);
  }
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents)
    c->Destroying();
}

void TComponent::Insert(TComponent* component) {
  FComponents.push_back(component);
  component->FOwner = this;
}

void TComponent::Remove(TComponent* component) {
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component),
                    FComponents.end());
  component->FOwner = nullptr;
}

bool TComponent::IsValidIdent(const std::string& name) {
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (name.empty() || !alpha(name[0])) return false;
  return std::all_of(name.begin(), name.end(),
                     [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

// --- String lists ---

TStringList::TStringList(std::initializer_list<std::string> items) {
  for (const auto& s : items)
    FItems.push_back({s, nullptr});
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStringList::Changed() {
  OnChange(this);
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Text;
}

void TStringList::SetStrings(int index, const std::string& text) {
  CheckIndex(index);
  if (FSorted) throw EInvalidOperation("Operation not allowed on sorted string list");
  FItems[static_cast<size_t>(index)].Text = text;
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].Object;
}

void TStringList::SetObjects(int index, TObject* object) {
  CheckIndex(index);
  FItems[static_cast<size_t>(index)].Object = object;
}

int TStringList::Add(const std::string& text) {
  return AddObject(text, nullptr);
}

int TStringList::AddObject(const std::string& text, TObject* object) {
  size_t at = FItems.size();
  if (FSorted) {
    auto pos = std::lower_bound(FItems.begin(), FItems.end(), text,
                                [](const TItem& item, const std::string& t) {
                                  return UpperCase(item.Text) < UpperCase(t);
                                });
    if (pos != FItems.end() && SameText(pos->Text, text))
      return static_cast<int>(pos - FItems.begin());
    at = static_cast<size_t>(pos - FItems.begin());
  }
  FItems.insert(FItems.begin() + static_cast<long>(at), TItem{text, object});
  Changed();
  return static_cast<int>(at);
}

void TStringList::Insert(int index, const std::string& text) {
  if (index < 0 || index > Count())
    throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
  if (FSorted) throw EInvalidOperation("Operation not allowed on sorted string list");
  FItems.insert(FItems.begin() + index, TItem{text, nullptr});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

int TStringList::IndexOf(const std::string& text) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (SameText(FItems[i].Text, text)) return static_cast<int>(i);
  return -1;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted == FSorted) return;
  FSorted = sorted;
  if (sorted) {
    std::stable_sort(FItems.begin(), FItems.end(), [](const TItem& a, const TItem& b) {
      return UpperCase(a.Text) < UpperCase(b.Text);
    });
    Changed();
  }
}

std::string TStringList::Text() const {
  std::string out;
  for (const auto& item : FItems)
    out += item.Text + "\r\n";
  return out;
}

void TStringList::SetText(const std::string& text) {
  FItems.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    FItems.push_back({text.substr(start, end - start), nullptr});
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  Changed();
}

std::string TStringList::CommaText() const {
  std::string out;
  for (size_t i = 0; i < FItems.size(); ++i) {
    const std::string& s = FItems[i].Text;
    if (i > 0) out += ',';
    if (s.empty() || s.find_first_of(" ,\"") != std::string::npos) {
      out += '"';
      for (char c : s)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
      out += '"';
    } else {
      out += s;
    }
  }
  return out;
}

std::vector<std::string> TStringList::ToVector() const {
  std::vector<std::string> out;
  out.reserve(FItems.size());
  for (const auto& item : FItems)
    out.push_back(item.Text);
  return out;
}

void TStringList::Assign(const TPersistent* source) {
  if (const auto* other = dynamic_cast<const TStringList*>(source)) {
    if (other == this) return;
    FItems = other->FItems;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

bool TStringList::operator==(const TStringList& other) const {
  return ToVector() == other.ToVector();
}
