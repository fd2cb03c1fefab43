#include "toolkit/Component.h"

#include <algorithm>
#include <exception>

namespace {

// The innermost open loading bracket of this thread.
thread_local TLoadingBracket* gBracket = nullptr;

void Erase(std::vector<TComponent*>& aList, TComponent* aItem) {
  auto it = std::find(aList.begin(), aList.end(), aItem);
  if (it != aList.end())
    aList.erase(it);
}

} // namespace

TComponent::TComponent(TComponent* aOwner) {
  if (gBracket != nullptr) {
    fComponentState.Include(csLoading).Include(csReading);
    fBracket = gBracket;
    gBracket->fComponents.push_back(this);
  }
  if (aOwner != nullptr)
    aOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Subscribers are told first, so that nothing keeps a pointer to this one.
  while (!fFreeNotifies.empty()) {
    TComponent* other = fFreeNotifies.back();
    fFreeNotifies.pop_back();
    Erase(other->fFreeNotifies, this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (fOwner != nullptr)
    fOwner->RemoveComponent(this);
  if (fBracket != nullptr)
    fBracket->Forget(this);
}

void TComponent::SetName(const std::string& aName) {
  if (aName == fName)
    return;
  if (!aName.empty() && fOwner != nullptr) {
    TComponent* other = fOwner->FindComponent(aName);
    if (other != nullptr && other != this)
      throw EComponentError("A component named " + aName + " already exists");
  }
  fName = aName;
}

TComponent* TComponent::Components(int aIndex) const {
  if (aIndex < 0 || aIndex >= ComponentCount())
    throw EComponentError("Component index out of bounds (" + std::to_string(aIndex) + ")");
  return fComponents[std::size_t(aIndex)];
}

TComponent* TComponent::FindComponent(const std::string& aName) const {
  if (aName.empty())
    return nullptr;
  for (TComponent* c : fComponents)
    if (c->fName == aName)
      return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* aComponent) {
  if (!aComponent->fName.empty()) {
    TComponent* other = FindComponent(aComponent->fName);
    if (other != nullptr && other != aComponent)
      throw EComponentError("A component named " + aComponent->fName + " already exists");
  }
  if (aComponent->fOwner != nullptr)
    aComponent->fOwner->RemoveComponent(aComponent);
  Insert(aComponent);
  Notification(aComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* aComponent) {
  if (aComponent->fOwner != this)
    return;
  Notification(aComponent, opRemove);
  Remove(aComponent);
}

void TComponent::Insert(TComponent* aComponent) {
  fComponents.push_back(aComponent);
  aComponent->fOwner = this;
}

void TComponent::Remove(TComponent* aComponent) {
  Erase(fComponents, aComponent);
  aComponent->fOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* aComponent) {
  if (aComponent == nullptr || aComponent == this)
    return;
  if (std::find(fFreeNotifies.begin(), fFreeNotifies.end(), aComponent) == fFreeNotifies.end()) {
    fFreeNotifies.push_back(aComponent);
    aComponent->fFreeNotifies.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* aComponent) {
  Erase(fFreeNotifies, aComponent);
  Erase(aComponent->fFreeNotifies, this);
}

void TComponent::DestroyComponents() {
  while (!fComponents.empty()) {
    TComponent* c = fComponents.back();
    Remove(c);
    Free(c);
  }
}

void TComponent::BeforeDestruction() {
  Destroying();
}

void TComponent::Free(TComponent* aComponent) {
  if (aComponent == nullptr)
    return;
  aComponent->BeforeDestruction();
  delete aComponent;
}

void TComponent::Notification(TComponent* aComponent, TOperation aOperation) {
  // Owned components hear about each other; a copy, since handlers may free.
  std::vector<TComponent*> owned = fComponents;
  for (TComponent* c : owned)
    if (c != aComponent)
      c->Notification(aComponent, aOperation);
}

void TComponent::Loaded() {
  fComponentState.Exclude(csLoading);
}

void TComponent::Destroying() {
  if (fComponentState.Contains(csDestroying))
    return;
  fComponentState.Include(csDestroying);
  for (TComponent* c : fComponents)
    c->Destroying();
}

TLoadingBracket::TLoadingBracket() : fOuter(gBracket) {
  gBracket = this;
}

TLoadingBracket::~TLoadingBracket() {
  if (fOpen) {
    try {
      Close();
    } catch (...) {
      // A destructor may not raise; Close() already ran every Loaded.
    }
  }
}

void TLoadingBracket::Close() {
  if (!fOpen)
    return;
  fOpen = false;
  gBracket = fOuter;
  for (TComponent* c : fComponents)
    c->fComponentState.Exclude(csReading);
  std::exception_ptr first;
  // A Loaded may free other components of the bracket (Forget drops them from
  // fComponents), so each one is looked up before it is called.
  const std::vector<TComponent*> order = fComponents;
  for (TComponent* c : order) {
    if (std::find(fComponents.begin(), fComponents.end(), c) == fComponents.end())
      continue;
    try {
      c->Loaded();
    } catch (...) {
      if (!first)
        first = std::current_exception();
    }
  }
  for (TComponent* c : fComponents)
    c->fBracket = nullptr;
  fComponents.clear();
  if (first)
    std::rethrow_exception(first);
}

void TLoadingBracket::Add(TComponent* aComponent) {
  if (!fOpen || aComponent->fBracket != nullptr)
    return;
  aComponent->fComponentState.Include(csLoading).Include(csReading);
  aComponent->fBracket = this;
  fComponents.push_back(aComponent);
}

void TLoadingBracket::Forget(TComponent* aComponent) {
  Erase(fComponents, aComponent);
}
