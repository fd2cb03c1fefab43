#pragma once
// The component model: objects with an owner that frees what it owns, a name,
// notification of insertion and removal, and the loading bracket in which a
// window definition is built (components start with csLoading and csReading
// set; Loaded runs on each of them once the whole definition is in place).

#include "toolkit/Sets.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The class name used for the object's platform window class and by hooks
  // that recognise windows by class ("TfrmMonitor", "TMessageForm").
  virtual std::string ClassName() const { return "TObject"; }
};

// An event: a callable bound to an object, called with the sender.
using TNotifyEvent = std::function<void(TObject* aSender)>;

// Raised for misuse of the component model (a duplicate name, an index error).
class EComponentError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum class TComponentStateFlag { csLoading, csReading, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateFlag>;
using enum TComponentStateFlag;

enum class TOperation { opInsert, opRemove };
using enum TOperation;

class TLoadingBracket;

class TComponent : public TObject {
public:
  // Inserts the component into aOwner's list; aOwner frees it when it goes.
  explicit TComponent(TComponent* aOwner);
  ~TComponent() override;

  std::string ClassName() const override { return "TComponent"; }

  TComponent* Owner() const { return fOwner; }
  const std::string& Name() const { return fName; }
  // Raises EComponentError when the owner already has a component of that name.
  virtual void SetName(const std::string& aName);

  int ComponentCount() const { return int(fComponents.size()); }
  // Owned components in insertion order; raises EComponentError on a bad index.
  TComponent* Components(int aIndex) const;
  TComponent* FindComponent(const std::string& aName) const;

  // Moves the component from its owner to aOwner (nullptr: no owner).
  void InsertComponent(TComponent* aComponent);
  void RemoveComponent(TComponent* aComponent);

  const TComponentState& ComponentState() const { return fComponentState; }

  // aComponent is told (Notification with opRemove) when this component goes,
  // even when it is not owned by the same owner.
  void FreeNotification(TComponent* aComponent);
  void RemoveFreeNotification(TComponent* aComponent);

  int Tag() const { return fTag; }
  void SetTag(int aTag) { fTag = aTag; }

  // Frees every owned component, last inserted first.
  void DestroyComponents();

  // Runs while the whole object still exists, just before it is deleted by
  // Free (or by its owner): sets csDestroying; forms call OnDestroy here.
  virtual void BeforeDestruction();
  // Frees a component: BeforeDestruction, then delete. nullptr is ignored.
  static void Free(TComponent* aComponent);
  // Runs once the most derived constructor has finished (Create<T> calls
  // it; forms run OnCreate here).
  virtual void AfterConstruction() {}
  // Constructs a component and runs AfterConstruction.
  template <class T, class... A>
  static T* Create(A&&... aArgs) {
    T* c = new T(std::forward<A>(aArgs)...);
    c->AfterConstruction();
    return c;
  }

protected:
  // Called on the owner (which passes it on to everything it owns) when a
  // component is inserted or removed, and on free-notification subscribers.
  virtual void Notification(TComponent* aComponent, TOperation aOperation);
  // Runs when the loading bracket that created the component closes; clears
  // csLoading. Overrides call the inherited one first.
  virtual void Loaded();
  // Sets csDestroying on the component and everything it owns.
  void Destroying();

  TComponentState fComponentState;

private:
  friend class TLoadingBracket;
  void Insert(TComponent* aComponent);
  void Remove(TComponent* aComponent);

  TComponent* fOwner = nullptr;
  std::string fName;
  std::vector<TComponent*> fComponents;
  std::vector<TComponent*> fFreeNotifies;
  TLoadingBracket* fBracket = nullptr;
  int fTag = 0;
};

// While a bracket is open on this thread, every component created starts with
// csLoading and csReading. Close() clears csReading on all of them, then calls
// Loaded on each in creation order; the destructor closes a bracket that is
// still open. Brackets nest: components belong to the innermost one.
class TLoadingBracket {
public:
  TLoadingBracket();
  ~TLoadingBracket();
  TLoadingBracket(const TLoadingBracket&) = delete;
  TLoadingBracket& operator=(const TLoadingBracket&) = delete;

  // Runs Loaded on every component still alive. When a Loaded raises, the
  // others still run and the first exception is raised afterwards.
  void Close();
  bool IsOpen() const { return fOpen; }
  // Takes in a component made before the bracket opened (a form opening a
  // bracket in its own constructor adds itself).
  void Add(TComponent* aComponent);

private:
  friend class TComponent;
  void Forget(TComponent* aComponent);

  std::vector<TComponent*> fComponents;
  TLoadingBracket* fOuter = nullptr;
  bool fOpen = true;
};
