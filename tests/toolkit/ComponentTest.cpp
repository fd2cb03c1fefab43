// Ownership, names, notifications and the loading bracket.

#include "toolkit/Component.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class TProbe : public TComponent {
public:
  TProbe(TComponent* aOwner, std::string aId, Log& aLog)
      : TComponent(aOwner), fId(aId), fLog(aLog) {}
  ~TProbe() override {
    fLog.push_back("~" + fId + (fComponentState.Contains(csDestroying) ? "(destroying)" : ""));
  }
  void Loaded() override {
    const bool reading = fComponentState.Contains(csReading);
    TComponent::Loaded();
    fLog.push_back("Loaded " + fId + (reading ? " reading" : ""));
    if (fThrowOnLoaded)
      throw std::runtime_error("failed " + fId);
    if (fFreeOnLoaded != nullptr) {
      TComponent::Free(fFreeOnLoaded);
      fFreeOnLoaded = nullptr;
    }
  }
  void Notification(TComponent* aComponent, TOperation aOperation) override {
    TComponent::Notification(aComponent, aOperation);
    fLog.push_back(fId + (aOperation == opInsert ? " +" : " -") + aComponent->Name());
  }
  std::string fId;
  Log& fLog;
  bool fThrowOnLoaded = false;
  TComponent* fFreeOnLoaded = nullptr;
};

} // namespace

// Components made without owner, named, then inserted: the notifications
// name them.
TProbe* Owned(TComponent* aOwner, const std::string& aId, Log& aLog) {
  auto* p = new TProbe(nullptr, aId, aLog);
  p->SetName(aId);
  aOwner->InsertComponent(p);
  return p;
}

TEST(Component, OwnerFreesOwnedLastInsertedFirstAndMarksThemDestroying) {
  Log log;
  auto* owner = new TProbe(nullptr, "owner", log);
  new TProbe(owner, "a", log);
  new TProbe(owner, "b", log);
  new TProbe(owner, "c", log);
  EXPECT_EQ(owner->ComponentCount(), 3);
  log.clear();
  TComponent::Free(owner);
  // Owner notifications for each removal are interleaved; the destructor
  // order is what matters here.
  Log destructors;
  for (const auto& e : log)
    if (e[0] == '~')
      destructors.push_back(e);
  // The owner's own destructor runs first, then the owned ones go.
  EXPECT_EQ(destructors,
            (Log{"~owner(destroying)", "~c(destroying)", "~b(destroying)", "~a(destroying)"}));
}

TEST(Component, InsertAndRemoveAreAnnouncedToOwnerAndSiblings) {
  Log log;
  TProbe owner(nullptr, "owner", log);
  auto* a = Owned(&owner, "a", log);
  auto* b = Owned(&owner, "b", log);
  EXPECT_EQ(log, (Log{"owner +a", "a +b", "owner +b"}));
  log.clear();
  TComponent::Free(a);
  EXPECT_EQ(log, (Log{"~a(destroying)", "b -a", "owner -a"}));
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), b);
  EXPECT_THROW(owner.Components(1), EComponentError);
}

TEST(Component, FreeNotificationReachesComponentsOfOtherOwners) {
  Log log;
  TProbe ownerA(nullptr, "A", log);
  TProbe ownerB(nullptr, "B", log);
  auto* watched = Owned(&ownerA, "watched", log);
  auto* watcher = Owned(&ownerB, "watcher", log);
  watched->FreeNotification(watcher);
  log.clear();
  TComponent::Free(watched);
  EXPECT_NE(std::find(log.begin(), log.end(), "watcher -watched"), log.end());
  // The watcher going first leaves nothing dangling behind.
  auto* second = Owned(&ownerA, "second", log);
  second->FreeNotification(watcher);
  TComponent::Free(watcher);
  log.clear();
  TComponent::Free(second);
  EXPECT_EQ(std::find(log.begin(), log.end(), "watcher -second"), log.end());
}

TEST(Component, NamesAreUniqueAmongAnOwnersComponents) {
  Log log;
  TProbe owner(nullptr, "owner", log);
  auto* a = new TProbe(&owner, "a", log);
  auto* b = new TProbe(&owner, "b", log);
  a->SetName("btnResetIn");
  EXPECT_EQ(owner.FindComponent("btnResetIn"), a);
  EXPECT_THROW(b->SetName("btnResetIn"), EComponentError);
  EXPECT_EQ(b->Name(), "");
  b->SetName("btnResetOut");
  a->SetName("btnResetIn"); // renaming to its own name is fine
  EXPECT_EQ(owner.FindComponent("btnResetOut"), b);
  EXPECT_EQ(owner.FindComponent("nothing"), nullptr);
  // Moving to another owner that already has the name is refused.
  TProbe other(nullptr, "other", log);
  auto* c = new TProbe(&other, "c", log);
  c->SetName("btnResetIn");
  EXPECT_THROW(owner.InsertComponent(c), EComponentError);
  EXPECT_EQ(c->Owner(), &other);
}

TEST(Component, LoadingBracketRunsLoadedInCreationOrderAfterReadingEnds) {
  Log log;
  TProbe root(nullptr, "root", log);
  TProbe* a = nullptr;
  TProbe* b = nullptr;
  {
    TLoadingBracket bracket;
    bracket.Add(&root);
    a = new TProbe(&root, "a", log);
    b = new TProbe(a, "b", log);
    EXPECT_TRUE(a->ComponentState().Contains(csLoading));
    EXPECT_TRUE(b->ComponentState().Contains(csReading));
    log.clear();
    bracket.Close();
    EXPECT_FALSE(bracket.IsOpen());
  }
  EXPECT_EQ(log, (Log{"Loaded root", "Loaded a", "Loaded b"}));
  for (TComponent* c :
       {static_cast<TComponent*>(&root), static_cast<TComponent*>(a), static_cast<TComponent*>(b)})
    EXPECT_TRUE(c->ComponentState().Empty());
  // Components made after the bracket closed are not loading.
  auto* later = new TProbe(&root, "later", log);
  EXPECT_FALSE(later->ComponentState().Contains(csLoading));
}

TEST(Component, LoadingBracketSkipsFreedComponentsAndReportsTheFirstFailure) {
  Log log;
  TProbe root(nullptr, "root", log);
  TLoadingBracket bracket;
  auto* a = new TProbe(&root, "a", log);
  auto* b = new TProbe(&root, "b", log);
  auto* c = new TProbe(&root, "c", log);
  auto* d = new TProbe(&root, "d", log);
  TComponent::Free(b);
  a->fFreeOnLoaded = c; // freed by an earlier Loaded: never loaded
  a->fThrowOnLoaded = false;
  d->fThrowOnLoaded = true;
  log.clear();
  EXPECT_THROW(bracket.Close(), std::runtime_error);
  Log loaded;
  for (const auto& e : log)
    if (e.rfind("Loaded", 0) == 0)
      loaded.push_back(e);
  EXPECT_EQ(loaded, (Log{"Loaded a", "Loaded d"}));
}

TEST(Component, NestedBracketsKeepTheirOwnComponents) {
  Log log;
  TProbe root(nullptr, "root", log);
  TLoadingBracket outer;
  auto* a = new TProbe(&root, "a", log);
  {
    TLoadingBracket inner;
    new TProbe(&root, "inner", log);
    log.clear();
  }
  EXPECT_EQ(log, (Log{"Loaded inner"}));
  EXPECT_TRUE(a->ComponentState().Contains(csLoading));
  log.clear();
  outer.Close();
  EXPECT_EQ(log, (Log{"Loaded a"}));
}
