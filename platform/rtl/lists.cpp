#include "platform/rtl/lists.h"

#include <algorithm>

#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

RTL_IMPLEMENT_CLASS(TList)
RTL_IMPLEMENT_CLASS(TObjectList)
RTL_IMPLEMENT_CLASS(TComponentList)

namespace {
constexpr const char* kListIndexError = "List index out of bounds (%d)";
constexpr const char* kListCapacityError = "List capacity out of bounds (%d)";
constexpr const char* kListCountError = "List count out of bounds (%d)";
}  // namespace

// ---- TList ----------------------------------------------------------------

TList::~TList() { Clear(); }

void TList::Error(const AnsiString& Msg, Integer Data) { throw EListError(Msg, {Data}); }

void TList::Notify(void*, TListNotification) {}

void TList::Grow() {
  Integer cap = Capacity();
  Integer delta = cap > 64 ? cap / 4 : cap > 8 ? 16 : 4;
  SetCapacity(cap + delta);
}

void* TList::Get(Integer Index) const {
  if (Index < 0 || Index >= FCount) Error(kListIndexError, Index);
  return FList[Index];
}

void TList::Put(Integer Index, void* Item) {
  if (Index < 0 || Index >= FCount) Error(kListIndexError, Index);
  void* old = FList[Index];
  if (Item == old) return;
  FList[Index] = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

Integer TList::Add(void* Item) {
  Integer result = FCount;
  if (result == Capacity()) Grow();
  FList[result] = Item;
  ++FCount;
  if (Item) Notify(Item, lnAdded);
  return result;
}

void TList::Insert(Integer Index, void* Item) {
  if (Index < 0 || Index > FCount) Error(kListIndexError, Index);
  if (FCount == Capacity()) Grow();
  std::move_backward(FList.begin() + Index, FList.begin() + FCount, FList.begin() + FCount + 1);
  FList[Index] = Item;
  ++FCount;
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(Integer Index) {
  if (Index < 0 || Index >= FCount) Error(kListIndexError, Index);
  void* item = FList[Index];
  std::move(FList.begin() + Index + 1, FList.begin() + FCount, FList.begin() + Index);
  --FCount;
  FList[FCount] = nullptr;
  if (item) Notify(item, lnDeleted);
}

Integer TList::Remove(void* Item) {
  Integer i = IndexOf(Item);
  if (i >= 0) Delete(i);
  return i;
}

void* TList::Extract(void* Item) {
  Integer i = IndexOf(Item);
  if (i < 0 || !Item) return nullptr;
  // Nulled first so that Delete reports no lnDeleted for it.
  FList[i] = nullptr;
  Delete(i);
  Notify(Item, lnExtracted);
  return Item;
}

Integer TList::IndexOf(void* Item) const {
  for (Integer i = 0; i < FCount; ++i)
    if (FList[i] == Item) return i;
  return -1;
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void TList::Exchange(Integer Index1, Integer Index2) {
  if (Index1 < 0 || Index1 >= FCount) Error(kListIndexError, Index1);
  if (Index2 < 0 || Index2 >= FCount) Error(kListIndexError, Index2);
  std::swap(FList[Index1], FList[Index2]);
}

void TList::Move(Integer CurIndex, Integer NewIndex) {
  if (CurIndex == NewIndex) return;
  if (CurIndex < 0 || CurIndex >= FCount) Error(kListIndexError, CurIndex);
  if (NewIndex < 0 || NewIndex >= FCount) Error(kListIndexError, NewIndex);
  auto first = FList.begin();
  if (CurIndex < NewIndex)
    std::rotate(first + CurIndex, first + CurIndex + 1, first + NewIndex + 1);
  else
    std::rotate(first + NewIndex, first + CurIndex, first + CurIndex + 1);
}

void TList::Pack() {
  auto end = std::remove(FList.begin(), FList.begin() + FCount, nullptr);
  Integer newCount = static_cast<Integer>(end - FList.begin());
  std::fill(end, FList.begin() + FCount, nullptr);
  FCount = newCount;
}

void TList::Sort(const TListSortCompare& Compare) {
  std::stable_sort(FList.begin(), FList.begin() + FCount, [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void* TList::First() const { return Get(0); }

void* TList::Last() const { return Get(FCount - 1); }

TList* TList::Expand() {
  if (FCount == Capacity()) Grow();
  return this;
}

void TList::Assign(TList* Source) {
  if (Source == this) return;
  Clear();
  SetCapacity(Source->Count());
  for (void* p : *Source) Add(p);
}

void TList::SetCount(Integer NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize) Error(kListCountError, NewCount);
  if (NewCount > Capacity()) SetCapacity(NewCount);
  if (NewCount > FCount) {
    FCount = NewCount;  // the slots beyond the old count are already null
    return;
  }
  // One at a time from the end: a Notify override may itself remove items.
  while (FCount > NewCount) Delete(FCount - 1);
}

void TList::SetCapacity(Integer NewCapacity) {
  if (NewCapacity < FCount || NewCapacity > MaxListSize) Error(kListCapacityError, NewCapacity);
  if (NewCapacity == Capacity()) return;
  FList.resize(static_cast<size_t>(NewCapacity), nullptr);
  if (NewCapacity == 0) FList.shrink_to_fit();
}

// ---- TObjectList ----------------------------------------------------------

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* Ptr, TListNotification Action) {
  if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
  TList::Notify(Ptr, Action);
}

Integer TObjectList::FindInstanceOf(TClass AClass, bool AExact, Integer AStartAt) const {
  for (Integer i = std::max(AStartAt, 0); i < Count(); ++i) {
    TObject* o = Items(i);
    if (!o) continue;
    if (AExact ? o->ClassType() == AClass : o->InheritsFrom(AClass)) return i;
  }
  return -1;
}

// ---- TComponentList -------------------------------------------------------

namespace {
// Watches the members of one component list and drops a member that is
// being destroyed.
class TComponentListNexus : public TComponent {
  TComponentList* FList;

 public:
  explicit TComponentListNexus(TComponentList* list) : TComponent(nullptr), FList(list) {}

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != this) FList->HandleFreeNotify(AComponent);
  }
};

TComponent* AsComponent(void* p) { return static_cast<TComponent*>(static_cast<TObject*>(p)); }
}  // namespace

TComponentList::~TComponentList() {
  Clear();
  delete FNexus;
}

void TComponentList::Notify(void* Ptr, TListNotification Action) {
  if (!FNexus) FNexus = new TComponentListNexus(this);
  TComponent* c = AsComponent(Ptr);
  switch (Action) {
    case lnAdded: c->FreeNotification(FNexus); break;
    case lnExtracted:
    case lnDeleted:
      // A component listed twice stays watched until its last entry goes.
      if (IndexOf(c) < 0) c->RemoveFreeNotification(FNexus);
      break;
  }
  TObjectList::Notify(Ptr, Action);
}

void TComponentList::HandleFreeNotify(TComponent* AComponent) {
  while (Extract(AComponent)) {
  }
}

Integer TComponentList::Add(TComponent* AComponent) { return TObjectList::Add(AComponent); }
void TComponentList::Insert(Integer Index, TComponent* AComponent) { TObjectList::Insert(Index, AComponent); }
Integer TComponentList::Remove(TComponent* AComponent) { return TObjectList::Remove(AComponent); }
TComponent* TComponentList::Extract(TComponent* Item) { return static_cast<TComponent*>(TObjectList::Extract(Item)); }
Integer TComponentList::IndexOf(TComponent* AComponent) const { return TObjectList::IndexOf(AComponent); }
TComponent* TComponentList::First() const { return static_cast<TComponent*>(TObjectList::First()); }
TComponent* TComponentList::Last() const { return static_cast<TComponent*>(TObjectList::Last()); }
TComponent* TComponentList::Items(Integer Index) const { return static_cast<TComponent*>(TObjectList::Items(Index)); }
void TComponentList::SetItem(Integer Index, TComponent* AComponent) { TObjectList::SetItem(Index, AComponent); }
